// Converting bitmap, text writer and table definitions into resources.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CTavTextOut.h"
#include "script/CTavHeadlessResources.h"
#include "script/CTavTable.h"

namespace {

struct Case {
    TavItems items;
    bool converts;
    std::string message;
};

template <typename Resource> void ExpectConversions(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        Resource resource;
        CTavTextOutStringStream errors;
        TavItems items = c.items;
        SCOPED_TRACE(items.back().first + "=" + items.back().second);
        EXPECT_EQ(resource.Convert(items, &errors), c.converts);
        EXPECT_EQ(errors.Text(), c.message);
    }
}

} // namespace

TEST(BitmapConversion, ReadsItsItemsAndRemovesOnlyThose) {
    CTavHeadlessStateBitmap bitmap;
    TavItems items = {
        {"name", "knob"}, {"stateCount", " 12"}, {"other", "x"}, {"direction", "1"}, {"mask", "1"}};
    ASSERT_TRUE(bitmap.Convert(items, nullptr));
    EXPECT_EQ(bitmap.Name(), "knob");
    EXPECT_EQ(bitmap.StateCount(), 12);
    EXPECT_EQ(bitmap.Direction(), 1);
    EXPECT_TRUE(bitmap.UsesMask());
    EXPECT_EQ(items, (TavItems{{"other", "x"}}));

    CTavHeadlessStateBitmap defaults;
    TavItems nameOnly = {{"name", "plain"}};
    ASSERT_TRUE(defaults.Convert(nameOnly, nullptr));
    EXPECT_EQ(defaults.StateCount(), 1);
    EXPECT_EQ(defaults.Direction(), 0);
    EXPECT_FALSE(defaults.UsesMask());
}

TEST(BitmapConversion, InvalidItemsFailWithTheirMessages) {
    ExpectConversions<CTavHeadlessStateBitmap>({
        {{{"name", "b"}, {"stateCount", "many"}}, false, "Bitmap b state count is invalid. : many\n"},
        {{{"name", "b"}, {"stateCount", "0"}}, false, "Bitmap b state count must be greater than 0.\n"},
        {{{"name", "b"}, {"direction", "up"}}, false, "Bitmap b direction is invalid : up\n"},
        {{{"name", "b"}, {"direction", "2"}},
         false,
         "Bitmap b direction must be 0 (vertical) or 1 (horizontal).\n"},
        {{{"name", "b"}, {"mask", "yes"}}, false, "Bitmap b mask is invalid. : yes\n"},
        {{{"name", "b"}, {"mask", "-1"}}, false, "Bitmap b mask must be 0 (do not use) or 1 (use).\n"},
    });
}

TEST(TextWriterConversion, ReadsEveryFieldWithKeywordsInAnyCase) {
    CTavHeadlessTextWriter writer;
    TavItems items = {{"name", "label"},
                      {"fontFaceName", "  DejaVu Sans\n"},
                      {"fontHeight", "14"},
                      {"fontColor", "0, 0,65280"},
                      {"backgroundColor", "256,512,768"},
                      {"verticalFont", "TRUE"},
                      {"textAlignment", "Center"},
                      {"textAlignmentVertical", "\tBottom "},
                      {"backgroundMode", "Transparent"},
                      {"left", "over"}};
    ASSERT_TRUE(writer.Convert(items, nullptr));
    EXPECT_EQ(items, (TavItems{{"left", "over"}}));
    EXPECT_EQ(writer.FaceName(), "DejaVu Sans");
    EXPECT_EQ(writer.Height(), 14);
    EXPECT_EQ(writer.FontColor().b, 65280);
    EXPECT_EQ(writer.BackgroundColor().r, 256);
    EXPECT_EQ(writer.BackgroundColor().b, 768);
    EXPECT_TRUE(writer.Vertical());
    EXPECT_EQ(writer.HorizontalAlignment(), CTavTextWriter::HAlign::Center);
    EXPECT_EQ(writer.VerticalAlignment(), CTavTextWriter::VAlign::Bottom);
    EXPECT_FALSE(writer.Opaque());

    CTavHeadlessTextWriter defaults;
    TavItems nameOnly = {{"name", "plain"}};
    ASSERT_TRUE(defaults.Convert(nameOnly, nullptr));
    EXPECT_EQ(defaults.Height(), 10);
    EXPECT_EQ(defaults.BackgroundColor().g, 65280);
    EXPECT_EQ(defaults.HorizontalAlignment(), CTavTextWriter::HAlign::Left);
    EXPECT_EQ(defaults.VerticalAlignment(), CTavTextWriter::VAlign::Center);
    EXPECT_TRUE(defaults.Opaque());
}

TEST(TextWriterConversion, InvalidTextsFailWithTheirMessagesButABadFaceNameOnlyWarns) {
    ExpectConversions<CTavHeadlessTextWriter>({
        {{{"name", "t"}, {"fontFaceName", " X "}}, true, "TextWriter t fontFaceName is invalid. : X\n"},
        // A single character counts as invalid, even a digit.
        {{{"name", "t"}, {"fontHeight", "9"}}, false, "TextWriter t fontHeight is invalid. : 9\n"},
        {{{"name", "t"}, {"fontHeight", "big"}}, false, "TextWriter t fontHeight is invalid. : big\n"},
        {{{"name", "t"}, {"fontColor", "0,0"}}, false, "TextWriter t fontColor is invalid. : 0,0\n"},
        {{{"name", "t"}, {"backgroundColor", "0,0,70000"}},
         false,
         "TextWriter t backgroundColor is invalid. : 0,0,70000\n"},
        {{{"name", "t"}, {"verticalFont", "yes"}}, false, "TextWriter t verticalFont is invalid. : yes\n"},
        {{{"name", "t"}, {"textAlignment", "middle"}},
         false,
         "TextWriter t textAlignmentHorizontal is invalid. : middle\n"},
        {{{"name", "t"}, {"textAlignmentVertical", "left"}},
         false,
         "TextWriter t textAlignmentVertical is invalid. : left\n"},
        {{{"name", "t"}, {"backgroundMode", " \n"}}, false, "TextWriter t backgroundMode is invalid. : \n"},
    });
}

TEST(TextWriterConversion, AFaceNameOfAnyLengthIsKeptWhole) {
    CTavHeadlessTextWriter writer;
    const std::string longName(300, 'F');
    TavItems items = {{"name", "t"}, {"fontFaceName", longName}};
    ASSERT_TRUE(writer.Convert(items, nullptr));
    EXPECT_EQ(writer.FaceName(), longName);
}

TEST(TableConversion, StringTableEscapesAndTrimming) {
    CTavStringTable table;
    TavItems items = {{"name", "s"}, {"table", "a\\cb, c\\\\d,  , e"}};
    ASSERT_TRUE(table.Convert(items, nullptr));
    EXPECT_EQ(table.Elements(), (std::vector<std::string>{"a,b", "c\\d", "e"}));
    EXPECT_EQ(table.ToItems(), (TavItems{{"name", "s"}, {"table", "a\\cb, c\\\\d, e"}}));
}

TEST(TableConversion, NumberTablePiecesAndAbsentPositions) {
    CTavIntegerTable table;
    TavItems items = {{"name", "n"}, {"table", " 1, -5,  30"}};
    ASSERT_TRUE(table.Convert(items, nullptr));
    EXPECT_EQ(table.Elements(), (std::vector<int32_t>{1, -5, 30}));
    EXPECT_EQ(table.PositionOf(30), 2);
    EXPECT_EQ(table.PositionOf(7), table.Count());

    ExpectConversions<CTavIntegerTable>({
        {{{"name", "n"}, {"table", "1,,2"}}, false, "Number table has invalid element. : 1,,2\n"},
        {{{"name", "n"}}, false, "Number table n has no element.\n"},
    });
}

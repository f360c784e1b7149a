// Creating the resources from the script's definitions, looking them up, and acquiring
// bitmap images without a display.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "script/CTavHeadlessResources.h"
#include "script/CTavResourceManager.h"
#include "support/TestSupport.h"

namespace {

void PutLittle(std::string& bytes, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes[at + size_t(i)] = char((value >> (8 * i)) & 0xFF);
}

// A BMP file header and a 40-byte info header; the pixels are not needed to read the size.
std::string BmpHeader(int32_t width, int32_t height) {
    std::string bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLittle(bytes, 2, 54, 4);
    PutLittle(bytes, 10, 54, 4);
    PutLittle(bytes, 14, 40, 4);
    PutLittle(bytes, 18, uint32_t(width), 4);
    PutLittle(bytes, 22, uint32_t(height), 4);
    PutLittle(bytes, 26, 1, 2);
    PutLittle(bytes, 28, 24, 2);
    return bytes;
}

CTavElementDefinition Element(std::string type, TavItems items) {
    CTavElementDefinition definition;
    definition.type = std::move(type);
    definition.items = std::move(items);
    return definition;
}

class ResourceManager : public ::testing::Test {
protected:
    ResourceManager() { manager.SetErrorOutput(&errors); }

    CTavTextOutStringStream errors;
    CTavResourceManager manager;
};

} // namespace

TEST_F(ResourceManager, BuildsAllFourKindsAndFreesTheDefinitions) {
    manager.BitmapDefinitions().push_back(Element("", {{"name", "knob"}, {"stateCount", "4"}}));
    manager.TextWriterDefinitions().push_back(Element("", {{"name", "label"}}));
    manager.StringTableDefinitions().push_back(Element("", {{"name", "onOff"}, {"table", "Off, On"}}));
    manager.NumberTableDefinitions().push_back(Element("", {{"name", "steps"}, {"table", "0,64,127"}}));
    ASSERT_TRUE(manager.Create());
    EXPECT_EQ(errors.Text(), "");
    ASSERT_NE(manager.FindBitmap("knob"), nullptr);
    EXPECT_EQ(manager.FindBitmap("knob")->StateCount(), 4);
    EXPECT_NE(manager.FindTextWriter("label"), nullptr);
    EXPECT_EQ(manager.FindStringTable("onOff")->Count(), 2);
    EXPECT_EQ(manager.FindNumberTable("steps")->ElementAt(1), 64);
    EXPECT_EQ(manager.FindBitmap("label"), nullptr);
    EXPECT_EQ(manager.FindTextWriter("knob"), nullptr);
    EXPECT_TRUE(manager.BitmapDefinitions().empty());
    EXPECT_TRUE(manager.TextWriterDefinitions().empty());
}

TEST_F(ResourceManager, EachKindReportsConversionUnknownTagsAndDuplicates) {
    struct Case {
        const char* list;
        std::vector<CTavElementDefinition> definitions;
        std::string message;
    };
    const TavItems table = {{"name", "x"}, {"table", "1"}};
    const std::vector<Case> cases = {
        {"bitmap",
         {Element("knobType", {{"name", "x"}, {"mask", "2"}})},
         "Bitmap x mask must be 0 (do not use) or 1 (use).\nUnable to convert bitmap definition knobType to "
         "bitmap.\n"},
        {"bitmap",
         {Element("", {{"name", "x"}, {"colour", "1"}, {"size", "2"}})},
         "Bitmap x unknown tags. : colour, size, \n"},
        {"bitmap", {Element("", {{"name", "x"}}), Element("", {{"name", "x"}})}, "Bitmap x is duplicated.\n"},
        {"textWriter",
         {Element("tw", {{"name", "x"}, {"fontHeight", ""}})},
         "TextWriter x fontHeight is invalid. : \nUnable to convert element definitions tw to text "
         "writer.\n"},
        {"textWriter",
         {Element("", {{"name", "x"}, {"font", "a"}})},
         "Text Writer x unknown tags. : font, \n"},
        {"textWriter",
         {Element("", {{"name", "x"}}), Element("", {{"name", "x"}})},
         "Text writer x is duplicated.\n"},
        {"stringTable",
         {Element("st", {{"name", "x"}})},
         "String table x has no element.\nUnable to convert element definitions st to string table.\n"},
        {"stringTable",
         {Element("", {{"name", "x"}, {"table", "a"}, {"rows", "2"}})},
         "String Table x unknown tags. : rows, \n"},
        {"stringTable", {Element("", table), Element("", table)}, "String table x is duplicated.\n"},
        {"numberTable",
         {Element("nt", {{"name", "x"}, {"table", "a"}})},
         "Number table has invalid element. : a\nUnable to convert element definitions nt to integer "
         "table.\n"},
        {"numberTable",
         {Element("", {{"name", "x"}, {"table", "1"}, {"rows", "2"}})},
         "Integer Table x unknown tags. : rows, \n"},
        {"numberTable", {Element("", table), Element("", table)}, "Number table x is duplicated.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CTavResourceManager fresh;
        CTavTextOutStringStream output;
        fresh.SetErrorOutput(&output);
        const std::string list = c.list;
        auto& target = list == "bitmap"        ? fresh.BitmapDefinitions()
                       : list == "textWriter"  ? fresh.TextWriterDefinitions()
                       : list == "stringTable" ? fresh.StringTableDefinitions()
                                               : fresh.NumberTableDefinitions();
        target = c.definitions;
        EXPECT_FALSE(fresh.Create());
        EXPECT_EQ(output.Text(), c.message);
    }
}

TEST_F(ResourceManager, TheFirstFailureEndsCreationInKindOrder) {
    manager.NumberTableDefinitions().push_back(Element("", {{"name", "n"}}));
    manager.BitmapDefinitions().push_back(Element("", {{"name", "b"}, {"stateCount", "0"}}));
    manager.StringTableDefinitions().push_back(Element("", {{"name", "s"}, {"table", "a"}}));
    EXPECT_FALSE(manager.Create());
    EXPECT_EQ(errors.Text(), "Bitmap b state count must be greater than 0.\n"
                             "Unable to convert bitmap definition  to bitmap.\n");
    EXPECT_EQ(manager.FindStringTable("s"), nullptr);
    EXPECT_TRUE(manager.StringTableDefinitions().empty());
    EXPECT_TRUE(manager.NumberTableDefinitions().empty());
}

TEST_F(ResourceManager, AcquisitionLoadsTheImageOnceWorksOutTheStateSizeAndCountsUses) {
    test::TempDir folder;
    folder.Write("strip.bmp", BmpHeader(41, 90)); // vertical, 3 states, mask beside them
    folder.Write("row.bmp", BmpHeader(100, -30)); // horizontal, top-down, 4 states
    manager.SetImageFolder(folder.Path().string() + "/");
    manager.BitmapDefinitions().push_back(
        Element("", {{"name", "strip"}, {"stateCount", "3"}, {"mask", "1"}}));
    manager.BitmapDefinitions().push_back(
        Element("", {{"name", "row"}, {"stateCount", "4"}, {"direction", "1"}}));
    manager.BitmapDefinitions().push_back(Element("", {{"name", "missing"}}));
    ASSERT_TRUE(manager.Create());

    CTavStateBitmap* strip = manager.FindBitmap("strip");
    ASSERT_TRUE(strip->Acquire());
    EXPECT_EQ(strip->StateWidth(), 20);
    EXPECT_EQ(strip->StateHeight(), 30);
    EXPECT_EQ(strip->StateOrigin(2), (TavPoint{0, 60}));
    EXPECT_EQ(strip->MaskOffset(), (TavPoint{20, 0}));

    CTavStateBitmap* row = manager.FindBitmap("row");
    ASSERT_TRUE(row->Acquire());
    EXPECT_EQ(row->StateWidth(), 25);
    EXPECT_EQ(row->StateHeight(), 30);
    EXPECT_EQ(row->StateOrigin(2), (TavPoint{50, 0}));

    // Only the first acquisition reads the file; after the last release it is read again.
    std::filesystem::remove(folder.Path() / "row.bmp");
    EXPECT_TRUE(row->Acquire());
    EXPECT_EQ(row->UseCount(), 2);
    row->Release();
    row->Release();
    row->Release();
    EXPECT_EQ(row->UseCount(), 0);
    EXPECT_FALSE(row->Acquire());
    EXPECT_EQ(row->UseCount(), 0);

    // A failed load names the file it looked for.
    errors.Clear();
    EXPECT_FALSE(manager.FindBitmap("missing")->Acquire());
    EXPECT_EQ(errors.Text(), "Unable to load the image of bitmap missing. : " + folder.Path().string() +
                                 "/missing.bmp\n");
}

TEST(HeadlessBitmapSize, ReadsBothHeaderFormsAndRejectsOtherFiles) {
    test::TempDir folder;
    std::string core(26, '\0');
    core[0] = 'B';
    core[1] = 'M';
    PutLittle(core, 14, 12, 4);
    PutLittle(core, 18, 300, 2);
    PutLittle(core, 20, 7, 2);
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_TRUE(TavReadBmpSize(folder.Write("core.bmp", core).string(), width, height));
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 7);
    EXPECT_FALSE(
        TavReadBmpSize(folder.Write("text.bmp", "not an image at all, really").string(), width, height));
    EXPECT_FALSE(TavReadBmpSize(folder.Write("short.bmp", "BM").string(), width, height));
    EXPECT_FALSE(TavReadBmpSize(folder.Write("empty.bmp", BmpHeader(0, 5)).string(), width, height));
}

TEST(SystemResources, BitmapsLoadFromTheScriptFolder) {
    test::TempDir folder;
    folder.Write("panel.bmp", BmpHeader(8, 6));
    CTavSystem system;
    system.SetScriptFolder(folder.Path().string());
    ASSERT_TRUE(system.ReadScript("<bitmap><name>panel</name></bitmap>"));
    ASSERT_TRUE(system.CreateManagers());
    CTavStateBitmap* bitmap = system.ResourceManager().FindBitmap("panel");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->ImagePath(), folder.Path().string() + "/panel.bmp");
    EXPECT_TRUE(bitmap->Acquire());
    system.Shutdown();
}

// Values: byte encodings of every type, conversion of value definitions into specs,
// spec interning, position and text access, and the hex byte lists of addresses.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "app/CTavTextOut.h"
#include "midi/ITavMidiOut.h"
#include "model/CTavValueSpec.h"
#include "model/TavAddress.h"
#include "model/TavValueTypes.h"
#include "script/CTavResourceManager.h"
#include "support/ModelFixture.h"
#include "support/RecordingMidiOut.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One leaf holding a value of every type, each named after its type, between guards.
const char* const kScript = R"(
<numberTable><name>steps</name><table>0,10,20,50</table></numberTable>
<structType><type>AllTypes</type><name>$name</name><address>$address</address>
  <value><name>int1x7</name><type>int1x7</type></value>
  <value><name>int2x7</name><type>int2x7</type></value>
  <value><name>int3x7</name><type>int3x7</type></value>
  <value><name>int5x7</name><type>int5x7</type></value>
  <value><name>int2x4</name><type>int2x4</type></value>
  <value><name>int3x4</name><type>int3x4</type></value>
  <value><name>int4x4</name><type>int4x4</type></value>
  <value><name>string</name><type>string</type><size>08</size><default>Init</default></value>
  <value><name>guard</name><default>99</default></value>
</structType>
<structType><type>Texts</type><name>$name</name><address>$address</address>
  <value><name>short</name><type>string</type><size>04</size><default>ABCDEFGH</default></value>
  <value><name>empty</name><type>string</type><size>03</size></value>
  <value><name>guard</name><default>99</default></value>
</structType>
<structType><type>Positions</type><name>$name</name><address>$address</address>
  <value><name>plain</name><range>10,50</range><default>10</default></value>
  <value><name>table</name><range>0,50</range><default>0</default><numberTableRef>steps</numberTableRef></value>
  <value><name>guard</name><default>99</default></value>
</structType>
<structType><type>Top</type><name>$name</name><address>$address</address>
  <struct><type>AllTypes</type><name>types</name><address>00 10</address></struct>
  <struct><type>AllTypes</type><name>twin</name><address>00 40</address></struct>
  <struct><type>Texts</type><name>texts</name><address>01 00</address></struct>
  <struct><type>Positions</type><name>pos</name><address>01 10</address></struct>
</structType>
<struct><type>Top</type><name>v</name><address>01 00 00 00</address></struct>
)";

class ValueAccess : public test::ModelFixture {
protected:
    void SetUp() override { Build(kScript); }

    Bytes& LeafBytes(CTavValue& value) { return *value.Parent()->Bytes(); }
};

// --- Encodings -------------------------------------------------------------------------

struct EncodeCase {
    const char* type;
    int32_t raw;
    Bytes bytes;
    int32_t readBack;
};

const EncodeCase kEncodings[] = {
    {"int1x7", 0, {0x00}, 0},
    {"int1x7", 127, {0x7F}, 127},
    {"int1x7", 200, {0xC8}, 200}, // the low 8 bits, not masked to 7
    {"int1x7", -1, {0xFF}, 255},
    {"int1x7", 0x1C8, {0xC8}, 200},
    {"int2x7", 200, {0x01, 0x48}, 200},
    {"int2x7", 16383, {0x7F, 0x7F}, 16383},
    {"int2x7", 16384, {0x00, 0x00}, 0},
    {"int2x7", -64, {0x7F, 0x40}, 16320},
    {"int3x7", 74565, {0x04, 0x46, 0x45}, 74565},
    {"int3x7", -1, {0x7F, 0x7F, 0x7F}, 2097151},
    {"int5x7", 123456789, {0x00, 0x3A, 0x6F, 0x1A, 0x15}, 123456789},
    {"int5x7", INT32_MAX, {0x07, 0x7F, 0x7F, 0x7F, 0x7F}, INT32_MAX},
    {"int5x7", -1, {0x7F, 0x7F, 0x7F, 0x7F, 0x7F}, -1},
    {"int5x7", INT32_MIN, {0x78, 0x00, 0x00, 0x00, 0x00}, INT32_MIN},
    {"int2x4", 0xAB, {0x0A, 0x0B}, 0xAB},
    {"int2x4", 0x1AB, {0x0A, 0x0B}, 0xAB},
    {"int2x4", -1, {0x0F, 0x0F}, 0xFF},
    {"int3x4", 2048, {0x08, 0x00, 0x00}, 2048},
    {"int3x4", 0xFFF, {0x0F, 0x0F, 0x0F}, 0xFFF},
    {"int4x4", 0x1234, {0x01, 0x02, 0x03, 0x04}, 0x1234},
    {"int4x4", 32768, {0x08, 0x00, 0x00, 0x00}, 32768},
    {"int4x4", -1, {0x0F, 0x0F, 0x0F, 0x0F}, 0xFFFF},
};

TEST_F(ValueAccess, SetRawWritesTheEncodingOfTheTypeIntoExactlyTheValuesBytes) {
    for (const EncodeCase& c : kEncodings) {
        SCOPED_TRACE(std::string(c.type) + " raw " + std::to_string(c.raw));
        CTavValue& value = Value(std::string("v.types.") + c.type);
        Bytes& leaf = LeafBytes(value);
        Bytes expected = leaf;
        std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + value.Range().begin);

        value.SetRaw(c.raw);

        EXPECT_EQ(leaf, expected);
        EXPECT_EQ(value.GetRaw(), c.readBack);
    }
}

struct DecodeCase {
    const char* type;
    Bytes bytes;
    int32_t raw;
};

// Bytes as they may arrive from the device: read without masking.
const DecodeCase kDecodings[] = {
    {"int1x7", {0xFF}, 255},
    {"int1x7", {0x80}, 128},
    {"int2x7", {0x81, 0x00}, 16512},
    {"int2x7", {0x00, 0xFF}, 255},
    {"int3x7", {0x01, 0x00, 0x00}, 16384},
    {"int5x7", {0x7F, 0x7F, 0x7F, 0x7F, 0x7F}, -1},
    {"int5x7", {0x10, 0x00, 0x00, 0x00, 0x01}, 1}, // the top byte's high bits fall off 32 bits
    {"int2x4", {0x1F, 0x0F}, 511},
    {"int3x4", {0x0F, 0x0F, 0x0F}, 4095},
    {"int4x4", {0x10, 0x00, 0x00, 0x00}, 65536},
};

TEST_F(ValueAccess, GetRawCombinesTheBytesMostSignificantFirstWithoutMasking) {
    for (const DecodeCase& c : kDecodings) {
        SCOPED_TRACE(c.type);
        CTavValue& value = Value(std::string("v.types.") + c.type);
        std::copy(c.bytes.begin(), c.bytes.end(), value.Bytes());
        EXPECT_EQ(value.GetRaw(), c.raw);
    }
}

TEST_F(ValueAccess, AStringValueHasNoIntegerEncoding) {
    CTavValue& value = Value("v.types.string");
    const Bytes before = LeafBytes(value);
    value.SetRaw(0x41);
    EXPECT_EQ(LeafBytes(value), before);
    EXPECT_EQ(value.GetRaw(), 0);
    EXPECT_EQ(value.Kind(), kTavKindString);
    EXPECT_EQ(Value("v.types.int4x4").Kind(), kTavKindInteger);
}

// --- Text access -----------------------------------------------------------------------

TEST_F(ValueAccess, StringResetPadsTheDefaultTextWithBlanksToTheValuesSize) {
    CTavValue& value = Value("v.types.string");
    EXPECT_EQ(value.GetText(), "Init    ");
    value.SetText("Changed!");
    value.ResetToDefault();
    EXPECT_EQ(value.GetText(), "Init    ");
}

TEST_F(ValueAccess, StringWithoutDefaultResetsToBlanks) {
    EXPECT_EQ(Value("v.texts.empty").GetText(), "   ");
}

TEST_F(ValueAccess, ResetWithADefaultTextLongerThanTheValueKeepsToTheValuesBytes) {
    CTavValue& value = Value("v.texts.short");
    value.ResetToDefault();
    EXPECT_EQ(value.GetText(), "ABCD");
    EXPECT_EQ(Value("v.texts.empty").GetText(), "   ");
    EXPECT_EQ(Value("v.texts.guard").GetRaw(), 99);
}

TEST_F(ValueAccess, SetTextCutsALongerTextAtTheValuesSize) {
    CTavValue& value = Value("v.types.string");
    const Bytes before = LeafBytes(value);

    value.SetText("ABCDEFGHIJKLMNOPQRST");

    EXPECT_EQ(value.GetText(), "ABCDEFGH");
    Bytes expected = before;
    std::copy_n("ABCDEFGH", 8, expected.begin() + value.Range().begin);
    EXPECT_EQ(LeafBytes(value), expected);
    EXPECT_EQ(Value("v.types.guard").GetRaw(), 99);
}

TEST_F(ValueAccess, SetTextWithAShorterTextLeavesTheRemainingBytesAsTheyWere) {
    CTavValue& value = Value("v.types.string");
    value.SetText("ABCDEFGH");
    value.SetText("xy");
    EXPECT_EQ(value.GetText(), "xyCDEFGH");
}

TEST_F(ValueAccess, GetTextGivesEveryByteOfTheValueUntrimmed) {
    CTavValue& value = Value("v.types.string");
    value.SetText(std::string("a\0b     ", 8));
    EXPECT_EQ(value.GetText(), std::string("a\0b     ", 8));
}

// --- Positions -------------------------------------------------------------------------

TEST_F(ValueAccess, WithoutANumberTableThePositionIsTheRawValueMinusTheMinimum) {
    CTavValue& value = Value("v.pos.plain");
    value.SetPosition(5);
    EXPECT_EQ(value.GetRaw(), 15);
    value.SetRaw(50);
    EXPECT_EQ(value.GetPosition(), 40);
    EXPECT_EQ(value.Spec().RawOfPosition(0), 10);
}

TEST_F(ValueAccess, WithANumberTablePositionsMapThroughTheTable) {
    CTavValue& value = Value("v.pos.table");
    ASSERT_EQ(value.Spec().numberTable, system.ResourceManager().FindNumberTable("steps"));
    value.SetPosition(3);
    EXPECT_EQ(value.GetRaw(), 50);
    value.SetRaw(20);
    EXPECT_EQ(value.GetPosition(), 2);
}

TEST_F(ValueAccess, ARawValueAbsentFromTheNumberTableHasThePositionOfTheTablesCount) {
    CTavValue& value = Value("v.pos.table");
    value.SetRaw(30);
    EXPECT_EQ(value.GetPosition(), 4);
}

// --- Transmission ----------------------------------------------------------------------

TEST_F(ValueAccess, TransmitSendsTheWholeLeafAsOneDataSetAtItsAbsoluteAddress) {
    test::RecordingMidiOut out;
    Buffers().FindRoot("v")->SetOutput(&out);
    CTavValue& value = Value("v.types.int2x7");
    value.SetRaw(200);

    EXPECT_TRUE(value.Transmit());

    // 01 00 00 00 + 00 10 (leaf); the int2x7 follows the int1x7.
    ASSERT_EQ(out.sent.size(), 1u);
    EXPECT_EQ(out.sent[0].address, 2097152 + 16);
    EXPECT_EQ(out.sent[0].data, LeafBytes(value));
    EXPECT_EQ(Bytes(out.sent[0].data.begin() + 1, out.sent[0].data.begin() + 3), (Bytes{0x01, 0x48}));
}

TEST_F(ValueAccess, TransmitFailsWhenTheRootStructHasNoOutput) {
    EXPECT_FALSE(Value("v.types.int2x7").Transmit());
}

// --- Interning -------------------------------------------------------------------------

TEST_F(ValueAccess, ValuesWithEqualDefinitionsShareOneSpec) {
    EXPECT_EQ(&Value("v.types.int2x7").Spec(), &Value("v.twin.int2x7").Spec());
    EXPECT_EQ(&Value("v.types.string").Spec(), &Value("v.twin.string").Spec());
    EXPECT_NE(&Value("v.types.int2x7").Spec(), &Value("v.types.int3x7").Spec());
}

TEST(ValueSpecSet, InterningAnEqualSpecReturnsTheOneAlreadyHeld) {
    CTavSpecSet set;
    CTavValueSpec spec;
    spec.name = "level";
    spec.begin = 3;
    spec.end = 4;
    const CTavValueSpec* first = set.Intern(spec);
    const CTavValueSpec* second = set.Intern(spec);
    EXPECT_EQ(first, second);
    EXPECT_EQ(set.ValueSpecCount(), 1u);
}

TEST(ValueSpecSet, EveryFieldOfTheKeyTellsSpecsApart) {
    CTavIntegerTable table;
    CTavIntegerTable sameContents;
    CTavValueSpec base;
    base.name = "level";
    base.begin = 3;
    base.end = 4;
    base.numberTable = &table;

    std::vector<CTavValueSpec> variants(9, base);
    variants[1].name = "Level";
    variants[2].begin = 2;
    variants[3].end = 5;
    variants[4].type = kTavInt2x4;
    variants[5].minimum = 1;
    variants[6].maximum = 126;
    variants[7].defaultValue = 0;
    variants[8].numberTable = &sameContents; // tables are compared by identity

    CTavSpecSet set;
    for (const CTavValueSpec& spec : variants)
        set.Intern(spec);
    CTavValueSpec text = base;
    text.defaultText = "x";
    set.Intern(text);
    EXPECT_EQ(set.ValueSpecCount(), variants.size() + 1);
}

// --- Conversion ------------------------------------------------------------------------

struct Conversion {
    bool converted = false;
    CTavValueSpec spec;
    TavItems leftOver;
    std::string errors;
};

Conversion Convert(TavItems items, const std::string& type, int32_t runningAddress = 0,
                   const CTavResourceManager* resources = nullptr) {
    Conversion result;
    CTavTextOutStringStream errors;
    result.converted = TavConvertValueSpec(items, type, runningAddress, resources, &errors, result.spec);
    result.leftOver = items;
    result.errors = errors.Text();
    return result;
}

TEST(ValueSpecConversion, WithoutItemsAValueIsAnInt1x7From0To127Defaulting64AtTheRunningAddress) {
    const Conversion c = Convert({}, "", 7);
    ASSERT_TRUE(c.converted) << c.errors;
    EXPECT_EQ(c.spec.name, "");
    EXPECT_EQ(c.spec.begin, 7);
    EXPECT_EQ(c.spec.end, 8);
    EXPECT_EQ(c.spec.type, kTavInt1x7);
    EXPECT_EQ(c.spec.minimum, 0);
    EXPECT_EQ(c.spec.maximum, 127);
    EXPECT_EQ(c.spec.defaultValue, 64);
    EXPECT_EQ(c.spec.defaultText, "");
    EXPECT_EQ(c.spec.numberTable, nullptr);
    EXPECT_EQ(c.errors, "");
}

TEST(ValueSpecConversion, EachTypeTextGivesItsCodeAndSizeFromTheRunningAddress) {
    struct Case {
        const char* text;
        int type;
        int32_t size;
    };
    const Case cases[] = {
        {"", kTavInt1x7, 1},       {"int1x7", kTavInt1x7, 1}, {"int2x7", kTavInt2x7, 2},
        {"int3x7", kTavInt3x7, 3}, {"int5x7", kTavInt5x7, 5}, {"int2x4", kTavInt2x4, 2},
        {"int3x4", kTavInt3x4, 3}, {"int4x4", kTavInt4x4, 4}, {"string", kTavString, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Conversion result = Convert({}, c.text, 20);
        ASSERT_TRUE(result.converted) << result.errors;
        EXPECT_EQ(result.spec.type, c.type);
        EXPECT_EQ(result.spec.begin, 20);
        EXPECT_EQ(result.spec.end, 20 + c.size);
    }
}

TEST(ValueSpecConversion, AddressAndSizeAreHexByteListsOfSevenBitBytes) {
    const Conversion c = Convert({{"address", "01 00"}, {"size", "00 10"}}, "string");
    ASSERT_TRUE(c.converted) << c.errors;
    EXPECT_EQ(c.spec.begin, 128);
    EXPECT_EQ(c.spec.end, 144);
}

TEST(ValueSpecConversion, AnExplicitAddressReplacesTheRunningAddress) {
    const Conversion c = Convert({{"address", "05"}}, "int2x7", 40);
    ASSERT_TRUE(c.converted) << c.errors;
    EXPECT_EQ(c.spec.begin, 5);
    EXPECT_EQ(c.spec.end, 7);
}

TEST(ValueSpecConversion, RecognisedItemsAreTakenAndOthersLeftInOrder) {
    const Conversion c = Convert({{"colour", "red"},
                                  {"name", "level"},
                                  {"range", "0,100"},
                                  {"shade", "dark"},
                                  {"default", "5"},
                                  {"name", "second"},
                                  {"size", "01"},
                                  {"address", "03"}},
                                 "int1x7");
    ASSERT_TRUE(c.converted) << c.errors;
    EXPECT_EQ(c.spec.name, "level");
    EXPECT_EQ(c.leftOver, (TavItems{{"colour", "red"}, {"shade", "dark"}, {"name", "second"}}));
}

TEST(ValueSpecConversion, RangesAreReadAsDecimalPairsWithSignedMarks) {
    struct Case {
        const char* type;
        const char* range;
        int32_t minimum;
        int32_t maximum;
    };
    const Case cases[] = {
        {"int1x7", "0,127", 0, 127},      {"int1x7", "-64S,63S", 0, 127},
        {"int2x7", "-64S,63S", -64, 63},  {"int3x7", "-5S,5S", -5, 5},
        {"int5x7", "-1S,1S", -1, 1},      {"int2x4", "-128S,127S", 0, 255},
        {"int3x4", "-1S,1S", 2047, 2049}, {"int4x4", "-1S,0S", 32767, 32768},
        {"int1x7", "0,63S", 0, 127},      {"int1x7", "-5,5", -5, 5},
        {"int1x7", " 3, 4", 3, 4},        {"int1x7", "+1,+2", 1, 2},
        {"int4x4", "0,65535", 0, 65535},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.range);
        const Conversion result = Convert({{"range", c.range}}, c.type);
        ASSERT_TRUE(result.converted) << result.errors;
        EXPECT_EQ(result.spec.minimum, c.minimum);
        EXPECT_EQ(result.spec.maximum, c.maximum);
    }
}

TEST(ValueSpecConversion, DefaultsAreDecimalNumbersWithAnOptionalSignedMark) {
    struct Case {
        const char* type;
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"int1x7", "0S", 64}, {"int1x7", "-64S", 0}, {"int4x4", "-1S", 32767}, {"int2x7", "5S", 5},
        {"int1x7", " 7", 7},  {"int1x7", "-3", -3},  {"int2x4", "1S", 129},    {"int3x4", "0S", 2048},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.text);
        const Conversion result = Convert({{"default", c.text}}, c.type);
        ASSERT_TRUE(result.converted) << result.errors;
        EXPECT_EQ(result.spec.defaultValue, c.value);
    }
}

TEST(ValueSpecConversion, ADefaultWithoutARangeIsNotChecked) {
    const Conversion c = Convert({{"default", "500"}}, "int1x7");
    ASSERT_TRUE(c.converted) << c.errors;
    EXPECT_EQ(c.spec.defaultValue, 500);
}

TEST(ValueSpecConversion, ADefaultOnEitherEndOfTheRangeIsAccepted) {
    EXPECT_TRUE(Convert({{"range", "10,20"}, {"default", "10"}}, "int1x7").converted);
    EXPECT_TRUE(Convert({{"default", "20"}, {"range", "10,20"}}, "int1x7").converted);
}

TEST(ValueSpecConversion, AStringDefaultIsTakenVerbatim) {
    const Conversion c = Convert({{"size", "08"}, {"default", " Init 5S "}, {"range", "0,1"}}, "string");
    ASSERT_TRUE(c.converted) << c.errors;
    EXPECT_EQ(c.spec.defaultText, " Init 5S ");
    EXPECT_EQ(c.spec.defaultValue, 64);
}

TEST(ValueSpecConversion, ANumberTableIsFoundByName) {
    CTavResourceManager resources;
    resources.NumberTableDefinitions().push_back(
        CTavElementDefinition::Parse("<name>steps</name><table>1,2</table>"));
    ASSERT_TRUE(resources.Create());
    const Conversion c = Convert({{"numberTableRef", "steps"}}, "int1x7", 0, &resources);
    ASSERT_TRUE(c.converted) << c.errors;
    EXPECT_EQ(c.spec.numberTable, resources.FindNumberTable("steps"));
}

TEST(ValueSpecConversion, EachFailureWritesItsOneLineAndFails) {
    struct Case {
        const char* type;
        TavItems items;
        const char* message;
    };
    const Case cases[] = {
        {"int8x7", {}, "Value type is unknown. : v : int8x7\n"},
        {"Int1x7", {}, "Value type is unknown. : v : Int1x7\n"},
        {"int1x7 ", {}, "Value type is unknown. : v : int1x7 \n"},
        {"int1x7", {{"size", "02"}}, "Value size must be 01. : v : 02\n"},
        {"int2x7", {{"size", "01"}}, "Value size must be 02. : v : 01\n"},
        {"int5x7", {{"size", "0A"}}, "Value size must be 05. : v : 0A\n"},
        {"int1x7", {{"range", "0,127 "}}, "Value range is invalid. : v : 0,127 \n"},
        {"int1x7", {{"range", "0 ,127"}}, "Value range is invalid. : v : 0 ,127\n"},
        {"int1x7", {{"range", "0;127"}}, "Value range is invalid. : v : 0;127\n"},
        {"int1x7", {{"range", "0x0,0x7F"}}, "Value range is invalid. : v : 0x0,0x7F\n"},
        {"int1x7", {{"range", "0,"}}, "Value range is invalid. : v : 0,\n"},
        {"int1x7", {{"range", ",127"}}, "Value range is invalid. : v : ,127\n"},
        {"int1x7", {{"range", "127"}}, "Value range is invalid. : v : 127\n"},
        {"int1x7", {{"range", "0,1,2"}}, "Value range is invalid. : v : 0,1,2\n"},
        {"int1x7", {{"range", "0S1,2"}}, "Value range is invalid. : v : 0S1,2\n"},
        {"int1x7", {{"range", "0,2s"}}, "Value range is invalid. : v : 0,2s\n"},
        {"int1x7", {{"range", "1.5,3"}}, "Value range is invalid. : v : 1.5,3\n"},
        {"int1x7", {{"range", ""}}, "Value range is invalid. : v : \n"},
        {"int1x7", {{"default", "64 "}}, "Value default is invalid. : v : 64 \n"},
        {"int1x7", {{"default", "0x40"}}, "Value default is invalid. : v : 0x40\n"},
        {"int1x7", {{"default", "64SS"}}, "Value default is invalid. : v : 64SS\n"},
        {"int1x7", {{"default", "-"}}, "Value default is invalid. : v : -\n"},
        {"int1x7", {{"default", ""}}, "Value default is invalid. : v : \n"},
        {"int1x7",
         {{"range", "0,100"}, {"default", "101"}},
         "Value default 101 is out of range [0,100]. : v : 101\n"},
        {"int1x7",
         {{"default", "-1"}, {"range", "0,100"}},
         "Value default -1 is out of range [0,100]. : v : 0,100\n"},
        {"int1x7",
         {{"range", "-10S,10S"}, {"default", "20S"}},
         "Value default 84 is out of range [54,74]. : v : 20S\n"},
        {"int1x7", {{"numberTableRef", "nope"}}, "Unable to find number table. : v : nope.\n"},
        {"string",
         {{"size", "08"}, {"default", "Caf\xc3\xa9"}},
         "Value default holds the byte C3, which a text value cannot hold. : v : Caf\xc3\xa9\n"},
    };
    for (const Case& c : cases) {
        TavItems items{{"name", "v"}};
        items.insert(items.end(), c.items.begin(), c.items.end());
        const Conversion result = Convert(items, c.type);
        EXPECT_FALSE(result.converted) << c.message;
        EXPECT_EQ(result.errors, c.message);
    }
}

// --- Hex byte lists and address texts -------------------------------------------------

TEST(HexBytes, ByteListsCombineSevenBitsPerByteMostSignificantFirst) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"01 00 00 00", 2097152},
        {"7F", 127},
        {"0100", 128}, // two bytes 01 and 00
        {"123", 2307}, // 12, then a single digit 3
        {"1 2", 130},
        {"00 01 00", 128},
        {"7f 7F", 16383},
        {"0A 0B", 1291},
        {"", 0},
        {"   ", 0},
        {"  01  00  ", 128},
        {"01\n00", 128},
        {"01\t00", 128},
        {"01\r\n  00", 128},
        {"G1", 1}, // a character that is no hex digit counts as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TavParseHexBytes(c.text), c.value);
    }
}

TEST(HexBytes, FormattedAddressesAreUpperCaseSevenBitBytes) {
    EXPECT_EQ(TavFormatAddress(2097152), "01 00 00 00");
    EXPECT_EQ(TavFormatAddress(2097152 + 432), "01 00 03 30");
    EXPECT_EQ(TavFormatAddress(0), "00 00 00 00");
    EXPECT_EQ(TavFormatAddress(16383), "00 00 7F 7F");
    EXPECT_EQ(TavFormatAddress(1291, 2), "0A 0B");
    EXPECT_EQ(TavFormatAddress(200, 1), "48");
}

TEST(HexBytes, FormattingAndParsingAreInverse) {
    for (int32_t address : {0, 1, 127, 128, 16383, 2097152, 0x0FFFFFFF})
        EXPECT_EQ(TavParseHexBytes(TavFormatAddress(address)), address) << address;
}

} // namespace

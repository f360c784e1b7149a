// Element and type definitions read from script text, type lookup, macro references and
// entity decoding.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostileScripts.h"
#include "app/CTavTextOut.h"
#include "script/CTavElementDefinition.h"

namespace {

CTavTypeDefinition TypeNamed(const std::string& name, const std::string& marker) {
    CTavTypeDefinition definition;
    definition.typeName = name;
    definition.items = {{"marker", marker}};
    return definition;
}

} // namespace

// --- Element definitions ---------------------------------------------------------------

TEST(ElementDefinitionParse, ChildrenBecomeItemsInFileOrderWithDuplicatesKept) {
    const auto definition =
        CTavElementDefinition::Parse("<type>tone</type>"
                                     "<name>a</name><size>1</size><name>b</name><name>a</name>");
    EXPECT_EQ(definition.type, "tone");
    EXPECT_EQ(definition.items, (TavItems{{"name", "a"}, {"size", "1"}, {"name", "b"}, {"name", "a"}}));
}

TEST(ElementDefinitionParse, TypeChildSetsTheTypeTextAndALaterOneReplacesAnEarlierOne) {
    const auto definition =
        CTavElementDefinition::Parse("<type>first</type><x>1</x><type>second</type><y>2</y>");
    EXPECT_EQ(definition.type, "second");
    EXPECT_EQ(definition.items, (TavItems{{"x", "1"}, {"y", "2"}}));
}

TEST(ElementDefinitionParse, AnEmptyChildTagIsAnItemAndTheChildrenAfterItAreKept) {
    // The empty tag becomes an item the converter reports as unknown.
    const auto definition = CTavElementDefinition::Parse("<name>a</name><>x</><size>1</size>");
    EXPECT_EQ(definition.items, (TavItems{{"name", "a"}, {"", "x"}, {"size", "1"}}));
    const auto type = CTavTypeDefinition::Parse("<type>t</type><>x</><value><name>v</name></value>");
    EXPECT_EQ(type.items, (TavItems{{"", "x"}}));
    EXPECT_EQ(type.childValues.size(), 1u);
}

TEST(ElementDefinitionParse, WithoutATypeChildTheTypeTextIsEmpty) {
    const auto definition = CTavElementDefinition::Parse("<name>main</name>");
    EXPECT_EQ(definition.type, "");
    EXPECT_EQ(definition.items, (TavItems{{"name", "main"}}));
}

TEST(ElementDefinitionParse, EmptyTextGivesAnEmptyDefinition) {
    const auto definition = CTavElementDefinition::Parse("");
    EXPECT_EQ(definition.type, "");
    EXPECT_TRUE(definition.items.empty());
}

TEST(ElementDefinitionParse, TextBetweenChildElementsAndCommentsAreSkipped) {
    const auto definition = CTavElementDefinition::Parse("\n  stray <name>n</name> more\n"
                                                         "  <!-- note > aside --><size>4</size>\n");
    EXPECT_EQ(definition.items, (TavItems{{"name", "n"}, {"size", "4"}}));
}

TEST(ElementDefinitionParse, ItemTextsAreRawIncludingNestedElementsAndWhitespace) {
    // Only type definitions split out struct and value children; in an element definition
    // they are ordinary items holding their raw content.
    const auto definition = CTavElementDefinition::Parse("<value><name>v</name>\n  <size>1</size></value>"
                                                         "<struct><struct>in</struct></struct>"
                                                         "<label> A &amp; B </label>");
    EXPECT_EQ(definition.items, (TavItems{{"value", "<name>v</name>\n  <size>1</size>"},
                                          {"struct", "<struct>in</struct>"},
                                          {"label", " A &amp; B "}}));
}

TEST(ElementDefinitionFind, ReturnsTheFirstItemWithTheTagOrNull) {
    const auto definition = CTavElementDefinition::Parse("<name>a</name><name>b</name><Name>c</Name>");
    ASSERT_NE(definition.Find("name"), nullptr);
    EXPECT_EQ(*definition.Find("name"), "a");
    EXPECT_EQ(*definition.Find("Name"), "c");
    EXPECT_EQ(definition.Find("nam"), nullptr);
    EXPECT_EQ(definition.Find("type"), nullptr);
}

// --- Type definitions ------------------------------------------------------------------

TEST(ElementDefinitionTypeParse, SortsChildrenIntoTypeNameItemsStructsAndValues) {
    const auto definition = CTavTypeDefinition::Parse("<type>Tone</type>"
                                                      "<size>00 10</size>"
                                                      "<struct><type>Sub</type><name>common</name></struct>"
                                                      "<value><name>level</name><address>00</address></value>"
                                                      "<note>n</note>"
                                                      "<panel><type>Box</type></panel>"
                                                      "<control><name>knob</name></control>"
                                                      "<size>00 20</size>");
    EXPECT_EQ(definition.typeName, "Tone");
    EXPECT_EQ(definition.items, (TavItems{{"size", "00 10"}, {"note", "n"}, {"size", "00 20"}}));

    ASSERT_EQ(definition.childStructs.size(), 2u);
    EXPECT_EQ(definition.childStructs[0].type, "Sub");
    EXPECT_EQ(definition.childStructs[0].items, (TavItems{{"name", "common"}}));
    EXPECT_EQ(definition.childStructs[1].type, "Box");
    EXPECT_TRUE(definition.childStructs[1].items.empty());

    ASSERT_EQ(definition.childValues.size(), 2u);
    EXPECT_EQ(definition.childValues[0].items, (TavItems{{"name", "level"}, {"address", "00"}}));
    EXPECT_EQ(definition.childValues[1].items, (TavItems{{"name", "knob"}}));
}

TEST(ElementDefinitionTypeParse, ALaterTypeChildReplacesTheTypeName) {
    EXPECT_EQ(CTavTypeDefinition::Parse("<type>A</type><type>B</type>").typeName, "B");
}

TEST(ElementDefinitionTypeParse, ChildKeywordsAreMatchedExactly) {
    const auto definition =
        CTavTypeDefinition::Parse("<Struct>1</Struct><values>2</values><structType>3</structType>");
    EXPECT_TRUE(definition.childStructs.empty());
    EXPECT_TRUE(definition.childValues.empty());
    EXPECT_EQ(definition.items, (TavItems{{"Struct", "1"}, {"values", "2"}, {"structType", "3"}}));
}

TEST(ElementDefinitionTypeParse, StructChildHoldingAStructIsParsedAsOneChild) {
    const auto definition = CTavTypeDefinition::Parse("<struct><name>outer</name>"
                                                      "<struct><name>inner</name></struct></struct>"
                                                      "<value><name>after</name></value>");
    ASSERT_EQ(definition.childStructs.size(), 1u);
    EXPECT_EQ(definition.childStructs[0].items,
              (TavItems{{"name", "outer"}, {"struct", "<name>inner</name>"}}));
    ASSERT_EQ(definition.childValues.size(), 1u);
    EXPECT_EQ(definition.childValues[0].items, (TavItems{{"name", "after"}}));
}

TEST(ElementDefinitionTypeLookup, FindsTheFirstDefinitionWithExactlyThatName) {
    const std::vector<CTavTypeDefinition> list = {TypeNamed("ToneCommon", "prefix"),
                                                  TypeNamed("Tone", "first"), TypeNamed("tone", "lower"),
                                                  TypeNamed("Tone", "second")};
    struct Case {
        const char* name;
        const char* marker; // null: not found
    };
    const Case cases[] = {
        {"Tone", "first"},  {"tone", "lower"}, {"ToneCommon", "prefix"}, {"TONE", nullptr}, {"Ton", nullptr},
        {"Tone ", nullptr}, {"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CTavTypeDefinition* found = TavFindTypeDefinition(list, c.name);
        if (!c.marker) {
            EXPECT_EQ(found, nullptr);
            continue;
        }
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->items.front().second, c.marker);
    }
}

TEST(ElementDefinitionTypeLookup, EmptyListFindsNothing) {
    EXPECT_EQ(TavFindTypeDefinition({}, "Tone"), nullptr);
}

// --- Macro references ------------------------------------------------------------------

namespace {

struct MacroCase {
    const char* name;
    TavItems definition;
    std::string text;
    bool resolves;
    std::string expected; // the text afterwards, when it resolves
};

} // namespace

TEST(ElementDefinitionMacros, ReplacesReferencesInTemplateTexts) {
    const TavItems part = {{"part", "3"}, {"partLevel", "L"}, {"name", "Vol"}, {"addr", "00 01"}};
    const MacroCase cases[] = {
        {"single reference", part, "$name", true, "Vol"},
        {"reference inside text", part, "10 $addr 7F", true, "10 00 01 7F"},
        {"adjacent references", part, "$name$addr", true, "Vol00 01"},
        {"text without references", part, "plain text", true, "plain text"},
        {"empty text", part, "", true, ""},
        {"first item whose tag begins the rest wins, not the longest", part, "$partLevel", true, "3Level"},
        {"longer tag wins only when it comes first",
         {{"partLevel", "L"}, {"part", "3"}},
         "$partLevel/$part",
         true,
         "L/3"},
        {"unmatched reference before any replacement fails", part, "$zzz $name", false, ""},
        {"lone dollar fails", part, "$", false, ""},
        {"unmatched reference after a replacement stays", part, "$name costs $5", true, "Vol costs $5"},
        {"unmatched trailing dollar after a replacement stays", part, "$name$", true, "Vol$"},
        {"scan goes on after an unmatched dollar", part, "$name $? $addr", true, "Vol $? 00 01"},
        {"inserted text is not scanned again", {{"a", "$b"}, {"b", "B"}}, "$a $b", true, "$b B"},
        {"self reference is inserted once", {{"a", "$a"}}, "$a$a", true, "$a$a"},
        {"tags are case-sensitive", part, "$Name", false, ""},
        {"no definition items", {}, "$name", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TavItems templateItems = {{"label", c.text}};
        EXPECT_EQ(TavResolveMacros(c.definition, templateItems), c.resolves);
        if (c.resolves) {
            EXPECT_EQ(templateItems.front().second, c.expected);
        }
    }
}

TEST(ElementDefinitionMacros, ResolvesEveryTemplateItemAndLeavesTheirTagsAlone) {
    const TavItems definition = {{"n", "7"}, {"name", "Pan"}};
    TavItems templateItems = {{"$n", "$name"}, {"address", "00 $n"}, {"size", "1"}};
    ASSERT_TRUE(TavResolveMacros(definition, templateItems));
    EXPECT_EQ(templateItems, (TavItems{{"$n", "7ame"}, {"address", "00 7"}, {"size", "1"}}));
}

TEST(ElementDefinitionMacros, AReplacementInOneItemDoesNotExcuseAnUnmatchedReferenceInAnother) {
    const TavItems definition = {{"name", "Pan"}};
    TavItems templateItems = {{"label", "$name"}, {"address", "$missing $name"}};
    EXPECT_FALSE(TavResolveMacros(definition, templateItems));
}

TEST(ElementDefinitionMacros, EmptyTemplateResolves) {
    TavItems templateItems;
    EXPECT_TRUE(TavResolveMacros({{"name", "x"}}, templateItems));
}

TEST(ElementDefinitionMacros, ResolvedTextIsLimitedTo1MiBPerElementAndWorkPerBuild) {
    const TavItems definition = {{"half", std::string(kTavMaxResolvedText / 2, 'h')}, {"one", "1"}};
    struct Case {
        const char* behaviour;
        TavItems templateItems;
        size_t workLimit;
        bool resolved;
        std::string message;
    };
    const Case cases[] = {
        {"exactly 1 MiB over two items", {{"a", "$half"}, {"b", "$half"}}, size_t{1} << 28, true, ""},
        {"one byte more", {{"a", "$half"}, {"b", "$half$one"}}, size_t{1} << 28, false,
         "Resolved text is longer than 1048576 bytes. : b\n"},
        {"a long text without references counts too", {{"a", std::string(kTavMaxResolvedText + 1, 'x')}},
         size_t{1} << 28, false, "Resolved text is longer than 1048576 bytes. : a\n"},
        {"work runs out", {{"a", hostile::Repeat("$one", 1000)}}, 10, false,
         "Macro resolution takes more than 10 steps. : a\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        CTavTextOutStringStream errors;
        TavMacroWork work;
        work.limit = c.workLimit;
        TavItems items = c.templateItems;
        EXPECT_EQ(TavResolveMacros(definition, items, &errors, &work), c.resolved);
        EXPECT_EQ(errors.Text(), c.message);
        // Resolution stops soon after the work runs out, not at the end of the text.
        if (!c.resolved && c.workLimit < 100) {
            EXPECT_LT(work.used, 100u);
        }
    }
}

TEST(ElementDefinitionMacros, AMillionReferencesResolveInOnePass) {
    // Replacing in place moved the rest of the text at every reference.
    const size_t count = 1000000;
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += "$e-";
    TavItems items = {{"t", text}};
    ASSERT_TRUE(TavResolveMacros({{"e", ""}}, items));
    EXPECT_EQ(items.front().second, std::string(count, '-'));
}

// --- Entity decoding -------------------------------------------------------------------

TEST(ElementDefinitionEntities, ManyEntitiesDecodeInOnePassEach) {
    std::string text;
    for (int i = 0; i < 400000; ++i)
        text += "&amp;lt;";
    EXPECT_EQ(TavDecodeEntities(text), std::string(400000, '<'));
}

TEST(ElementDefinitionEntities, ReplacesTheFiveEntitiesInTheirFixedOrder) {
    struct Case {
        const char* text;
        const char* decoded;
    };
    const Case cases[] = {
        {"&quot;Tone&quot;", "\"Tone\""},
        {"A &amp; B", "A & B"},
        {"It&apos;s", "It's"},
        {"&lt;none&gt;", "<none>"},
        {"&amp;lt;", "<"}, // &amp; is decoded before &lt;, so the result is decoded again
        {"&amp;gt;", ">"},
        {"&amp;quot;", "&quot;"}, // &quot; comes before &amp;, so it is not
        {"&amp;amp;", "&amp;"},   // one pass per entity
        {"&amp;apos;", "'"},
        {"&lt &gt; &unknown; &", "&lt > &unknown; &"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TavDecodeEntities(c.text), c.decoded);
    }
}

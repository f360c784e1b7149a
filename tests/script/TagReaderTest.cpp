// The script's tag reader: tag texts, raw element contents, comments and the way it copes
// with unbalanced or truncated input.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/CTavTagReader.h"

namespace {

// Reads every top-level element as (tag, element text) until the reader runs dry.
std::vector<std::pair<std::string, std::string>> ReadAll(std::string_view text) {
    CTavTagReader reader(text);
    std::vector<std::pair<std::string, std::string>> elements;
    for (std::string tag; reader.NextTag(tag);)
        elements.emplace_back(tag, reader.ElementText());
    return elements;
}

using Elements = std::vector<std::pair<std::string, std::string>>;

} // namespace

TEST(TagReaderTags, ReturnsEachTopLevelTagInOrderAndSkipsTextBetweenThem) {
    EXPECT_EQ(ReadAll("leading <a>1</a> stray text\n<b>2</b>trailing"), (Elements{{"a", "1"}, {"b", "2"}}));
}

TEST(TagReaderTags, AnEmptyTagIsATagAndOnlyTheEndOfTheInputEndsTheRead) {
    CTavTagReader reader("<a>1</a><><b>2</b>");
    std::string tag = "unchanged";
    ASSERT_TRUE(reader.NextTag(tag));
    EXPECT_EQ(tag, "a");
    EXPECT_EQ(reader.ElementText(), "1");
    ASSERT_TRUE(reader.NextTag(tag));
    EXPECT_EQ(tag, "");
    ASSERT_TRUE(reader.NextTag(tag));
    EXPECT_EQ(tag, "b");
    EXPECT_EQ(reader.ElementText(), "2");
    EXPECT_FALSE(reader.NextTag(tag));
    EXPECT_FALSE(reader.NextTag(tag));
}

TEST(TagReaderTags, ReturnsAnEmptyTagAtTheEndOfTheInputAndKeepsDoingSo) {
    CTavTagReader reader("<a></a>");
    EXPECT_EQ(reader.NextTag(), "a");
    EXPECT_EQ(reader.ElementText(), "");
    EXPECT_EQ(reader.NextTag(), "");
    EXPECT_EQ(reader.NextTag(), "");
}

TEST(TagReaderTags, InputWithoutAnyTagYieldsAnEmptyTag) {
    EXPECT_EQ(CTavTagReader("").NextTag(), "");
    EXPECT_EQ(CTavTagReader("just text, no brackets").NextTag(), "");
}

TEST(TagReaderTags, TheWholeTextBetweenTheBracketsIsTheTag) {
    CTavTagReader declaration(R"(<?xml version="1.0" encoding="Shift_JIS"?><script>)");
    EXPECT_EQ(declaration.NextTag(), R"(?xml version="1.0" encoding="Shift_JIS"?)");
    EXPECT_EQ(declaration.NextTag(), "script");
    EXPECT_EQ(CTavTagReader("</script>").NextTag(), "/script");
}

TEST(TagReaderTags, StartTagWithAnAttributeYieldsATagThatContainsTheAttribute) {
    CTavTagReader reader(R"(<panel name="main"><type>t</type></panel><bitmap></bitmap>)");
    EXPECT_EQ(reader.NextTag(), R"(panel name="main")");
    EXPECT_EQ(reader.CurrentTag(), R"(panel name="main")");
    // No end tag matches that start tag, so its element takes the rest of the input.
    EXPECT_EQ(reader.ElementText(), "<type>t</type></panel><bitmap></bitmap>");
    EXPECT_EQ(reader.NextTag(), "");
}

TEST(TagReaderTags, InputEndingInsideATagReturnsWhatWasCollected) {
    EXPECT_EQ(CTavTagReader("text <panel").NextTag(), "panel");
    EXPECT_EQ(CTavTagReader("<").NextTag(), "");

    CTavTagReader afterElement("<a>1</a><struc");
    EXPECT_EQ(afterElement.NextTag(), "a");
    EXPECT_EQ(afterElement.ElementText(), "1");
    EXPECT_EQ(afterElement.NextTag(), "struc");
    EXPECT_EQ(afterElement.NextTag(), "");
}

TEST(TagReaderTags, InputEndingInsideACommentReturnsTheCommentCollectedSoFar) {
    EXPECT_EQ(CTavTagReader("<!-- open").NextTag(), "!-- open");
    EXPECT_EQ(CTavTagReader("<!-- a > b").NextTag(), "!-- a > b");
}

TEST(TagReaderComments, CommentsBetweenTopLevelElementsAreSkippedWhole) {
    struct Case {
        const char* input;
        Elements expected;
    };
    const Case cases[] = {
        {"<!-- plain --><a>1</a>", {{"a", "1"}}},
        {"<!-- a > b --><a>1</a>", {{"a", "1"}}},
        {"<a>1</a><!-- x > y > <b>not a tag</b> --><c>3</c>", {{"a", "1"}, {"c", "3"}}},
        {"<!----><a>1</a>", {{"a", "1"}}},
        {"<!-- one --><!-- two > --><a>1</a><!-- trailing -->", {{"a", "1"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(ReadAll(c.input), c.expected);
    }
}

TEST(TagReaderComments, CommentsInsideElementTextAreRemoved) {
    struct Case {
        const char* input;
        const char* text;
    };
    const Case cases[] = {
        {"<a>x<!-- note -->y</a>", "xy"}, {"<a>x<!-- a > b -->y</a>", "xy"},
        {"<a>x<!-- </a> -->y</a>", "xy"}, {"<a><b>1</b><!-- > > --><c>2</c></a>", "<b>1</b><c>2</c>"},
        {"<a><!-- only --></a>", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const std::string input = std::string(c.input) + "<next></next>";
        CTavTagReader reader(input);
        EXPECT_EQ(reader.NextTag(), "a");
        EXPECT_EQ(reader.ElementText(), c.text);
        EXPECT_EQ(reader.NextTag(), "next");
    }
}

TEST(TagReaderElementText, ChildElementsAndTheirTagsAreKeptUnchanged) {
    EXPECT_EQ(ReadAll("<panel><type>t</type><control><name>n</name></control><br/></panel>"),
              (Elements{{"panel", "<type>t</type><control><name>n</name></control><br/>"}}));
}

TEST(TagReaderElementText, NestedElementWithTheParentsNameDoesNotEndTheParent) {
    const std::string script = "<struct><name>outer</name>"
                               "<struct><name>inner</name><struct><name>deep</name></struct></struct>"
                               "<size>2</size></struct>"
                               "<panel>p</panel>";
    EXPECT_EQ(
        ReadAll(script),
        (Elements{{"struct", "<name>outer</name><struct><name>inner</name><struct><name>deep</name></struct>"
                             "</struct><size>2</size>"},
                  {"panel", "p"}}));
}

TEST(TagReaderElementText, MissingEndTagTakesTheRestOfTheInput) {
    CTavTagReader reader("<panel><name>a</name>\n<bitmap><name>b</name></bitmap>\n");
    EXPECT_EQ(reader.NextTag(), "panel");
    EXPECT_EQ(reader.ElementText(), "<name>a</name>\n<bitmap><name>b</name></bitmap>\n");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.NextTag(), "");
}

TEST(TagReaderElementText, UnbalancedNestedStartTagTakesTheRestOfTheInput) {
    CTavTagReader reader("<struct><struct>a</struct><next></next>");
    EXPECT_EQ(reader.NextTag(), "struct");
    EXPECT_EQ(reader.ElementText(), "<struct>a</struct><next></next>");
    EXPECT_EQ(reader.NextTag(), "");
}

TEST(TagReaderElementText, InputEndingInsideATagKeepsThePartialTag) {
    CTavTagReader reader("<a>x<b");
    EXPECT_EQ(reader.NextTag(), "a");
    EXPECT_EQ(reader.ElementText(), "x<b");
    EXPECT_EQ(reader.NextTag(), "");
}

TEST(TagReaderElementText, ContentIsKeptVerbatim) {
    struct Case {
        const char* name;
        std::string content;
    };
    const Case cases[] = {
        {"line breaks and indentation", "\n    <name>a</name>\n\t<size> 2 </size>\r\n  "},
        {"surrounding blanks", "   padded   "},
        {"entities stay encoded", "a &amp; b &lt;c&gt; &quot;d&quot;"},
        {"Shift_JIS bytes are not decoded", "\x83\x65\x83\x58\x83\x67 \x82\xa0"},
        {"a lone closing bracket", "a > b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string input = "<text>" + c.content + "</text>";
        CTavTagReader reader(input);
        EXPECT_EQ(reader.NextTag(), "text");
        EXPECT_EQ(reader.ElementText(), c.content);
    }
}

TEST(TagReaderElementText, EndTagOfAnotherElementIsJustText) {
    CTavTagReader reader("<a>1</b>2</a>");
    EXPECT_EQ(reader.NextTag(), "a");
    EXPECT_EQ(reader.ElementText(), "1</b>2");
}

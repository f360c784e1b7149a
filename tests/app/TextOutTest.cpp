// Text outputs: indentation, formatting, the buffer and string-stream outputs, and the
// texts of message and question codes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CTavTextOut.h"
#include "app/TavStrings.h"
#include "support/RecordingTextOut.h"

using test::RecordingTextOut;

// --- Indentation -----------------------------------------------------------------------

TEST(TextOutIndentation, IndentsEveryLineStartAndContinuesALineAcrossWrites) {
    RecordingTextOut out;
    out.Indent(2);
    out.Write("a\nb");
    out.Write("c\n");
    out.Write("d");
    EXPECT_EQ(out.outputs, (std::vector<std::string>{"  a\n  b", "c\n", "  d"}));
}

TEST(TextOutIndentation, IndentationInForceWhenALineStartsAppliesToTheWholeLine) {
    RecordingTextOut out;
    out.Indent(2);
    out.Write("x");
    out.Indent(2);
    out.Write("y\n");
    out.Write("z");
    EXPECT_EQ(out.outputs, (std::vector<std::string>{"  x", "y\n", "    z"}));
}

TEST(TextOutIndentation, EmptyLinesAreIndentedToo) {
    RecordingTextOut out;
    out.Indent(1);
    out.Write("\n\na\n");
    EXPECT_EQ(out.outputs, (std::vector<std::string>{" \n \n a\n"}));
}

TEST(TextOutIndentation, WithoutIndentationTextPassesUnchanged) {
    RecordingTextOut out;
    out.Write("one\ntwo\n");
    EXPECT_EQ(out.outputs, (std::vector<std::string>{"one\ntwo\n"}));
}

TEST(TextOutIndentation, IndentAddsAndRemovesBlanksButNeverGoesBelowEmpty) {
    struct Case {
        const char* name;
        std::vector<int> deltas;
        size_t blanks;
    };
    const Case cases[] = {
        {"starts empty", {}, 0},
        {"adds", {2}, 2},
        {"accumulates", {2, 3}, 5},
        {"removes", {4, -1}, 3},
        {"removing too much leaves it empty", {2, -100}, 0},
        {"grows again from empty after clamping", {2, -100, 3}, 3},
        {"negative from the start stays empty", {-1}, 0},
        {"zero changes nothing", {2, 0}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTavTextOut out;
        for (int delta : c.deltas)
            out.Indent(delta);
        EXPECT_EQ(out.IndentText(), std::string(c.blanks, ' '));
    }
}

// --- Formatting ------------------------------------------------------------------------

TEST(TextOutPrintf, FormatsWithPrintfRulesAndWritesTheResult) {
    RecordingTextOut out;
    out.Indent(2);
    out.Printf("Unknown tag. : %s\n", "panell");
    out.Printf("%d,%03d %c%%", -5, 7, 'S');
    EXPECT_EQ(out.outputs, (std::vector<std::string>{"  Unknown tag. : panell\n", "  -5,007 S%"}));
}

TEST(TextOutPrintf, WritesMessagesOfAnyLengthWhole) {
    for (size_t length : {0u, 1u, 510u, 511u, 512u, 513u, 2000u, 70000u}) {
        SCOPED_TRACE(length);
        std::string message;
        for (size_t i = 0; i < length; ++i)
            message += static_cast<char>('a' + i % 26);
        RecordingTextOut out;
        out.Printf("%s", message.c_str());
        ASSERT_EQ(out.outputs.size(), 1u);
        EXPECT_EQ(out.outputs[0], message);
    }
}

TEST(TextOutPrintf, LongMessageKeepsItsArgumentsAfterTheFirstBufferfulAndIsIndented) {
    const std::string head(1200, 'h');
    const std::string tail(800, 't');
    RecordingTextOut out;
    out.Indent(1);
    out.Printf("%s|%d|\n%s|%s", head.c_str(), 42, tail.c_str(), "end");
    ASSERT_EQ(out.outputs.size(), 1u);
    EXPECT_EQ(out.outputs[0], " " + head + "|42|\n " + tail + "|end");
}

// --- Buffer output ---------------------------------------------------------------------

TEST(TextOutBuffer, ReportedCodeStaysPendingUntilReplacedOrCleared) {
    CTavTextOutBuffer buffer;
    EXPECT_EQ(buffer.PendingCode(), 0);
    buffer.Report(TavStrings::kCodeLoadFailed);
    EXPECT_EQ(buffer.PendingCode(), 1);
    buffer.Report(TavStrings::kCodeMidiNotSetUp);
    EXPECT_EQ(buffer.PendingCode(), 3);
    buffer.Report(0);
    EXPECT_EQ(buffer.PendingCode(), 0);
}

TEST(TextOutBuffer, ReportingThroughTheBaseInterfaceReachesTheBuffer) {
    CTavTextOutBuffer buffer;
    CTavTextOut& out = buffer;
    out.Report(7);
    EXPECT_EQ(buffer.PendingCode(), 7);
}

TEST(TextOutBuffer, KeepsOnlyTheLastWrittenText) {
    CTavTextOutBuffer buffer;
    EXPECT_EQ(buffer.LastText(), "");
    buffer.Write("first\n");
    buffer.Printf("second %d", 2);
    EXPECT_EQ(buffer.LastText(), "second 2");
    EXPECT_EQ(buffer.PendingCode(), 0);
}

// --- String stream output --------------------------------------------------------------

TEST(TextOutStringStream, CollectsEverythingWrittenIntoOneText) {
    CTavTextOutStringStream stream;
    EXPECT_EQ(stream.Text(), "");
    stream.Write("Unknown tag. : x\n");
    stream.Indent(2);
    stream.Printf("%s ", "detail");
    stream.Write("continued\n");
    stream.Write("next");
    EXPECT_EQ(stream.Text(), "Unknown tag. : x\n  detail continued\n  next");
}

TEST(TextOutStringStream, ClearEmptiesTheCollectedText) {
    CTavTextOutStringStream stream;
    stream.Write("old\n");
    stream.Clear();
    stream.Write("new");
    EXPECT_EQ(stream.Text(), "new");
}

TEST(TextOutBase, OutputsThatDoNotAskAnswerQuestionsAndQueriesWithZero) {
    CTavTextOut out;
    EXPECT_EQ(out.Ask(1, TavStrings::kCodeAreYouSure, 0), 0);
    EXPECT_EQ(out.Query(1, 2, 3), 0);
    CTavTextOutStringStream stream;
    EXPECT_EQ(stream.Ask(3, 14, 1), 0);
    EXPECT_EQ(stream.Query(0, 0, 0), 0);
}

// --- Message and question texts --------------------------------------------------------

TEST(TextOutMessageTexts, EachMessageCodeSelectsItsString) {
    struct Case {
        int code;
        int stringId;
        const char* text;
    };
    const Case cases[] = {
        {1, 10005, "This file could not be loaded."},
        {2, 10006, "This file could not be saved."},
        {3, 10004,
         "MIDI devices aren't set up correctly.\nMake sure the settings in the \"Set Up MIDI Devices\" "
         "dialog box."},
        {4, 10003,
         "Unable to read/write data.\nChoose \"Help - Vireo Editor Manual,\" and refer to \"6. If the "
         "display "
         "indicates 'Unable to read/write data'.\""},
        {5, 10010, "Cannot read files of this type."},
        {10, 10013,
         "It appears that the system program version of the Vireo is incorrect.\nPlease check the version."},
        {11, 10015,
         "It appears that the Vireo is unconnected or connected incorrectly.\nPlease check the connections."},
        {13, 10016, "Sample Modify did not complete successfully, or sample memory was insufficient."},
        {18, 10011, "The Vireo exited PC mode. The Vireo will be set to PC mode again."},
        {19, 10012,
         "Please complete the Write operation in Vireo Librarian before you open the Sample Edit window."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(TavStrings::MessageStringId(c.code), c.stringId);
        EXPECT_EQ(TavStrings::Text(TavStrings::MessageStringId(c.code)), c.text);
    }
}

TEST(TextOutMessageTexts, AnyOtherCodeIsAnUndefinedError) {
    for (int code : {7, 0, -1, 6, 9, 12, 14, 15, 17, 20, 10005}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(TavStrings::MessageStringId(code), 10007);
        EXPECT_EQ(TavStrings::Text(TavStrings::MessageStringId(code)), "Undefined error.");
    }
}

TEST(TextOutQuestionTexts, CodeFourteenAsksAreYouSureAndAnyOtherIsAnUndefinedError) {
    EXPECT_EQ(TavStrings::QuestionStringId(14), 10014);
    EXPECT_EQ(TavStrings::Text(TavStrings::QuestionStringId(14)), "Are you sure?");
    for (int code : {0, 1, 3, 13, 15, -14}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(TavStrings::QuestionStringId(code), 10007);
        EXPECT_EQ(TavStrings::Text(TavStrings::QuestionStringId(code)), "Undefined error.");
    }
}

TEST(TextOutStringTable, UnknownIdHasAnEmptyText) {
    for (int id : {0, 9999, 10017, 99999}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(TavStrings::Text(id), "");
    }
}

TEST(TextOutStringTable, ProgressCodesHaveTheirTexts) {
    const struct {
        int code;
        int id;
        const char* text;
    } cases[] = {{1, 10000, "Now, getting data."},
                 {2, 10002, "Now, synchronizing data."},
                 {4, 10008, "Updating."},
                 {6, 10009, "Reading SMF."},
                 {3, 0, ""},
                 {5, 0, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(TavStrings::ProgressText(c.code), c.text) << c.code;
        if (c.id != 0) {
            EXPECT_EQ(TavStrings::Text(c.id), c.text);
        }
    }
}

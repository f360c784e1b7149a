// The buffer manager: writes through the handler chain, change records and the modified
// flag, transmission with its exclusion set, received data, leaf byte replacement,
// resets, loading, and the values that show the last MIDI message sent.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "midi/ITavMidiOut.h"
#include "model/CTavBufferManager.h"
#include "support/ModelFixture.h"
#include "support/RecordingMidiOut.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Root x at 01 00 00 (16384): node [0,25) with leaves one [0,9) and two [9,25), a gap,
// then the leaf far [64,80). Root aux holds one long text.
const char* const kScript = R"(
<numberTable><name>steps</name><table>0,10,20,50</table></numberTable>
<structType><type>First</type><name>$name</name><address>$address</address>
  <value><name>a</name><default>1</default></value>
  <value><name>wide</name><type>int2x7</type><range>0,16383</range><default>300</default></value>
  <value><name>text</name><type>string</type><size>04</size><default>ab</default></value>
  <value><name>step</name><range>0,50</range><default>0</default><numberTableRef>steps</numberTableRef></value>
  <value><name>offset</name><range>10,20</range><default>10</default></value>
</structType>
<structType><type>Second</type><name>$name</name><address>$address</address>
  <value><name>b</name><default>2</default></value>
  <value><name>c</name><default>3</default></value>
  <value><name>msg</name><type>string</type><size>0E</size></value>
</structType>
<structType><type>Node</type><name>$name</name><address>$address</address>
  <struct><type>First</type><name>one</name><address>00</address></struct>
  <struct><type>Second</type><name>two</name><address>09</address></struct>
</structType>
<structType><type>Root</type><name>$name</name><address>$address</address><size>01 00</size>
  <struct><type>Node</type><name>node</name><address>00</address></struct>
  <struct><type>Second</type><name>far</name><address>40</address></struct>
</structType>
<structType><type>Log</type><name>$name</name><address>$address</address>
  <value><name>big</name><type>string</type><size>06 20</size></value>
</structType>
<structType><type>AuxRoot</type><name>$name</name><address>$address</address>
  <struct><type>Log</type><name>log</name><address>00</address></struct>
</structType>
<struct><type>Root</type><name>x</name><address>01 00 00</address></struct>
<struct><type>AuxRoot</type><name>aux</name><address>02 00 00</address></struct>
)";

constexpr int32_t kX = 16384;

// Logs every hook as one line ("integers a=5", "written a") and takes integer or text
// writes over when told to.
class RecordingHandler : public ITavBufferHandler {
public:
    explicit RecordingHandler(std::vector<std::string>& log) : m_log(log) {}

    bool BeforeWriteIntegers(const TavIntegerWrites& writes) override {
        std::string line = "integers";
        for (const auto& [value, raw] : writes)
            line += " " + value->Name() + "=" + std::to_string(raw);
        m_log.push_back(line);
        return takeIntegers;
    }
    bool BeforeWriteTexts(const TavTextWrites& writes) override {
        std::string line = "texts";
        for (const auto& [value, text] : writes)
            line += " " + value->Name() + "='" + text + "'";
        m_log.push_back(line);
        return takeTexts;
    }
    bool AfterWrite(const TavValueList& values) override { return Log("written", values); }
    bool AfterLoad(const TavValueList& values) override { return Log("loaded", values); }
    bool AfterReceive(const TavValueList& values) override { return Log("received", values); }

    bool takeIntegers = false;
    bool takeTexts = false;

private:
    bool Log(std::string line, const TavValueList& values) {
        for (const CTavValue* value : values)
            line += " " + value->Name();
        m_log.push_back(line);
        return false;
    }

    std::vector<std::string>& m_log;
};

class BufferManager : public test::ModelFixture {
protected:
    void SetUp() override {
        Build(kScript);
        auto owned = std::make_unique<RecordingHandler>(log);
        handler = owned.get();
        Buffers().Handlers().Add(std::move(owned));
        X().SetOutput(&out);
    }

    CTavRootStruct& X() { return *Buffers().FindRoot("x"); }
    CTavStruct& Struct(const std::string& path) { return *Buffers().FindStruct(path); }
    CTavLeafStruct& Leaf(const std::string& path) { return dynamic_cast<CTavLeafStruct&>(Struct(path)); }

    std::vector<std::string> PendingNames() {
        std::vector<std::string> names;
        for (const CTavBuffer* buffer : Buffers().PendingChanges())
            names.push_back(buffer->Name());
        return names;
    }
    // Forgets what setting up the case did.
    void Settle() {
        Buffers().ClearPending();
        X().SetModified(false);
        log.clear();
        out.sent.clear();
    }

    std::vector<std::string> log;
    RecordingHandler* handler = nullptr;
    test::RecordingMidiOut out;
};

using Names = std::vector<std::string>;

// --- Writes and change records ---------------------------------------------------------

TEST_F(BufferManager, AfterCreationNothingIsPendingAndNoRootIsModified) {
    EXPECT_TRUE(Buffers().PendingChanges().empty());
    EXPECT_FALSE(X().IsModified());
    EXPECT_FALSE(Buffers().FindRoot("aux")->IsModified());
}

TEST_F(BufferManager, WriteIntegerOffersTheWriteThenWritesRecordsAndReportsIt) {
    Buffers().WriteInteger(Value("x.node.one.wide"), 200);
    EXPECT_EQ(Value("x.node.one.wide").GetRaw(), 200);
    EXPECT_EQ(PendingNames(), Names{"wide"});
    EXPECT_TRUE(X().IsModified());
    EXPECT_EQ(log, (Names{"integers wide=200", "written wide"}));
}

TEST_F(BufferManager, AChangeMarksOnlyItsOwnRootModified) {
    Buffers().WriteInteger(Value("x.far.b"), 5);
    EXPECT_TRUE(X().IsModified());
    EXPECT_FALSE(Buffers().FindRoot("aux")->IsModified());
}

TEST_F(BufferManager, WritingAValueTwiceBeforeTransmittingSendsItsLeafOnce) {
    CTavValue& a = Value("x.node.one.a");
    Buffers().WriteInteger(a, 5);
    Buffers().WriteInteger(a, 6);
    EXPECT_EQ(PendingNames(), (Names{"a", "a"}));
    EXPECT_TRUE(X().IsModified());

    Buffers().TransmitPending();

    // An edit goes out as the whole leaf that holds the value, with its latest bytes.
    const test::RecordingMidiOut::DataSet sent{kX, *Leaf("x.node.one").Bytes()};
    EXPECT_EQ(sent.data[0], 6);
    EXPECT_EQ(out.sent, (std::vector<test::RecordingMidiOut::DataSet>{sent}));
}

TEST_F(BufferManager, EachChangedLeafIsSentOncePerTransmitInTheOrderOfItsFirstChange) {
    const std::vector<uint8_t>& one = *Leaf("x.node.one").Bytes();
    const std::vector<uint8_t>& two = *Leaf("x.node.two").Bytes();
    const std::vector<uint8_t>& far = *Leaf("x.far").Bytes();
    using Sets = std::vector<test::RecordingMidiOut::DataSet>;
    struct Case {
        const char* what;
        std::vector<std::string> changed; // value or struct paths, in order of change
        Sets expected;
    };
    const Case cases[] = {
        {"values of two leaves interleaved",
         {"x.far.b", "x.node.one.a", "x.far.c", "x.node.one.wide", "x.far.b"},
         {{kX + 64, far}, {kX, one}}},
        {"a struct after one of its values",
         {"x.node.two.c", "x.node", "x.node.one.a"},
         {{kX + 9, two}, {kX, one}}},
        {"a struct twice and the root",
         {"x.node", "x.node", "x"},
         {{kX, one}, {kX + 9, two}, {kX + 64, far}}},
    };
    for (const Case& c : cases) {
        Settle();
        for (const std::string& path : c.changed) {
            if (CTavValue* value = Buffers().FindValue(path))
                Buffers().RecordChange(*value);
            else
                Buffers().RecordChange(Struct(path));
        }
        Buffers().TransmitPending();
        EXPECT_EQ(out.sent, c.expected) << c.what;
        // The next transmit sends them again.
        out.sent.clear();
        Buffers().TransmitPending();
        EXPECT_EQ(out.sent, c.expected) << c.what << ", again";
    }
}

TEST_F(BufferManager, WriteIntegersWritesEveryPairAfterOneBeforeHook) {
    Buffers().WriteIntegers({{&Value("x.node.one.a"), 7}, {&Value("x.far.c"), 8}});
    EXPECT_EQ(Value("x.node.one.a").GetRaw(), 7);
    EXPECT_EQ(Value("x.far.c").GetRaw(), 8);
    EXPECT_EQ(PendingNames(), (Names{"a", "c"}));
    EXPECT_EQ(log, (Names{"integers a=7 c=8", "written a c"}));
}

TEST_F(BufferManager, WriteIntegerByPositionMapsThePositionThroughTheNumberTable) {
    Buffers().WriteIntegerByPosition(Value("x.node.one.step"), 3);
    EXPECT_EQ(Value("x.node.one.step").GetRaw(), 50);
    EXPECT_EQ(log.front(), "integers step=50");
}

TEST_F(BufferManager, WriteIntegerByPositionWithoutANumberTableAddsTheMinimum) {
    Buffers().WriteIntegerByPosition(Value("x.node.one.offset"), 4);
    EXPECT_EQ(Value("x.node.one.offset").GetRaw(), 14);
    EXPECT_EQ(log.front(), "integers offset=14");
}

TEST_F(BufferManager, WriteTextOffersTheTextThenWritesAndRecordsIt) {
    Buffers().WriteText(Value("x.node.one.text"), "wxyz");
    EXPECT_EQ(Value("x.node.one.text").GetText(), "wxyz");
    EXPECT_EQ(PendingNames(), Names{"text"});
    EXPECT_EQ(log, (Names{"texts text='wxyz'", "written text"}));
}

// --- Handlers taking writes over -------------------------------------------------------

TEST_F(BufferManager, AHandlerTakingIntegersOverPreventsTheWriteTheRecordAndTheAfterHook) {
    handler->takeIntegers = true;
    Buffers().WriteInteger(Value("x.node.one.a"), 9);
    Buffers().WriteIntegerByPosition(Value("x.node.one.step"), 1);
    EXPECT_EQ(Value("x.node.one.a").GetRaw(), 1);
    EXPECT_EQ(Value("x.node.one.step").GetRaw(), 0);
    EXPECT_TRUE(Buffers().PendingChanges().empty());
    EXPECT_FALSE(X().IsModified());
    EXPECT_EQ(log, (Names{"integers a=9", "integers step=10"}));
}

TEST_F(BufferManager, EveryHandlerIsAskedEvenAfterOneTookTheWriteOver) {
    std::vector<std::string> secondLog;
    Buffers().Handlers().Add(std::make_unique<RecordingHandler>(secondLog));
    handler->takeTexts = true;
    Buffers().WriteText(Value("x.node.one.text"), "wxyz");
    EXPECT_EQ(Value("x.node.one.text").GetText(), "ab  ");
    EXPECT_EQ(secondLog, Names{"texts text='wxyz'"});
}

TEST_F(BufferManager, AHandlerTakingTextsOverLeavesTheIntegersOfAResetToBeWritten) {
    Buffers().WriteInteger(Value("x.node.one.a"), 9);
    Buffers().WriteText(Value("x.node.one.text"), "wxyz");
    Settle();
    handler->takeTexts = true;

    Buffers().ResetStruct(Struct("x.node.one"));

    EXPECT_EQ(Value("x.node.one.a").GetRaw(), 1);
    EXPECT_EQ(Value("x.node.one.text").GetText(), "wxyz");
    EXPECT_EQ(PendingNames(), (Names{"a", "wide", "step", "offset"}));
}

// --- Resets ----------------------------------------------------------------------------

TEST_F(BufferManager, ResetValueOffersAndWritesTheDefault) {
    Buffers().WriteInteger(Value("x.node.one.wide"), 9);
    Buffers().WriteText(Value("x.node.one.text"), "wxyz");
    Settle();

    Buffers().ResetValue(Value("x.node.one.wide"));
    Buffers().ResetValue(Value("x.node.one.text"));

    EXPECT_EQ(Value("x.node.one.wide").GetRaw(), 300);
    EXPECT_EQ(Value("x.node.one.text").GetText(), "ab  ");
    EXPECT_EQ(PendingNames(), (Names{"wide", "text"}));
    EXPECT_TRUE(X().IsModified());
    EXPECT_EQ(log, (Names{"integers wide=300", "written wide", "texts text='ab  '", "written text"}));
}

TEST_F(BufferManager, ResetStructResetsEveryValueBelowItIntegersFirst) {
    for (const char* path : {"x.node.one.a", "x.node.one.step", "x.node.two.c"})
        Buffers().WriteInteger(Value(path), 20);
    Buffers().WriteText(Value("x.node.two.msg"), "changed");
    Settle();

    Buffers().ResetStruct(Struct("x.node"));

    EXPECT_EQ(Value("x.node.one.a").GetRaw(), 1);
    EXPECT_EQ(Value("x.node.one.step").GetRaw(), 0);
    EXPECT_EQ(Value("x.node.two.c").GetRaw(), 3);
    EXPECT_EQ(Value("x.node.two.msg").GetText(), std::string(14, ' '));
    EXPECT_EQ(log,
              (Names{"integers a=1 wide=300 step=0 offset=10 b=2 c=3",
                     "texts text='ab  ' msg='              '", "written a wide step offset b c text msg"}));
    EXPECT_EQ(Value("x.far.c").GetRaw(), 3);
    EXPECT_EQ(PendingNames(), (Names{"a", "wide", "step", "offset", "b", "c", "text", "msg"}));
}

// --- Replacing a leaf's bytes ----------------------------------------------------------

TEST_F(BufferManager, ReplacingALeafsBytesWithAnotherLengthDoesNothing) {
    CTavLeafStruct& one = Leaf("x.node.one");
    const Bytes before = *one.Bytes();
    Buffers().ReplaceLeafBytes(one, Bytes(8, 0x01));
    Buffers().ReplaceLeafBytes(one, Bytes(10, 0x01));
    Buffers().ReplaceLeafBytes(one, Bytes());
    EXPECT_EQ(*one.Bytes(), before);
    EXPECT_TRUE(Buffers().PendingChanges().empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(BufferManager, ReplacingALeafsBytesOffersEveryValuesNewContentsThenRecordsEveryValue) {
    CTavLeafStruct& one = Leaf("x.node.one");
    const Bytes bytes{0x05, 0x01, 0x02, 'w', 'x', 'y', 'z', 0x14, 0x0B};

    Buffers().ReplaceLeafBytes(one, bytes);

    EXPECT_EQ(*one.Bytes(), bytes);
    EXPECT_EQ(Value("x.node.one.wide").GetRaw(), 130);
    EXPECT_EQ(log, (Names{"integers a=5 wide=130 step=20 offset=11", "texts text='wxyz'",
                          "written a wide text step offset"}));
    EXPECT_EQ(PendingNames(), (Names{"a", "wide", "text", "step", "offset"}));
    EXPECT_TRUE(X().IsModified());
}

TEST_F(BufferManager, ReplacingALeafsBytesTakenOverByAHandlerWritesNothing) {
    CTavLeafStruct& one = Leaf("x.node.one");
    const Bytes before = *one.Bytes();
    handler->takeIntegers = true;
    Buffers().ReplaceLeafBytes(one, Bytes(9, 0x01));
    EXPECT_EQ(*one.Bytes(), before);
    EXPECT_TRUE(Buffers().PendingChanges().empty());
}

// --- Transmission ----------------------------------------------------------------------

TEST_F(BufferManager, AnExcludedBufferIsRecordedButNotTransmitted) {
    CTavValue& a = Value("x.node.one.a");
    CTavValue& b = Value("x.node.two.b");
    Buffers().WriteInteger(a, 5);
    Buffers().WriteInteger(b, 6);
    Buffers().ExcludeFromTransmission(a);

    Buffers().TransmitPending();
    Buffers().PublishPending();

    EXPECT_EQ(PendingNames(), (Names{"a", "b"}));
    EXPECT_EQ(out.sent,
              (std::vector<test::RecordingMidiOut::DataSet>{{kX + 9, *Leaf("x.node.two").Bytes()}}));
}

TEST_F(BufferManager, ClearPendingEmptiesThePendingListAndTheExclusionSet) {
    CTavValue& a = Value("x.node.one.a");
    Buffers().WriteInteger(a, 5);
    Buffers().ExcludeFromTransmission(a);

    Buffers().ClearPending();

    EXPECT_TRUE(Buffers().PendingChanges().empty());
    EXPECT_FALSE(Buffers().IsExcluded(a));
    Buffers().WriteInteger(a, 7);
    Buffers().TransmitPending();
    EXPECT_EQ(out.sent, (std::vector<test::RecordingMidiOut::DataSet>{{kX, *Leaf("x.node.one").Bytes()}}));
}

TEST_F(BufferManager, ClearPendingLeavesTheModifiedFlag) {
    Buffers().WriteInteger(Value("x.node.one.a"), 5);
    Buffers().ClearPending();
    EXPECT_TRUE(X().IsModified());
}

TEST_F(BufferManager, ARecordedStructTransmitsEachOfItsLeavesWhole) {
    Buffers().RecordChange(Struct("x.node"));
    Buffers().TransmitPending();
    ASSERT_EQ(out.sent.size(), 2u);
    EXPECT_EQ(out.sent[0], (test::RecordingMidiOut::DataSet{kX, *Leaf("x.node.one").Bytes()}));
    EXPECT_EQ(out.sent[1], (test::RecordingMidiOut::DataSet{kX + 9, *Leaf("x.node.two").Bytes()}));
    EXPECT_TRUE(X().IsModified());
}

TEST_F(BufferManager, BuffersOfARootWithoutOutputAreNotSent) {
    X().SetOutput(nullptr);
    Buffers().WriteInteger(Value("x.node.one.a"), 5);
    Buffers().TransmitPending();
    EXPECT_TRUE(out.sent.empty());
}

// --- Received data ---------------------------------------------------------------------

TEST_F(BufferManager, ReceivedDataForTheSecondByteOfAValueReportsThatValue) {
    const uint8_t data[] = {0x05};
    EXPECT_TRUE(X().ReceiveDataSet(kX + 2, data, 1));
    EXPECT_EQ(Value("x.node.one.wide").GetRaw(), 2 * 128 + 5);
    EXPECT_EQ(PendingNames(), Names{"wide"});
    EXPECT_TRUE(X().IsModified());
    EXPECT_EQ(log, Names{"received wide"});
}

TEST_F(BufferManager, ReceivedDataReportsEveryValueItOverlapsInOrder) {
    const uint8_t data[] = {0x02, 'P', 'Q'};
    EXPECT_TRUE(X().ReceiveDataSet(kX + 65, data, 3));
    EXPECT_EQ(Value("x.far.b").GetRaw(), 2);
    EXPECT_EQ(Value("x.far.c").GetRaw(), 2);
    EXPECT_EQ(Value("x.far.msg").GetText(), "PQ            ");
    EXPECT_EQ(PendingNames(), (Names{"c", "msg"}));
    EXPECT_EQ(log, Names{"received c msg"});
}

TEST_F(BufferManager, ReceivedDataNotInsideOneLeafIsDropped) {
    struct Case {
        const char* where;
        int32_t address;
        size_t size;
    };
    const Case cases[] = {
        {"last byte of one leaf and first of the next", kX + 8, 2},
        {"between two leaves", kX + 30, 1},
        {"before the root", kX - 1, 1},
        {"across the root's begin", kX - 1, 2},
        {"after the root", kX + 128, 1},
        {"across a leaf's end into the gap", kX + 79, 2},
    };
    const Bytes before = *Leaf("x.node.one").Bytes();
    const Bytes data(2, 0x7F);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_FALSE(X().ReceiveDataSet(c.address, data.data(), c.size));
    }
    EXPECT_EQ(*Leaf("x.node.one").Bytes(), before);
    EXPECT_EQ(Value("x.node.two.b").GetRaw(), 2);
    EXPECT_TRUE(Buffers().PendingChanges().empty());
    EXPECT_FALSE(X().IsModified());
    EXPECT_TRUE(log.empty());
}

// --- Values that show the last MIDI message --------------------------------------------

TEST_F(BufferManager, RegisteringAMessageValueNeedsAPathThatNamesAValue) {
    EXPECT_FALSE(Buffers().RegisterMidiMessageValue(&out, "x.far.nothing"));
    EXPECT_FALSE(Buffers().RegisterMidiMessageValue(&out, "x.far"));
    EXPECT_TRUE(Buffers().RegisterMidiMessageValue(&out, "x.far.msg"));
}

TEST_F(BufferManager, AfterTransmittingAMessageValueShowsTheLastMessageInHexPaddedWithBlanks) {
    ASSERT_TRUE(Buffers().RegisterMidiMessageValue(&out, "x.far.msg"));
    out.last = {0xF0, 0x41, 0x0A};
    Buffers().TransmitPending();
    EXPECT_EQ(Value("x.far.msg").GetText(), "F0 41 0A      ");
    EXPECT_EQ(PendingNames(), Names{"msg"});
    EXPECT_TRUE(X().IsModified());
}

TEST_F(BufferManager, AMessageThatExactlyFillsTheValueIsShownWhole) {
    ASSERT_TRUE(Buffers().RegisterMidiMessageValue(&out, "x.far.msg"));
    out.last = {0xF0, 0x41, 0x10, 0x00, 0xF7};
    Buffers().TransmitPending();
    EXPECT_EQ(Value("x.far.msg").GetText(), "F0 41 10 00 F7");
}

TEST_F(BufferManager, AMessageTooLongForTheValueOrMissingChangesNothing) {
    ASSERT_TRUE(Buffers().RegisterMidiMessageValue(&out, "x.far.msg"));
    const std::string before = Value("x.far.msg").GetText();
    for (const TavBytes& message : {TavBytes{0xF0, 0x41, 0x10, 0x00, 0x00, 0xF7}, TavBytes{}}) {
        out.last = message;
        Buffers().TransmitPending();
        EXPECT_EQ(Value("x.far.msg").GetText(), before) << message.size();
    }
    EXPECT_TRUE(Buffers().PendingChanges().empty());
}

TEST_F(BufferManager, AnUnchangedMessageTextIsNotRecordedAgain) {
    ASSERT_TRUE(Buffers().RegisterMidiMessageValue(&out, "x.far.msg"));
    out.last = {0xF0, 0xF7};
    Buffers().TransmitPending();
    ASSERT_EQ(Buffers().PendingChanges().size(), 1u);
    Buffers().TransmitPending();
    EXPECT_EQ(Buffers().PendingChanges().size(), 1u);
}

TEST_F(BufferManager, MessagesOfMoreThan256BytesAreNotShown) {
    test::RecordingMidiOut auxOut;
    Buffers().FindRoot("aux")->SetOutput(&auxOut);
    ASSERT_TRUE(Buffers().RegisterMidiMessageValue(&auxOut, "aux.log.big"));
    CTavValue& big = Value("aux.log.big");
    ASSERT_EQ(big.Size(), 800);

    auxOut.last = TavBytes(257, 0x11); // 770 characters would fit the value
    Buffers().TransmitPending();
    EXPECT_EQ(big.GetText(), std::string(800, ' '));

    auxOut.last = TavBytes(256, 0x11);
    Buffers().TransmitPending();
    std::string expected;
    for (int i = 0; i < 256; ++i)
        expected += i ? " 11" : "11";
    expected.resize(800, ' ');
    EXPECT_EQ(big.GetText(), expected);
}

// --- Loading ---------------------------------------------------------------------------

TEST_F(BufferManager, BodySizeCountsTheBytesOfEveryLeafButNotTheGaps) {
    EXPECT_EQ(CTavBufferManager::BodySize(Struct("x.node")), 25u);
    EXPECT_EQ(CTavBufferManager::BodySize(Struct("x")), 41u);
    EXPECT_EQ(CTavBufferManager::BodySize(Struct("x.far")), 16u);
}

TEST_F(BufferManager, LoadStructFillsTheLeavesDepthFirstAndReportsEveryValue) {
    Bytes body(41);
    std::iota(body.begin(), body.end(), uint8_t{0x20});

    Buffers().LoadStruct(Struct("x"), body.data(), body.size());

    EXPECT_EQ(*Leaf("x.node.one").Bytes(), Bytes(body.begin(), body.begin() + 9));
    EXPECT_EQ(*Leaf("x.node.two").Bytes(), Bytes(body.begin() + 9, body.begin() + 25));
    EXPECT_EQ(*Leaf("x.far").Bytes(), Bytes(body.begin() + 25, body.end()));
    EXPECT_EQ(log, Names{"loaded a wide text step offset b c msg b c msg"});
    EXPECT_EQ(PendingNames().size(), 11u);
    EXPECT_TRUE(X().IsModified());
}

// --- The shipped script ------------------------------------------------------------------

class BufferManagerShipped : public test::ModelFixture {
protected:
    void SetUp() override {
        std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
        Build(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              CTavSystem::Views::Skip);
    }
};

TEST_F(BufferManagerShipped, ResettingARhythmKeySendsItsLeafOnce) {
    CTavBufferManager& buffers = Buffers();
    test::RecordingMidiOut out;
    buffers.FindRoot("qv")->SetOutput(&out);
    CTavStruct* key = buffers.FindStruct("qv.rhy[9].tone[9]");
    ASSERT_NE(key, nullptr);

    buffers.ResetStruct(*key);
    ASSERT_GT(buffers.PendingChanges().size(), 1u);
    buffers.TransmitPending();

    ASSERT_EQ(out.sent.size(), 1u);
    EXPECT_EQ(out.sent[0].address, key->AbsoluteRange().begin);
    EXPECT_EQ(out.sent[0].data.size(), static_cast<size_t>(key->Range().Length()));
}

} // namespace

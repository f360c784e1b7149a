// The general buffer handlers driven through the buffer manager's writes: the
// synchronizer, the fade range clipper, the effect swapper, and the handler chain.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "midi/ITavMidiOut.h"
#include "model/CTavBufferSynchronizer.h"
#include "model/CTavEffectSwapper.h"
#include "model/CTavFadeRangeClipper.h"
#include "support/ModelFixture.h"
#include "support/RecordingMidiOut.h"

namespace {

// tone[0..2]: three 8-byte tones. layers: three 2-byte layers in one leaf. edge: a
// 2-byte value whose twin at the same offset would end past the leaf. mfx at 00 40.
const char* const kScript = R"(<script>
<structType><type>tone</type><name>tone</name><address>$adr</address><size>00 08</size>
  <value><name>level</name><default>100</default></value>
  <value><name>cutoff</name></value>
  <value><type>int2x7</type><name>pitch</name><range>0,16383</range><default>8192</default></value>
</structType>
<structType><type>layers</type><name>layers</name><address>00 20</address>
  <value><name>sw0</name></value><value><name>lvl0</name></value>
  <value><name>sw1</name></value><value><name>lvl1</name></value>
  <value><name>sw2</name></value><value><name>lvl2</name></value>
</structType>
<structType><type>edge</type><name>edge</name><address>00 28</address>
  <value><name>a</name></value><value><type>int2x7</type><name>wide</name><range>0,16383</range></value>
  <value><name>b</name></value><value><name>last</name></value>
</structType>
<structType><type>control</type><name>control</name><address>00 30</address>
  <value><name>toneMask</name><range>0,15</range><default>3</default></value>
  <value><name>velLow</name><default>10</default></value>
  <value><name>velHigh</name><default>100</default></value>
  <value><name>key0</name><default>10</default></value>
  <value><name>key1</name><default>50</default></value>
  <value><name>key2</name><default>100</default></value>
  <value><name>mfxType</name><range>0,3</range><default>0</default></value>
</structType>
<structType><type>mfx</type><name>mfx</name><address>00 40</address>
  <value><name>p0</name><default>10</default></value><value><name>p1</name><default>20</default></value>
  <value><name>p2</name><default>30</default></value><value><name>p3</name><default>40</default></value>
</structType>
<structType><type>rootType</type><name>root</name><address>00 00 00</address>
  <struct><type>tone</type><adr>00 00</adr><adr>00 08</adr><adr>00 10</adr></struct>
  <struct><type>layers</type></struct>
  <struct><type>edge</type></struct>
  <struct><type>control</type></struct>
  <struct><type>mfx</type></struct>
</structType>
<struct><type>rootType</type></struct>
</script>)";

class RecordingHandler : public ITavBufferHandler {
public:
    explicit RecordingHandler(bool answer = false) : m_answer(answer) {}
    bool BeforeWriteIntegers(const TavIntegerWrites& writes) override {
        beforeIntegers.push_back(writes);
        return m_answer;
    }
    bool AfterWrite(const TavValueList& values) override {
        afterWrites.push_back(values);
        return m_answer;
    }
    std::vector<TavIntegerWrites> beforeIntegers;
    std::vector<TavValueList> afterWrites;

private:
    bool m_answer;
};

class BufferHandlersTest : public test::ModelFixture {
protected:
    void SetUp() override {
        Build(kScript);
        Buffers().FindRoot("root")->SetOutput(&midi);
    }

    template <typename Handler> Handler& Add(std::unique_ptr<Handler> handler) {
        Handler& added = *handler;
        Buffers().Handlers().Add(std::move(handler));
        return added;
    }
    CTavStruct& Struct(const std::string& name) { return *Buffers().FindStruct("root." + name); }
    CTavValue& V(const std::string& path) { return Value("root." + path); }
    int32_t Raw(const std::string& path) { return V(path).GetRaw(); }
    void Write(const std::string& path, int32_t raw) { Buffers().WriteInteger(V(path), raw); }
    std::vector<std::string> Pending() {
        std::vector<std::string> paths;
        for (const CTavBuffer* buffer : Buffers().PendingChanges())
            paths.push_back(buffer->FullPath());
        return paths;
    }
    using Paths = std::vector<std::string>;

    test::RecordingMidiOut midi;
};

// ---- Synchronizer -----------------------------------------------------------------

class BufferHandlersSynchronizer : public BufferHandlersTest {
protected:
    CTavBufferSynchronizer& AddTones() {
        auto& sync = Add(std::make_unique<CTavBufferSynchronizer>(Buffers()));
        for (const char* tone : {"tone[0]", "tone[1]", "tone[2]"})
            EXPECT_TRUE(sync.AddEntry(Struct(tone)));
        sync.SetMaskValue(&V("control.toneMask"));
        return sync;
    }
};

TEST_F(BufferHandlersSynchronizer, CopiesAWriteToTheSameOffsetInEveryOtherSelectedEntryAndRecordsBoth) {
    AddTones(); // mask 3: tone[0] and tone[1]
    Write("tone[0].cutoff", 20);
    EXPECT_EQ(Raw("tone[1].cutoff"), 20);
    EXPECT_EQ(Raw("tone[2].cutoff"), 64);
    EXPECT_EQ(Pending(), (Paths{"root.tone[0].cutoff", "root.tone[1].cutoff"}));
}

TEST_F(BufferHandlersSynchronizer, CopiesNothingWhenTheOtherEntrysMaskBitIsClear) {
    AddTones();
    Write("control.toneMask", 1);
    Buffers().ClearPending();
    Write("tone[0].cutoff", 20);
    EXPECT_EQ(Raw("tone[1].cutoff"), 64);
    EXPECT_EQ(Pending(), Paths{"root.tone[0].cutoff"});
}

TEST_F(BufferHandlersSynchronizer, DoesNotCopyValuesOutsideTheSelectedEntries) {
    AddTones();
    Write("tone[2].cutoff", 5); // unselected entry
    Write("control.velLow", 7); // in no entry
    EXPECT_EQ(Raw("tone[0].cutoff"), 64);
    EXPECT_EQ(Raw("tone[1].cutoff"), 64);
    EXPECT_EQ(Pending(), (Paths{"root.tone[2].cutoff", "root.control.velLow"}));
}

TEST_F(BufferHandlersSynchronizer, ReadsTheMaskAtEachWriteAndCopiesMultiByteValuesWhole) {
    AddTones();
    Write("control.toneMask", 6);
    Write("tone[1].pitch", 300);
    EXPECT_EQ(Raw("tone[2].pitch"), 300);
    EXPECT_EQ(Raw("tone[0].pitch"), 8192);
}

TEST_F(BufferHandlersSynchronizer, SubRangesOfOneLeafAreCopiedByTheirOffsetInTheRange) {
    auto& sync = Add(std::make_unique<CTavBufferSynchronizer>(Buffers()));
    for (int32_t layer = 0; layer < 3; ++layer)
        ASSERT_TRUE(sync.AddEntry(Struct("layers"), {2 * layer, 2 * layer + 2}));
    Write("control.toneMask", 7);
    sync.SetMaskValue(&V("control.toneMask"));
    Write("layers.lvl1", 9);
    EXPECT_EQ(Raw("layers.lvl0"), 9);
    EXPECT_EQ(Raw("layers.lvl2"), 9);
    EXPECT_EQ(Raw("layers.sw0"), 64);
}

TEST_F(BufferHandlersSynchronizer, SkipsATargetTheCopyWouldRunPastTheLeafsEndFrom) {
    auto& sync = Add(std::make_unique<CTavBufferSynchronizer>(Buffers()));
    ASSERT_TRUE(sync.AddEntry(Struct("edge"), {0, 3}));
    ASSERT_TRUE(sync.AddEntry(Struct("edge"), {3, 5}));
    sync.SetMaskValue(&V("control.toneMask"));
    Write("edge.wide", 300); // twin at offset 4 is the leaf's last byte
    EXPECT_EQ(Raw("edge.last"), 64);
    Write("edge.a", 1);
    EXPECT_EQ(Raw("edge.b"), 1);
}

TEST_F(BufferHandlersSynchronizer, CopiesAreNotOfferedToTheHandlersAgain) {
    AddTones();
    auto& later = Add(std::make_unique<RecordingHandler>());
    Write("tone[0].cutoff", 20);
    EXPECT_EQ(later.beforeIntegers.size(), 1u);
    ASSERT_EQ(later.afterWrites.size(), 1u);
    EXPECT_EQ(later.afterWrites[0], TavValueList{&V("tone[0].cutoff")});
}

TEST_F(BufferHandlersSynchronizer, RefusesA33rdEntryAndRangesOutsideALeaf) {
    CTavBufferSynchronizer sync(Buffers());
    EXPECT_FALSE(sync.AddEntry(*Buffers().FindStruct("root")));
    EXPECT_FALSE(sync.AddEntry(Struct("tone[0]"), {4, 9}));
    EXPECT_FALSE(sync.AddEntry(Struct("tone[0]"), {4, 4}));
    for (size_t i = 0; i < CTavBufferSynchronizer::kMaxEntries; ++i)
        ASSERT_TRUE(sync.AddEntry(Struct("tone[0]")));
    EXPECT_FALSE(sync.AddEntry(Struct("tone[1]")));
}

// ---- Fade range clipper -------------------------------------------------------------

class BufferHandlersFadeRange : public BufferHandlersTest {
protected:
    void SetUp() override {
        BufferHandlersTest::SetUp();
        auto& clipper = Add(std::make_unique<CTavFadeRangeClipper>(Buffers()));
        ASSERT_TRUE(clipper.AddPair(V("control.velLow"), V("control.velHigh")));
    }
};

TEST_F(BufferHandlersFadeRange, RaisesTheUpperBoundToALowerBoundSetAboveIt) {
    Write("control.velLow", 110);
    EXPECT_EQ(Raw("control.velHigh"), 110);
    EXPECT_EQ(Pending(), (Paths{"root.control.velLow", "root.control.velHigh"}));
}

TEST_F(BufferHandlersFadeRange, LowersTheLowerBoundToAnUpperBoundSetBelowIt) {
    Write("control.velHigh", 5);
    EXPECT_EQ(Raw("control.velLow"), 5);
    EXPECT_EQ(Pending(), (Paths{"root.control.velHigh", "root.control.velLow"}));
}

TEST_F(BufferHandlersFadeRange, LeavesBoundsThatMeetButDoNotCrossAlone) {
    Write("control.velLow", 100);
    Write("control.velHigh", 100);
    EXPECT_EQ(Pending(), (Paths{"root.control.velLow", "root.control.velHigh"}));
}

TEST_F(BufferHandlersFadeRange, AnswersTrueOnlyForWritesThatIncludeABound) {
    CTavFadeRangeClipper clipper(Buffers());
    ASSERT_TRUE(clipper.AddPair(V("control.velLow"), V("control.velHigh")));
    EXPECT_TRUE(clipper.AfterWrite({&V("control.key0"), &V("control.velLow")}));
    EXPECT_FALSE(clipper.AfterWrite({&V("control.key0")}));
    EXPECT_FALSE(clipper.AddPair(V("control.key0"), V("control.key0")));
}

TEST_F(BufferHandlersFadeRange, AValueBoundingTwoRangesMovesTheBoundOnEitherSide) {
    CTavFadeRangeClipper& clipper = Add(std::make_unique<CTavFadeRangeClipper>(Buffers()));
    ASSERT_TRUE(clipper.AddPair(V("control.key1"), V("control.key2")));
    ASSERT_TRUE(clipper.AddPair(V("control.key0"), V("control.key1")));
    Write("control.key1", 120);
    EXPECT_EQ(Raw("control.key2"), 120);
    EXPECT_EQ(Raw("control.key0"), 10);
    Write("control.key1", 3);
    EXPECT_EQ(Raw("control.key0"), 3);
    EXPECT_EQ(Raw("control.key2"), 120);
}

TEST_F(BufferHandlersFadeRange, APairAddedAfterAnEditIsFoundByTheNextOne) {
    CTavFadeRangeClipper clipper(Buffers());
    ASSERT_TRUE(clipper.AddPair(V("control.velLow"), V("control.velHigh")));
    EXPECT_FALSE(clipper.AfterWrite({&V("control.key0")}));
    ASSERT_TRUE(clipper.AddPair(V("control.key0"), V("control.key1")));
    V("control.key0").SetRaw(60);
    EXPECT_TRUE(clipper.AfterWrite({&V("control.key0")}));
    EXPECT_EQ(Raw("control.key1"), 60);
}

// ---- Effect swapper -----------------------------------------------------------------

class BufferHandlersEffectSwap : public BufferHandlersTest {
protected:
    CTavEffectSwapper& AddSwapper(TavSavedBlocks blocks) {
        auto& swapper = Add(std::make_unique<CTavEffectSwapper>(Buffers()));
        EXPECT_TRUE(swapper.Register(V("control.mfxType"), Struct("mfx"), std::move(blocks)));
        return swapper;
    }
    TavBytes Mfx() { return *Struct("mfx").Bytes(); }

    const TavSavedBlocks kBlocks{{0, {10, 20, 30, 40}}, {1, {1, 1, 1, 1}}, {2, {2, 2, 2, 2}}};
};

TEST_F(BufferHandlersEffectSwap, SwitchingAwayAndBackRestoresTheParametersSetWhileATypeWasActive) {
    AddSwapper(kBlocks);
    Write("mfx.p0", 50);
    Write("control.mfxType", 1);
    EXPECT_EQ(Mfx(), (TavBytes{1, 1, 1, 1}));
    Write("mfx.p1", 77);
    Write("control.mfxType", 0);
    EXPECT_EQ(Mfx(), (TavBytes{50, 20, 30, 40}));
    Write("control.mfxType", 1);
    EXPECT_EQ(Mfx(), (TavBytes{1, 77, 1, 1}));
    EXPECT_EQ(Raw("control.mfxType"), 1);
}

TEST_F(BufferHandlersEffectSwap, ASwapShowsTheNewParametersButSendsTheWholeEffectStructOnlyOnce) {
    auto& swapper = AddSwapper(kBlocks);
    auto& later = Add(std::make_unique<RecordingHandler>());
    Write("mfx.p3", 44);
    Buffers().ClearPending();
    later.afterWrites.clear();

    Write("control.mfxType", 2);
    EXPECT_EQ(Pending(),
              (Paths{"root.control.mfxType", "root.mfx.p0", "root.mfx.p1", "root.mfx.p2", "root.mfx.p3"}));
    EXPECT_TRUE(later.afterWrites.empty());
    ASSERT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(midi.sent[0].address, 0x40);
    EXPECT_EQ(midi.sent[0].data, (TavBytes{2, 2, 2, 2}));
    EXPECT_EQ(*swapper.SavedBlock(V("control.mfxType"), 0), (TavBytes{10, 20, 30, 44}));

    // Transmitting the edit sends the type value's own leaf; the parameters already went out.
    Buffers().TransmitPending();
    ASSERT_EQ(midi.sent.size(), 2u);
    EXPECT_EQ(midi.sent[1].address, Struct("control").AbsoluteRange().begin);
}

TEST_F(BufferHandlersEffectSwap, ATypeValueInsideTheEffectStructIsNotSentAgainWithTheEdit) {
    auto& swapper = Add(std::make_unique<CTavEffectSwapper>(Buffers()));
    ASSERT_TRUE(swapper.Register(V("mfx.p0"), Struct("mfx"), {{10, {10, 20, 30, 40}}, {2, {2, 5, 5, 5}}}));
    Write("mfx.p0", 2);
    Buffers().TransmitPending();
    ASSERT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(midi.sent[0].data, (TavBytes{2, 5, 5, 5}));
}

TEST_F(BufferHandlersEffectSwap, WritingTheCurrentTypeChangesAndWritesNothing) {
    AddSwapper(kBlocks);
    auto& later = Add(std::make_unique<RecordingHandler>());
    Write("control.mfxType", 0);
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(later.afterWrites.empty());
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(Mfx(), (TavBytes{10, 20, 30, 40}));
}

TEST_F(BufferHandlersEffectSwap, ATypeWithoutASavedBlockOnEitherSideDropsTheWrite) {
    AddSwapper({{1, {1, 1, 1, 1}}, {2, {2, 2, 2, 2}}});
    Write("control.mfxType", 1); // no block for the current type 0
    EXPECT_EQ(Raw("control.mfxType"), 0);
    V("control.mfxType").SetRaw(2);
    Write("control.mfxType", 3); // no block for the new type
    EXPECT_EQ(Raw("control.mfxType"), 2);
    EXPECT_EQ(Mfx(), (TavBytes{10, 20, 30, 40}));
    EXPECT_TRUE(Pending().empty());
    EXPECT_TRUE(midi.sent.empty());
}

TEST_F(BufferHandlersEffectSwap, LeavesOtherWritesAndWritesOfSeveralValuesToTheManager) {
    AddSwapper(kBlocks);
    Buffers().WriteIntegers({{&V("control.mfxType"), 1}, {&V("mfx.p0"), 5}});
    EXPECT_EQ(Raw("control.mfxType"), 1);
    EXPECT_EQ(Mfx(), (TavBytes{5, 20, 30, 40}));
    EXPECT_TRUE(midi.sent.empty());
}

TEST_F(BufferHandlersEffectSwap, WithSwappedValuesOnlyTheirBytesGoWithTheType) {
    auto& swapper = Add(std::make_unique<CTavEffectSwapper>(Buffers()));
    // p1 named twice must not save what the swap just brought back.
    ASSERT_TRUE(swapper.Register(V("control.mfxType"), Struct("mfx"), kBlocks,
                                 {&V("mfx.p1"), &V("mfx.p3"), &V("mfx.p1")}));
    Write("mfx.p0", 50);
    Write("mfx.p1", 51);
    Buffers().ClearPending();

    Write("control.mfxType", 1);
    EXPECT_EQ(Mfx(), (TavBytes{50, 1, 30, 1}));
    EXPECT_EQ(Pending(), (Paths{"root.control.mfxType", "root.mfx.p1", "root.mfx.p3", "root.mfx.p1"}));
    ASSERT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(midi.sent[0].data, (TavBytes{50, 1, 30, 1}));
    EXPECT_EQ(*swapper.SavedBlock(V("control.mfxType"), 0), (TavBytes{10, 51, 30, 40}));

    Write("mfx.p0", 5);
    Write("control.mfxType", 0);
    EXPECT_EQ(Mfx(), (TavBytes{5, 51, 30, 40}));
}

TEST_F(BufferHandlersEffectSwap, RefusesSwappedValuesOutsideTheEffectOrTheTypeItself) {
    CTavEffectSwapper swapper(Buffers());
    EXPECT_FALSE(swapper.Register(V("control.mfxType"), Struct("mfx"), {}, {&V("control.velLow")}));
    EXPECT_FALSE(swapper.Register(V("control.mfxType"), Struct("mfx"), {}, {nullptr}));
    EXPECT_FALSE(swapper.Register(V("mfx.p0"), Struct("mfx"), {}, {&V("mfx.p1"), &V("mfx.p0")}));
    EXPECT_EQ(swapper.EffectCount(), 0u);
    EXPECT_TRUE(swapper.Register(V("mfx.p0"), Struct("mfx"), {}, {&V("mfx.p1")}));
}

TEST_F(BufferHandlersEffectSwap, RefusesBlocksOfAnotherLengthAndStructsWithoutBytes) {
    CTavEffectSwapper swapper(Buffers());
    CTavValue& type = V("control.mfxType");
    EXPECT_FALSE(swapper.Register(type, Struct("mfx"), {{0, {1, 2, 3}}}));
    EXPECT_FALSE(swapper.Register(type, *Buffers().FindStruct("root"), {}));
    ASSERT_TRUE(swapper.Register(type, Struct("mfx"), {}));
    EXPECT_FALSE(swapper.Register(type, Struct("mfx"), {}));
    EXPECT_FALSE(swapper.SetSavedBlock(type, 1, {1, 2, 3, 4, 5}));
    EXPECT_TRUE(swapper.SetSavedBlock(type, 1, {1, 2, 3, 4}));
}

// ---- Handler chain ------------------------------------------------------------------

TEST_F(BufferHandlersTest, AHandlerTakingAWriteOverStillLetsTheNextSeeItButStopsTheManager) {
    auto& first = Add(std::make_unique<RecordingHandler>(true));
    auto& second = Add(std::make_unique<RecordingHandler>());
    Write("tone[0].cutoff", 1);
    EXPECT_EQ(second.beforeIntegers.size(), 1u);
    EXPECT_EQ(Raw("tone[0].cutoff"), 64);
    EXPECT_TRUE(Pending().empty());
    EXPECT_FALSE(Buffers().FindRoot("root")->IsModified());
    EXPECT_TRUE(first.afterWrites.empty());
    EXPECT_TRUE(second.afterWrites.empty());
}

} // namespace

// The edit history: one step per action with what the handlers changed, undo and redo
// byte-exact with one data set per changed leaf and no handler run, device changes as steps
// of their own, whole-state actions, the context going back, names and the memory bound.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/CTavBufferManager.h"
#include "model/CTavEditHistory.h"
#include "support/ModelFixture.h"
#include "support/RecordingMidiOut.h"

namespace {

using Bytes = std::vector<uint8_t>;

// qv: three parts of two leaves each (part settings, a name) and a system leaf; vs holds
// the selected part, which is not device memory.
const char* const kScript = R"(
<structType><type>PartSet</type><name>$name</name><address>$address</address>
  <value><name>partLevel</name><default>100</default></value>
  <value><name>partPan</name><default>64</default></value>
</structType>
<structType><type>PartName</type><name>$name</name><address>$address</address>
  <value><name>name</name><type>string</type><size>04</size><default>INIT</default></value>
</structType>
<structType><type>Part</type><name>$name</name><address>$adr</address>
  <struct><type>PartSet</type><name>set</name><address>00</address></struct>
  <struct><type>PartName</type><name>label</name><address>10</address></struct>
</structType>
<structType><type>System</type><name>$name</name><address>$address</address>
  <value><name>masterTune</name><default>64</default></value>
</structType>
<structType><type>QvRoot</type><name>$name</name><address>$address</address>
  <struct><type>Part</type><name>part</name><adr>00 00</adr><adr>01 00</adr><adr>02 00</adr></struct>
  <struct><type>System</type><name>system</name><address>10 00</address></struct>
</structType>
<structType><type>Control</type><name>$name</name><address>$address</address>
  <value><name>partId</name><range>0,2</range><default>0</default></value>
</structType>
<structType><type>VsRoot</type><name>$name</name><address>$address</address>
  <struct><type>Control</type><name>control</name><address>00</address></struct>
</structType>
<struct><type>QvRoot</type><name>qv</name><address>01 00 00 00</address></struct>
<struct><type>VsRoot</type><name>vs</name><address>02 00 00 00</address></struct>
)";

// Keeps the pan at half the level, as a handler with consequences would; counts its runs.
class PanFollowsLevel : public ITavBufferHandler {
public:
    explicit PanFollowsLevel(CTavBufferManager& buffers) : m_buffers(buffers) {}
    bool AfterWrite(const TavValueList& values) override {
        for (CTavValue* value : values)
            if (value->Name() == "partLevel") {
                ++runs;
                CTavValue* pan = value->Parent()->FindValue(value->Parent()->Name() + ".partPan");
                if (pan && pan->GetRaw() != value->GetRaw() / 2) {
                    pan->SetRaw(value->GetRaw() / 2);
                    m_buffers.RecordChange(*pan);
                }
            }
        return false;
    }
    int runs = 0;

private:
    CTavBufferManager& m_buffers;
};

class EditHistory : public test::ModelFixture {
protected:
    void SetUp() override {
        Build(kScript);
        auto handler = std::make_unique<PanFollowsLevel>(Buffers());
        follower = handler.get();
        Buffers().Handlers().Add(std::move(handler));
        Qv().SetOutput(&out);
        history = std::make_unique<CTavEditHistory>(Buffers());
        ASSERT_TRUE(history->Attach("qv"));
        history->SetContextValues({&Value("vs.control.partId")});
    }

    CTavRootStruct& Qv() { return *Buffers().FindRoot("qv"); }
    CTavValue& Level(int part) { return Value("qv.part[" + std::to_string(part) + "].set.partLevel"); }
    CTavValue& Pan(int part) { return Value("qv.part[" + std::to_string(part) + "].set.partPan"); }
    // One edit as a control makes it: write, send, publish, clear.
    void Edit(CTavValue& value, int32_t raw) {
        Buffers().WriteInteger(value, raw);
        Buffers().TransmitPending();
        Buffers().PublishPending();
        Buffers().ClearPending();
    }
    // A data set the device sent by itself.
    void DeviceSends(CTavValue& value, int32_t raw) {
        value.SetRaw(raw);
        Buffers().RecordReceived({&value});
        Buffers().PublishPending(TavChangeOrigin::kDevice);
        Buffers().ClearPending();
    }
    Bytes State() {
        Bytes all;
        Qv().ForEachLeaf([&](CTavLeafStruct& leaf) { all.insert(all.end(), leaf.Bytes()->begin(), leaf.Bytes()->end()); });
        return all;
    }

    test::RecordingMidiOut out;
    PanFollowsLevel* follower = nullptr;
    std::unique_ptr<CTavEditHistory> history;
};

TEST_F(EditHistory, ADragIsOneStepUndoneWithOneDataSetPerLeafAndNoHandlerRun) {
    const Bytes before = State();
    Buffers().BeginAction();
    for (int move = 1; move <= 40; ++move)
        Edit(Level(2), move);
    Buffers().EndAction();
    const Bytes after = State();
    ASSERT_EQ(history->StepCount(), 1u);
    EXPECT_EQ(history->UndoName(), "Part 3 Level");
    EXPECT_EQ(Pan(2).GetRaw(), 20); // the handler's consequence is part of the step

    out.sent.clear();
    Qv().SetModified(false);
    const int runs = follower->runs;
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(State(), before);
    EXPECT_EQ(follower->runs, runs);
    ASSERT_EQ(out.sent.size(), 1u); // level and pan share one leaf
    EXPECT_EQ(out.sent[0].address, Level(2).Parent()->AbsoluteRange().begin);
    EXPECT_TRUE(Qv().IsModified());
    EXPECT_EQ(history->RedoName(), "Part 3 Level");

    ASSERT_TRUE(history->Redo());
    EXPECT_EQ(State(), after);
    EXPECT_FALSE(history->CanRedo());
}

TEST_F(EditHistory, EachEditOutsideAnActionIsAStepAndANewEditDropsTheRedoSteps) {
    Edit(Level(0), 10);
    Edit(Level(1), 20);
    Edit(Value("vs.control.partId"), 2); // not device memory: no step
    EXPECT_EQ(history->StepCount(), 2u);
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(Level(1).GetRaw(), 100);
    EXPECT_EQ(Level(0).GetRaw(), 10);
    Edit(Level(0), 30);
    EXPECT_EQ(history->StepCount(), 2u);
    EXPECT_FALSE(history->CanRedo());
    ASSERT_TRUE(history->Undo());
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(Level(0).GetRaw(), 100);
    EXPECT_FALSE(history->Undo());
    // An action that changes nothing (or writes what was there) leaves no step.
    Buffers().BeginAction("Nothing");
    Edit(Value("qv.system.masterTune"), 64);
    Buffers().EndAction();
    EXPECT_EQ(history->StepCount(), 2u);
}

TEST_F(EditHistory, TheDeviceChangeIsAStepOfItsOwnUnlessTheActionReadsTheWholeState) {
    Edit(Level(0), 10);
    DeviceSends(Level(1), 50);
    Edit(Level(0), 11);
    ASSERT_EQ(history->StepCount(), 3u);
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(history->UndoName(), CTavEditHistory::kDeviceChange);
    EXPECT_EQ(Level(1).GetRaw(), 50); // undoing the edit keeps what the device did

    // During a drag the device's change splits the action around it.
    history->Reset();
    Buffers().BeginAction("Drag");
    Edit(Level(0), 1);
    DeviceSends(Level(1), 60);
    Edit(Level(0), 2);
    Buffers().EndAction();
    ASSERT_EQ(history->StepCount(), 3u);
    EXPECT_EQ(history->UndoName(), "Drag");

    // A read gathers what the device sends as its own step.
    history->Reset();
    Buffers().BeginAction("Read", TavActionScope::kWholeState);
    DeviceSends(Level(1), 70);
    DeviceSends(Level(2), 71);
    Buffers().EndAction();
    ASSERT_EQ(history->StepCount(), 1u);
    EXPECT_EQ(history->UndoName(), "Read");
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(Level(1).GetRaw(), 60);
    EXPECT_EQ(Level(2).GetRaw(), 100);
}

TEST_F(EditHistory, AWholeStateActionUndoesALoadThatRecordedNothingOfItsOwn) {
    Edit(Level(0), 5);
    const Bytes before = State();
    Bytes loaded = before;
    for (size_t i = 0; i < loaded.size(); ++i)
        loaded[i] = static_cast<uint8_t>('A' + i % 20);
    Buffers().BeginAction("Open");
    Buffers().NameAction("Open file", TavActionScope::kWholeState); // a name given late does not win
    // Bytes changed behind the buffer manager's back are found all the same.
    size_t at = 0;
    Qv().ForEachLeaf([&](CTavLeafStruct& leaf) {
        std::copy_n(loaded.begin() + static_cast<long>(at), leaf.Bytes()->size(), leaf.Bytes()->begin());
        at += leaf.Bytes()->size();
    });
    Buffers().EndAction();
    EXPECT_EQ(history->UndoName(), "Open");
    out.sent.clear();
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(State(), before);
    EXPECT_EQ(out.sent.size(), 7u); // every leaf of qv once
    ASSERT_TRUE(history->Redo());
    EXPECT_EQ(State(), loaded);
}

TEST_F(EditHistory, TheContextGoesBackToWhereTheStepWasMade) {
    Edit(Value("vs.control.partId"), 1);
    Edit(Level(1), 9);
    Edit(Value("vs.control.partId"), 2);
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(Value("vs.control.partId").GetRaw(), 1);
    Edit(Value("vs.control.partId"), 0);
    ASSERT_TRUE(history->Redo());
    EXPECT_EQ(Value("vs.control.partId").GetRaw(), 1);
    EXPECT_EQ(Level(1).GetRaw(), 9);
}

TEST_F(EditHistory, NamesReadAsWords) {
    struct Case {
        const char* path;
        const char* name;
    };
    for (const Case& c : {Case{"qv.part[2].set.partLevel", "Part 3 Level"},
                          Case{"qv.part[0].label.name", "Part 1 Name"},
                          Case{"qv.system.masterTune", "Master Tune"}})
        EXPECT_EQ(CTavEditHistory::NameOfValue(Value(c.path)), c.name) << c.path;
    history->SetNamer([](const CTavValue& value) { return "Set " + value.Name(); });
    Edit(Level(0), 1);
    EXPECT_EQ(history->UndoName(), "Set partLevel");
    Buffers().BeginAction();
    Buffers().NameAction("Paste Part Info Part 1");
    Edit(Level(0), 2);
    Buffers().EndAction();
    EXPECT_EQ(history->UndoName(), "Paste Part Info Part 1");
}

TEST_F(EditHistory, TheOldestStepsGoWhenTheMemoryIsFull) {
    for (int i = 1; i <= 10; ++i)
        Edit(Level(0), i);
    const size_t perStep = history->MemoryUsed() / 10;
    history->SetMemoryLimit(perStep * 4);
    EXPECT_LE(history->StepCount(), 4u);
    EXPECT_LE(history->MemoryUsed(), perStep * 4);
    while (history->Undo()) {
    }
    EXPECT_EQ(Level(0).GetRaw(), 10 - static_cast<int>(history->StepCount()));
    // The newest step stays, however small the limit.
    history->SetMemoryLimit(1);
    Edit(Level(0), 50);
    EXPECT_EQ(history->StepCount(), 1u);
}

} // namespace

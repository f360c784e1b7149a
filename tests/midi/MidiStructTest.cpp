// The MIDI struct: channel messages received into controller and note values, the
// messages those values send, value paths, and creation from the script.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "midi/CTavMidiStruct.h"
#include "support/ModelFixture.h"
#include "support/RecordingMidiOut.h"

namespace {

const char* const kRootTypes = R"(
<structType><type>Part</type><name>$name</name><address>$address</address>
  <value><name>level</name></value>
</structType>
<structType><type>Top</type><name>$name</name><address>$address</address>
  <struct><type>Part</type><name>part</name><address>00</address></struct>
</structType>
<struct><type>Top</type><name>qv</name><address>00</address></struct>
)";

using BufferList = std::vector<CTavBuffer*>;

class MidiStructTest : public test::ModelFixture {
protected:
    void SetUp() override {
        Build(std::string(kRootTypes) + "<midiStruct><name>qvMidi</name></midiStruct>");
        midi = dynamic_cast<CTavMidiStruct*>(Buffers().FindMidiStruct("qvMidi"));
        ASSERT_NE(midi, nullptr);
        midi->SetOutput(&out);
    }

    bool Receive(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0) {
        return midi->ReceiveShort(TavPackShort(status, data1, data2));
    }
    int32_t Raw(const std::string& path) { return Value(path).GetRaw(); }
    CTavMidiNoteValue& Note(int channel) {
        return dynamic_cast<CTavMidiNoteValue&>(Value(Path(channel, "note")));
    }
    static std::string Path(int channel, const std::string& value) {
        return "qvMidi.ch[" + std::to_string(channel) + "]." + value;
    }
    void Commit() {
        Buffers().TransmitPending();
        Buffers().ClearPending();
    }

    CTavMidiStruct* midi = nullptr;
    test::RecordingMidiOut out;
};

// --- Receiving -------------------------------------------------------------------------

TEST_F(MidiStructTest, ControllerPairCombinesMostAndLeastSignificantBytes) {
    EXPECT_TRUE(Receive(0xB0, 0x07, 0x64));
    EXPECT_TRUE(Receive(0xB0, 0x27, 0x10));
    EXPECT_EQ(Raw("qvMidi.ch[0].cc[7]"), 100);
    EXPECT_EQ(Raw("qvMidi.ch[0].cc[39]"), 16);
    EXPECT_EQ(Raw("qvMidi.ch[0].cc2[7]"), 12816);

    EXPECT_TRUE(Receive(0xB0, 0x07, 0x64));
    EXPECT_EQ(Raw("qvMidi.ch[0].cc[39]"), 0);
    EXPECT_EQ(Raw("qvMidi.ch[0].cc2[7]"), 12800);
}

TEST_F(MidiStructTest, ControlChangeReportsEveryValueItTouchesOnItsChannelOnly) {
    Receive(0xB3, 5, 0x20);
    EXPECT_EQ(Buffers().PendingChanges(),
              (BufferList{&Value(Path(3, "cc[5]")), &Value(Path(3, "cc[37]")), &Value(Path(3, "cc2[5]")),
                          &Value(Path(3, "received"))}));
    EXPECT_EQ(Raw(Path(3, "cc[5]")), 0x20);
    EXPECT_EQ(Raw(Path(0, "cc[5]")), 0);
    Buffers().ClearPending();

    // A least significant byte leaves its partner alone; controllers from 64 have no pair.
    Receive(0xB3, 37, 1);
    EXPECT_EQ(Buffers().PendingChanges(), (BufferList{&Value(Path(3, "cc[37]")), &Value(Path(3, "cc2[5]")),
                                                      &Value(Path(3, "received"))}));
    EXPECT_EQ(Raw(Path(3, "cc[5]")), 0x20);
    Buffers().ClearPending();
    Receive(0xB3, 64, 127);
    EXPECT_EQ(Buffers().PendingChanges(),
              (BufferList{&Value(Path(3, "cc[64]")), &Value(Path(3, "received"))}));
}

TEST_F(MidiStructTest, ChannelModeControllerOnlyMarksReceived) {
    Receive(0xB0, 0x07, 0x64);
    Buffers().ClearPending();
    EXPECT_TRUE(Receive(0xB0, 0x78, 0x00));
    EXPECT_EQ(Buffers().PendingChanges(), (BufferList{&Value("qvMidi.ch[0].received")}));
    EXPECT_EQ(Raw("qvMidi.ch[0].cc[7]"), 100);
}

TEST_F(MidiStructTest, AftertouchProgramAndPitchBendOnlyMarkReceived) {
    for (uint8_t status : {0xA2, 0xC2, 0xD2, 0xE2}) {
        EXPECT_TRUE(Receive(status, 60, 100)) << int(status);
        EXPECT_EQ(Buffers().PendingChanges(), (BufferList{&Value(Path(2, "received"))})) << int(status);
        Buffers().ClearPending();
    }
    EXPECT_EQ(Note(2).State(60), 0);
}

TEST_F(MidiStructTest, SystemMessagesAndDataBytesAreRefused) {
    EXPECT_FALSE(Receive(0xF0));
    EXPECT_FALSE(Receive(0xF8));
    EXPECT_FALSE(Receive(0x40, 1, 2));
    EXPECT_TRUE(Buffers().PendingChanges().empty());
}

TEST_F(MidiStructTest, NotesStoreSignedVelocitiesInOrderOfTheirLastChange) {
    Receive(0x91, 60, 100);
    Receive(0x91, 64, 90);
    Receive(0x81, 60, 40);
    EXPECT_EQ(Note(1).State(60), -40);
    EXPECT_EQ(Note(1).State(64), 90);
    EXPECT_EQ(Note(1).RecentNotes(), (std::vector<int>{64, 60}));
    EXPECT_EQ(Buffers().PendingChanges().front(), &Note(1));

    Receive(0x91, 64, 0);
    EXPECT_EQ(Note(1).State(64), 0);
    EXPECT_EQ(Note(1).RecentNotes(), (std::vector<int>{60, 64}));
}

TEST_F(MidiStructTest, ReceivedNoteIsNotSentBack) {
    Receive(0x90, 60, 100);
    ASSERT_FALSE(Buffers().PendingChanges().empty());
    Commit();
    EXPECT_EQ(Note(0).GetList()[60], 100);
    EXPECT_TRUE(out.shorts.empty());
}

// --- Sending ---------------------------------------------------------------------------

TEST_F(MidiStructTest, ControllerSendsControlChangeOnItsChannel) {
    Buffers().WriteInteger(Value("qvMidi.ch[5].cc[7]"), 100);
    Commit();
    EXPECT_EQ(out.shorts, (std::vector<TavShortMessage>{TavPackShort(0xB5, 7, 100)}));
}

TEST_F(MidiStructTest, WritingPairStoresBothBytesAndSendsHighThenLow) {
    Buffers().WriteInteger(Value("qvMidi.ch[0].cc2[3]"), 300);
    EXPECT_EQ(Raw("qvMidi.ch[0].cc[3]"), 2);
    EXPECT_EQ(Raw("qvMidi.ch[0].cc[35]"), 44);
    Commit();
    EXPECT_EQ(out.shorts,
              (std::vector<TavShortMessage>{TavPackShort(0xB0, 3, 2), TavPackShort(0xB0, 35, 44)}));
}

TEST_F(MidiStructTest, NoteListSendsEachChangedNoteOnce) {
    std::vector<int32_t> states(128, 0);
    states[60] = 100;
    Buffers().WriteList(Note(4), states);
    EXPECT_TRUE(Note(4).IsPending(60));
    Commit();
    EXPECT_EQ(out.shorts, (std::vector<TavShortMessage>{TavPackShort(0x94, 60, 100)}));
    EXPECT_FALSE(Note(4).IsPending(60));

    EXPECT_TRUE(Note(4).Transmit());
    EXPECT_EQ(out.shorts.size(), 1u);

    states[60] = -64;
    states[62] = 80;
    Buffers().WriteList(Note(4), states);
    Commit();
    EXPECT_EQ(out.shorts,
              (std::vector<TavShortMessage>{TavPackShort(0x94, 60, 100), TavPackShort(0x84, 60, 64),
                                            TavPackShort(0x94, 62, 80)}));
    EXPECT_EQ(Note(4).RecentNotes(), (std::vector<int>{60, 62}));
}

TEST_F(MidiStructTest, WithoutAnOutputOnlyTheReceivedValueSucceedsInSending) {
    midi->SetOutput(nullptr);
    Value("qvMidi.ch[0].cc[1]").SetRaw(5);
    EXPECT_FALSE(Value("qvMidi.ch[0].cc[1]").Transmit());
    EXPECT_FALSE(Value("qvMidi.ch[0].cc2[1]").Transmit());
    EXPECT_FALSE(Note(0).Transmit());
    EXPECT_TRUE(Value("qvMidi.ch[0].received").Transmit());
}

TEST_F(MidiStructTest, ReceivedValueReadsZeroIgnoresWritesAndSendsNothing) {
    Receive(0xB0, 1, 1);
    CTavValue& received = Value("qvMidi.ch[0].received");
    received.SetRaw(1);
    EXPECT_EQ(received.GetRaw(), 0);
    EXPECT_TRUE(received.Transmit());
    EXPECT_TRUE(out.shorts.empty());
}

// --- Paths -----------------------------------------------------------------------------

TEST_F(MidiStructTest, ValuesAndChannelsResolveByTheirFullPaths) {
    for (const char* path : {"qvMidi.ch[0].note", "qvMidi.ch[15].received", "qvMidi.ch[3].cc[0]",
                             "qvMidi.ch[3].cc[119]", "qvMidi.ch[9].cc2[31]"})
        EXPECT_EQ(Value(path).FullPath(), path);
    EXPECT_EQ(dynamic_cast<CTavMidiChannelValue&>(Value("qvMidi.ch[9].cc[7]")).ChannelNumber(), 9);

    EXPECT_EQ(Buffers().FindStruct("qvMidi"), midi);
    EXPECT_EQ(midi->Kind(), kTavMidiStruct);
    CTavStruct* channel = Buffers().FindStruct("qvMidi.ch[3]");
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->FullPath(), "qvMidi.ch[3]");
    EXPECT_EQ(channel->FindValue("ch[3].cc[7]"), &Value("qvMidi.ch[3].cc[7]"));
}

TEST_F(MidiStructTest, PathsOutsideTheChannelsOrControllersDoNotResolve) {
    for (const char* path :
         {"qvMidi.ch[16].note", "qvMidi.ch[3].cc[120]", "qvMidi.ch[3].cc2[32]", "qvMidi.ch[ 3].note",
          "qvMidi.ch[03].note", "qvMidi.ch[-1].note", "qvMidi.ch3.note", "qvMidi.ch[3]",
          "qvMidi.ch[3].cc[7].x", "qvMidi.ch[3].Note", "qvMidi.ch[3].cc[7 ]", "qvMidi.ch[3].cc[]", "qvMidi"})
        EXPECT_EQ(Buffers().FindValue(path), nullptr) << path;
    EXPECT_EQ(Buffers().FindStruct("qvMidi.ch[16]"), nullptr);
    EXPECT_EQ(Buffers().FindStruct("qvMidi.ch[3].note"), nullptr);
}

TEST_F(MidiStructTest, ValueSpecsAreSharedByAllChannels) {
    EXPECT_EQ(&Value("qvMidi.ch[0].cc[7]").Spec(), &Value("qvMidi.ch[15].cc[7]").Spec());
    EXPECT_EQ(Value("qvMidi.ch[0].cc2[1]").Spec().maximum, 16383);
    EXPECT_EQ(Note(0).Spec().type, kTavDerived);
    EXPECT_EQ(Note(0).Spec().minimum, -127);
}

TEST_F(MidiStructTest, CloneKeepsStatesAndBindsValuesToTheCopy) {
    Receive(0xB2, 7, 99);
    Receive(0x92, 60, 100);
    std::unique_ptr<CTavStruct> copy = midi->Clone();
    CTavValue* cc = copy->FindValue("qvMidi.ch[2].cc[7]");
    ASSERT_NE(cc, nullptr);
    EXPECT_NE(cc, &Value("qvMidi.ch[2].cc[7]"));
    EXPECT_EQ(cc->GetRaw(), 99);
    EXPECT_EQ(cc->Root(), copy.get());
    EXPECT_EQ(copy->FindValue("qvMidi.ch[2].note")->GetList()[60], 100);

    // The copy's pair reads the copy's controllers.
    copy->FindValue("qvMidi.ch[2].cc2[7]")->SetRaw(300);
    EXPECT_EQ(cc->GetRaw(), 2);
    EXPECT_EQ(Raw("qvMidi.ch[2].cc[7]"), 99);
}

// --- Creation --------------------------------------------------------------------------

std::string CreationFailure(const std::string& midiStruct) {
    CTavSystem system;
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.AttachErrorOutputToManagers();
    EXPECT_TRUE(system.ReadScript(kRootTypes + midiStruct)) << system.ErrorText();
    EXPECT_FALSE(system.CreateManagers());
    EXPECT_TRUE(system.BufferManager().MidiStructDefinitions().empty());
    return system.ErrorText();
}

TEST(MidiStructCreationTest, UnknownTagsAreListedByName) {
    EXPECT_EQ(CreationFailure("<midiStruct><name>qvMidi</name><color>red</color><size>2</size></midiStruct>"),
              "Midi qvMidi unknown tags. : color, size, \n"
              "Unable to create buffer manager.\n");
}

TEST(MidiStructCreationTest, MissingNameFailsConversion) {
    EXPECT_EQ(CreationFailure("<midiStruct><color>red</color></midiStruct>"),
              "Unable to convert MIDI struct definition  to MIDI struct.\n"
              "Unable to create buffer manager.\n");
}

} // namespace

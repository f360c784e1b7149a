// The MIDI setup with the shipped script: rows in the settings, shared input devices,
// the device ID, and the virtual device reached through its ports.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/CTavSystem.h"
#include "app/ITavSettings.h"
#include "midi/CTavMidiManager.h"
#include "midi/port/CMidiSetup.h"
#include "midi/port/CVirtualDevicePort.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "support/FakeClock.h"
#include "support/FakeMidiPorts.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"

namespace {

std::string ShippedScript() {
    std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CountingReader : public ITavMidiReader {
public:
    void OnDataSet(const CTavHaldenMessage&) override { ++dataSets; }
    int dataSets = 0;
};

class MidiSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(ShippedScript()) && system.CreateManagers(CTavSystem::Views::Skip)) << system.ErrorText();
        fake.names = {"Port A", "Port B"};
        ports.AddBackend(std::make_unique<test::FakePortBackend>(fake));
    }

    CTavMidiManager& Midi() { return system.MidiManager(); }
    CTavLeafStruct& SystemLeaf() {
        return static_cast<CTavLeafStruct&>(*system.BufferManager().FindStruct("qv.system"));
    }
    std::string Saved(const char* section, const std::string& key) {
        return settings.GetString(section, key, "(missing)");
    }

    CTavSystem system;
    test::FakePorts fake;
    CVirtualDeviceHost host;
    CMidiPorts ports;
    CMidiEventQueue queue;
    CTavMemorySettings settings;
    test::RecordingTextOut messages;
    FakeClock clock;
    CMidiSetup setup{system.MidiManager(), ports, queue, settings, &messages, clock};
};

TEST_F(MidiSetupTest, WithoutSettingsNothingIsConnectedAndSaveWritesEmptyRows) {
    setup.LoadAndConnect();
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(setup.InputPortName(i), CMidiSetup::kNone);
        EXPECT_EQ(setup.OutputPortName(i), CMidiSetup::kNone);
        EXPECT_EQ(Midi().Input(i)->DeviceId(), 0x10);
        EXPECT_EQ(Midi().Output(i)->DeviceId(), 0x10);
    }
    EXPECT_TRUE(setup.InputDevices().empty());

    setup.Save();
    std::map<std::string, std::string> expected;
    for (const char* dir : {"In", "Out"}) {
        const std::string section = std::string("MIDI") + dir + "Connection/MIDI" + dir;
        for (const auto& [i, name] : {std::pair{0, "Vireo"}, std::pair{1, "Through"}}) {
            expected[section + std::to_string(i)] = name;
            expected[section + "Device" + std::to_string(i)] = "(none)";
            expected[section + "DeviceId" + std::to_string(i)] = "16";
        }
    }
    EXPECT_EQ(settings.Values(), expected);
    EXPECT_TRUE(messages.outputs.empty());
}

TEST_F(MidiSetupTest, RowsFollowInputNamesAndAPortThatIsGoneLeavesItsRowEmpty) {
    settings.SetString(CMidiSetup::kInSection, "MIDIIn0", "Through");
    settings.SetString(CMidiSetup::kInSection, "MIDIInDevice0", "Port B");
    settings.SetString(CMidiSetup::kInSection, "MIDIIn1", "Vireo");
    settings.SetString(CMidiSetup::kInSection, "MIDIInDevice1", "Port Gone");
    settings.SetString(CMidiSetup::kOutSection, "MIDIOutDevice0", "Port Gone");
    settings.SetString(CMidiSetup::kOutSection, "MIDIOutDevice1", "Port A");
    setup.LoadAndConnect();

    EXPECT_EQ(setup.InputPortName(1), "Port B");
    EXPECT_EQ(setup.OutputPortName(1), "Port A");
    EXPECT_TRUE(messages.outputs.empty());

    setup.Save();
    EXPECT_EQ(Saved(CMidiSetup::kInSection, "MIDIInDevice0"), "(none)");
    EXPECT_EQ(Saved(CMidiSetup::kOutSection, "MIDIOutDevice0"), "(none)");
}

TEST(PortNames, ASavedNameFindsItsPortWhateverNumbersTheSequencerGaveIt) {
    const std::vector<std::string> present = {"Midi Through:Midi Through Port-0 14:0",
                                              "Keys:Keys MIDI 1 24:0",
                                              "Keys:Keys MIDI 2 24:1",
                                              "Pads:Pads MIDI 1 28:0",
                                              "Pads:Pads MIDI 1 32:0",
                                              "Vireo Virtual Device",
                                              "Synth 2"};
    const struct {
        const char* saved;
        const char* found;
    } cases[] = {
        {"Keys:Keys MIDI 1 24:0", "Keys:Keys MIDI 1 24:0"}, // as saved
        {"Keys:Keys MIDI 1 20:0", "Keys:Keys MIDI 1 24:0"}, // plugged in again
        {"Keys:Keys MIDI 2 130:7", "Keys:Keys MIDI 2 24:1"},
        {"Keys:Keys MIDI 1", "Keys:Keys MIDI 1 24:0"},      // saved without numbers
        {"Pads:Pads MIDI 1 32:0", "Pads:Pads MIDI 1 32:0"}, // the exact one of two that fit
        {"Pads:Pads MIDI 1 20:0", "Pads:Pads MIDI 1 28:0"}, // else the first
        {"Vireo Virtual Device", "Vireo Virtual Device"},
        {"Keys:Keys MIDI 3 24:2", ""}, // another port of the same client
        {"Keys:Keys MIDI 20:0", ""},
        {"keys:keys midi 1 24:0", ""}, // names compare exactly
        {"Synth 3", ""},               // a plain number is part of the name
        {"Keys:Keys MIDI 1 24:", ""},  // not the sequencer's numbers: kept whole
        {"Keys:Keys MIDI 1 :0", ""},
        {"Keys:Keys MIDI 124:0", ""},
        {"", ""},
        {"20:0", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavMatchPortName(c.saved, present), c.found) << c.saved;
    EXPECT_EQ(TavPortNameWithoutNumbers("A:B 1:2"), "A:B");
    EXPECT_EQ(TavPortNameWithoutNumbers(" 1:2"), "");
    EXPECT_EQ(TavPortNameWithoutNumbers("1:2"), "1:2");
}

TEST_F(MidiSetupTest, APortPluggedInAgainUnderNewNumbersIsConnectedAndSavedAsItIsNow) {
    fake.names = {"Keys:Keys MIDI 1 24:0", "Keys:Keys MIDI 2 24:1"};
    settings.SetString(CMidiSetup::kInSection, "MIDIInDevice0", "Keys:Keys MIDI 1 20:0");
    settings.SetString(CMidiSetup::kOutSection, "MIDIOutDevice0", "Keys:Keys MIDI 2 20:1");
    settings.SetString(CMidiSetup::kOutSection, "MIDIOutDevice1", "Keys:Keys MIDI 3 20:2");
    setup.LoadAndConnect();
    EXPECT_EQ(setup.InputPortName(0), "Keys:Keys MIDI 1 24:0");
    EXPECT_EQ(setup.OutputPortName(0), "Keys:Keys MIDI 2 24:1");
    EXPECT_EQ(setup.OutputPortName(1), CMidiSetup::kNone);

    setup.Save();
    EXPECT_EQ(Saved(CMidiSetup::kInSection, "MIDIInDevice0"), "Keys:Keys MIDI 1 24:0");
    EXPECT_EQ(Saved(CMidiSetup::kOutSection, "MIDIOutDevice0"), "Keys:Keys MIDI 2 24:1");
    EXPECT_TRUE(messages.outputs.empty());
}

TEST_F(MidiSetupTest, InputsOnTheSamePortShareOneDeviceAndBothHearIt) {
    setup.Apply({"Port A", "Port A"}, {"(none)", "(none)"}, 0);
    ASSERT_EQ(setup.InputDevices().size(), 1u);
    EXPECT_EQ(setup.InputDevices()[0]->Listeners(),
              (std::vector<ITavMidiInListener*>{Midi().Input(0), Midi().Input(1)}));

    CountingReader first, second;
    Midi().Input(0)->SetReader(&first);
    Midi().Input(1)->SetReader(&second);
    CTavLeafStruct& leaf = SystemLeaf();
    TavBytes data = *leaf.Bytes();
    data[5] = 0x21;
    const TavBytes dataSet = CTavHaldenMessage::DataSet(0x41, 0x10, {0x00, 0x6A}, 4,
                                                        leaf.AbsoluteRange().begin, data.data(), data.size())
                                 .Bytes();
    fake.inputs.at("Port A")->DriverMessage(dataSet.data(), dataSet.size());

    ASSERT_TRUE(test::DispatchUntil(queue, [&] { return first.dataSets == 1 && second.dataSets == 1; }));
    EXPECT_EQ(*leaf.Bytes(), data);
}

TEST_F(MidiSetupTest, AppliedDeviceIdReachesEveryEndpointAndTheWire) {
    setup.Apply({"Port A", "Port B"}, {"Port A", "Port B"}, 0x11);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(Midi().Input(i)->DeviceId(), 0x11);
        EXPECT_EQ(Midi().Output(i)->DeviceId(), 0x11);
    }
    EXPECT_EQ(Saved(CMidiSetup::kOutSection, "MIDIOutDeviceId1"), "17");

    // An empty selection keeps the IDs.
    setup.Apply({"Port A", "Port B"}, {"Port A", "Port B"}, -1);
    EXPECT_EQ(Midi().Output(0)->DeviceId(), 0x11);

    ASSERT_TRUE(SystemLeaf().Transmit());
    const std::vector<TavBytes>& sent = fake.outputs["Port A"].sent;
    CTavHaldenMessage message;
    ASSERT_TRUE(!sent.empty() && message.Parse(sent.back(), 4));
    EXPECT_EQ(message.GetField(CTavHaldenMessage::kDeviceId), TavBytes{0x11});
}

TEST_F(MidiSetupTest, DataRequestToTheVirtualDeviceIsAnsweredIntoTheBuffer) {
    host.Configure(ShippedScript(), "");
    ports.AddBackend(std::make_unique<CVirtualDeviceBackend>(host));
    std::string error;
    ASSERT_TRUE(host.Create(error)) << error;
    CTavLeafStruct& leaf = SystemLeaf();
    const auto address = static_cast<uint32_t>(leaf.AbsoluteRange().begin);
    TavBytes data = *leaf.Bytes();
    data[5] = 0x64;
    data[15] = 0x09;
    bool written = false;
    host.WithDevice(
        [&](CVirtualDevice& device) { written = device.WriteMemory(address, data.data(), data.size()); });
    ASSERT_TRUE(written);

    setup.Apply({CVirtualDevice::kPortName, "(none)"}, {CVirtualDevice::kPortName, "(none)"}, 0);
    ASSERT_TRUE(setup.IsConnected());
    // Replies come from the sending thread at once, or from the host's delivery thread.
    for (const auto speed : {CVirtualDevice::Speed::Instant, CVirtualDevice::Speed::Wire}) {
        host.WithDevice([&](CVirtualDevice& device) { device.SetSpeed(speed); });
        *leaf.Bytes() = TavBytes(data.size(), 0);
        Midi().Output(0)->SendDataRequest(static_cast<int32_t>(address), static_cast<int32_t>(data.size()));
        EXPECT_TRUE(test::DispatchUntil(queue, [&] { return *leaf.Bytes() == data; }));
    }
}

TEST_F(MidiSetupTest, AFlurryOfRepliesFromTheInstantVirtualDeviceArrivesWhole) {
    host.Configure(ShippedScript(), "");
    ports.AddBackend(std::make_unique<CVirtualDeviceBackend>(host));
    setup.Apply({CVirtualDevice::kPortName, CVirtualDevice::kPortName}, {CVirtualDevice::kPortName, "(none)"}, 0);
    CountingReader first, second;
    Midi().Input(0)->SetReader(&first);
    Midi().Input(1)->SetReader(&second);
    // As a name list comes: many data sets back to back, delivered on the sending thread
    // before anything is dispatched.
    const TavRange range = SystemLeaf().AbsoluteRange();
    for (int i = 0; i < 200; ++i)
        Midi().Output(0)->SendDataRequest(static_cast<int32_t>(range.begin), static_cast<int32_t>(range.Length()));
    EXPECT_TRUE(test::DispatchUntil(queue, [&] { return first.dataSets == 200 && second.dataSets == 200; }));
    EXPECT_EQ(setup.InputDevices().at(0)->Port().LostMessages(), 0u);
    EXPECT_TRUE(messages.outputs.empty());
}

TEST_F(MidiSetupTest, RepliesQueuedThroughTheHostAreDeliveredAtEitherSpeed) {
    host.Configure(ShippedScript(), "");
    ports.AddBackend(std::make_unique<CVirtualDeviceBackend>(host));
    setup.Apply({CVirtualDevice::kPortName, "(none)"}, {CVirtualDevice::kPortName, "(none)"}, 0);
    ASSERT_TRUE(setup.IsConnected());
    CountingReader reader;
    Midi().Input(0)->SetReader(&reader);
    // As a user's write on the device: its notification goes out like any reply.
    int expected = 0;
    for (const auto speed : {CVirtualDevice::Speed::Instant, CVirtualDevice::Speed::Wire}) {
        bool stored = false;
        host.WithDevice([&](CVirtualDevice& device) {
            device.SetSpeed(speed);
            stored = device.StorePart(0, 81, 0, 0, host.Now());
        });
        ASSERT_TRUE(stored);
        ++expected;
        EXPECT_TRUE(test::DispatchUntil(queue, [&] { return reader.dataSets == expected; }));
    }
}

TEST_F(MidiSetupTest, WhatLoadingTheMemoryFileSaysReachesTheUser) {
    test::TempDir dir;
    const std::string script = ShippedScript();
    CVirtualDevice device;
    ASSERT_TRUE(device.Create(script, nullptr));
    const std::string good = (dir.Path() / "good.bin").string();
    ASSERT_TRUE(device.SaveMemory(good, nullptr));
    const std::string content = test::ReadFile(good);
    const size_t lastImageByte = content.size() - device.Catalog().Serialize().size() - 1;
    std::string damaged = content, high = content;
    damaged.resize(content.size() - 3);
    high[lastImageByte] = '\xF7';
    const struct {
        std::string file;
        const char* line; // what the user is told
    } cases[] = {
        {content, nullptr},
        {damaged, "The catalog in the virtual device memory file is damaged; the generated one replaces it: "},
        {high, "Virtual device memory file holds bytes above 0x7F; the defaults are kept: "},
        {"VIREO", "Virtual device memory file does not match the editor script: "},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Write("memory.bin", c.file).string();
        CVirtualDeviceHost host;
        std::vector<std::string> lines;
        host.SetNoticeSink([&](const std::string& line) { lines.push_back(line); });
        host.Configure(script, path);
        std::string error;
        ASSERT_TRUE(host.Create(error)) << error;
        if (c.line)
            EXPECT_EQ(lines, std::vector<std::string>{c.line + path}) << c.line;
        else
            EXPECT_TRUE(lines.empty());
        ASSERT_TRUE(host.Shutdown(error)) << error;
        // A refused file is left for the user; the others are saved again.
        if (c.line && c.line[0] == 'V')
            EXPECT_EQ(test::ReadFile(path), c.file) << c.line;
        else
            EXPECT_EQ(test::ReadFile(path), content);
    }
}

} // namespace

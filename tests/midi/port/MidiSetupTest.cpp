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
    Midi().Output(0)->SendDataRequest(static_cast<int32_t>(address), static_cast<int32_t>(data.size()));

    EXPECT_TRUE(test::DispatchUntil(queue, [&] { return *leaf.Bytes() == data; }));
}

} // namespace

// The MIDI device setup dialog over fake ports: lists filled from the saved settings,
// OK applying and saving the choices, Cancel leaving them, and rows the script lacks.

#include <QComboBox>
#include <gtest/gtest.h>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/ITavSettings.h"
#include "midi/CTavMidiManager.h"
#include "midi/port/CMidiEventQueue.h"
#include "midi/port/CMidiSetup.h"
#include "midi/qt/CMidiSetupDialog.h"
#include "support/FakeClock.h"
#include "support/FakeMidiPorts.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"

namespace {

class MidiSetupDialogTest : public ::testing::Test {
protected:
    void Load(const std::filesystem::path& script) {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(test::ReadFile(script)) && system.CreateManagers(CTavSystem::Views::Skip))
            << system.ErrorText();
        fake.names = {"Port A", "Port B"};
        ports.AddBackend(std::make_unique<test::FakePortBackend>(fake));
        setup = std::make_unique<CMidiSetup>(system.MidiManager(), ports, queue, settings, &messages, clock);
    }

    QComboBox* List(CMidiSetupDialog& dialog, const char* name) {
        auto* list = dialog.findChild<QComboBox*>(name);
        EXPECT_NE(list, nullptr) << name;
        return list;
    }
    static QStringList Items(QComboBox* list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items;
    }
    std::string Saved(const char* section, const char* key) {
        return settings.GetString(section, key, "(missing)");
    }
    CTavMidiManager& Midi() { return system.MidiManager(); }

    CTavSystem system;
    test::FakePorts fake;
    CMidiPorts ports;
    CMidiEventQueue queue;
    CTavMemorySettings settings;
    test::RecordingTextOut messages;
    FakeClock clock;
    std::unique_ptr<CMidiSetup> setup;
};

TEST_F(MidiSetupDialogTest, ListsShowThePortsAndTheSavedConnections) {
    Load(test::ShippedScriptDir() / "VireoEditorScript.xml");
    settings.SetString(CMidiSetup::kInSection, "MIDIInDevice0", "Port B");
    settings.SetString(CMidiSetup::kOutSection, "MIDIOutDevice0", "Port A");
    settings.SetString(CMidiSetup::kOutSection, "MIDIOutDevice1", "Port Gone");
    CMidiSetupDialog dialog(*setup, ports);

    EXPECT_EQ(dialog.windowTitle(), "Set Up MIDI Devices");
    for (const char* name : {"inputPort", "outputPort", "throughInputPort", "throughOutputPort"}) {
        EXPECT_EQ(Items(List(dialog, name)), QStringList({"Port A", "Port B", "(none)"})) << name;
        EXPECT_TRUE(List(dialog, name)->isEnabled()) << name;
    }
    EXPECT_EQ(List(dialog, "inputPort")->currentText(), "Port B");
    EXPECT_EQ(List(dialog, "outputPort")->currentText(), "Port A");
    EXPECT_EQ(List(dialog, "throughInputPort")->currentText(), "(none)");
    EXPECT_EQ(List(dialog, "throughOutputPort")->currentText(), "(none)");
    QComboBox* deviceId = List(dialog, "deviceId");
    ASSERT_EQ(deviceId->count(), 16);
    EXPECT_EQ(deviceId->itemText(15), "32");
    EXPECT_EQ(deviceId->currentText(), "17");
    EXPECT_TRUE(deviceId->isEnabled());

    // The port that is gone is saved as unconnected once the dialog is confirmed.
    dialog.accept();
    EXPECT_EQ(Saved(CMidiSetup::kOutSection, "MIDIOutDevice1"), "(none)");
    EXPECT_EQ(Saved(CMidiSetup::kInSection, "MIDIInDevice0"), "Port B");
}

TEST_F(MidiSetupDialogTest, OkAppliesTheChoicesAndCancelLeavesThem) {
    Load(test::ShippedScriptDir() / "VireoEditorScript.xml");
    {
        CMidiSetupDialog dialog(*setup, ports);
        List(dialog, "throughInputPort")->setCurrentText("Port A");
        List(dialog, "outputPort")->setCurrentText("Port B");
        List(dialog, "deviceId")->setCurrentText("18");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(Midi().Input(i)->DeviceId(), 0x11);
        EXPECT_EQ(Midi().Output(i)->DeviceId(), 0x11);
    }
    EXPECT_EQ(setup->InputPortName(1), "Port A");
    EXPECT_EQ(setup->OutputPortName(0), "Port B");
    EXPECT_EQ(Saved(CMidiSetup::kOutSection, "MIDIOutDeviceId1"), "17");

    {
        CMidiSetupDialog dialog(*setup, ports);
        EXPECT_EQ(List(dialog, "deviceId")->currentText(), "18");
        List(dialog, "deviceId")->setCurrentText("20");
        List(dialog, "outputPort")->setCurrentText("(none)");
        dialog.reject();
    }
    EXPECT_EQ(Midi().Output(0)->DeviceId(), 0x11);
    EXPECT_EQ(Saved(CMidiSetup::kOutSection, "MIDIOutDevice0"), "Port B");

    // An empty device ID selection keeps every current ID.
    CMidiSetupDialog dialog(*setup, ports);
    List(dialog, "deviceId")->setCurrentIndex(-1);
    dialog.accept();
    EXPECT_EQ(Midi().Input(0)->DeviceId(), 0x11);
    EXPECT_EQ(Midi().Output(1)->DeviceId(), 0x11);
    EXPECT_TRUE(messages.outputs.empty());
}

TEST_F(MidiSetupDialogTest, ASingleInputAndOutputDisableTheThroughRowsAndTheDeviceId) {
    Load(test::DataDir() / "scripts/valid/model/VireoEditorScript.xml");
    ASSERT_EQ(Midi().Inputs().size(), 1u);
    ASSERT_EQ(Midi().Outputs().size(), 1u);
    CMidiSetupDialog dialog(*setup, ports);
    EXPECT_TRUE(List(dialog, "inputPort")->isEnabled());
    EXPECT_TRUE(List(dialog, "outputPort")->isEnabled());
    EXPECT_FALSE(List(dialog, "throughInputPort")->isEnabled());
    EXPECT_FALSE(List(dialog, "throughOutputPort")->isEnabled());
    EXPECT_FALSE(List(dialog, "deviceId")->isEnabled());

    List(dialog, "inputPort")->setCurrentText("Port A");
    dialog.accept();
    EXPECT_EQ(setup->InputPortName(0), "Port A");
    EXPECT_EQ(Midi().Input(0)->DeviceId(), 0x10);
}

} // namespace

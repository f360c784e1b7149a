// The main window's keyboard played into the virtual device through its port, as the
// editor wires it: the device hears each note-on and its note-off on the shown part's
// channel, nothing of a press outside the notes, and only the latest messages.

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "midi/CTavMidi.h"
#include "midi/CTavMidiManager.h"
#include "midi/port/CMidiDevices.h"
#include "midi/port/CMidiPorts.h"
#include "midi/port/CVirtualDevicePort.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavKeyboardControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

class KeyboardToDevice : public test::ModelFixture {
protected:
    void SetUp() override {
        const std::string script = test::ReadFile(test::ShippedScriptDir() / "VireoEditorScript.xml");
        system.SetScriptFolder(scripts.String() + "/");
        ASSERT_NO_FATAL_FAILURE(Build(script));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        main = system.ViewManager().FindRootPanel("main");
        CTavView* view = nullptr;
        ASSERT_TRUE(main->FindControl("main.keyboard.keys", view));
        keyboard = dynamic_cast<CTavKeyboardControl*>(view);
        ASSERT_NE(keyboard, nullptr);

        host.Configure(script, "");
        ports.AddBackend(std::make_unique<CVirtualDeviceBackend>(host));
        output = std::make_unique<CMidiOutDevice>(CVirtualDevice::kPortName);
        ASSERT_TRUE(output->Open(ports, system.MessageBoxOutput()));
        system.MidiManager().Output(0)->SetDevice(output.get());
    }
    void TearDown() override {
        system.MidiManager().Output(0)->SetDevice(nullptr);
        output.reset();
    }
    void Click(int32_t key) {
        const TavPoint at{keyboard->Rect().left + (key - keyboard->LowKey()) / 12 * 112 + 8,
                          keyboard->Rect().bottom - 5};
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, at, 0});
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, at, 0});
    }
    std::deque<TavBytes> Heard() {
        std::deque<TavBytes> heard;
        host.WithDevice([&heard](CVirtualDevice& device) { heard = device.HeardChannelMessages(); });
        return heard;
    }

    test::ScriptFolderCopy scripts;
    CVirtualDeviceHost host;
    CMidiPorts ports;
    std::unique_ptr<CMidiOutDevice> output;
    CTavRootPanel* main = nullptr;
    CTavKeyboardControl* keyboard = nullptr;
};

TEST_F(KeyboardToDevice, TheDeviceHearsEachNoteOnAndItsNoteOff) {
    TavSetValueInteger(Buffers(), Value("qv.prti.part[4].receiveChannel"), 9);
    TavSetValueInteger(Buffers(), Value("vs.control.partId"), 4);
    Click(60);
    Click(72);
    EXPECT_EQ(Heard(), (std::deque<TavBytes>{{0x99, 60, 100}, {0x89, 60, 100}, {0x99, 72, 100}, {0x89, 72, 100}}));

    // Three octaves down the lowest key plays below note 0: silent.
    TavSetValueInteger(Buffers(), Value("vs.control.keyboardOctave"), 61);
    Click(24);
    EXPECT_EQ(Heard().size(), 4u);

    // The device keeps only the latest messages.
    TavSetValueInteger(Buffers(), Value("vs.control.keyboardOctave"), 64);
    for (int i = 0; i < 40; ++i)
        Click(36 + 12 * (i % 4));
    const std::deque<TavBytes> heard = Heard();
    ASSERT_EQ(heard.size(), CVirtualDevice::kHeardLimit);
    EXPECT_EQ(heard.back(), (TavBytes{0x89, 72, 100}));
}

} // namespace

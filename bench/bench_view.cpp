// The view tree: repainting the main panel into its back buffer, and value changes
// reaching every view.

#include <benchmark/benchmark.h>

#include <functional>
#include <string_view>

#include "BenchSupport.h"
#include "BenchWidgets.h"

#include <QApplication>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "midi/CTavMidi.h"
#include "midi/CTavMidiDevice.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "script/qt/CResourceFactory.h"
#include "view/CTavControl.h"
#include "view/CTavKeyboardControl.h"
#include "view/CTavKnobControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CViewFactory.h"

namespace {

// The shipped script as built, with its artwork, and the main panel open.
struct Editor {
    CTavSystem system;
    CPanelWindows windows;
    CPanelWidget* mainWidget = nullptr;

    bool Open() {
        system.SetScriptFolder(std::string(VIREO_BUILT_SCRIPT_DIR) + "/");
        system.SetResourceFactory(std::make_unique<CResourceFactory>());
        system.ViewManager().SetViewFactory(std::make_unique<CViewFactory>(windows));
        windows.showInMainWindow = [this](CPanelWidget* widget) { mainWidget = widget; };
        return bench::Build(system, bench::ReadText(system.ScriptPath()), CTavSystem::Views::Build) &&
               system.ViewManager().OpenRootPanel("main") && mainWidget;
    }
};

void RepaintMainPanel(benchmark::State& state) {
    Editor editor;
    if (!editor.Open()) {
        state.SkipWithError(("the main panel does not open: " + editor.system.ErrorText()).c_str());
        return;
    }
    const QRegion whole(editor.mainWidget->rect());
    for (auto _ : state)
        editor.mainWidget->PaintBackBuffer(whole);
    state.counters["width"] = editor.mainWidget->width();
    state.counters["height"] = editor.mainWidget->height();
}
BENCHMARK(RepaintMainPanel)->Unit(benchmark::kMillisecond);

// The whole main panel at a screen scale (percent: 100, 150, 200), into a buffer of that
// device pixel ratio, with the 2x bitmaps above 100 %.
void RepaintMainPanelScaled(benchmark::State& state) {
    Editor editor;
    if (!editor.Open()) {
        state.SkipWithError(("the main panel does not open: " + editor.system.ErrorText()).c_str());
        return;
    }
    const double ratio = static_cast<double>(state.range(0)) / 100;
    QImage target(editor.mainWidget->size() * ratio, QImage::Format_RGB32);
    target.setDevicePixelRatio(ratio);
    const QRegion whole(editor.mainWidget->rect());
    for (auto _ : state)
        editor.mainWidget->PaintInto(target, whole);
    state.counters["pixels"] = static_cast<double>(target.width()) * target.height();
}
BENCHMARK(RepaintMainPanelScaled)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

// The whole main panel with one page open (0 mixer, 1 effects, 2 setup), every value field
// holding its text control; "texts" counts the open text, list and edit controls.
void RepaintMainPanelPage(benchmark::State& state) {
    Editor editor;
    if (!editor.Open()) {
        state.SkipWithError(("the main panel does not open: " + editor.system.ErrorText()).c_str());
        return;
    }
    CTavValue* page = editor.system.BufferManager().FindValue("vs.control.mainPage");
    if (!page) {
        state.SkipWithError("the script has no vs.control.mainPage");
        return;
    }
    TavSetValueInteger(editor.system.BufferManager(), *page, static_cast<int32_t>(state.range(0)));
    int texts = 0;
    const std::function<void(const CTavPanel&)> count = [&](const CTavPanel& panel) {
        if (!panel.IsOpen())
            return;
        for (const auto& child : panel.ChildPanels())
            count(*child);
        for (const auto& control : panel.Controls())
            if (const auto* text = dynamic_cast<const CTavControl*>(control.get())) {
                const std::string_view kind = text->GetKind();
                texts += kind == "staticText" || kind == "staticTextPicture" || kind == "combo" ||
                         kind == "edit" || kind == "editDouble" || kind == "quasarPartPatchNameStaticText";
            }
    };
    if (const CTavPanel* main = editor.system.ViewManager().FindRootPanel("main"))
        count(*main);
    const QRegion whole(editor.mainWidget->rect());
    for (auto _ : state)
        editor.mainWidget->PaintBackBuffer(whole);
    state.counters["texts"] = texts;
}
BENCHMARK(RepaintMainPanelPage)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void ValuesChanged10000(benchmark::State& state) {
    Editor editor;
    if (!editor.Open()) {
        state.SkipWithError(("the main panel does not open: " + editor.system.ErrorText()).c_str());
        return;
    }
    std::vector<CTavBuffer*> changed;
    editor.system.BufferManager().FindRoot("qv")->ForEachValue([&](CTavValue& value) {
        if (changed.size() < 10000)
            changed.push_back(&value);
    });
    for (auto _ : state)
        editor.system.ViewManager().ValuesChanged(changed);
    state.counters["values"] = static_cast<double>(changed.size());
}
BENCHMARK(ValuesChanged10000)->Unit(benchmark::kMillisecond);

// A mouse move that turns a knob: from the Qt event through the drag, the buffer manager
// and the data set handed to the output, to the repaint of the knob in the back buffer.
void KnobTurnToDevice(benchmark::State& state) {
    Editor editor;
    if (!editor.Open()) {
        state.SkipWithError(("the main panel does not open: " + editor.system.ErrorText()).c_str());
        return;
    }
    auto* main = dynamic_cast<CTavPanel*>(editor.system.ViewManager().FindRootPanel("main"));
    CTavKnobControl* knob = main ? main->FirstControlOf<CTavKnobControl>() : nullptr;
    CTavMidiOut* output = editor.system.MidiManager().Output(0);
    if (!knob || !output) {
        state.SkipWithError("the main panel has no knob, or the script no MIDI output");
        return;
    }
    bench::CountingPort port;
    output->SetDevice(&port);
    CPanelWidget& widget = *editor.mainWidget;
    const TavRect& rect = knob->Rect();
    const QPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    const QRect repaint(rect.left, rect.top, rect.Width(), rect.Height());
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        bench::SendMouse(widget, type, at, buttons);
    };
    // Hold the knob and swing the pointer between left and right of its centre, so every
    // move changes the value.
    send(QEvent::MouseButtonPress, centre + QPoint(-10, -10), Qt::LeftButton);
    bool left = true;
    for (auto _ : state) {
        left = !left;
        send(QEvent::MouseMove, centre + QPoint(left ? -10 : 10, -10), Qt::LeftButton);
        widget.PaintBackBuffer(repaint);
    }
    send(QEvent::MouseButtonRelease, centre, Qt::NoButton);
    output->SetDevice(nullptr);
    state.counters["dataSets"] = benchmark::Counter(double(port.messages) / double(state.iterations()));
    if (port.messages < static_cast<size_t>(state.iterations()))
        state.SkipWithError("a move did not reach the output");
}
BENCHMARK(KnobTurnToDevice)->Unit(benchmark::kMicrosecond);

// A click on middle C of the main window's keyboard: from the Qt press event through the
// hit test and the note states' write to the note-on handed to the output. The release
// (the note-off) runs outside the timing.
void KeyPressToDevice(benchmark::State& state) {
    Editor editor;
    if (!editor.Open()) {
        state.SkipWithError(("the main panel does not open: " + editor.system.ErrorText()).c_str());
        return;
    }
    auto* main = dynamic_cast<CTavPanel*>(editor.system.ViewManager().FindRootPanel("main"));
    CTavKeyboardControl* keyboard = main ? main->FirstControlOf<CTavKeyboardControl>() : nullptr;
    CTavMidiOut* output = editor.system.MidiManager().Output(0);
    if (!keyboard || !output) {
        state.SkipWithError("the main panel has no keyboard, or the script no MIDI output");
        return;
    }
    bench::CountingPort port;
    output->SetDevice(&port);
    CPanelWidget& widget = *editor.mainWidget;
    const QPoint middleC(keyboard->Rect().left + (60 - keyboard->LowKey()) / 12 * 112 + 8,
                         keyboard->Rect().bottom - 5);
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        bench::SendMouse(widget, type, middleC, buttons);
    };
    for (auto _ : state) {
        send(QEvent::MouseButtonPress, Qt::LeftButton);
        state.PauseTiming();
        send(QEvent::MouseButtonRelease, Qt::NoButton);
        state.ResumeTiming();
    }
    output->SetDevice(nullptr);
    state.counters["messages"] = benchmark::Counter(double(port.messages) / double(state.iterations()));
    if (port.messages < 2 * static_cast<size_t>(state.iterations()))
        state.SkipWithError("a press or a release did not reach the output");
}
BENCHMARK(KeyPressToDevice)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWidgets(argc, argv);
}

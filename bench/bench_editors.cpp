// The patch editor window: opening it (association and first paint), switching the part it
// shows, repainting it whole, and a filter cutoff drag with all four tones edited together.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "BenchWidgets.h"

#include <QApplication>

#include "app/CTavSystem.h"
#include "device/CTavBufferAccessor.h"
#include "entity/CTavEntityBanks.h"
#include "midi/CTavMidi.h"
#include "midi/CTavMidiDevice.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"
#include "script/qt/CResourceFactory.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CRootPanel.h"
#include "view/qt/CViewFactory.h"

namespace {

// The shipped script as built, with its artwork and the device layer (the tone
// synchroniser among its handlers); the main panel open, the editor closed.
struct Editor {
    CPanelWindows windows; // outlives the root panels, which leave its list as they go
    CTavSystem system;
    Brio::CTavBufferAccessor accessor;

    ~Editor() { accessor.Shutdown(); }

    bool Open() {
        system.SetScriptFolder(std::string(VIREO_BUILT_SCRIPT_DIR) + "/");
        system.SetResourceFactory(std::make_unique<CResourceFactory>());
        system.ViewManager().SetViewFactory(std::make_unique<CViewFactory>(windows));
        windows.showInMainWindow = [](CPanelWidget*) {};
        if (!bench::Build(system, bench::ReadText(system.ScriptPath()), CTavSystem::Views::Build) ||
            !accessor.Start(system, nullptr, nullptr))
            return false;
        // The user patches the parts play, so the editor stays open on every part.
        TavAddNameBank(accessor.Entities(), TavEntityType::Patch, TavEntityArea::User, 0, 130);
        accessor.ReapplyPartEntities();
        return system.ViewManager().OpenRootPanel("main");
    }
    CTavValue& Value(const char* path) { return *system.BufferManager().FindValue(path); }
    void Set(const char* path, int32_t raw) { TavSetValueInteger(system.BufferManager(), Value(path), raw); }
    CRootPanel* PatchEditor() {
        return dynamic_cast<CRootPanel*>(system.ViewManager().FindRootPanel("patchEditor"));
    }
    // Opens the editor on part 1's tone page.
    CPanelWidget* ShowPatchEditor() {
        Set("vs.control.editorPage", 2);
        Set("vs.control.entityType", 1);
        CRootPanel* panel = PatchEditor();
        return panel && panel->IsOpen() ? panel->Widget() : nullptr;
    }
};

#define OPEN_OR_SKIP(editor)                                                                                  \
    if (!(editor).Open()) {                                                                                  \
        state.SkipWithError(("the editor does not open: " + (editor).system.ErrorText()).c_str());            \
        return;                                                                                                \
    }

// Closing and opening the window: the window and its widget made, every reference
// resolved, the first paint of the back buffer.
void OpenPatchEditor(benchmark::State& state) {
    Editor editor;
    OPEN_OR_SKIP(editor);
    for (auto _ : state) {
        state.PauseTiming();
        editor.Set("vs.control.entityType", 0);
        QApplication::processEvents(); // the closed window's deferred deletion
        state.ResumeTiming();
        CPanelWidget* widget = editor.ShowPatchEditor();
        if (!widget) {
            state.SkipWithError("the patch editor does not open");
            return;
        }
        widget->PaintBackBuffer(QRegion(widget->rect()));
    }
}
BENCHMARK(OpenPatchEditor)->Unit(benchmark::kMillisecond);

// Choosing another part in the main window: every reference of the window resolved again
// and the window repainted.
void SwitchShownPart(benchmark::State& state) {
    Editor editor;
    OPEN_OR_SKIP(editor);
    CPanelWidget* widget = editor.ShowPatchEditor();
    if (!widget) {
        state.SkipWithError("the patch editor does not open");
        return;
    }
    int32_t part = 0;
    for (auto _ : state) {
        part = part == 2 ? 3 : 2;
        editor.Set("vs.control.partId", part);
        widget->PaintBackBuffer(QRegion(widget->rect()));
    }
    if (!editor.PatchEditor()->IsOpen())
        state.SkipWithError("the patch editor closed");
}
BENCHMARK(SwitchShownPart)->Unit(benchmark::kMillisecond);

void RepaintPatchEditor(benchmark::State& state) {
    Editor editor;
    OPEN_OR_SKIP(editor);
    CPanelWidget* widget = editor.ShowPatchEditor();
    if (!widget) {
        state.SkipWithError("the patch editor does not open");
        return;
    }
    editor.Set("vs.control.editorPage", static_cast<int32_t>(state.range(0)));
    const QRegion whole(widget->rect());
    for (auto _ : state)
        widget->PaintBackBuffer(whole);
}
BENCHMARK(RepaintPatchEditor)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A mouse move on tone 1's cutoff knob with all four tones edited together: from the Qt
// event through the drag, the tone synchroniser and the data sets handed to the output
// (one per changed leaf: four tones), without the repaint.
void DragCutoffFourTones(benchmark::State& state) {
    Editor editor;
    OPEN_OR_SKIP(editor);
    CPanelWidget* widget = editor.ShowPatchEditor();
    CTavView* knob = nullptr;
    CTavMidiOut* output = editor.system.MidiManager().Output(0);
    if (!widget || !editor.PatchEditor()->FindControl("patchEditor.tone.toneCutoff", knob) || !output) {
        state.SkipWithError("the patch editor has no cutoff knob, or the script no MIDI output");
        return;
    }
    editor.Set("vs.control.patchToneStateValue", 15);
    bench::CountingPort port;
    output->SetDevice(&port);
    const TavRect& rect = knob->Rect();
    const QPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        bench::SendMouse(*widget, type, at, buttons);
    };
    send(QEvent::MouseButtonPress, centre + QPoint(-10, -10), Qt::LeftButton);
    bool left = true;
    for (auto _ : state) {
        left = !left;
        send(QEvent::MouseMove, centre + QPoint(left ? -10 : 10, -10), Qt::LeftButton);
    }
    send(QEvent::MouseButtonRelease, centre, Qt::NoButton);
    output->SetDevice(nullptr);
    state.counters["dataSets"] = benchmark::Counter(double(port.messages) / double(state.iterations()));
    if (port.messages < 4 * static_cast<size_t>(state.iterations()))
        state.SkipWithError("a move did not reach every tone");
}
BENCHMARK(DragCutoffFourTones)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWidgets(argc, argv);
}

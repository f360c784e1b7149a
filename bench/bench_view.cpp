// The view tree: repainting the main panel into its back buffer, and value changes
// reaching every view.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <QApplication>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "script/qt/CResourceFactory.h"
#include "view/CTavViewManager.h"
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
        return bench::Build(system, bench::ReadText(system.ScriptPath())) &&
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

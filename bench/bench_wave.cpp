// The sample edit window's waveform view: one repaint with stereo lanes and its markers
// (start, loop, end and 32 beat points, or 15 chop points), and filling a 236-column plot
// from a source that answers at once.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "BenchWidgets.h"

#include <QImage>
#include <QPainter>

#include "app/CTavSystem.h"
#include "device/CTavWaveDrawControl.h"
#include "device/TavWaveSource.h"
#include "model/CTavBufferManager.h"
#include "script/qt/CResourceFactory.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CDrawInfo.h"

namespace {

// Answers every request with as many points as asked, a sine-like shape.
class InstantSource : public Brio::ITavWaveSource {
public:
    bool RequestWave(int32_t, int32_t, int64_t first, int32_t, int32_t count,
                     std::vector<Brio::TavWavePoint>& points) override {
        for (int32_t i = 0; i < count; ++i) {
            const auto v = static_cast<int16_t>(((first + i) * 997) % 30000);
            points.push_back({static_cast<int16_t>(-v), v});
        }
        return true;
    }
    bool RefreshSampleView(bool) override { return true; }
    void MoveMarker(int32_t, int64_t) override {}
    void Scrub(int32_t) override {}
    bool SendChopPoint(int32_t, int64_t) override { return true; }
    bool ClearChopPoint(int32_t) override { return true; }
    bool ReadChopPoints() override { return true; }
    void AddWaveView(Brio::ITavWaveView*) override {}
    void RemoveWaveView(Brio::ITavWaveView*) override {}
};

const char* const kPanel = R"(
<panelType><type>WaveBench</type><name>waveBench</name><size>260,260</size>
<control><type>quasarSampleViewControl</type><name>markers</name><position>0,0</position><size>257,120</size><mode>0</mode>
  <startValueRef>com.utility.sample.sampleCommon.startIndex</startValueRef>
  <loopValueRef>com.utility.sample.sampleCommon.loopIndex</loopValueRef>
  <endValueRef>com.utility.sample.sampleCommon.endIndex</endValueRef></control>
<control><type>quasarSampleViewControl</type><name>chop</name><position>0,130</position><size>239,120</size><mode>6</mode>
  <chopPointIdValueRef>vs.sampleEdit.modify.chop.edit.currentChopId</chopPointIdValueRef></control>
</panelType><panel><type>WaveBench</type><name>waveBench</name></panel>
)";

// The shipped script with the benchmark's window, a stereo sample shown in it.
struct Window {
    CTavSystem system;
    InstantSource source;
    Brio::CTavWaveDrawControl* views[2] = {};

    Window() { Brio::TavSetWaveSource(&source); }
    ~Window() { Brio::TavSetWaveSource(nullptr); }

    bool Open() {
        system.SetScriptFolder(std::string(VIREO_BUILT_SCRIPT_DIR) + "/");
        system.SetResourceFactory(std::make_unique<CResourceFactory>());
        if (!bench::Build(system, bench::ReadText(system.ScriptPath()) + kPanel, CTavSystem::Views::Build))
            return false;
        Set("vs.sampleEdit.view.scrollRangeUp", 1000000);
        Set("vs.sampleEdit.view.dotSamples", 2000);
        Set("vs.sampleEdit.view.sampleState", 1);
        Set("com.utility.sample.sampleCommon.loopIndex", 200000);
        Set("com.utility.sample.sampleCommon.endIndex", 400000);
        Set("com.utility.sample.sampleBeatPoint.beatDataSize", 32);
        for (int i = 0; i < 32; ++i)
            Set("com.utility.sample.sampleBeatPoint.beatPoint[" + std::to_string(i) + "]", 14000 * i);
        Set("vs.sampleEdit.modify.chop.edit.chopPointCount", 15);
        for (int i = 0; i < 15; ++i)
            Set("vs.sampleEdit.modify.chop.chopPoint[" + std::to_string(i) + "].frame", 30000 * i);
        if (!system.ViewManager().OpenRootPanel("waveBench"))
            return false;
        CTavPanel* panel = system.ViewManager().FindRootPanel("waveBench");
        CTavView* found[2] = {};
        if (!panel || !panel->FindControl("waveBench.markers", found[0]) || !panel->FindControl("waveBench.chop", found[1]))
            return false;
        for (int i = 0; i < 2; ++i)
            views[i] = dynamic_cast<Brio::CTavWaveDrawControl*>(found[i]);
        return views[0] && views[1];
    }
    void Set(const std::string& path, int32_t raw) {
        if (CTavValue* value = system.BufferManager().FindValue(path))
            TavSetValueInteger(system.BufferManager(), *value, raw);
    }
};

#define OPEN_OR_SKIP(window)                                                                                  \
    if (!(window).Open()) {                                                                                  \
        state.SkipWithError(("the window does not open: " + (window).system.ErrorText()).c_str());            \
        return;                                                                                                \
    }

// Argument 0: start, loop, end and beat markers; 1: 15 chop points.
void RepaintSampleView(benchmark::State& state) {
    Window window;
    OPEN_OR_SKIP(window);
    Brio::CTavWaveDrawControl& view = *window.views[state.range(0)];
    view.RequestWave(1, 2, 0, 2000);
    QImage image(260, 260, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        CDrawInfo info(&painter);
        view.Draw(info);
    }
}
BENCHMARK(RepaintSampleView)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

void FillSampleView(benchmark::State& state) {
    Window window;
    OPEN_OR_SKIP(window);
    Brio::CTavWaveDrawControl& view = *window.views[0];
    for (auto _ : state)
        view.RequestWave(1, 2, 0, 2000);
    if (view.Points(0).size() != 236 || view.Points(1).size() != 236)
        state.SkipWithError("the plot was not filled");
}
BENCHMARK(FillSampleView)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWidgets(argc, argv);
}

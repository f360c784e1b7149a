// The sample edit window's waveform view: one repaint with stereo lanes and its markers
// (start, loop, end and 32 beat points, or 15 chop points), and filling a 236-column plot
// from a source that answers at once, and from the virtual device through the device
// layer's reader and the ports, instantly and at cable speed.

#include <benchmark/benchmark.h>

#include "BenchPorts.h"
#include "BenchSupport.h"
#include "BenchWidgets.h"

#include <QImage>
#include <QPainter>

#include <chrono>

#include "app/CTavSystem.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavWaveDrawControl.h"
#include "device/CTavWriter.h"
#include "device/port/CQueuedDeviceReader.h"
#include "midi/CTavMidiManager.h"
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

// ---- From the virtual device --------------------------------------------------------

// The benchmark's window over the device layer, whose reader takes the virtual device's
// answers from the ports; what crosses the cable is counted on both sides.
struct DeviceWindow {
    CTavSystem system;
    bench::VirtualPorts ports;
    std::unique_ptr<bench::CountingOut> sent;
    bench::CountingIn received;
    Brio::CTavBufferAccessor& accessor = Brio::CTavBufferAccessor::Instance();
    Brio::CTavWaveDrawControl* view = nullptr;

    ~DeviceWindow() {
        accessor.Shutdown();
        ports.input.reset();
        ports.output.reset();
    }

    bool Open(CVirtualDevice::Speed speed) {
        system.SetScriptFolder(std::string(VIREO_BUILT_SCRIPT_DIR) + "/");
        system.SetResourceFactory(std::make_unique<CResourceFactory>());
        if (!bench::Build(system, bench::ReadText(system.ScriptPath()) + kPanel, CTavSystem::Views::Build) ||
            !ports.Open(system, speed))
            return false;
        sent = std::make_unique<bench::CountingOut>(*ports.output);
        system.MidiManager().Output(0)->SetDevice(sent.get());
        ports.input->AddListener(&received);
        if (!accessor.Start(system,
                            std::make_unique<Brio::CQueuedDeviceReader>(system, accessor.Entities(), ports.queue),
                            std::make_unique<Brio::CTavWriter>(system.BufferManager())))
            return false;
        // Sample 1 of the user group: mono, half a second.
        if (CTavValue* state = system.BufferManager().FindValue("vs.sampleEdit.view.sampleState"))
            TavSetValueInteger(system.BufferManager(), *state, 0);
        if (!system.ViewManager().OpenRootPanel("waveBench"))
            return false;
        CTavPanel* panel = system.ViewManager().FindRootPanel("waveBench");
        CTavView* found = nullptr;
        if (!panel || !panel->FindControl("waveBench.markers", found))
            return false;
        view = dynamic_cast<Brio::CTavWaveDrawControl*>(found);
        return view != nullptr;
    }
    // The whole plot over the sample's 22050 frames, in requests of 117 columns.
    bool Fill() {
        constexpr int32_t kFramesPerColumn = 22050 / 236;
        return view->RequestWave(1, 2, 0, kFramesPerColumn) && view->Points(0).size() == 236;
    }
};

#define OPEN_DEVICE_OR_SKIP(window, speed)                                                                    \
    if (!(window).Open(speed)) {                                                                             \
        state.SkipWithError(("the window does not open: " + (window).system.ErrorText()).c_str());            \
        return;                                                                                                \
    }

void FillSampleViewFromDevice(benchmark::State& state) {
    DeviceWindow window;
    OPEN_DEVICE_OR_SKIP(window, CVirtualDevice::Speed::Instant);
    for (auto _ : state)
        if (!window.Fill()) {
            state.SkipWithError("the plot was not filled");
            return;
        }
    state.counters["bytesPerFill"] =
        static_cast<double>(window.sent->total + window.received.total) / static_cast<double>(state.iterations());
}
BENCHMARK(FillSampleViewFromDevice)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same at cable speed, against the time the cable alone needs for the requests and
// the answers.
void FillSampleViewWireSpeed(benchmark::State& state) {
    DeviceWindow window;
    OPEN_DEVICE_OR_SKIP(window, CVirtualDevice::Speed::Wire);
    // What opening the window exchanged (the identity, the sample's information) is not
    // part of a fill.
    const auto sentBefore = window.sent->total;
    const auto receivedBefore = window.received.total;
    double elapsed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool filled = window.Fill();
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!filled) {
            state.SkipWithError("the plot was not filled");
            return;
        }
    }
    const double iterations = static_cast<double>(state.iterations());
    const double seconds = elapsed / iterations;
    const double wire =
        static_cast<double>(window.sent->total - sentBefore + window.received.total - receivedBefore) / iterations /
        CVirtualDevice::kWireBytesPerSecond;
    state.counters["totalMs"] = seconds * 1e3;
    state.counters["wireMs"] = wire * 1e3;
    state.counters["ratio"] = seconds / wire;
}
BENCHMARK(FillSampleViewWireSpeed)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWidgets(argc, argv);
}

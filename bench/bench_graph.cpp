// The graph controls: working out the LFO picture of a 200-pixel control, as every
// change of one of its values does.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include "model/CTavBufferManager.h"
#include "view/CTavLfoControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"

namespace {

const char* const kScript = R"(
<structType><type>Lfo</type><name>lfo</name><address>00 00</address>
  <value><name>wave</name><address>00</address><range>0,12</range><default>0</default></value>
  <value><name>rate</name><address>01</address><range>0,149</range><default>100</default></value>
  <value><name>offset</name><address>02</address><range>0,4</range><default>2</default></value>
  <value><name>delay</name><address>03</address><range>0,127</range><default>20</default></value>
  <value><name>mode</name><address>04</address><range>0,3</range><default>0</default></value>
  <value><name>fade</name><address>05</address><range>0,127</range><default>40</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address><struct><type>Lfo</type></struct></structType>
<struct><type>Root</type></struct>
<panelType><type>Main</type><name>main</name><size>240,80</size>
  <control><type>lfo</type><name>l</name><position>10,10</position><size>200,60</size>
    <waveFormValueRef>p.lfo.wave</waveFormValueRef><rateValueRef>p.lfo.rate</rateValueRef>
    <offsetValueRef>p.lfo.offset</offsetValueRef><delayTimeValueRef>p.lfo.delay</delayTimeValueRef>
    <fadeModeValueRef>p.lfo.mode</fadeModeValueRef><fadeTimeValueRef>p.lfo.fade</fadeTimeValueRef></control>
</panelType>
<panel><type>Main</type><name>main</name></panel>
)";

// state.range(0) is the waveform: 0 sine, 5 random, 9 sample and hold, 10 chaos.
void LfoRefresh200(benchmark::State& state) {
    CTavSystem system;
    CTavView* view = nullptr;
    if (!bench::Build(system, kScript, CTavSystem::Views::Build) || !system.ViewManager().OpenRootPanel("main") ||
        !system.ViewManager().FindRootPanel("main")->FindControl("main.l", view)) {
        state.SkipWithError(("the LFO panel does not open: " + system.ErrorText()).c_str());
        return;
    }
    auto* lfo = dynamic_cast<CTavLfoControl*>(view);
    system.BufferManager().FindValue("p.lfo.wave")->SetRaw(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        lfo->Refresh();
        benchmark::DoNotOptimize(lfo->Picture().curve.data());
    }
    state.counters["points"] = static_cast<double>(lfo->Picture().curve.size());
}
BENCHMARK(LfoRefresh200)->Arg(0)->Arg(5)->Arg(9)->Arg(10)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// Reading and building hostile scripts of a few megabytes, as `vireo-cli check` does: every
// one must end (most of them refused with a message) in well under two seconds.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <sys/resource.h>

#include <functional>
#include <string>

#include "../tests/script/HostileScripts.h"
#include "app/CTavSystem.h"

namespace {

void Check(benchmark::State& state, const std::string& script) {
    state.counters["script_kB"] = static_cast<double>(script.size()) / 1024.0;
    std::string errors;
    for (auto _ : state) {
        CTavSystem system;
        const bool built = bench::Build(system, script, CTavSystem::Views::Build);
        benchmark::DoNotOptimize(built);
        errors = system.ErrorText();
    }
    // The first line tells how the build ended.
    state.SetLabel(errors.empty() ? "built" : errors.substr(0, errors.find('\n')));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void MacroBomb(benchmark::State& state) { Check(state, hostile::MacroBomb(16, 4)); }
BENCHMARK(MacroBomb)->Unit(benchmark::kMillisecond);

void MacroReferences(benchmark::State& state) {
    Check(state, hostile::MacroReferences(static_cast<size_t>(state.range(0))));
}
BENCHMARK(MacroReferences)->Arg(1000000)->Unit(benchmark::kMillisecond);

void MacroWork(benchmark::State& state) { Check(state, hostile::MacroWork(50000, 300000)); }
BENCHMARK(MacroWork)->Unit(benchmark::kMillisecond);

void Entities(benchmark::State& state) { Check(state, hostile::Entities(static_cast<size_t>(state.range(0)))); }
BENCHMARK(Entities)->Arg(400000)->Arg(4000000)->Unit(benchmark::kMillisecond);

void ArrayItems(benchmark::State& state) {
    Check(state, hostile::ArrayItems(static_cast<size_t>(state.range(0))));
}
BENCHMARK(ArrayItems)->Arg(30000)->Arg(1500000)->Unit(benchmark::kMillisecond);

void ManyItems(benchmark::State& state) { Check(state, hostile::ManyItems(static_cast<size_t>(state.range(0)))); }
BENCHMARK(ManyItems)->Arg(1000000)->Unit(benchmark::kMillisecond);

void StructFanOut(benchmark::State& state) { Check(state, hostile::StructFanOut(8, 16)); }
BENCHMARK(StructFanOut)->Unit(benchmark::kMillisecond);

void PanelFanOut(benchmark::State& state) { Check(state, hostile::PanelFanOut(8, 16)); }
BENCHMARK(PanelFanOut)->Unit(benchmark::kMillisecond);

void StructChain(benchmark::State& state) { Check(state, hostile::StructChain(100000)); }
BENCHMARK(StructChain)->Unit(benchmark::kMillisecond);

void MidiStructs(benchmark::State& state) {
    Check(state, hostile::MidiStructs(static_cast<size_t>(state.range(0))));
}
BENCHMARK(MidiStructs)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void WideLookups(benchmark::State& state) { Check(state, hostile::WideLookups(400000, 100000)); }
BENCHMARK(WideLookups)->Unit(benchmark::kMillisecond);

void LongCondition(benchmark::State& state) {
    Check(state, hostile::LongCondition(static_cast<size_t>(state.range(0))));
}
BENCHMARK(LongCondition)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

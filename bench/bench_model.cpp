// The parameter model: building it from the shipped script, one user edit, and data files.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "device/CTavBufferAccessor.h"
#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"
#include "model/CTavFadeRangeClipper.h"

namespace {

using bench::Build;
using bench::ShippedScript;

// Reading the script text and creating every manager, as start-up does.
void ReadScriptAndBuildModel(benchmark::State& state) {
    const std::string script = ShippedScript();
    for (auto _ : state) {
        CTavSystem system;
        if (!Build(system, script))
            state.SkipWithError("the shipped script does not build");
        benchmark::DoNotOptimize(system.BufferManager().RootStructs().size());
    }
}
BENCHMARK(ReadScriptAndBuildModel)->Unit(benchmark::kMillisecond);

// A first value of a leaf with a following value, for the fade range pair.
CTavValue* FirstIntegerValue(CTavBufferManager& buffers, CTavValue** next) {
    CTavValue* found = nullptr;
    for (const auto& root : buffers.RootStructs()) {
        root->ForEachLeaf([&](CTavLeafStruct& leaf) {
            auto& values = *leaf.ChildValues();
            if (!found && values.size() >= 2 && values[0].Kind() == kTavKindInteger &&
                values[1].Kind() == kTavKindInteger) {
                found = &values[0];
                *next = &values[1];
            }
        });
    }
    return found;
}

// One edit as a control makes it: write by position, transmit (no output bound), publish,
// clear; with handlers in the chain.
void UserEdit(benchmark::State& state) {
    CTavSystem system;
    if (!Build(system, ShippedScript())) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    CTavBufferManager& buffers = system.BufferManager();
    CTavValue* other = nullptr;
    CTavValue* value = FirstIntegerValue(buffers, &other);
    if (!value) {
        state.SkipWithError("no integer value");
        return;
    }
    auto clipper = std::make_unique<CTavFadeRangeClipper>(buffers);
    clipper->AddPair(*value, *other);
    buffers.Handlers().Add(std::move(clipper));
    const int32_t span = value->Spec().maximum - value->Spec().minimum + 1;
    int32_t position = 0;
    for (auto _ : state) {
        buffers.WriteIntegerByPosition(*value, position);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
        position = (position + 1) % span;
    }
}
BENCHMARK(UserEdit);

// A part level edit with the device layer started offline, so every device handler is in
// the chain: the cost the handlers add to each edit of a knob.
void PartLevelEditWithDeviceHandlers(benchmark::State& state) {
    CTavSystem system;
    if (!Build(system, ShippedScript())) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    Brio::CTavBufferAccessor accessor;
    CTavBufferManager& buffers = system.BufferManager();
    CTavValue* level = buffers.FindValue("qv.prti.part[2].partLevel");
    if (!accessor.Start(system, nullptr, nullptr) || !level) {
        state.SkipWithError("the device layer does not start");
        return;
    }
    int32_t raw = 0;
    for (auto _ : state) {
        buffers.WriteInteger(*level, raw);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
        raw = (raw + 1) % 128;
    }
    state.counters["handlers"] = static_cast<double>(buffers.Handlers().Count());
    accessor.Shutdown();
}
BENCHMARK(PartLevelEditWithDeviceHandlers);

class DataFileBench : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override {
        system = std::make_unique<CTavSystem>();
        built = Build(*system, ShippedScript());
        path = (std::filesystem::temp_directory_path() / "vireo-bench.vro").string();
    }
    void TearDown(const benchmark::State&) override {
        std::remove(path.c_str());
        system.reset();
    }

    std::unique_ptr<CTavSystem> system;
    bool built = false;
    std::string path;
};

BENCHMARK_DEFINE_F(DataFileBench, Save)(benchmark::State& state) {
    CTavDataFile file(system->BufferManager(), system->BufferOutput());
    for (auto _ : state)
        if (!built || !file.Save(path))
            state.SkipWithError("save failed");
    state.counters["bytes"] = static_cast<double>(
        CTavDataFile::kHeaderSize + CTavBufferManager::BodySize(*system->BufferManager().FindRoot("qv")));
}
BENCHMARK_REGISTER_F(DataFileBench, Save)->Unit(benchmark::kMicrosecond);

BENCHMARK_DEFINE_F(DataFileBench, Load)(benchmark::State& state) {
    CTavDataFile file(system->BufferManager(), system->BufferOutput());
    if (!built || !file.Save(path)) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        if (!file.Load(path))
            state.SkipWithError("load failed");
        system->BufferManager().ClearPending();
    }
}
BENCHMARK_REGISTER_F(DataFileBench, Load)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

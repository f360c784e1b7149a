// The edit history on the shipped model: what recording a step costs on top of the edit
// itself (one value, and a menu command's whole part), undo with its transmission, and
// encoding the edit state for the recovery file, which the GUI thread does before the
// writer thread takes over.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include "app/CTavSystem.h"
#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"
#include "model/CTavEditHistory.h"
#include "model/CTavValue.h"

#include <memory>

namespace {

// The shipped model with a history following "qv" (unless told not to); false, with the
// benchmark skipped, when the script does not build.
bool Build(benchmark::State& state, CTavSystem& system, std::unique_ptr<CTavEditHistory>& history,
           bool follow = true) {
    if (!bench::BuildShipped(system)) {
        state.SkipWithError("the shipped script does not build");
        return false;
    }
    history = std::make_unique<CTavEditHistory>(system.BufferManager());
    if (follow)
        history->Attach(CTavSystem::kRootName);
    return true;
}

void Edit(CTavBufferManager& buffers, CTavValue& value, int32_t raw) {
    buffers.WriteInteger(value, raw);
    buffers.TransmitPending();
    buffers.PublishPending();
    buffers.ClearPending();
}

// One edit of a part's level, without and with the history listening (arg 1): the
// difference is the cost of recording the step, its leaf of 20 or so bytes copied twice.
void EditWithHistory(benchmark::State& state) {
    CTavSystem system;
    std::unique_ptr<CTavEditHistory> history;
    if (!Build(state, system, history, state.range(0) != 0))
        return;
    CTavBufferManager& buffers = system.BufferManager();
    CTavValue* level = buffers.FindValue("qv.prti.part[2].partLevel");
    int32_t raw = 0;
    for (auto _ : state)
        Edit(buffers, *level, raw = (raw + 1) % 128);
    state.counters["steps"] = static_cast<double>(history->StepCount());
}
BENCHMARK(EditWithHistory)->Arg(0)->Arg(1);

// A Paste-sized step: every value of one part's settings changed in one action.
void PastePartStep(benchmark::State& state) {
    CTavSystem system;
    std::unique_ptr<CTavEditHistory> history;
    if (!Build(state, system, history))
        return;
    CTavBufferManager& buffers = system.BufferManager();
    CTavStruct* part = buffers.FindStruct("qv.prti.part[4]");
    int32_t raw = 0;
    for (auto _ : state) {
        raw = (raw + 1) % 2;
        TavIntegerWrites writes;
        part->ForEachValue([&](CTavValue& value) {
            if (value.Kind() == kTavKindInteger)
                writes.emplace_back(&value, value.Spec().minimum + raw);
        });
        const CTavBufferManager::CAction action(buffers, "Paste Part Info Part 5");
        buffers.WriteIntegers(writes);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
    }
}
BENCHMARK(PastePartStep);

// Undo and redo of one edit: bytes back, the leaf sent (no output bound), published.
void UndoRedo(benchmark::State& state) {
    CTavSystem system;
    std::unique_ptr<CTavEditHistory> history;
    if (!Build(state, system, history))
        return;
    CTavBufferManager& buffers = system.BufferManager();
    Edit(buffers, *buffers.FindValue("qv.prti.part[2].partLevel"), 5);
    for (auto _ : state) {
        history->Undo();
        history->Redo();
    }
}
BENCHMARK(UndoRedo);

// The recovery file's bytes, taken on the GUI thread.
void EncodeForRecovery(benchmark::State& state) {
    CTavSystem system;
    if (!bench::BuildShipped(system)) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    CTavDataFile file(system.BufferManager(), nullptr);
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        file.Encode(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(EncodeForRecovery)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

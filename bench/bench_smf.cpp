// Standard MIDI File export and import through the device layer on the shipped script,
// offline: a full state (every part plays a patch, part 10 a rhythm set) exported with
// every part's patch or rhythm set, that file imported again, and a valid file of 50 MB
// imported from its path. The writer's clock does
// not pause and no device is behind the output, so the figures are the work itself.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

#include "app/TavClock.h"
#include "device/CTavBufferAccessor.h"
#include "entity/CTavEntityBanks.h"
#include "files/CTavSmf.h"
#include "files/TavSafeFile.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"

namespace {

// The shipped script with the device layer started offline, the user banks known and
// every part playing something.
struct FullState {
    FullState() {
        if (!bench::BuildShipped(system) ||
            !accessor.Start(system,
                            std::make_unique<Brio::CTavOfflineReader>(
                                system.BufferManager(), accessor.Entities(), system.BufferOutput()),
                            std::make_unique<Brio::CTavWriter>(system.BufferManager(), clock), clock))
            return;
        TavAddNameBank(accessor.Entities(), TavEntityType::Patch, TavEntityArea::User, 0, 128);
        TavAddNameBank(accessor.Entities(), TavEntityType::RhythmSet, TavEntityArea::User, 0, 64);
        const Brio::CTavBoundTable& bound = accessor.Bound();
        CTavBufferManager& buffers = system.BufferManager();
        for (int32_t part = 0; part < Brio::kTavPartCount; ++part) {
            const CTavEntityId id = {part == 9 ? TavEntityType::RhythmSet : TavEntityType::Patch, TavEntityArea::User,
                                     0, part};
            const CTavProgramId program = accessor.Entities().ProgramIdOf(id);
            buffers.WriteIntegers({{bound.partBankSelectMsb[part], program.msb},
                                   {bound.partBankSelectLsb[part], program.lsb},
                                   {bound.partProgramNumber[part], program.program}});
        }
        buffers.ClearPending();
        root = buffers.FindRoot(std::string(CTavSystem::kRootName));
    }
    ~FullState() { accessor.Shutdown(); }

    CTavSystem system;
    CTavNoPauseClock clock;
    Brio::CTavBufferAccessor accessor;
    CTavRootStruct* root = nullptr;
};

void ExportPartInfoAndSets(benchmark::State& state) {
    FullState full;
    if (!full.root) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    TavBytes file;
    for (auto _ : state) {
        if (!full.accessor.Writer()->ExportSmf(Brio::TavExportMode::PartInfoAndSets, file))
            state.SkipWithError("the export failed");
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    state.counters["fileBytes"] = static_cast<double>(file.size());
}
BENCHMARK(ExportPartInfoAndSets)->Unit(benchmark::kMillisecond);

// The same, saved through the temporary file as the menu command does.
void ExportPartInfoAndSetsToFile(benchmark::State& state) {
    FullState full;
    if (!full.root) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / ("vireo-bench-smf-" + std::to_string(::getpid()) + ".mid")).string();
    for (auto _ : state)
        if (!full.accessor.ExportSmf(path, Brio::TavExportMode::PartInfoAndSets))
            state.SkipWithError("the export failed");
    std::remove(path.c_str());
}
BENCHMARK(ExportPartInfoAndSetsToFile)->Unit(benchmark::kMillisecond);

void ImportPartInfoAndSets(benchmark::State& state) {
    FullState full;
    TavBytes file;
    if (!full.root || !full.accessor.Writer()->ExportSmf(Brio::TavExportMode::PartInfoAndSets, file)) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    Brio::CTavReader& reader = *full.accessor.Reader();
    for (auto _ : state) {
        if (!reader.ImportSmf(file.data(), file.size(), *full.root))
            state.SkipWithError("the import failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    state.counters["dataSets"] = static_cast<double>(reader.ImportedDataSets());
}
BENCHMARK(ImportPartInfoAndSets)->Unit(benchmark::kMillisecond);

// A valid file of about 50 MB: the data sets of the full export again and again in one
// track, as a long recording of edits would be.
TavBytes LargeFile(const TavBytes& exported) {
    std::vector<CTavLongMessage> messages;
    struct Collect : CTavSmfMemoryRead {
        using CTavSmfMemoryRead::CTavSmfMemoryRead;
        std::vector<CTavLongMessage>* messages = nullptr;
        void OnExclusiveEvent(uint32_t, const CTavLongMessage& message) override { messages->push_back(message); }
    } collect(exported);
    collect.messages = &messages;
    if (!collect.Read() || messages.empty())
        return {};
    CTavSmfMemoryWrite writer;
    writer.BeginFile();
    writer.BeginTrack();
    for (size_t i = 0; writer.Position() < 50'000'000; ++i) {
        const CTavLongMessage& message = messages[i % messages.size()];
        writer.WriteExclusiveEvent(Brio::CTavWriter::DeltaTicks(message.Bytes().size()), message);
    }
    writer.EndFile();
    return writer.TakeBytes();
}

// The import of the large file from its path, as the menu command reads it: the rate is
// the file's megabytes (10^6 bytes) per second.
void ImportLargeFile(benchmark::State& state) {
    FullState full;
    TavBytes exported;
    if (!full.root || !full.accessor.Writer()->ExportSmf(Brio::TavExportMode::PartInfoAndSets, exported)) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    const TavBytes file = LargeFile(exported);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("vireo-bench-large-" + std::to_string(::getpid()) + ".mid")).string();
    if (file.empty() || !TavSaveFileSafely(path, file.data(), file.size())) {
        state.SkipWithError("the large file cannot be written");
        return;
    }
    Brio::CTavReader& reader = *full.accessor.Reader();
    for (auto _ : state) {
        if (!reader.ImportSmf(path, *full.root))
            state.SkipWithError("the import failed");
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    state.counters["MB/s"] =
        benchmark::Counter(static_cast<double>(file.size()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["fileBytes"] = static_cast<double>(file.size());
    state.counters["dataSets"] = static_cast<double>(reader.ImportedDataSets());
}
BENCHMARK(ImportLargeFile)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

// Feeds arbitrary bytes as a Standard MIDI File to the device layer's import, offline: the
// shipped editor script's model with the device layer started on a reader that never
// waits, user banks in the catalog and no device behind the first output. Accepted data
// sets land in the model and are framed again for the output, so mutations of a valid
// export reach parsing, the joining of divided messages, the framing checks and the root
// struct's buffers. The editor is built once; every input starts from the state it had.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzShippedSystem.h"
#include "app/CTavSystem.h"
#include "app/TavClock.h"
#include "device/CTavBufferAccessor.h"
#include "entity/CTavEntityBanks.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"

namespace {

void AddUserBanks(CTavEntityManager& catalog) {
    TavAddNameBank(catalog, TavEntityType::Patch, TavEntityArea::User, 0, 128);
    TavAddNameBank(catalog, TavEntityType::RhythmSet, TavEntityArea::User, 0, 64);
}

struct Layer {
    CTavSystem system;
    Brio::CTavBufferAccessor accessor;
    CTavNoPauseClock clock;
    CTavRootStruct* root = nullptr;
    FuzzSnapshot snapshot;
};

Layer& Built() {
    static Layer* layer = [] {
        auto* built = new Layer;
        CTavSystem& system = built->system;
        if (!FuzzBuildShippedSystem(system) || !system.MidiManager().Output(0) ||
            !built->accessor.Start(
                system,
                std::make_unique<Brio::CTavOfflineReader>(system.BufferManager(), built->accessor.Entities(),
                                                          system.BufferOutput()),
                std::make_unique<Brio::CTavWriter>(system.BufferManager(), built->clock), built->clock) ||
            !(built->root = system.BufferManager().FindRoot(std::string(CTavSystem::kRootName))))
            FuzzCannotBuild(system);
        AddUserBanks(built->accessor.Entities());
        system.BufferManager().ClearPending();
        built->snapshot.Take(system, &built->accessor.Entities(), AddUserBanks);
        return built;
    }();
    return *layer;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Built();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Layer& layer = Built();
    Brio::CTavReader& reader = *layer.accessor.Reader();
    reader.ImportSmf(data, size, *layer.root);
    // Only a stored data set changes the editor (the import publishes and clears its
    // changes itself); then the next input gets it back as it was.
    if (reader.ImportedDataSets() > 0)
        layer.snapshot.Restore();
    return 0;
}

// Feeds arbitrary bytes as a Standard MIDI File to the device layer's import, offline: the
// shipped editor script's model with the device layer started on a reader that never
// waits and no device behind the first output. Accepted data sets land in the model and
// are framed again for the output, so mutations of a valid export reach parsing, the
// framing checks and the root struct's buffers.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzShippedSystem.h"
#include "app/CTavSystem.h"
#include "app/TavClock.h"
#include "device/CTavBufferAccessor.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"

namespace {

struct Layer {
    CTavSystem system;
    Brio::CTavBufferAccessor accessor;
    CTavNoPauseClock clock;
    CTavRootStruct* root = nullptr;
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
    layer.accessor.Reader()->ImportSmf(data, size, *layer.root);
    layer.system.BufferManager().ClearPending();
    return 0;
}

// Feeds arbitrary bytes to the first MIDI input of the shipped editor script, as one
// complete message from the input device. Each input is tried as it is and once more
// behind the start of a data set for the script's framing (F0 41 10 00 6A), so that
// mutations reach parsing, the checksum test and the root structs' buffers quickly.

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "FuzzShippedSystem.h"
#include "app/CTavSystem.h"
#include "midi/CTavLongMessage.h"
#include "midi/CTavMidiManager.h"

namespace {

CTavSystem& System() {
    static CTavSystem* system = [] {
        auto* built = new CTavSystem;
        if (!FuzzBuildShippedSystem(*built) || !built->MidiManager().Input(0))
            FuzzCannotBuild(*built);
        return built;
    }();
    return *system;
}

void Receive(CTavSystem& system, const TavBytes& bytes) {
    system.MidiManager().Input(0)->Receive(bytes);
    system.BufferManager().ClearPending();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    System();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CTavSystem& system = System();
    Receive(system, TavBytes(data, data + size));

    static const uint8_t kDataSetStart[] = {0xF0, CTavHaldenMessage::kManufacturerId, 0x10, 0x00, 0x6A};
    TavBytes framed(std::begin(kDataSetStart), std::end(kDataSetStart));
    framed.insert(framed.end(), data, data + size);
    Receive(system, framed);
    return 0;
}

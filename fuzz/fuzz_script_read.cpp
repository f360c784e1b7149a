// Reads arbitrary bytes as an editor script and, when that succeeds, creates every
// manager from it, the panels included, as `vireo-cli check` does. Nothing may crash,
// leak or run away, whatever the script asks for.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CTavSystem system;
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
    system.AttachErrorOutputToManagers();
    // No script folder: bitmaps find no images, so panels with controls fail at their
    // first bitmap, after their types, macros and attributes were taken in.
    if (system.ReadScript(std::string_view(reinterpret_cast<const char*>(data), size)))
        system.CreateManagers(CTavSystem::Views::Build);
    system.Shutdown();
    return 0;
}

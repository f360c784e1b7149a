#pragma once
// The fuzz targets that need the editor's model build it from the shipped editor script,
// with the error and buffer outputs kept in memory. A script that does not build ends the
// run at once: every input would be wasted on it.

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"

#ifndef VIREO_FUZZ_SCRIPT
#error "VIREO_FUZZ_SCRIPT must name the editor script"
#endif

// Reads the shipped script into system and creates its managers without views.
inline bool FuzzBuildShippedSystem(CTavSystem& system) {
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
    system.AttachErrorOutputToManagers();
    std::ifstream in(VIREO_FUZZ_SCRIPT, std::ios::binary);
    return in && system.ReadScript(in) && system.CreateManagers(CTavSystem::Views::Skip);
}

[[noreturn]] inline void FuzzCannotBuild(const CTavSystem& system) {
    std::fprintf(stderr, "Cannot build the editor from %s:\n%s\n", VIREO_FUZZ_SCRIPT,
                 system.ErrorText().c_str());
    std::abort();
}

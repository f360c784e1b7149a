#pragma once
// What the benchmark programs share: the shipped editor script and a root object built
// from a script text as start-up builds it, with the error and buffer outputs in place.

#include <fstream>
#include <iterator>
#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"

namespace bench {

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ShippedScript() {
    return ReadText(std::string(VIREO_SHIPPED_SCRIPT_DIR) + "/VireoEditorScript.xml");
}

// Installs the outputs, then reads the script and creates the managers. Factories the
// caller installed beforehand are kept.
// The panels are built only when asked for: the source folder has no artwork.
inline bool Build(CTavSystem& system, const std::string& script,
                  CTavSystem::Views views = CTavSystem::Views::Skip) {
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
    system.AttachErrorOutputToManagers();
    return system.ReadScript(script) && system.CreateManagers(views);
}

inline bool BuildShipped(CTavSystem& system) {
    return Build(system, ShippedScript());
}

} // namespace bench

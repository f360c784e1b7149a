#pragma once
// vireo-cli coverage: the device values that no control of any panel edits.

#include <string>
#include <vector>

class CTavSystem;

// The root whose values the report covers: the device's parameter memory.
inline constexpr const char* kCliCoveredRoot = "qv";

// Prints every value of the root that no control edits, one path per line; then, under
// "No control on purpose:", the values the script declares so, each indented with its
// reason after a tab; and last "N of M values have a control". A declared path that
// matches no value is named on standard error. Exit status 0; the views must be built.
int CliCoverage(CTavSystem& system, const std::vector<std::string>& arguments);

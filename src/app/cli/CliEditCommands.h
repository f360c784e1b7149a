#pragma once
// vireo-cli edit: runs the Edit menu's commands on a data file.

#include <string>
#include <vector>

class CTavSystem;

// Returns the process exit status: 0 success, 1 failure (message on standard error).
int CliEdit(CTavSystem& system, const std::vector<std::string>& arguments);

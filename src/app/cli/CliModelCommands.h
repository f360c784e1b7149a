#pragma once
// vireo-cli commands on the parameter model and data files.

#include <string>
#include <vector>

class CTavSystem;

// Each returns the process exit status: 0 success, 1 failure (message on standard error).
int CliPaths(CTavSystem& system, const std::vector<std::string>& arguments);
int CliNew(CTavSystem& system, const std::vector<std::string>& arguments);
int CliGet(CTavSystem& system, const std::vector<std::string>& arguments);
int CliSet(CTavSystem& system, const std::vector<std::string>& arguments);

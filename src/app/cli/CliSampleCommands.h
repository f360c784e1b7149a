#pragma once
// vireo-cli commands on the device's samples, through the device layer.

#include <string>
#include <vector>

class CTavSystem;

// samples --in NAME --out NAME [--device-id N]
int CliSamples(CTavSystem& system, const std::vector<std::string>& arguments);
// sample --in NAME --out NAME [--device-id N] [--overwrite] GROUP NUMBER COMMAND [ARGS]
int CliSample(CTavSystem& system, const std::vector<std::string>& arguments);
// wave --in NAME --out NAME [--device-id N] GROUP NUMBER [--points N]
int CliWave(CTavSystem& system, const std::vector<std::string>& arguments);

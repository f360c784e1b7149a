#pragma once
// vireo-cli commands on Standard MIDI Files through the device layer: export-smf writes
// the part settings (and the parts' patches or rhythm sets) of a data file as the editor's
// Export SMF does; import-smf plays a file's data sets into a data file, and to a device
// when ports are named.

#include <string>
#include <vector>

class CTavSystem;

// export-smf FILE.vro OUT.mid [--with-patches] [--device-id N]
int CliExportSmf(CTavSystem& system, const std::vector<std::string>& arguments);
// import-smf IN.mid FILE.vro [-o OUT.vro] [--in NAME --out NAME] [--device-id N]
int CliImportSmf(CTavSystem& system, const std::vector<std::string>& arguments);

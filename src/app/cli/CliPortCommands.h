#pragma once
// vireo-cli commands that talk to MIDI ports: the system's and the virtual device's.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "virtual/CVirtualDevice.h"

class CTavSystem;
namespace Brio {
class CTavBufferAccessor;
}

// The device ID byte the virtual device of the commands below answers to (default 0x10).
void CliSetVirtualDeviceId(uint8_t id);
// The lasting faults of the virtual device of the commands below (default none).
void CliSetVirtualDeviceFaults(const CVirtualDevice::Faults& faults);

// ports
int CliPorts(CTavSystem& system, const std::vector<std::string>& arguments);
// read --in NAME --out NAME [--device-id N] OUT.vro
int CliRead(CTavSystem& system, const std::vector<std::string>& arguments);
// write --in NAME --out NAME [--device-id N] FILE.vro
int CliWrite(CTavSystem& system, const std::vector<std::string>& arguments);
// names --in NAME --out NAME [--samples] [--device-id N]
int CliNames(CTavSystem& system, const std::vector<std::string>& arguments);
// backup --in NAME --out NAME [--device-id N] OUT.vro
int CliBackup(CTavSystem& system, const std::vector<std::string>& arguments);
// restore --in NAME --out NAME [--device-id N] [--verify] FILE.vro
int CliRestore(CTavSystem& system, const std::vector<std::string>& arguments);
// simulate [--port NAME] [--samples DIR]
int CliSimulate(CTavSystem& system, const std::vector<std::string>& arguments);

// Opens the named ports, starts a device layer on them (reader and writer on the first
// input and output) and runs work with it; answers work's status, or 1 (with a message)
// when the ports or the layer cannot be opened.
int CliWithDeviceLayer(CTavSystem& system, const std::string& in, const std::string& out,
                       std::optional<int32_t> deviceId, const std::function<int(Brio::CTavBufferAccessor&)>& work);

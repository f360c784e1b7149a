#pragma once
// The virtual device's command-line options, read alike by vireo-editor and vireo-cli.

#include <cstdint>
#include <string>

#include "virtual/CVirtualDevice.h"

// "--virtual-device-id N": the device ID the virtual device answers to, as users count
// device IDs (17 to 32, sent as the bytes 0x10 to 0x1F). False, with the reason, for
// anything else.
bool TavParseVirtualDeviceId(const std::string& text, uint8_t& id, std::string& error);
// "--virtual-device=SPEED": "cable" (replies at MIDI cable speed, sends held back to it)
// or "instant". False, with the reason, for anything else.
bool TavParseVirtualDeviceSpeed(const std::string& text, CVirtualDevice::Speed& speed, std::string& error);

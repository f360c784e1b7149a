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

// "--virtual-device-fault=LIST": the lasting faults a user or a black-box test gives the
// virtual device, comma-separated: "identity" (answers with another model's identity
// bytes), "silent" (answers nothing), "leave-pc-mode" (leaves PC mode as soon as it enters
// it), "modify-error" (every sample modify command fails), "drop=N" (every Nth answer is
// not sent, N from 1) and "corrupt=N" (byte N of every data set's data, from 0, is stored
// with its lowest bit flipped). Sets them in faults; false, with the reason naming every
// fault, for anything else (nothing is set then).
bool TavParseVirtualDeviceFaults(const std::string& text, CVirtualDevice::Faults& faults, std::string& error);

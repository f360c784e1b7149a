#pragma once
// vireo-cli commands that exchange exclusive messages with the editor's MIDI side.

#include <string>
#include <vector>

class CTavSystem;

// receive FILE.vro HEX... [-o OUT.vro] [--device-id N]
int CliReceive(CTavSystem& system, const std::vector<std::string>& arguments);

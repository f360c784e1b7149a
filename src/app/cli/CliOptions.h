#pragma once
// Command-line parsing of the headless companion: global options, the command and its
// arguments.

#include <optional>
#include <string>
#include <vector>

struct CliOptions {
    std::string scriptDir;
    std::optional<std::string> virtualDeviceId;     // as given; checked by TavParseVirtualDeviceId
    std::optional<std::string> virtualDeviceFaults; // as given; checked by TavParseVirtualDeviceFaults
    std::string command;
    std::vector<std::string> arguments;
    bool help = false;
};

// Parses argv. Returns false with a one-line reason on a usage error.
bool ParseCliOptions(int argc, char** argv, CliOptions& options, std::string& error);

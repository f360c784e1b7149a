#include "app/cli/CliOptions.h"

#include <string_view>

bool ParseCliOptions(int argc, char** argv, CliOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--script-dir") {
            if (i + 1 >= argc) {
                error = "--script-dir needs a folder";
                return false;
            }
            options.scriptDir = argv[++i];
            if (options.scriptDir.empty()) {
                error = "--script-dir needs a folder";
                return false;
            }
        } else if (arg.starts_with("--script-dir=")) {
            options.scriptDir = std::string(arg.substr(13));
        } else if (arg == "--virtual-device-id") {
            if (i + 1 >= argc) {
                error = "--virtual-device-id needs a device ID";
                return false;
            }
            options.virtualDeviceId = argv[++i];
        } else if (arg.starts_with("--virtual-device-id=")) {
            options.virtualDeviceId = std::string(arg.substr(20));
        } else if (arg == "--virtual-device-fault") {
            if (i + 1 >= argc) {
                error = "--virtual-device-fault needs a list of faults";
                return false;
            }
            options.virtualDeviceFaults = argv[++i];
        } else if (arg.starts_with("--virtual-device-fault=")) {
            options.virtualDeviceFaults = std::string(arg.substr(23));
        } else if (options.command.empty()) {
            if (arg.starts_with("-")) {
                error = "unknown option " + std::string(arg);
                return false;
            }
            options.command = std::string(arg);
        } else {
            options.arguments.emplace_back(arg);
        }
    }
    return true;
}

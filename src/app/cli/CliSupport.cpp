#include "app/cli/CliSupport.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "app/CTavSystem.h"
#include "app/TavStrings.h"
#include "app/cli/CliEditCommands.h"
#include "device/CTavBufferAccessor.h"
#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"

int CliError(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

int CliFileError(CTavSystem& system) {
    return CliError(std::string(TavStrings::Text(TavStrings::MessageStringId(system.PendingCode()))));
}

int CliSaveError(CTavSystem& system, const CTavDataFile& file) {
    CliFileError(system);
    if (!file.Why().empty())
        std::fprintf(stderr, "%s\n", file.Why().c_str());
    return 1;
}

std::optional<int32_t> CliParseDecimal(const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(number);
}

bool CliParseHexMessage(const std::string& text, TavBytes& bytes) {
    bytes.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        size_t digits = 0;
        unsigned value = 0;
        for (; i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])); ++i, ++digits) {
            if (digits == 2 || !std::isxdigit(static_cast<unsigned char>(text[i])))
                return false;
            value = value * 16 +
                    static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(text[i]))
                                              ? text[i] - '0'
                                              : std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 10);
        }
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return !bytes.empty();
}

std::string CliHex(const TavBytes& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += hex;
    }
    return text;
}

bool CliFileArguments::Parse(const std::vector<std::string>& arguments, std::vector<std::string>& rest) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-o" || argument == "--device-id") {
            if (i + 1 >= arguments.size())
                return false;
            const std::string& value = arguments[++i];
            if (argument == "-o") {
                output = value;
            } else {
                deviceId = CliParseDecimal(value);
                if (!deviceId)
                    deviceId = -1;
            }
        } else if (argument == "--sysex") {
            sysex = true;
        } else if (input.empty()) {
            input = argument;
        } else {
            rest.push_back(argument);
        }
    }
    return !input.empty();
}

bool CliFileArguments::ApplyDeviceId(CTavSystem& system) const {
    if (!deviceId)
        return true;
    if (*deviceId < 16 || *deviceId > 31) {
        CliError("The device ID must be 16 to 31 (shown to users as 17 to 32).");
        return false;
    }
    system.MidiManager().SetDeviceId(static_cast<uint8_t>(*deviceId));
    return true;
}

bool CliStartDeviceLayer(CTavSystem& system, Brio::CTavBufferAccessor& accessor,
                         std::unique_ptr<Brio::CTavReader> reader, std::unique_ptr<Brio::CTavWriter> writer) {
    if (!accessor.Start(system, std::move(reader), std::move(writer))) {
        CliError(system.ErrorText() + "Unable to start the device layer.");
        return false;
    }
    CliFillUserBanks(system, accessor);
    // The tool saves what it loads or receives: a program the banks do not know is kept,
    // never replaced by the first user patch.
    accessor.SetKeepPrograms(true);
    // A file loaded before shows in the part context as it would after loading.
    accessor.ReapplyPartEntities();
    return true;
}

bool CliLoadDataFile(CTavSystem& system, Brio::CTavBufferAccessor& accessor, const std::string& path) {
    CTavDataFile file(system.BufferManager(), system.BufferOutput());
    const bool loaded = file.Load(path);
    if (loaded)
        accessor.ReapplyPartEntities();
    system.BufferManager().ClearPending();
    return loaded;
}

CliLayerGuard::~CliLayerGuard() {
    m_accessor.Shutdown();
}

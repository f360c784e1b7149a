#include "virtual/TavVirtualDeviceOptions.h"

namespace {

constexpr int kFirstUserId = 17; // the byte 0x10
constexpr int kLastUserId = 32;  // the byte 0x1F
// Bounds the numbers a fault takes: far beyond any message, well within an int.
constexpr int kMaxFaultNumber = 1000000;

// A whole decimal number from minimum to kMaxFaultNumber, without sign or blanks.
bool FaultNumber(const std::string& text, int minimum, int& number) {
    if (text.empty() || text.size() > 7)
        return false;
    number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    return number >= minimum && number <= kMaxFaultNumber;
}

} // namespace

bool TavParseVirtualDeviceId(const std::string& text, uint8_t& id, std::string& error) {
    // Two digits at most; longer text stops before any arithmetic.
    int number = 0;
    bool valid = !text.empty() && text.size() <= 2;
    for (size_t i = 0; valid && i < text.size(); ++i) {
        valid = text[i] >= '0' && text[i] <= '9';
        number = number * 10 + (text[i] - '0');
    }
    if (!valid || number < kFirstUserId || number > kLastUserId) {
        error = "--virtual-device-id takes a device ID from 17 to 32, not \"" + text + "\".";
        return false;
    }
    id = static_cast<uint8_t>(0x10 + number - kFirstUserId);
    return true;
}

bool TavParseVirtualDeviceSpeed(const std::string& text, CVirtualDevice::Speed& speed, std::string& error) {
    if (text == "cable") {
        speed = CVirtualDevice::Speed::Wire;
        return true;
    }
    if (text == "instant") {
        speed = CVirtualDevice::Speed::Instant;
        return true;
    }
    error = "--virtual-device takes \"cable\" or \"instant\", not \"" + text + "\".";
    return false;
}

bool TavParseVirtualDeviceFaults(const std::string& text, CVirtualDevice::Faults& faults,
                                 std::string& error) {
    CVirtualDevice::Faults parsed = faults;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int number = 0;
        if (item == "identity") {
            parsed.foreignIdentity = true;
        } else if (item == "silent") {
            parsed.silent = true;
        } else if (item == "leave-pc-mode") {
            parsed.leavePcMode = true;
        } else if (item == "modify-error") {
            parsed.modifyError = true;
        } else if (item.starts_with("drop=") && FaultNumber(item.substr(5), 1, number)) {
            parsed.dropEvery = number;
        } else if (item.starts_with("corrupt=") && FaultNumber(item.substr(8), 0, number)) {
            parsed.corruptByte = number;
        } else {
            error = "--virtual-device-fault takes a comma-separated list of identity, silent, leave-pc-mode, "
                    "modify-error, drop=N (N from 1) and corrupt=N (N from 0), not \"" +
                    item.substr(0, 64) + "\".";
            return false;
        }
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    faults = parsed;
    return true;
}

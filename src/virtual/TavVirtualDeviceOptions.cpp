#include "virtual/TavVirtualDeviceOptions.h"

namespace {

constexpr int kFirstUserId = 17; // the byte 0x10
constexpr int kLastUserId = 32;  // the byte 0x1F

} // namespace

bool TavParseVirtualDeviceId(const std::string& text, uint8_t& id, std::string& error) {
    // Two digits at most, so no text is long enough to overflow: longer ones are never
    // added up.
    int number = 0;
    bool valid = !text.empty() && text.size() <= 2;
    for (size_t i = 0; valid && i < text.size(); ++i) {
        const char c = text[i];
        valid = c >= '0' && c <= '9';
        number = number * 10 + (c - '0');
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

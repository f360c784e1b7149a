// The virtual device's command-line options as both programs read them.

#include <gtest/gtest.h>

#include "virtual/TavVirtualDeviceOptions.h"

namespace {

TEST(VirtualDeviceOptions, DeviceIdsAreTakenAsUsersCountThemAndNothingElse) {
    const struct {
        const char* text;
        int byte; // -1: refused
    } cases[] = {
        {"17", 0x10}, {"18", 0x11}, {"32", 0x1F}, {"16", -1},  {"33", -1},  {"0", -1},
        {"1", -1},    {"", -1},     {"017", -1},  {"+18", -1}, {"-17", -1}, {" 18", -1},
        {"18 ", -1},  {"0x11", -1}, {"1e1", -1},  {"99999999999999999999", -1},
    };
    for (const auto& c : cases) {
        uint8_t id = 0x7F;
        std::string error;
        const bool parsed = TavParseVirtualDeviceId(c.text, id, error);
        EXPECT_EQ(parsed, c.byte >= 0) << c.text;
        if (parsed) {
            EXPECT_EQ(id, c.byte) << c.text;
            EXPECT_EQ(error, "");
        } else {
            EXPECT_EQ(id, 0x7F) << c.text;
            EXPECT_EQ(error, std::string("--virtual-device-id takes a device ID from 17 to 32, not \"") + c.text +
                                 "\".");
        }
    }
}

TEST(VirtualDeviceOptions, SpeedIsCableOrInstant) {
    CVirtualDevice::Speed speed = CVirtualDevice::Speed::Instant;
    std::string error;
    EXPECT_TRUE(TavParseVirtualDeviceSpeed("cable", speed, error));
    EXPECT_EQ(speed, CVirtualDevice::Speed::Wire);
    EXPECT_TRUE(TavParseVirtualDeviceSpeed("instant", speed, error));
    EXPECT_EQ(speed, CVirtualDevice::Speed::Instant);
    for (const char* text : {"", "Cable", "wire", "cable ", "fast"}) {
        EXPECT_FALSE(TavParseVirtualDeviceSpeed(text, speed, error)) << text;
        EXPECT_EQ(error, std::string("--virtual-device takes \"cable\" or \"instant\", not \"") + text + "\".");
    }
    EXPECT_EQ(speed, CVirtualDevice::Speed::Instant);
}

} // namespace

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

TEST(VirtualDeviceOptions, FaultsAreAListOfKnownNamesAndBoundedNumbers) {
    using Faults = CVirtualDevice::Faults;
    const auto with = [](auto set) {
        Faults faults;
        set(faults);
        return faults;
    };
    const auto same = [](const Faults& a, const Faults& b) {
        return a.foreignIdentity == b.foreignIdentity && a.silent == b.silent &&
               a.leavePcMode == b.leavePcMode && a.modifyError == b.modifyError &&
               a.dropEvery == b.dropEvery && a.corruptByte == b.corruptByte;
    };
    const struct {
        const char* text;
        bool ok;
        Faults faults;
        const char* refused; // the item named when refused
    } cases[] = {
        {"identity", true, with([](Faults& f) { f.foreignIdentity = true; }), ""},
        {"silent,leave-pc-mode", true, with([](Faults& f) { f.silent = f.leavePcMode = true; }), ""},
        {"modify-error,drop=3,corrupt=0", true, with([](Faults& f) {
             f.modifyError = true;
             f.dropEvery = 3;
             f.corruptByte = 0;
         }),
         ""},
        {"drop=1000000", true, with([](Faults& f) { f.dropEvery = 1000000; }), ""},
        {"drop=0", false, {}, "drop=0"},
        {"drop=1000001", false, {}, "drop=1000001"},
        {"corrupt=-1", false, {}, "corrupt=-1"},
        {"corrupt=", false, {}, "corrupt="},
        {"drop=2x", false, {}, "drop=2x"},
        {"identity,", false, {}, ""},
        {"", false, {}, ""},
        {"Silent", false, {}, "Silent"},
        {"silent,bogus,identity", false, {}, "bogus"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Faults faults;
        faults.dropReplies = 2; // the counters a test sets stay
        std::string error;
        EXPECT_EQ(TavParseVirtualDeviceFaults(c.text, faults, error), c.ok);
        EXPECT_EQ(faults.dropReplies, 2);
        EXPECT_TRUE(same(faults, c.ok ? c.faults : Faults{}));
        if (!c.ok) {
            EXPECT_EQ(error,
                      std::string("--virtual-device-fault takes a comma-separated list of identity, silent, "
                                  "leave-pc-mode, modify-error, drop=N (N from 1) and corrupt=N (N from 0), "
                                  "not \"") +
                          c.refused + "\".");
        }
    }
}

} // namespace

// Joining the exclusive events of a track into whole messages: divided messages, escapes,
// and everything that leaves a message unterminated.

#include <gtest/gtest.h>

#include "SmfTestSupport.h"
#include "files/CTavSmfExclusiveJoin.h"

using namespace smftest;

TEST(SmfExclusiveJoin, HandsOutEachWholeMessageOnceAndNothingUnterminated) {
    constexpr uint8_t kInterrupt = 0; // another event, or the end of the track
    struct Step {
        uint8_t status;
        TavBytes bytes;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"a whole F0 event", {{0xF0, {0xF0, 0x41, 0x10, 0xF7}}}, {"F0 41 10 F7"}},
        {"divided in three",
         {{0xF0, {0xF0, 0x41, 0x10}}, {0xF7, {0x00, 0x6A}}, {0xF7, {0x12, 0xF7}}},
         {"F0 41 10 00 6A 12 F7"}},
        {"an empty F0 event and an empty continuation",
         {{0xF0, {0xF0}}, {0xF7, {}}, {0xF7, {0x41, 0xF7}}},
         {"F0 41 F7"}},
        {"an escape holding a whole message", {{0xF7, {0xF0, 0x41, 0x10, 0xF7}}}, {"F0 41 10 F7"}},
        {"escapes of raw bytes",
         {{0xF7, {0xFF, 0x41, 0x10, 0xF7}}, {0xF7, {0x90, 0x3C, 0x64}}, {0xF7, {0xF7}}, {0xF7, {}}},
         {}},
        {"an escape starting a message continues nothing",
         {{0xF7, {0xF0, 0x41}}, {0xF7, {0x10, 0xF7}}},
         {}},
        {"an F0 event without an end", {{0xF0, {0xF0, 0x41, 0x10, 0x00}}}, {}},
        {"interrupted before its end",
         {{0xF0, {0xF0, 0x41}}, {kInterrupt, {}}, {0xF7, {0x10, 0xF7}}},
         {}},
        {"a new F0 event drops the open one",
         {{0xF0, {0xF0, 0x41}}, {0xF0, {0xF0, 0x42, 0xF7}}, {0xF7, {0x10, 0xF7}}},
         {"F0 42 F7"}},
        {"a new open F0 event starts afresh",
         {{0xF0, {0xF0, 0x41}}, {0xF0, {0xF0, 0x43}}, {0xF7, {0x10, 0xF7}}},
         {"F0 43 10 F7"}},
        {"an end byte inside a continuation is the caller's to refuse",
         {{0xF0, {0xF0, 0x41}}, {0xF7, {0xF7, 0x10, 0xF7}}},
         {"F0 41 F7 10 F7"}},
        {"one after the other",
         {{0xF0, {0xF0, 0x01}}, {0xF7, {0xF7}}, {0xF7, {0x02, 0xF7}}, {0xF0, {0xF0, 0x03, 0xF7}}},
         {"F0 01 F7", "F0 03 F7"}},
    };
    for (const Case& c : cases) {
        CTavSmfExclusiveJoin join;
        std::vector<std::string> messages;
        for (const Step& step : c.steps) {
            if (step.status == kInterrupt) {
                join.Interrupt();
                EXPECT_FALSE(join.IsOpen()) << c.what;
            } else if (const TavBytes* message = join.Add(step.status, step.bytes)) {
                messages.push_back(Hex(*message));
            }
        }
        EXPECT_EQ(messages, c.messages) << c.what;
    }
}

#pragma once
// A virtual device built from the shipped script, talked to through the sample exchanges:
// data sets and requests by address, every reply taken back as (address, data).

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/CTavTextOut.h"
#include "model/TavAddress.h"
#include "support/TestSupport.h"
#include "virtual/CVirtualDevice.h"

namespace test {

// The sample values of the shipped script.
namespace vs {
inline uint32_t Com(uint8_t b, uint8_t c, uint8_t d) {
    return TavDecodeAddress({0x0F, b, c, d});
}
const uint32_t kMemoryWhole = Com(0x00, 0x03, 0x00);
const uint32_t kMemoryRemain = Com(0x00, 0x03, 0x20);
const uint32_t kSampleNames = Com(0x00, 0x02, 0x60);
const uint32_t kCommon = Com(0x01, 0x00, 0x00); // name 16, start, loop, end, absolute end (5 each) ...
const uint32_t kBeatPoints = Com(0x01, 0x02, 0x00);
const uint32_t kSelect = Com(0x02, 0x00, 0x00);
const uint32_t kWaveRequest = Com(0x02, 0x10, 0x00);
const uint32_t kWaveData = Com(0x02, 0x10, 0x10);
const uint32_t kPreview = Com(0x02, 0x20, 0x00);
const uint32_t kModify = Com(0x02, 0x30, 0x00);
const uint32_t kTruncate = kModify, kEmphasis = kModify + 0x20, kNormalize = kModify + 0x40, kAmp = kModify + 0x60,
               kTimeStretch = kModify + 0x80, kChop = kModify + 0xA0, kAutoChop = kModify + 0xC0,
               kProgress = kModify + 0xE0, kError = kModify + 0x100, kChopResult = kModify + 0x120,
               kAutoChopResult = kModify + 0x140, kChopPoint = kModify + 0x160, kChopPointClear = kModify + 0x180,
               kChopPointSize = kModify + 0x1A0;
const uint32_t kUnload = Com(0x02, 0x40, 0x00);
const uint32_t kUnloadResult = kUnload + 0x20;
} // namespace vs

// Numbers in bytes of 7 bits, most significant first.
inline TavBytes Seven(uint64_t value, size_t count) {
    TavBytes out;
    for (size_t i = count; i-- > 0;)
        out.push_back(static_cast<uint8_t>((value >> (7 * i)) & 0x7F));
    return out;
}
inline uint64_t Seven(const TavBytes& bytes, size_t from, size_t count) {
    uint64_t value = 0;
    for (size_t i = from; i < from + count && i < bytes.size(); ++i)
        value = value << 7 | bytes[i];
    return value;
}
inline TavBytes Join(std::initializer_list<TavBytes> parts) {
    TavBytes out;
    for (const TavBytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

class VirtualSampleFixture : public ::testing::Test {
protected:
    using Sample = CVirtualSampleMemory::Sample;
    using Reply = std::pair<uint32_t, TavBytes>;

    static const std::string& Script() {
        static const std::string script = [] {
            std::ifstream in(ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
            return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        }();
        return script;
    }
    void SetUp() override { ASSERT_TRUE(device.Create(Script(), &errors)) << errors.Text(); }

    // Every reply due now, as address and data.
    std::vector<Reply> Take() {
        std::vector<Reply> replies;
        TavBytes bytes;
        while (device.TakeDue(now, bytes)) {
            CTavHaldenMessage message;
            EXPECT_TRUE(message.Parse(bytes, 4));
            replies.emplace_back(TavDecodeAddress(message.GetField(CTavHaldenMessage::kAddress)),
                                 message.GetField(CTavHaldenMessage::kData));
        }
        return replies;
    }
    std::vector<Reply> Send(uint32_t address, const TavBytes& data) {
        device.Receive(CTavHaldenMessage::DataSet(0x41, 0x10, {0x00, 0x6A}, 4, address, data.data(), data.size())
                           .Bytes(),
                       now);
        return Take();
    }
    // The data of the single reply to a request; empty when there is none.
    TavBytes Ask(uint32_t address, uint32_t size) {
        device.Receive(CTavHaldenMessage::DataRequest(0x41, 0x10, {0x00, 0x6A}, 4, address, size).Bytes(), now);
        const std::vector<Reply> replies = Take();
        EXPECT_LE(replies.size(), 1u);
        return replies.empty() ? TavBytes{} : replies.front().second;
    }
    void Select(int group, int number) {
        Send(vs::kSelect, Join({{static_cast<uint8_t>(group)}, Seven(static_cast<uint64_t>(number), 2)}));
    }
    // Puts a sample of the user group in place (replacing any), selected.
    const Sample& Put(int number, CVirtualSampleMemory::Audio audio) {
        device.Samples().Remove(2, number);
        std::string why;
        EXPECT_TRUE(device.Samples().Add(2, number, CVirtualSampleMemory::MakeSample("Test", std::move(audio)), why))
            << why;
        device.SamplesChanged();
        Select(2, number);
        return *device.Samples().Find(2, number);
    }
    const Sample* Find(int number) { return device.Samples().Find(2, number); }

    CVirtualDevice device;
    CTavTextOutStringStream errors;
    TavTime now = TavTime{} + std::chrono::seconds(5);
};

} // namespace test

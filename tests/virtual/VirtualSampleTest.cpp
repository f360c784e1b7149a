// The virtual device's sample exchanges: selection and the sample image, wave data in both
// encodings, memory figures, chop points, and what every modify command does to the audio.

#include <cmath>
#include <numbers>
#include <tuple>

#include "support/VirtualSampleFixture.h"
#include "virtual/TavSampleProcessing.h"

namespace {

using test::Join;
using test::Seven;
namespace vs = test::vs;
using Audio = CVirtualSampleMemory::Audio;

Audio Sine(double hz, double seconds, double amplitude) {
    Audio audio;
    for (size_t i = 0; i < static_cast<size_t>(seconds * 44100); ++i)
        audio.left.push_back(static_cast<int16_t>(amplitude * std::sin(2 * std::numbers::pi * hz * i / 44100)));
    return audio;
}

// Short hits of full level 'every' frames apart, silence between them.
Audio Clicks(size_t count, size_t every) {
    Audio audio;
    audio.left.assign(count * every, 0);
    for (size_t c = 0; c < count; ++c)
        for (size_t i = 0; i < 300; ++i)
            audio.left[c * every + i] = static_cast<int16_t>((i % 2 ? 28000 : -28000) * std::exp(-i / 60.0));
    return audio;
}

class VirtualSampleTest : public test::VirtualSampleFixture {
protected:
    // A modify command that must succeed: progress 0 to 100, then the given last reply.
    void Run(uint32_t address, const TavBytes& data, uint32_t answer) {
        const auto replies = Send(address, data);
        ASSERT_EQ(replies.size(), 6u) << std::hex << address;
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(replies[i], (Reply{vs::kProgress, {static_cast<uint8_t>(25 * i)}}));
        EXPECT_EQ(replies[5].first, answer);
        EXPECT_EQ(replies[5].second, answer == address ? data : TavBytes{1});
    }
    std::vector<uint32_t> ChopPoints() {
        std::vector<uint32_t> points;
        const TavBytes count = Ask(vs::kChopPointSize, 1);
        for (uint32_t i = 0; !count.empty() && i < count[0]; ++i) {
            const TavBytes point = Ask(vs::kChopPoint, i + 1);
            EXPECT_EQ(point.size(), 6u);
            EXPECT_EQ(point[0], i);
            points.push_back(static_cast<uint32_t>(Seven(point, 1, 5)));
        }
        return points;
    }
};

TEST_F(VirtualSampleTest, WaveDataEncodesRawFramesAndMinMaxPoints) {
    Put(20, {{-32768, -512, 0, 511, 512, 32767, 100, -100}, {}});
    struct Case {
        uint32_t first, perPoint;
        uint8_t wanted;
        TavBytes points;
    };
    const Case cases[] = {
        {0, 1, 3, {0x00, 0x00, 0x3F, 0x00, 0x40, 0x00}},
        {5, 1, 117, {0x7F, 0x7F, 0x40, 0x19, 0x3F, 0x67}}, // fewer at the end
        {0, 2, 4, {0x00, 0x3F, 0x40, 0x40, 0x41, 0x7F, 0x40, 0x40}},
        {3, 4, 10, {0x40, 0x7F, 0x40, 0x40}},
        {0, 3, 127, {0x00, 0x40, 0x40, 0x7F, 0x40, 0x40}},
        {8, 1, 5, {}}, // past the end
        {0, 0, 5, {}},
    };
    for (const Case& c : cases) {
        const TavBytes header =
            Join({{2}, Seven(20, 2), Seven(c.first, 5), Seven(c.perPoint, 3)});
        const auto replies = Send(vs::kWaveRequest, Join({header, {c.wanted}}));
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0].first, vs::kWaveData);
        const TavBytes count{static_cast<uint8_t>(c.points.size() / 2)};
        EXPECT_EQ(replies[0].second, Join({header, c.points, count})) << c.first << "/" << c.perPoint;
    }
    // 117 points at most; a pair's right number draws its right half; unknown samples none.
    Put(20, {std::vector<int16_t>(500, 1000), std::vector<int16_t>(500, -1000)});
    auto points = [&](int number, uint8_t wanted) {
        const auto replies = Send(vs::kWaveRequest, Join({{2}, Seven(number, 2), Seven(0, 5), Seven(1, 3), {wanted}}));
        return replies.at(0).second;
    };
    EXPECT_EQ(points(20, 120).back(), 117);
    EXPECT_EQ(points(20, 120).size(), 2 * 117 + 12u);
    EXPECT_EQ(static_cast<int>(Seven(points(21, 1), 11, 2)) * 4 - 32768, -1000);
    EXPECT_EQ(points(30, 5).back(), 0);
}

TEST_F(VirtualSampleTest, SelectionShowsTheSampleAndImageDataSetsChangeIt) {
    const Sample& sample = Put(20, Sine(440, 0.1, 1000));
    const TavBytes common = Ask(vs::kCommon, 45);
    ASSERT_EQ(common.size(), 45u);
    EXPECT_EQ(std::string(common.begin(), common.begin() + 16), "Test            ");
    EXPECT_EQ(Seven(common, 0x10, 5), 0u);
    EXPECT_EQ(Seven(common, 0x1A, 5), 4410u);
    EXPECT_EQ(Seven(common, 0x1F, 5), 4410u);

    // Markers and the name move with data sets; the end is kept within the audio and the
    // absolute end cannot be written.
    Send(vs::kCommon + 0x10, Seven(100, 5));
    Send(vs::kCommon + 0x1A, Seven(99999, 5));
    Send(vs::kCommon + 0x1F, Seven(5, 5));
    Send(vs::kCommon, TavBytes{'R', 'e', 'n', 'a', 'm', 'e', 'd'});
    EXPECT_EQ(sample.start, 100u);
    EXPECT_EQ(sample.end, 4410u);
    EXPECT_EQ(Seven(Ask(vs::kCommon + 0x1F, 5), 0, 5), 4410u);
    EXPECT_EQ(sample.name, "Renamed         ");
    const auto& entries = device.Catalog().Samples(false);
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                            [](const auto& e) { return e.number == 20 && e.name == "Renamed         "; }));

    // The synthetic pair 2/3: its right number selects it too; nothing selected reads empty.
    Select(2, 3);
    EXPECT_EQ(Seven(Ask(vs::kCommon + 0x1F, 5), 0, 5), device.Samples().Find(2, 2)->audio.Frames());
    Select(2, 999);
    EXPECT_EQ(Seven(Ask(vs::kCommon + 0x1F, 5), 0, 5), 0u);
    Send(vs::kPreview, Join({{3}, Seven(10, 5), Seven(20, 5)}));
    EXPECT_EQ(device.SampleAnswers().PreviewMode(), 3);
    EXPECT_EQ(device.SampleAnswers().PreviewEnd(), 20u);
}

TEST_F(VirtualSampleTest, MemoryFiguresAndChopPointsAnswerTheirRequests) {
    const CVirtualSampleMemory& memory = device.Samples();
    EXPECT_EQ(Seven(Ask(vs::kMemoryWhole, 1), 0, 5), 32u << 20);
    EXPECT_EQ(Seven(Ask(vs::kMemoryRemain, 1), 0, 5), memory.WholeBytes() - memory.UsedBytes());
    EXPECT_GT(memory.UsedBytes(), 0u);

    Put(20, Sine(100, 0.5, 1000));
    EXPECT_TRUE(ChopPoints().empty());
    for (uint32_t i = 0; i < 17; ++i) // adds up to 15; index 16 is beyond the count
        Send(vs::kChopPoint, Join({{static_cast<uint8_t>(i)}, Seven(100 * (i + 1), 5)}));
    EXPECT_EQ(ChopPoints().size(), 15u);
    Send(vs::kChopPoint, Join({{0}, Seven(999999, 5)})); // moved, kept inside the sample
    Send(vs::kChopPointClear, {1});
    const auto points = ChopPoints();
    ASSERT_EQ(points.size(), 14u);
    EXPECT_EQ(points[0], 22050u);
    EXPECT_EQ(points[1], 300u);
    EXPECT_TRUE(Ask(vs::kChopPoint, 15).empty());
}

TEST_F(VirtualSampleTest, ModifyCommandsProcessTheAudio) {
    // Truncate to the markers, in place and to a new number.
    const Audio sine = Sine(440, 0.5, 1000);
    Put(20, sine);
    Send(vs::kCommon + 0x10, Seven(1000, 5));
    Send(vs::kCommon + 0x1A, Seven(5000, 5));
    Run(vs::kTruncate, {0}, vs::kTruncate);
    ASSERT_NE(Find(21), nullptr);
    EXPECT_EQ(Find(21)->audio.left, std::vector<int16_t>(sine.left.begin() + 1000, sine.left.begin() + 5000));
    EXPECT_EQ(Find(20)->audio, sine);
    Run(vs::kTruncate, {1}, vs::kTruncate);
    EXPECT_EQ(Find(20)->audio, Find(21)->audio);
    EXPECT_EQ(Seven(Ask(vs::kCommon + 0x1F, 5), 0, 5), 4000u);

    Put(20, Sine(440, 0.2, 1000));
    Run(vs::kNormalize, {1}, vs::kNormalize);
    EXPECT_EQ(TavPeak(Find(20)->audio), 32767);

    // Amp: a flat gain, then four points rising from silence to double and back.
    Put(20, Sine(440, 0.2, 10000));
    Run(vs::kAmp, Join({{1}, Seven(50, 2)}), vs::kAmp);
    EXPECT_NEAR(TavPeak(Find(20)->audio), 5000, 2);
    Put(20, {std::vector<int16_t>(8000, 10000), {}});
    Run(vs::kAmp, Join({{1}, Seven(0, 2), Seven(0, 5), Seven(200, 2), Seven(2000, 5), Seven(200, 2), Seven(6000, 5),
                        Seven(0, 2), Seven(8000, 5)}),
        vs::kAmp);
    const auto& dc = Find(20)->audio.left;
    EXPECT_EQ(dc[0], 0);
    EXPECT_NEAR(dc[1000], 10000, 5);
    EXPECT_EQ(dc[4000], 20000);
    EXPECT_NEAR(dc[7000], 10000, 5);

    // Emphasis lifts 10 kHz by about 8 dB and leaves 50 Hz; de-emphasis lowers it again.
    for (const auto& [type, low, high] : {std::tuple{0, 1.8, 3.0}, std::tuple{1, 0.3, 0.6}}) {
        Put(20, Sine(10000, 0.1, 8000));
        Run(vs::kEmphasis, {1, static_cast<uint8_t>(type)}, vs::kEmphasis);
        const double gain = TavPeak(Find(20)->audio) / 8000.0;
        EXPECT_GT(gain, low) << type;
        EXPECT_LT(gain, high) << type;
        Put(20, Sine(50, 0.1, 8000));
        Run(vs::kEmphasis, {1, static_cast<uint8_t>(type)}, vs::kEmphasis);
        EXPECT_NEAR(TavPeak(Find(20)->audio), 8000, 160) << type;
    }

    // Time stretch keeps the pitch and changes the length by the rate.
    for (uint32_t rate : {150000u, 50000u}) {
        Put(20, Sine(440, 0.5, 8000));
        Run(vs::kTimeStretch, Join({Seven(rate, 3), {4, 64}}), vs::kTimeStretch);
        EXPECT_NEAR(Find(20)->audio.Frames(), 22050.0 * rate / 100000, 22050.0 * rate / 100000 * 0.02) << rate;
    }
}

TEST_F(VirtualSampleTest, AutoChopsPlacePointsAndChopCutsAtThem) {
    Put(20, Sine(440, 0.5, 8000));
    for (uint8_t parts : {2, 4, 16}) {
        Run(vs::kAutoChop, {2, parts}, vs::kAutoChopResult);
        const auto points = ChopPoints();
        ASSERT_EQ(points.size(), parts - 1u);
        EXPECT_EQ(points[0], 22050u / parts);
    }
    // Level: where each hit after the first rises above the level.
    Put(20, Clicks(4, 11025));
    Run(vs::kAutoChop, {0, 64}, vs::kAutoChopResult);
    EXPECT_EQ(ChopPoints(), (std::vector<uint32_t>{11025, 22050, 33075}));
    Run(vs::kAutoChop, {0, 127}, vs::kAutoChopResult); // nothing reaches full scale
    EXPECT_TRUE(ChopPoints().empty());
    // Beat: the onsets of a click track on the quarters at 120 beats per minute.
    Put(20, Clicks(4, 22050));
    Run(vs::kAutoChop, {1, 0}, vs::kAutoChopResult);
    const auto beats = ChopPoints();
    ASSERT_EQ(beats.size(), 3u);
    for (size_t i = 0; i < beats.size(); ++i)
        EXPECT_NEAR(beats[i], 22050.0 * (i + 1), 512) << i;

    // Chop: the first piece stays, the others take the next free numbers.
    Put(20, Clicks(4, 11025));
    Run(vs::kAutoChop, {0, 64}, vs::kAutoChopResult);
    Run(vs::kChop, {1}, vs::kChopResult);
    for (int number : {20, 21, 22, 23}) {
        ASSERT_NE(Find(number), nullptr) << number;
        EXPECT_EQ(Find(number)->audio.Frames(), 11025u);
        EXPECT_EQ(Find(number)->name, "Test-" + std::to_string(number - 19) + std::string(16 - 6, ' '));
    }
    EXPECT_TRUE(ChopPoints().empty());
    const auto& entries = device.Catalog().Samples(false);
    EXPECT_EQ(entries, device.Samples().CatalogEntries(2));
}

TEST_F(VirtualSampleTest, UnloadFreesMemoryAndFailuresAnswerTheError) {
    Put(20, Sine(440, 0.5, 8000));
    const uint64_t remain = device.Samples().RemainBytes();
    Run(vs::kUnload, {1}, vs::kUnloadResult);
    EXPECT_EQ(Find(20), nullptr);
    EXPECT_EQ(device.Samples().RemainBytes(), remain + 44100);
    EXPECT_EQ(Seven(Ask(vs::kMemoryRemain, 1), 0, 5), remain + 44100);
    for (const auto& entry : device.Catalog().Samples(false))
        EXPECT_NE(entry.number, 20);

    const Reply error{vs::kError, {1}};
    // Nothing selected, a wrong size, a chop without points, a rate out of range, memory full.
    EXPECT_EQ(Send(vs::kNormalize, {1}), std::vector<Reply>{error});
    Put(20, Sine(440, 0.5, 8000));
    EXPECT_EQ(Send(vs::kTruncate, {1, 0}), std::vector<Reply>{error});
    EXPECT_EQ(Send(vs::kChop, {1}), std::vector<Reply>{error});
    EXPECT_EQ(Send(vs::kTimeStretch, Join({Seven(300000, 3), {4, 64}})), std::vector<Reply>{error});
    device.Samples().SetWholeBytes(device.Samples().UsedBytes() + 100);
    EXPECT_EQ(Send(vs::kNormalize, {0}), std::vector<Reply>{error});
    device.Samples().SetWholeBytes(CVirtualSampleMemory::kDefaultWholeBytes);

    device.InjectedFaults().modifyError = true;
    const Audio before = Find(20)->audio;
    for (uint32_t command : {vs::kNormalize, vs::kChop, vs::kUnload})
        EXPECT_EQ(Send(command, {1}), std::vector<Reply>{error}) << command;
    EXPECT_EQ(Find(20)->audio, before);
}

} // namespace

// The virtual device's sample memory on disk: WAV/FLAC folders taken or refused file by
// file, and the memory kept beside the device's memory file.

#include <sndfile.h>

#include <fstream>

#include "support/VirtualSampleFixture.h"
#include "virtual/TavSampleFile.h"

namespace {

using Memory = CVirtualSampleMemory;

// Writes frames of the given channels (interleaved) with libsndfile.
void WriteAudio(const std::filesystem::path& path, int format, int rate, int channels, sf_count_t frames) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<short> block(4096 * static_cast<size_t>(channels));
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<short>(i * 37 % 20000 - 10000);
    for (sf_count_t done = 0; done < frames;)
        done += sf_writef_short(file, block.data(), std::min<sf_count_t>(4096, frames - done));
    sf_close(file);
}

TEST(VirtualSampleFolder, FolderReplacesTheUserSamplesAndRefusesWhatItCannotTake) {
    test::TempDir dir;
    const auto& p = dir.Path();
    WriteAudio(p / "a mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 1000);
    WriteAudio(p / "b stereo.FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 2, 500);
    WriteAudio(p / "c float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, 300);
    WriteAudio(p / "d rate.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 100);
    WriteAudio(p / "e surround.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 3, 100);
    WriteAudio(p / "f huge.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 44100, 1, Memory::kMaxFrames + 1);
    WriteAudio(p / "g other.aiff.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 1, 100);
    dir.Write("h broken.wav", "RIFF\x24\x00\x00\x00WAVEfmt garbage");
    dir.Write("i empty.flac", "");
    dir.Write("notes.txt", "not audio, not looked at");
    // Cut inside the data: the frames that are there load.
    std::string cut = test::ReadFile(p / "a mono.wav");
    dir.Write("j cut.wav", cut.substr(0, 44 + 600));

    Memory memory;
    memory.MakeSynthetic();
    const auto card = memory.Samples(Memory::kCardGroup);
    CTavTextOutStringStream errors;
    int loaded = 0;
    ASSERT_TRUE(memory.ImportFolder(p.string(), &errors, &loaded));
    EXPECT_EQ(loaded, 4);
    const auto& user = memory.Samples(Memory::kUserGroup);
    ASSERT_EQ(user.size(), 4u);
    EXPECT_EQ(user.at(1).name, "a mono          ");
    EXPECT_EQ(user.at(1).audio.Frames(), 1000u);
    EXPECT_EQ(user.at(1).audio.left[1], -9963);
    EXPECT_TRUE(user.at(2).audio.Stereo()); // 2 and 3
    EXPECT_EQ(user.at(2).audio.right[0], -9963);
    EXPECT_EQ(user.at(4).audio.Frames(), 300u);
    EXPECT_EQ(user.at(5).audio.left, std::vector<int16_t>(user.at(1).audio.left.begin(), user.at(1).audio.left.begin() + 300));
    EXPECT_EQ(memory.Samples(Memory::kCardGroup), card);

    const std::string text = errors.Text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << text;
    for (const char* refused : {"d rate.wav: 48000 Hz", "e surround.wav: 3 channels", "f huge.wav: 8388609 frames",
                                "g other.aiff.wav: neither WAV nor FLAC", "h broken.wav: not a readable",
                                "i empty.flac: empty file"})
        EXPECT_NE(text.find(refused), std::string::npos) << refused << "\n" << text;

    EXPECT_FALSE(memory.ImportFolder((p / "missing").string(), &errors));
    EXPECT_EQ(memory.Samples(Memory::kUserGroup).size(), 4u);
}

using VirtualSampleFiles = test::VirtualSampleFixture;

TEST_F(VirtualSampleFiles, MemoryRoundTripsBesideTheMemoryFileAndADamagedOneIsRefused) {
    test::TempDir dir;
    const std::string path = (dir.Path() / "memory.bin").string();
    struct {
        CVirtualDevice device;
        CTavTextOutStringStream errors;
    } second;
    ASSERT_TRUE(second.device.Create(Script(), &second.errors));
    CVirtualSampleMemory& memory = device.Samples();
    memory.Remove(2, 5);
    std::string why;
    auto sample = CVirtualSampleMemory::MakeSample("Kept", {{1, -2, 3}, {4, -5, 6}});
    sample.loopMode = 2, sample.fineTune = -50, sample.tempo = 30000, sample.chopPoints = {1, 2};
    ASSERT_TRUE(memory.Add(3, 7000 - 1, sample, why)) << why;
    device.SamplesChanged();
    ASSERT_TRUE(device.SaveMemory(path, &errors)) << errors.Text();

    ASSERT_TRUE(second.device.LoadMemory(path, &second.errors));
    EXPECT_EQ(second.device.Samples(), memory);
    EXPECT_EQ(second.device.Catalog().Samples(true), memory.CatalogEntries(3));
    EXPECT_EQ(second.errors.Text(), "");

    // Every cut and a flipped byte are refused; the image loads, the samples are our own.
    const std::string file = test::ReadFile(CVirtualDevice::SamplePath(path));
    Memory parsed = memory;
    for (size_t cutAt : {size_t{0}, size_t{20}, file.size() / 2, file.size() - 1})
        EXPECT_FALSE(parsed.Parse(std::string_view(file).substr(0, cutAt))) << cutAt;
    std::string flipped = file;
    flipped[flipped.size() / 3] ^= 0x10;
    EXPECT_FALSE(parsed.Parse(flipped));
    EXPECT_EQ(parsed, memory);
    dir.Write("memory.bin.samples", flipped);
    ASSERT_TRUE(second.device.LoadMemory(path, &second.errors));
    EXPECT_NE(second.errors.Text().find("sample file is damaged"), std::string::npos);
    Memory synthetic;
    synthetic.MakeSynthetic();
    EXPECT_EQ(second.device.Samples(), synthetic);
    EXPECT_EQ(second.device.Catalog().Samples(false), synthetic.CatalogEntries(2));
}

} // namespace

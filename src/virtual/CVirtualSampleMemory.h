#pragma once
// The virtual device's sample memory: real 16-bit audio at 44100 Hz in a user group (2)
// and a card group (3), numbered from 1. A sample is mono or a stereo pair; a pair is kept
// once under its left number n and answers for n + 1 (its right half) as well. Each sample
// has a name, start/loop/end markers, loop mode, key, tempo, beat points and up to 15 chop
// points. The memory has a whole size; what its samples take is used, the rest remains.
//
// A fresh memory holds a small synthetic set of our own (tones, sweeps, noise, drum-like
// hits, a beat loop and stereo pairs). A folder of WAV/FLAC files can replace the user
// group, and the whole memory is kept in a file of its own beside the device's memory file.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "virtual/CVirtualCatalog.h"

class CTavTextOut;

class CVirtualSampleMemory {
public:
    static constexpr int kUserGroup = 2;
    static constexpr int kCardGroup = 3;
    static constexpr uint32_t kSampleRate = 44100;
    static constexpr uint64_t kDefaultWholeBytes = 32u << 20;
    static constexpr uint64_t kMaxWholeBytes = 256u << 20;
    // One sample (file or result) holds at most this many frames.
    static constexpr uint32_t kMaxFrames = 8u << 20;
    static constexpr size_t kMaxChopPoints = 15;
    static constexpr size_t kMaxBeatPoints = 32;
    static constexpr size_t kNameLength = CVirtualCatalog::kSampleNameLength;

    struct Audio {
        std::vector<int16_t> left;
        std::vector<int16_t> right; // empty for mono, else as long as left
        bool Stereo() const { return !right.empty(); }
        uint32_t Frames() const { return static_cast<uint32_t>(left.size()); }
        uint64_t Bytes() const { return (left.size() + right.size()) * sizeof(int16_t); }
        bool operator==(const Audio&) const = default;
    };
    struct Sample {
        std::string name; // kNameLength 7-bit characters, blank-padded
        Audio audio;
        uint32_t start = 0, loop = 0, end = 0; // frames; end is one past the last frame played
        uint8_t loopMode = 0;                  // 0 forward, 1 one shot, 2 reverse
        uint8_t originalKey = 60;
        int32_t tempo = 12000; // hundredths of a beat per minute, 500-30000
        uint8_t gain = 0;      // 0-3
        int8_t fineTune = 0;   // -50..50
        uint8_t level = 127;
        std::vector<uint32_t> beatPoints; // at most kMaxBeatPoints frames
        std::vector<uint32_t> chopPoints; // at most kMaxChopPoints frames
        bool operator==(const Sample&) const = default;
    };

    // A sample over the whole of its audio: markers at 0 and the end, no points.
    static Sample MakeSample(std::string_view name, Audio audio);

    // The synthetic set, the same at every start.
    void MakeSynthetic();
    void Clear();

    uint64_t WholeBytes() const { return m_wholeBytes; }
    void SetWholeBytes(uint64_t bytes) { m_wholeBytes = bytes; }
    uint64_t UsedBytes() const;
    uint64_t RemainBytes() const;

    static bool ValidGroup(int group) { return group == kUserGroup || group == kCardGroup; }
    static int Limit(int group) { return CVirtualCatalog::SampleLimit(group == kCardGroup); }
    // The samples of a group by the number they are kept under.
    const std::map<int, Sample>& Samples(int group) const;
    // The sample that number n of a group belongs to (n itself, or the pair n - 1 whose
    // right half n is), the number it is kept under and the channel (0 left or mono, 1
    // right). Null when there is none.
    Sample* Find(int group, int number, int* base = nullptr, int* channel = nullptr);
    const Sample* Find(int group, int number, int* base = nullptr, int* channel = nullptr) const;
    // The first number above 'after' where a mono sample (one number) or a pair (two)
    // fits; 0 when the group is full there.
    int NextFree(int group, int after, bool stereo) const;
    // Puts a sample at a free number. False, with why, for a taken number, one beyond the
    // group, too many frames or too little memory.
    bool Add(int group, int number, Sample sample, std::string& why);
    // Replaces the sample kept under 'base' by one of another length. False, with why,
    // when the memory is short.
    bool Replace(int group, int base, Sample sample, std::string& why);
    bool Remove(int group, int number);

    // The records the device lists its samples with: a pair as kinds 1 and 2 of one size.
    std::vector<CVirtualCatalog::Sample> CatalogEntries(int group) const;

    // Replaces the user group by the WAV and FLAC files of a folder, in name order, from
    // number 1. A file that cannot be taken (broken, too long, odd format, no room left) is
    // refused with one line on errors and the others load. Answers how many loaded; false
    // (the memory untouched) when the folder cannot be read.
    bool ImportFolder(const std::string& folder, CTavTextOut* errors, int* loaded = nullptr);

    // The memory as its file keeps it, and back. Parse checks every count, number, marker
    // and size and leaves the memory untouched when anything is wrong.
    std::string Serialize() const;
    bool Parse(std::string_view bytes);
    // The file beside the device's memory file. Loading a missing file keeps the memory as
    // it is (true); a damaged one is refused with a message and the synthetic set is made.
    bool Load(const std::string& path, CTavTextOut* errors);
    bool Save(const std::string& path, CTavTextOut* errors) const;

    bool operator==(const CVirtualSampleMemory&) const = default;

private:
    std::map<int, Sample>& Group(int group) { return m_groups[group == kCardGroup ? 1 : 0]; }
    bool Fits(int group, int number, bool stereo, int ignore = 0) const;

    std::map<int, Sample> m_groups[2];
    uint64_t m_wholeBytes = kDefaultWholeBytes;
};

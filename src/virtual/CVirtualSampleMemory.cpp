#include "virtual/CVirtualSampleMemory.h"

#include "virtual/TavVirtualFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <system_error>
#include <utility>

#include "app/CTavTextOut.h"
#include "files/TavReadFile.h"
#include "files/TavSafeFile.h"
#include "virtual/TavSampleFile.h"

using namespace TavVirtualFile;

namespace {

constexpr std::string_view kMagic = "VIREO-VIRTUAL-DEVICE-SAMPLES 1\n";
constexpr double kRate = CVirtualSampleMemory::kSampleRate;
constexpr double kTwoPi = 2 * std::numbers::pi;

// ---- The synthetic set ------------------------------------------------------------------

// The same noise on every platform.
class CNoise {
public:
    double Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / (1u << 23) - 1.0;
    }

private:
    uint32_t m_state = 0x53414D50;
};

template <typename F> std::vector<int16_t> Render(double seconds, F&& f) {
    std::vector<int16_t> out(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(std::clamp(f(i / kRate), -1.0, 1.0) * 32000));
    return out;
}

CVirtualSampleMemory::Audio MonoAudio(std::vector<int16_t> left) {
    return {std::move(left), {}};
}

double Saw(double phase) {
    return 2 * (phase - std::floor(phase)) - 1;
}

std::vector<int16_t> Kick(double seconds) {
    return Render(seconds, [](double t) {
        const double phase = 45 * t + 120 * (1 - std::exp(-t * 30)) / 30; // 165 Hz falling to 45 Hz
        return std::sin(kTwoPi * phase) * std::exp(-t * 9);
    });
}

std::vector<int16_t> Snare(double seconds, CNoise& noise) {
    return Render(seconds, [&](double t) {
        return (0.6 * noise.Next() + 0.4 * std::sin(kTwoPi * 190 * t)) * std::exp(-t * 18);
    });
}

std::vector<int16_t> Hat(double seconds, CNoise& noise) {
    double last = 0;
    return Render(seconds, [&](double t) {
        const double n = noise.Next();
        const double high = n - last; // a crude high pass
        last = n;
        return 0.5 * high * std::exp(-t * 60);
    });
}

// Two bars of 4/4 at 120 beats per minute: kick, snare and hats on the eighths.
std::vector<int16_t> BeatLoop(CNoise& noise) {
    std::vector<int16_t> loop(static_cast<size_t>(4 * kRate), 0);
    const auto kick = Kick(0.25), snare = Snare(0.2, noise), hat = Hat(0.06, noise);
    const size_t eighth = static_cast<size_t>(kRate / 4);
    for (size_t step = 0; step < 16; ++step) {
        const std::vector<int16_t>& hit = step % 4 == 0 ? kick : step % 4 == 2 ? snare : hat;
        for (size_t i = 0; i < hit.size() && step * eighth + i < loop.size(); ++i)
            loop[step * eighth + i] = hit[i];
    }
    return loop;
}


bool IsAudioFile(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".wav" || extension == ".wave" || extension == ".flac";
}

} // namespace

CVirtualSampleMemory::Sample CVirtualSampleMemory::MakeSample(std::string_view name, Audio audio) {
    Sample sample;
    sample.name = CVirtualCatalog::Fit(name, kNameLength);
    sample.end = audio.Frames();
    sample.audio = std::move(audio);
    return sample;
}

void CVirtualSampleMemory::Clear() {
    m_groups[0].clear();
    m_groups[1].clear();
}

void CVirtualSampleMemory::MakeSynthetic() {
    Clear();
    CNoise noise;
    auto put = [&](int group, int number, std::string_view name, Audio audio) {
        Group(group)[number] = MakeSample(name, std::move(audio));
        return &Group(group)[number];
    };
    put(kUserGroup, 1, "Sine A440", MonoAudio(Render(0.5, [](double t) { return 0.8 * std::sin(kTwoPi * 440 * t); })));
    put(kUserGroup, 2, "Warm Pad",
        {Render(1.0, [](double t) { return 0.5 * std::sin(kTwoPi * 220 * t) * std::min(1.0, t * 4); }),
         Render(1.0, [](double t) { return 0.5 * std::sin(kTwoPi * 220.7 * t) * std::min(1.0, t * 4); })});
    put(kUserGroup, 4, "Saw Sweep", MonoAudio(Render(0.75, [](double t) {
            return 0.6 * Saw(110 * t + 330 * t * t); // 110 Hz up to 605 Hz
        })));
    put(kUserGroup, 5, "Noise Burst",
        MonoAudio(Render(0.3, [&](double t) { return noise.Next() * std::exp(-t * 12); })));
    put(kUserGroup, 6, "Kick", MonoAudio(Kick(0.4)));
    put(kUserGroup, 7, "Snare", MonoAudio(Snare(0.25, noise)));
    put(kUserGroup, 8, "Hat", MonoAudio(Hat(0.1, noise)));
    Sample* loop = put(kUserGroup, 9, "Beat Loop 120", MonoAudio(BeatLoop(noise)));
    loop->tempo = 12000;
    for (uint32_t beat = 0; beat < 8; ++beat)
        loop->beatPoints.push_back(beat * kSampleRate / 2);
    loop->loop = 0;
    put(kUserGroup, 10, "Bass Pluck", MonoAudio(Render(0.5, [](double t) {
            return 0.7 * Saw(55 * t) * std::exp(-t * 6);
        })));
    put(kCardGroup, 1, "Card Sine 220",
        MonoAudio(Render(0.5, [](double t) { return 0.7 * std::sin(kTwoPi * 220 * t); })));
    put(kCardGroup, 2, "Card Saw Wide",
        {Render(0.5, [](double t) { return 0.5 * Saw(110 * t); }),
         Render(0.5, [](double t) { return 0.5 * Saw(110.5 * t); })});
    put(kCardGroup, 4, "Card Clap", MonoAudio(Render(0.3, [&](double t) {
            const double burst = std::fmod(t, 0.012) < 0.006 && t < 0.04 ? 1.0 : 0.4;
            return noise.Next() * burst * std::exp(-t * 14);
        })));
}

uint64_t CVirtualSampleMemory::UsedBytes() const {
    uint64_t used = 0;
    for (const auto& group : m_groups)
        for (const auto& [number, sample] : group)
            used += sample.audio.Bytes();
    return used;
}

uint64_t CVirtualSampleMemory::RemainBytes() const {
    const uint64_t used = UsedBytes();
    return used < m_wholeBytes ? m_wholeBytes - used : 0;
}

const std::map<int, CVirtualSampleMemory::Sample>& CVirtualSampleMemory::Samples(int group) const {
    return m_groups[group == kCardGroup ? 1 : 0];
}

CVirtualSampleMemory::Sample* CVirtualSampleMemory::Find(int group, int number, int* base, int* channel) {
    return const_cast<Sample*>(std::as_const(*this).Find(group, number, base, channel));
}

const CVirtualSampleMemory::Sample* CVirtualSampleMemory::Find(int group, int number, int* base,
                                                               int* channel) const {
    if (!ValidGroup(group) || number < 1)
        return nullptr;
    const auto& samples = Samples(group);
    auto it = samples.find(number);
    int half = 0;
    if (it == samples.end()) {
        it = samples.find(number - 1);
        if (it == samples.end() || !it->second.audio.Stereo())
            return nullptr;
        half = 1;
    }
    if (base)
        *base = it->first;
    if (channel)
        *channel = half;
    return &it->second;
}

bool CVirtualSampleMemory::Fits(int group, int number, bool stereo, int ignore) const {
    const int last = number + (stereo ? 1 : 0);
    if (!ValidGroup(group) || number < 1 || last > Limit(group))
        return false;
    for (int n = number; n <= last; ++n) {
        int base = 0;
        if (Find(group, n, &base) && base != ignore)
            return false;
    }
    return true;
}

int CVirtualSampleMemory::NextFree(int group, int after, bool stereo) const {
    if (!ValidGroup(group))
        return 0;
    for (int n = std::max(after + 1, 1); n + (stereo ? 1 : 0) <= Limit(group); ++n)
        if (Fits(group, n, stereo))
            return n;
    return 0;
}

bool CVirtualSampleMemory::Add(int group, int number, Sample sample, std::string& why) {
    if (!Fits(group, number, sample.audio.Stereo())) {
        why = "sample number " + std::to_string(number) + " is taken or out of range";
        return false;
    }
    if (sample.audio.Frames() == 0 || sample.audio.Frames() > kMaxFrames) {
        why = "a sample holds 1 to " + std::to_string(kMaxFrames) + " frames";
        return false;
    }
    if (sample.audio.Bytes() > RemainBytes()) {
        why = "the sample memory is full";
        return false;
    }
    Group(group)[number] = std::move(sample);
    return true;
}

bool CVirtualSampleMemory::Replace(int group, int base, Sample sample, std::string& why) {
    auto& samples = Group(group);
    const auto it = samples.find(base);
    if (it == samples.end()) {
        why = "no such sample";
        return false;
    }
    // A mono sample that turns into a pair needs its right number free.
    if (!Fits(group, base, sample.audio.Stereo(), base)) {
        why = "sample number " + std::to_string(base + 1) + " is taken";
        return false;
    }
    if (sample.audio.Frames() == 0 || sample.audio.Frames() > kMaxFrames ||
        UsedBytes() - it->second.audio.Bytes() + sample.audio.Bytes() > m_wholeBytes) {
        why = sample.audio.Frames() == 0 ? "the result is empty" : "the sample memory is full";
        return false;
    }
    it->second = std::move(sample);
    return true;
}

bool CVirtualSampleMemory::Remove(int group, int number) {
    int base = 0;
    if (!Find(group, number, &base))
        return false;
    Group(group).erase(base);
    return true;
}

std::vector<CVirtualCatalog::Sample> CVirtualSampleMemory::CatalogEntries(int group) const {
    using Kind = CVirtualCatalog::SampleKind;
    std::vector<CVirtualCatalog::Sample> entries;
    for (const auto& [number, sample] : Samples(group)) {
        const uint32_t frames = sample.audio.Frames();
        const std::string name = CVirtualCatalog::Fit(sample.name, kNameLength);
        entries.push_back({number, sample.audio.Stereo() ? Kind::Left : Kind::Mono, name, frames, 0});
        if (sample.audio.Stereo())
            entries.push_back({number + 1, Kind::Right, name, frames, 0});
    }
    return entries;
}

// ---- Files ------------------------------------------------------------------------------

bool CVirtualSampleMemory::ImportFolder(const std::string& folder, CTavTextOut* errors, int* loaded) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (IsAudioFile(it->path()))
            files.push_back(it->path());
    if (error) {
        if (errors)
            errors->Printf("Unable to read the sample folder: %s: %s\n", folder.c_str(), error.message().c_str());
        return false;
    }
    std::sort(files.begin(), files.end());

    CVirtualSampleMemory imported = *this;
    imported.Group(kUserGroup).clear();
    int count = 0;
    int number = 0;
    for (const fs::path& path : files) {
        auto refuse = [&](const std::string& why) {
            if (errors)
                errors->Printf("Sample file refused: %s: %s\n", path.string().c_str(), why.c_str());
        };
        Audio audio;
        std::string why;
        if (!TavReadSampleFile(path.string(), audio, why)) {
            refuse(why);
            continue;
        }
        const int at = imported.NextFree(kUserGroup, number, audio.Stereo());
        if (at == 0) {
            refuse("no free user sample number is left");
            continue;
        }
        if (!imported.Add(kUserGroup, at, MakeSample(path.stem().string(), std::move(audio)), why)) {
            refuse(why);
            continue;
        }
        number = at;
        ++count;
    }
    *this = std::move(imported);
    if (loaded)
        *loaded = count;
    return true;
}

// The file: the magic line, the body's length (4 bytes, most significant first), the body
// and its FNV-1a hash (4 bytes). The body: the whole size (5 bytes), then per group a
// sample count (2 bytes) and per sample its number (2), channels (1), name, frames (4),
// start, loop, end (4 each), loop mode, key (1 each), tempo (2), gain, fine tune + 64,
// level (1 each), beat and chop point counts (1 each) with their frames (4 each), then the
// frames (2 bytes each, most significant first; a pair left then right).

std::string CVirtualSampleMemory::Serialize() const {
    std::string body;
    PutNumber(body, m_wholeBytes, 5);
    for (const auto& group : m_groups) {
        PutNumber(body, group.size(), 2);
        for (const auto& [number, s] : group) {
            PutNumber(body, static_cast<uint32_t>(number), 2);
            PutNumber(body, s.audio.Stereo() ? 2 : 1, 1);
            body += CVirtualCatalog::Fit(s.name, kNameLength);
            for (uint32_t value : {s.audio.Frames(), s.start, s.loop, s.end})
                PutNumber(body, value, 4);
            PutNumber(body, s.loopMode, 1);
            PutNumber(body, s.originalKey, 1);
            PutNumber(body, static_cast<uint32_t>(s.tempo), 2);
            PutNumber(body, s.gain, 1);
            PutNumber(body, static_cast<uint32_t>(s.fineTune + 64), 1);
            PutNumber(body, s.level, 1);
            for (const auto* points : {&s.beatPoints, &s.chopPoints}) {
                PutNumber(body, points->size(), 1);
                for (uint32_t frame : *points)
                    PutNumber(body, frame, 4);
            }
            for (const auto* channel : {&s.audio.left, &s.audio.right})
                for (int16_t frame : *channel)
                    PutNumber(body, static_cast<uint16_t>(frame), 2);
        }
    }
    return Frame(kMagic, body);
}

bool CVirtualSampleMemory::Parse(std::string_view bytes) {
    std::string_view body;
    if (!Unframe(bytes, kMagic, body))
        return false;

    CVirtualSampleMemory parsed;
    CReader in(body);
    const uint64_t wholeHigh = in.Number(1);
    const uint64_t whole = wholeHigh << 32 | in.Number(4);
    if (whole == 0 || whole > kMaxWholeBytes)
        return false;
    parsed.m_wholeBytes = whole;
    for (int group : {kUserGroup, kCardGroup}) {
        const uint32_t count = in.Number(2);
        if (count > static_cast<uint32_t>(Limit(group)))
            return false;
        for (uint32_t i = 0; i < count && in.Good(); ++i) {
            const int number = static_cast<int>(in.Number(2));
            const uint32_t channels = in.Number(1);
            Sample s;
            s.name = in.Text(kNameLength);
            const uint32_t frames = in.Number(4);
            s.start = in.Number(4);
            s.loop = in.Number(4);
            s.end = in.Number(4);
            s.loopMode = static_cast<uint8_t>(in.Number(1));
            s.originalKey = static_cast<uint8_t>(in.Number(1));
            s.tempo = static_cast<int32_t>(in.Number(2));
            s.gain = static_cast<uint8_t>(in.Number(1));
            s.fineTune = static_cast<int8_t>(static_cast<int>(in.Number(1)) - 64);
            s.level = static_cast<uint8_t>(in.Number(1));
            if (channels < 1 || channels > 2 || frames == 0 || frames > kMaxFrames || s.end > frames ||
                s.start > s.end || s.loop > s.end || s.loopMode > 2 || s.originalKey > 127 || s.tempo < 500 ||
                s.tempo > 30000 || s.gain > 3 || s.fineTune < -50 || s.fineTune > 50 || s.level > 127)
                return false;
            for (auto [points, limit] : {std::pair{&s.beatPoints, kMaxBeatPoints}, std::pair{&s.chopPoints, kMaxChopPoints}}) {
                const uint32_t n = in.Number(1);
                if (n > limit)
                    return false;
                for (uint32_t p = 0; p < n; ++p)
                    if (points->emplace_back(in.Number(4)) > frames)
                        return false;
            }
            // The frames are bounded by what is left, so a lying count allocates nothing.
            if (in.Left() < uint64_t{frames} * channels * 2)
                return false;
            in.Frames(s.audio.left, frames);
            if (channels == 2)
                in.Frames(s.audio.right, frames);
            std::string why;
            if (!in.Good() || !parsed.Add(group, number, std::move(s), why))
                return false;
        }
    }
    if (!in.Good() || !in.AtEnd())
        return false;
    *this = std::move(parsed);
    return true;
}

bool CVirtualSampleMemory::Load(const std::string& path, CTavTextOut* errors) {
    std::string content, why;
    const TavFileRead read = TavReadWholeFile(path, kMaxWholeBytes + (16u << 20), content, &why);
    if (read == TavFileRead::kMissing)
        return true;
    if (read == TavFileRead::kRead && Parse(content))
        return true;
    if (errors) {
        if (read != TavFileRead::kRead)
            errors->Printf("Unable to read the virtual device's samples; its own set is used: %s\n", why.c_str());
        else
            errors->Printf("The virtual device's sample file is damaged; its own set is used: %s\n", path.c_str());
    }
    MakeSynthetic();
    return false;
}

bool CVirtualSampleMemory::Save(const std::string& path, CTavTextOut* errors) const {
    const std::string file = Serialize();
    std::string why;
    if (!TavSaveFileSafely(path, reinterpret_cast<const uint8_t*>(file.data()), file.size(), &why)) {
        if (errors)
            errors->Printf("Unable to save the virtual device's samples: %s\n", why.c_str());
        return false;
    }
    return true;
}

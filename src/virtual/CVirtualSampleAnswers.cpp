#include "virtual/CVirtualSampleAnswers.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"
#include "virtual/TavSampleProcessing.h"

namespace {

using Sample = CVirtualSampleMemory::Sample;

const char* const kCommandPaths[] = {
    "com.utility.sampleEdit.modify.truncate",  "com.utility.sampleEdit.modify.emphasis",
    "com.utility.sampleEdit.modify.normalize", "com.utility.sampleEdit.modify.amp",
    "com.utility.sampleEdit.modify.timeStretch", "com.utility.sampleEdit.modify.chop",
    "com.utility.sampleEdit.modify.autoChop",  "com.utility.sampleEdit.utility.unload",
};
const char* const kAddressPaths[] = {
    "com.utility.sampleEdit.select.sampleSelect",     "com.utility.sampleEdit.wave.request",
    "com.utility.sampleEdit.wave.data",               "com.utility.sampleEdit.preview.samplePreview",
    "com.utility.sampleEdit.modify.chopPoint",        "com.utility.sampleEdit.modify.chopPointClear",
    "com.utility.sampleEdit.modify.chopPointSize",    "com.utility.sampleEdit.modify.progress",
    "com.utility.sampleEdit.modify.error",            "com.utility.sampleEdit.modify.chopResult",
    "com.utility.sampleEdit.modify.autoChopResult",   "com.utility.sampleEdit.utility.unloadResult",
    "com.utility.command.sampleMemoryWhole",          "com.utility.command.sampleMemoryRemain",
};
const char* const kFieldNames[] = {"sampleName", "startIndex", "loopIndex",   "endIndex",   "absoluteEndIndex",
                                   "loopMode",   "originalKey", "sampleTempo", "sampleGain", "sampleFineTune",
                                   "sampleLevel"};
// The data size each command takes (amp also takes 3: a flat gain).
const size_t kCommandSizes[] = {1, 2, 1, 29, 5, 1, 2, 1};

uint64_t Seven(const uint8_t* bytes, size_t count) {
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value = value << 7 | (bytes[i] & 0x7F);
    return value;
}

void PutSeven(TavBytes& out, uint64_t value, size_t count) {
    for (size_t i = count; i-- > 0;)
        out.push_back(static_cast<uint8_t>((value >> (7 * i)) & 0x7F));
}

// Keeps the points that lie inside [from, to), moved to count from 'from'.
std::vector<uint32_t> Shift(const std::vector<uint32_t>& points, uint32_t from, uint32_t to) {
    std::vector<uint32_t> kept;
    for (uint32_t p : points)
        if (p >= from && p < to)
            kept.push_back(p - from);
    return kept;
}

// A result of new audio: the sample's settings, markers and points made to fit it.
Sample WithAudio(const Sample& source, TavAudio audio) {
    Sample result = source;
    const uint32_t frames = audio.Frames();
    const bool sameLength = frames == source.audio.Frames();
    result.audio = std::move(audio);
    if (!sameLength) {
        result.start = 0;
        result.loop = std::min(source.loop, frames);
        result.end = frames;
        result.beatPoints.clear();
        result.chopPoints.clear();
    }
    return result;
}

} // namespace

void CVirtualSampleAnswers::Bind(CTavBufferManager& buffers) {
    static_assert(std::size(kCommandPaths) == kCommandCount && std::size(kAddressPaths) == kAddressCount &&
                  std::size(kFieldNames) == kFieldCount);
    auto bind = [&](const char* path) {
        const CTavValue* value = buffers.FindValue(path);
        return value ? Binding{true, static_cast<uint32_t>(value->AbsoluteRange().begin)} : Binding{};
    };
    for (int i = 0; i < kCommandCount; ++i)
        m_commands[i] = bind(kCommandPaths[i]);
    for (int i = 0; i < kAddressCount; ++i)
        m_addresses[i] = bind(kAddressPaths[i]);
    for (int i = 0; i < kFieldCount; ++i)
        m_fields[i] = buffers.FindValue(std::string("com.utility.sample.sampleCommon.") + kFieldNames[i]);
    m_beatCount = buffers.FindValue("com.utility.sample.sampleBeatPoint.beatDataSize");
    m_beatPoints.clear();
    for (size_t i = 0; i < CVirtualSampleMemory::kMaxBeatPoints; ++i)
        if (CTavValue* point =
                buffers.FindValue("com.utility.sample.sampleBeatPoint.beatPoint[" + std::to_string(i) + "]"))
            m_beatPoints.push_back(point);
    const CTavStruct* image = buffers.FindStruct("com.utility.sample");
    m_image = image ? image->AbsoluteRange() : TavRange{};
    Deselect();
}

CVirtualSampleMemory::Sample* CVirtualSampleAnswers::Selected(CVirtualSampleMemory& memory, int* base) const {
    return memory.Find(m_group, m_number, base);
}

// ---- Requests -----------------------------------------------------------------------------

bool CVirtualSampleAnswers::Request(const CVirtualSampleMemory& memory, uint32_t address, const uint8_t* size,
                                    size_t sizeLength, TavBytes& payload) const {
    auto at = [&](Address a) { return m_addresses[a].bound && m_addresses[a].address == address; };
    if (!size || !(at(kMemoryWhole) || at(kMemoryRemain) || at(kChopPointSize) || at(kChopPoint)))
        return false;
    const uint64_t asked = Seven(size, sizeLength);
    const Sample* sample = memory.Find(m_group, m_number);
    const std::vector<uint32_t> none;
    const std::vector<uint32_t>& points = sample ? sample->chopPoints : none;
    payload.clear();
    if (at(kMemoryWhole) || at(kMemoryRemain)) {
        if (asked != 1 && asked != 5)
            return false;
        PutSeven(payload, at(kMemoryWhole) ? memory.WholeBytes() : memory.RemainBytes(), 5);
    } else if (at(kChopPointSize)) {
        if (asked != 1)
            return false;
        payload.push_back(static_cast<uint8_t>(points.size()));
    } else {
        // The size field is the point's index plus one; no such point, no answer.
        if (asked < 1 || asked > points.size())
            return true;
        payload.push_back(static_cast<uint8_t>(asked - 1));
        PutSeven(payload, points[asked - 1], 5);
    }
    return true;
}

TavBytes CVirtualSampleAnswers::WaveData(const CVirtualSampleMemory& memory, const uint8_t* request) {
    const int group = request[0];
    const int number = static_cast<int>(Seven(request + 1, 2));
    const uint64_t first = Seven(request + 3, 5);
    const uint64_t perPoint = Seven(request + 8, 3);
    const size_t wanted = std::min<size_t>(request[11], kMaxWavePoints);

    TavBytes answer(request, request + 11);
    int channel = 0;
    const CVirtualSampleMemory::Sample* sample = memory.Find(group, number, nullptr, &channel);
    size_t count = 0;
    if (sample && perPoint > 0) {
        const std::vector<int16_t>& frames = channel == 1 ? sample->audio.right : sample->audio.left;
        for (; count < wanted; ++count) {
            const uint64_t from = first + count * perPoint;
            if (from >= frames.size())
                break;
            const uint64_t to = std::min<uint64_t>(from + perPoint, frames.size());
            const auto [low, high] = std::minmax_element(frames.begin() + static_cast<std::ptrdiff_t>(from),
                                                         frames.begin() + static_cast<std::ptrdiff_t>(to));
            if (perPoint == 1) {
                const int v = (*low + 32768) / 4;
                answer.push_back(static_cast<uint8_t>(v >> 7));
                answer.push_back(static_cast<uint8_t>(v & 0x7F));
            } else {
                for (int s : {static_cast<int>(*low), static_cast<int>(*high)})
                    answer.push_back(static_cast<uint8_t>(std::clamp(s / 512 + 64, 0, 127)));
            }
        }
    }
    answer.push_back(static_cast<uint8_t>(count));
    return answer;
}

// ---- The image of the selected sample -------------------------------------------------

void CVirtualSampleAnswers::ShowSelected(const CVirtualSampleMemory& memory) {
    const Sample* sample = memory.Find(m_group, m_number);
    const Sample empty = CVirtualSampleMemory::MakeSample("", {});
    const Sample& s = sample ? *sample : empty;
    const int32_t values[kFieldCount] = {0,
                                         static_cast<int32_t>(s.start),
                                         static_cast<int32_t>(s.loop),
                                         static_cast<int32_t>(s.end),
                                         static_cast<int32_t>(s.audio.Frames()),
                                         s.loopMode,
                                         s.originalKey,
                                         s.tempo,
                                         s.gain,
                                         s.fineTune + 64,
                                         s.level};
    for (int i = 0; i < kFieldCount; ++i) {
        if (!m_fields[i])
            continue;
        if (i == kName)
            m_fields[i]->SetText(CVirtualCatalog::Fit(s.name, CVirtualSampleMemory::kNameLength));
        else
            m_fields[i]->SetRaw(values[i]);
    }
    const size_t beats = std::min(s.beatPoints.size(), m_beatPoints.size());
    if (m_beatCount)
        m_beatCount->SetRaw(static_cast<int32_t>(beats));
    for (size_t i = 0; i < m_beatPoints.size(); ++i)
        m_beatPoints[i]->SetRaw(i < beats ? static_cast<int32_t>(s.beatPoints[i]) : 0);
}

void CVirtualSampleAnswers::TakeImage(CVirtualSampleMemory& memory) {
    Sample* sample = Selected(memory);
    if (!sample)
        return;
    auto raw = [&](Field field, int32_t fallback) { return m_fields[field] ? m_fields[field]->GetRaw() : fallback; };
    const int32_t frames = static_cast<int32_t>(sample->audio.Frames());
    auto frame = [&](Field field, uint32_t fallback) {
        return static_cast<uint32_t>(std::clamp(raw(field, static_cast<int32_t>(fallback)), 0, frames));
    };
    if (m_fields[kName])
        sample->name = CVirtualCatalog::Fit(m_fields[kName]->GetText(), CVirtualSampleMemory::kNameLength);
    sample->end = frame(kEnd, sample->end);
    sample->start = std::min(frame(kStart, sample->start), sample->end);
    sample->loop = std::min(frame(kLoop, sample->loop), sample->end);
    sample->loopMode = static_cast<uint8_t>(std::clamp(raw(kLoopMode, sample->loopMode), 0, 2));
    sample->originalKey = static_cast<uint8_t>(std::clamp(raw(kKey, sample->originalKey), 0, 127));
    sample->tempo = std::clamp(raw(kTempo, sample->tempo), 500, 30000);
    sample->gain = static_cast<uint8_t>(std::clamp(raw(kGain, sample->gain), 0, 3));
    sample->fineTune = static_cast<int8_t>(std::clamp(raw(kFine, sample->fineTune + 64) - 64, -50, 50));
    sample->level = static_cast<uint8_t>(std::clamp(raw(kLevel, sample->level), 0, 127));
    if (m_beatCount) {
        const size_t count = std::min<size_t>(static_cast<size_t>(std::max(m_beatCount->GetRaw(), 0)),
                                              m_beatPoints.size());
        sample->beatPoints.clear();
        for (size_t i = 0; i < count; ++i)
            sample->beatPoints.push_back(
                static_cast<uint32_t>(std::clamp(m_beatPoints[i]->GetRaw(), 0, frames)));
    }
    // The absolute end and anything clamped read back as the sample has them.
    ShowSelected(memory);
}

// ---- Data sets ------------------------------------------------------------------------

bool CVirtualSampleAnswers::DataSet(CVirtualSampleMemory& memory, uint32_t address, const uint8_t* data,
                                    size_t size, bool failModify, std::vector<Reply>& replies) {
    if (!data || size == 0)
        return false;
    auto at = [&](Address a) { return m_addresses[a].bound && m_addresses[a].address == address; };
    auto reply = [&](Address a, TavBytes bytes) {
        if (m_addresses[a].bound)
            replies.push_back({m_addresses[a].address, std::move(bytes)});
    };

    for (int command = 0; command < kCommandCount; ++command) {
        if (!m_commands[command].bound || m_commands[command].address != address)
            continue;
        const bool sized = size == kCommandSizes[command] || (command == kAmp && size == 3);
        if (failModify || !sized || !Modify(memory, static_cast<Command>(command), data, size)) {
            reply(kError, {1});
            return false;
        }
        for (int percent : kProgressSteps)
            reply(kProgress, {static_cast<uint8_t>(percent)});
        if (command == kChop)
            reply(kChopResult, {1});
        else if (command == kAutoChop)
            reply(kAutoChopResult, {1});
        else if (command == kUnload)
            reply(kUnloadResult, {1});
        else
            replies.push_back({address, TavBytes(data, data + size)});
        ShowSelected(memory);
        return command != kAutoChop;
    }

    if (at(kSelect) && size >= 3) {
        m_group = data[0];
        m_number = static_cast<int>(Seven(data + 1, 2));
        if (!memory.Find(m_group, m_number))
            Deselect();
        ShowSelected(memory);
    } else if (at(kWaveRequest) && size >= 12) {
        reply(kWaveData, WaveData(memory, data));
    } else if (at(kPreview)) {
        m_previewMode = data[0];
        m_previewStart = size >= 6 ? static_cast<uint32_t>(Seven(data + 1, 5)) : 0;
        m_previewEnd = size >= 11 ? static_cast<uint32_t>(Seven(data + 6, 5)) : 0;
    } else if (at(kChopPoint) && size >= 6) {
        Sample* sample = Selected(memory);
        const size_t index = data[0];
        if (!sample)
            return false;
        const uint32_t frame = std::min(static_cast<uint32_t>(Seven(data + 1, 5)), sample->audio.Frames());
        if (index < sample->chopPoints.size())
            sample->chopPoints[index] = frame;
        else if (index == sample->chopPoints.size() && index < CVirtualSampleMemory::kMaxChopPoints)
            sample->chopPoints.push_back(frame);
    } else if (at(kChopPointClear)) {
        Sample* sample = Selected(memory);
        if (sample && data[0] < sample->chopPoints.size())
            sample->chopPoints.erase(sample->chopPoints.begin() + data[0]);
    } else if (m_image.Length() > 0 && static_cast<int64_t>(address) >= m_image.begin &&
               static_cast<int64_t>(address) < m_image.end) {
        TakeImage(memory);
        return true;
    }
    return false;
}

bool CVirtualSampleAnswers::Modify(CVirtualSampleMemory& memory, Command command, const uint8_t* data,
                                   size_t size) {
    int base = 0;
    Sample* selected = Selected(memory, &base);
    if (!selected)
        return false;
    const Sample& source = *selected;
    std::string why;
    // Overwrite (1) replaces the sample, else the result goes to the next free number. Time
    // stretch has no overwrite flag and always replaces.
    const bool overwrite = command == kTimeStretch || data[0] == 1;
    auto store = [&](Sample result) {
        if (overwrite)
            return memory.Replace(m_group, base, std::move(result), why);
        const int number = memory.NextFree(m_group, base, result.audio.Stereo());
        return number != 0 && memory.Add(m_group, number, std::move(result), why);
    };

    switch (command) {
    case kTruncate: {
        if (source.end <= source.start)
            return false;
        Sample result = WithAudio(source, TavCutAudio(source.audio, source.start, source.end));
        result.loop = source.loop > source.start ? std::min(source.loop, source.end) - source.start : 0;
        result.beatPoints = Shift(source.beatPoints, source.start, source.end);
        result.chopPoints = Shift(source.chopPoints, source.start, source.end);
        return store(std::move(result));
    }
    case kEmphasis: {
        TavAudio audio = source.audio;
        TavEmphasis(audio, data[1] == 1);
        return store(WithAudio(source, std::move(audio)));
    }
    case kNormalize: {
        TavAudio audio = source.audio;
        TavNormalize(audio);
        return store(WithAudio(source, std::move(audio)));
    }
    case kAmp: {
        std::vector<TavAmpPoint> points;
        if (size == 3)
            points.push_back({0, static_cast<int32_t>(Seven(data + 1, 2))});
        else
            for (size_t i = 0; i < 4; ++i)
                points.push_back({static_cast<uint32_t>(Seven(data + 3 + 7 * i, 5)),
                                  static_cast<int32_t>(Seven(data + 1 + 7 * i, 2))});
        for (const TavAmpPoint& point : points)
            if (point.percent > 200)
                return false;
        TavAudio audio = source.audio;
        TavAmpEnvelope(audio, std::move(points));
        return store(WithAudio(source, std::move(audio)));
    }
    case kTimeStretch: {
        // The rate is the new length in 1/100000 of the old; adjust (-63..63) trims it by
        // tenths of a percent.
        const double rate = static_cast<double>(Seven(data, 3)) / 100000.0;
        const double ratio = rate * (1.0 + (static_cast<int>(data[4]) - 64) / 1000.0);
        if (rate < 0.5 || rate > 2.0)
            return false;
        TavAudio audio;
        if (!TavTimeStretch(source.audio, ratio, data[3], audio, why))
            return false;
        Sample result = WithAudio(source, std::move(audio));
        result.tempo = std::clamp(static_cast<int32_t>(source.tempo / ratio), 500, 30000);
        return store(std::move(result));
    }
    case kChop: {
        std::vector<uint32_t> cuts = source.chopPoints;
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        std::erase_if(cuts, [&](uint32_t p) { return p == 0 || p >= source.audio.Frames(); });
        if (data[0] != 1 || cuts.empty())
            return false;
        cuts.push_back(source.audio.Frames());
        // Every piece must find its place before anything changes.
        CVirtualSampleMemory result = memory;
        const std::string stem = source.name.substr(0, source.name.find_last_not_of(' ') + 1).substr(0, 13);
        uint32_t from = 0;
        int number = base;
        for (size_t piece = 0; piece < cuts.size(); ++piece) {
            Sample part = WithAudio(source, TavCutAudio(source.audio, from, cuts[piece]));
            part.name = CVirtualCatalog::Fit(stem + "-" + std::to_string(piece + 1), CVirtualSampleMemory::kNameLength);
            from = cuts[piece];
            if (piece == 0) {
                if (!result.Replace(m_group, base, std::move(part), why))
                    return false;
                continue;
            }
            number = result.NextFree(m_group, number, part.audio.Stereo());
            if (number == 0 || !result.Add(m_group, number, std::move(part), why))
                return false;
        }
        memory = std::move(result);
        return true;
    }
    case kAutoChop: {
        const size_t limit = CVirtualSampleMemory::kMaxChopPoints;
        const uint32_t from = source.start, to = source.end;
        std::vector<uint32_t> points;
        if (data[0] == 0) {
            points = TavLevelPoints(source.audio, data[1], from, to, limit);
        } else if (data[0] == 1) {
            // Quarter notes (0) down to thirty-seconds (3) at the sample's tempo.
            const double quarter = 60.0 / (source.tempo / 100.0);
            points = TavBeatPoints(source.audio, quarter / (1 << std::min<int>(data[1], 3)) * 0.9, from, to, limit);
        } else if (data[0] == 2) {
            if (data[1] < 2 || data[1] > 16)
                return false;
            points = TavDividePoints(from, to, data[1], limit);
        } else {
            return false;
        }
        selected->chopPoints = std::move(points);
        return true;
    }
    case kUnload:
        if (data[0] != 1)
            return false;
        memory.Remove(m_group, base);
        Deselect();
        return true;
    default:
        return false;
    }
}

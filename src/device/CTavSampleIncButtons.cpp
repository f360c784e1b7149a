#include "device/CTavSampleIncButtons.h"

#include <algorithm>
#include <string>

#include "app/CTavTextOut.h"
#include "device/CTavSampleEditor.h"
#include "device/TavDeviceControlValues.h"
#include "device/TavSampleControlSupport.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace Brio {

namespace {

constexpr const char* kMarkerPaths[] = {"com.utility.sample.sampleCommon.startIndex",
                                        "com.utility.sample.sampleCommon.loopIndex",
                                        "com.utility.sample.sampleCommon.endIndex"};
constexpr const char* kBeatCountPath = "com.utility.sample.sampleBeatPoint.beatDataSize";
constexpr const char* kChopIdPath = "vs.sampleEdit.modify.chop.edit.currentChopId";
constexpr const char* kChopCountPath = "vs.sampleEdit.modify.chop.edit.chopPointCount";
constexpr const char* kChopFramePath =
    "vs.sampleEdit.modify.chop.chopPoint[vs.sampleEdit.modify.chop.edit.currentChopId].frame";

bool Fail(CTavTextOut* errors, const char* line) {
    if (errors)
        errors->Write(line);
    return false;
}

} // namespace

void TavMoveChopPoint(CTavBufferManager& buffers, CTavValue& frameValue, int32_t index, int64_t frame) {
    const int64_t limited = std::clamp<int64_t>(frame, frameValue.Spec().minimum, frameValue.Spec().maximum);
    TavWriteAndCommit(buffers, {{&frameValue, limited}});
    TavSampleOperations().SendChopPoint(index, limited);
}

// --- CTavFrameIncButton -----------------------------------------------------------------

bool CTavFrameIncButton::Configure(TavItems& items) {
    if (!CTavIncrementButton::Configure(items))
        return false;
    bool hasFrameId = false;
    for (auto it = items.begin(); it != items.end();) {
        long number = 0;
        if (it->first == "frameId") {
            if (!TavScanLong(it->second, number) || number < TavSampleMarker::Start || number > TavSampleMarker::End)
                return ReportFailure("frame increment button frame id is invalid. : %s : %s\n", it->second);
            m_frameId = static_cast<int32_t>(number);
            hasFrameId = true;
        } else if (it->first == "beat") {
            if (!TavScanLong(it->second, number) || number < 0 || number > 1)
                return ReportFailure("frame increment button beat is invalid. : %s : %s\n", it->second);
            m_beat = number != 0;
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    if (!hasFrameId)
        return ReportFailure("There is no frame id for frame inc button. : %s\n");
    m_markerRef = TavFixedRef(*this, kMarkerPaths[m_frameId]);
    if (m_beat) {
        m_beatCountRef = TavFixedRef(*this, kBeatCountPath);
        for (int32_t i = 0; i < kBeatPoints; ++i)
            m_beatRefs[i] =
                TavFixedRef(*this, ("com.utility.sample.sampleBeatPoint.beatPoint[" + std::to_string(i) + "]").c_str());
    }
    return true;
}

bool CTavFrameIncButton::Associate(CTavPanel* parent) {
    if (!CTavButton::Associate(parent) || !TavAreIntegers(*this, {m_markerRef, m_beatCountRef}))
        return ReportFailure("Unable to create frame inc button. : %s");
    return true;
}

void CTavFrameIncButton::Step() {
    const CTavValue* marker = GetValue(m_markerRef);
    if (!marker || marker->Kind() != kTavKindInteger || Delta() == 0)
        return;
    const int64_t frame = marker->GetRaw();
    if (!m_beat) {
        TavSampleOperations().MoveMarker(m_frameId, frame + Delta());
        return;
    }
    int32_t points[kBeatPoints] = {};
    const int32_t count = std::clamp(TavRawOf(GetValue(m_beatCountRef), 0), 0, kBeatPoints);
    for (int32_t i = 0; i < count; ++i)
        points[i] = TavRawOf(GetValue(m_beatRefs[i]), 0);
    if (const std::optional<int64_t> next = TavNextBeatPoint(points, count, frame, Delta()))
        TavSampleOperations().MoveMarker(m_frameId, *next);
}

// --- CTavChopFrameIncButton -------------------------------------------------------------

bool CTavChopFrameIncButton::Configure(TavItems& items) {
    if (!CTavIncrementButton::Configure(items))
        return false;
    m_chopIdRef = TavFixedRef(*this, kChopIdPath);
    m_countRef = TavFixedRef(*this, kChopCountPath);
    m_frameRef = TavFixedRef(*this, kChopFramePath);
    return true;
}

bool CTavChopFrameIncButton::Associate(CTavPanel* parent) {
    if (!CTavButton::Associate(parent) || !TavAreIntegers(*this, {m_chopIdRef, m_countRef, m_frameRef}))
        return ReportFailure("Unable to create chop frame inc button. : %s\n");
    return true;
}

void CTavChopFrameIncButton::Step() {
    CTavValue* frame = GetValue(m_frameRef);
    CTavBufferManager* buffers = BufferManager();
    const int32_t chopId = TavRawOf(GetValue(m_chopIdRef));
    if (!frame || !buffers || chopId < 0 || chopId >= TavRawOf(GetValue(m_countRef), 0) || Delta() == 0)
        return;
    TavMoveChopPoint(*buffers, *frame, chopId, int64_t{frame->GetRaw()} + Delta());
}

// --- CTavTimeIncButton ------------------------------------------------------------------

bool CTavTimeIncButton::Configure(TavItems& items) {
    if (!CTavIncrementButton::Configure(items))
        return false;
    const size_t own = m_valueRefs.size();
    TavTakeValueRefs(items, *this, {{"endValueRef", &m_endRef}});
    if (own != 1 || m_endRef < 0)
        return Fail(Errors(), "There is no value reference for time increment button.\n");
    return true;
}

bool CTavTimeIncButton::Associate(CTavPanel* parent) {
    if (!CTavButton::Associate(parent) || !TavAreIntegers(*this, {0, m_endRef}))
        return Fail(Errors(), "Unable to create time increment button.\n");
    return true;
}

void CTavTimeIncButton::Step() {
    const CTavValue* ratio = GetValue(0);
    const int64_t end = TavRawOf(GetValue(m_endRef), 0);
    if (!ratio || ratio->Kind() != kTavKindInteger || Delta() == 0)
        return;
    const CTavValueSpec& spec = ratio->Spec();
    const int64_t ms = TavStretchTimeMs(end, ratio->GetRaw()) + Delta();
    std::optional<int32_t> next = TavRatioForTimeMs(end, static_cast<double>(ms), spec.minimum, spec.maximum);
    if (!next)
        return;
    if (*next == ratio->GetRaw())
        next = std::clamp<int64_t>(int64_t{ratio->GetRaw()} + (Delta() > 0 ? 1 : -1), spec.minimum, spec.maximum);
    SetValueInteger(0, *next);
}

} // namespace Brio

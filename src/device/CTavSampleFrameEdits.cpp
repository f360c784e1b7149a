#include "device/CTavSampleFrameEdits.h"

#include <algorithm>
#include <string>

#include "app/CTavTextOut.h"
#include "device/CTavSampleEditor.h"
#include "device/CTavSampleIncButtons.h"
#include "device/TavDeviceControlValues.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace Brio {

namespace {

constexpr const char* kMarkerPaths[] = {"com.utility.sample.sampleCommon.startIndex",
                                        "com.utility.sample.sampleCommon.loopIndex",
                                        "com.utility.sample.sampleCommon.endIndex"};

} // namespace

// --- CTavSampleFrameEdit ----------------------------------------------------------------

bool CTavSampleFrameEdit::TakeId(TavItems& items, const char* tag, int32_t first, int32_t last, const char* message) {
    std::string text;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != tag) {
            ++it;
            continue;
        }
        text = it->second;
        it = items.erase(it);
    }
    long id = 0;
    if (!TavScanLong(text, id) || id < first || id > last)
        return ReportFailure(message, text);
    m_id = static_cast<int32_t>(id);
    return true;
}

void CTavSampleFrameEdit::SetMainPath(const std::string& path) {
    if (m_valueRefs.empty())
        AddValueRef(path);
}

bool CTavSampleFrameEdit::Associate(CTavPanel* parent) {
    if (!CTavPopEditControl::Associate(parent))
        return false;
    if (!TavAreIntegers(*this, {0, FrameRef()}))
        return ReportFailure("Referred value type must be integer for frame edit control. : %s\n");
    return true;
}

int64_t CTavSampleFrameEdit::Maximum() const {
    const CTavValue* value = GetValue(FrameRef());
    return value ? value->Spec().maximum : 0;
}

std::string CTavSampleFrameEdit::GetText() const {
    const CTavValue* value = GetValue(FrameRef());
    return value && value->Kind() == kTavKindInteger ? std::to_string(value->GetRaw()) : std::string();
}

void CTavSampleFrameEdit::SetText(const std::string& text) {
    const CTavValue* value = GetValue(FrameRef());
    if (!value || value->Kind() != kTavKindInteger)
        return;
    const int64_t minimum = value->Spec().minimum;
    if (const std::optional<int64_t> frame =
            TavReadTypedFrame(text, minimum, std::max(minimum, Maximum())))
        Apply(*frame);
}

// --- CTavLoopFrameEdit ------------------------------------------------------------------

bool CTavLoopFrameEdit::Configure(TavItems& items) {
    if (!CTavPopEditControl::Configure(items) ||
        !TakeId(items, "frameId", TavSampleMarker::Start, TavSampleMarker::End,
                "frame edit control id is invalid. : %s : %s\n"))
        return false;
    SetMainPath(kMarkerPaths[Id()]);
    return true;
}

void CTavLoopFrameEdit::Apply(int64_t frame) {
    TavSampleOperations().MoveMarker(Id(), frame);
}

// --- CTavEditChopFrame ------------------------------------------------------------------

bool CTavEditChopFrame::Configure(TavItems& items) {
    if (!CTavPopEditControl::Configure(items))
        return false;
    const char* frame = "vs.sampleEdit.modify.chop.chopPoint[vs.sampleEdit.modify.chop.edit.currentChopId].frame";
    SetMainPath(frame);
    m_frameRef = TavFixedRef(*this, frame);
    m_chopIdRef = TavFixedRef(*this, "vs.sampleEdit.modify.chop.edit.currentChopId");
    m_countRef = TavFixedRef(*this, "vs.sampleEdit.modify.chop.edit.chopPointCount");
    return true;
}

void CTavEditChopFrame::Apply(int64_t frame) {
    CTavValue* value = GetValue(m_frameRef);
    CTavBufferManager* buffers = BufferManager();
    const int32_t chopId = TavRawOf(GetValue(m_chopIdRef));
    if (value && buffers && chopId >= 0 && chopId < TavRawOf(GetValue(m_countRef), 0))
        TavMoveChopPoint(*buffers, *value, chopId, frame);
}

// --- CTavBreakPointEdit -----------------------------------------------------------------

bool CTavBreakPointEdit::Configure(TavItems& items) {
    if (!CTavPopEditControl::Configure(items) ||
        !TakeId(items, "breakPointId", 0, kPoints - 1, "break point edit control id is invalid. : %s : %s\n"))
        return false;
    SetMainPath("vs.sampleEdit.modify.amp." + std::string(m_field) + std::to_string(Id() + 1));
    return true;
}

void CTavBreakPointEdit::Apply(int64_t frame) {
    SetValueInteger(0, static_cast<int32_t>(frame));
}

bool CTavBreakPointAddressEdit::Configure(TavItems& items) {
    if (!CTavBreakPointEdit::Configure(items))
        return false;
    m_endRef = TavFixedRef(*this, "com.utility.sample.sampleCommon.absoluteEndIndex");
    return true;
}

int64_t CTavBreakPointAddressEdit::Maximum() const {
    const int64_t end = TavRawOf(GetValue(m_endRef), 0);
    const int64_t maximum = CTavBreakPointEdit::Maximum();
    return end > 0 ? std::min(end, maximum) : maximum;
}

} // namespace Brio

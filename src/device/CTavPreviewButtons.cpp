#include "device/CTavPreviewButtons.h"

#include <algorithm>

#include "app/CTavTextOut.h"
#include "device/TavDeviceControlValues.h"
#include "device/TavSampleControlSupport.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/ITavResourceFactory.h"

namespace Brio {

namespace {

constexpr const char* kScrubPath = "vs.sampleEdit.view.scrubFrameId";
constexpr const char* kPreviewFramePath = "com.utility.sampleEdit.preview.previewFrame";
constexpr const char* kStartPath = "com.utility.sample.sampleCommon.startIndex";
constexpr const char* kChopCountPath = "vs.sampleEdit.modify.chop.edit.chopPointCount";

std::optional<int32_t> Limited(const CTavExpression& expression, CTavView& view, const CTavValue& value) {
    int32_t result = 0;
    if (value.Kind() != kTavKindInteger || !expression.Evaluate(view, TavExpressionMode::kEvaluating, result))
        return std::nullopt;
    return std::clamp(result, value.Spec().minimum, value.Spec().maximum);
}

// A running scrub previews too: it is stopped before another preview starts.
void StopScrub(const CTavValue* scrub) {
    if (TavRawOf(scrub, 0) != 0)
        TavSampleOperations().Scrub(0);
}

} // namespace

// --- CTavPreviewValues ------------------------------------------------------------------

bool CTavPreviewValues::Configure(TavItems& items, CTavView& view, std::string& failed, bool& onFailed) {
    return TavTakeOnOffValues(items, view, m_on, m_off, failed, onFailed);
}

std::optional<int32_t> CTavPreviewValues::On(CTavView& view, const CTavValue& value) const {
    return Limited(m_on, view, value);
}

std::optional<int32_t> CTavPreviewValues::Off(CTavView& view, const CTavValue& value) const {
    return Limited(m_off, view, value);
}

// --- CTavPreviewButtonControl -----------------------------------------------------------

bool CTavPreviewButtonControl::Configure(TavItems& items) {
    if (!CTavUnlatchButton::Configure(items))
        return false;
    if (m_valueRefs.size() != 1)
        return ReportFailure("There is no value reference for preview button. : %s\n");
    std::string failed;
    bool onFailed = false;
    if (!m_values.Configure(items, *this, failed, onFailed))
        return ReportFailure(onFailed ? "Unable to interpret on value for preview button. : %s : %s\n"
                                      : "Unable to interpret off value for preview button. : %s : %s\n",
                             failed);
    m_scrubRef = TavFixedRef(*this, kScrubPath);
    m_previewFrameRef = TavFixedRef(*this, kPreviewFramePath);
    m_startRef = TavFixedRef(*this, kStartPath);
    return true;
}

bool CTavPreviewButtonControl::Associate(CTavPanel* parent) {
    if (!CTavUnlatchButton::Associate(parent))
        return ReportFailure("Unable to create preview button. : %s\n");
    if (!TavAreIntegers(*this, {0, m_scrubRef, m_previewFrameRef, m_startRef}))
        return ReportFailure("Referred value type must be integer for preview button. : %s\n");
    return true;
}

void CTavPreviewButtonControl::OnPress(const CTavMouseInfo&) {
    CTavValue* value = GetValue(0);
    CTavBufferManager* buffers = BufferManager();
    if (!value || !buffers)
        return;
    StopScrub(GetValue(m_scrubRef));
    const std::optional<int32_t> on = m_values.On(*this, *value);
    if (!on)
        return;
    TavWriteAndCommit(*buffers, {{GetValue(m_previewFrameRef), TavRawOf(GetValue(m_startRef), 0)}, {value, *on}});
}

// The preview stops wherever the mouse is let go.
void CTavPreviewButtonControl::OnRelease(const CTavMouseInfo&) {
    CTavValue* value = GetValue(0);
    CTavBufferManager* buffers = BufferManager();
    if (!value || !buffers)
        return;
    if (const std::optional<int32_t> off = m_values.Off(*this, *value))
        TavWriteAndCommit(*buffers, {{value, *off}});
}

// --- CTavChopPreviewButton --------------------------------------------------------------

bool CTavChopPreviewButton::Configure(TavItems& items) {
    if (!CTavButton::Configure(items))
        return false;
    if (m_valueRefs.size() != 1) {
        if (CTavTextOut* errors = ErrorOutput())
            errors->Write("There is no value reference for chop preview button.\n");
        return false;
    }
    TavTakeValueRefs(items, *this, {{"chopPointIdValueRef", &m_chopIdRef}, {"startFrameValueRef", &m_startFrameRef}});
    if (m_chopIdRef < 0 || m_startFrameRef < 0) {
        if (CTavTextOut* errors = ErrorOutput())
            errors->Write("There is no value reference for chop preview button.\n");
        return false;
    }
    std::string failed;
    bool onFailed = false;
    if (!m_values.Configure(items, *this, failed, onFailed))
        return ReportFailure(onFailed ? "Unable to interpret on value for chop preview button. : %s : %s\n"
                                      : "Unable to interpret off value for chop preview button. : %s : %s\n",
                             failed);
    const std::string chopFrame = "vs.sampleEdit.modify.chop.chopPoint[" + m_valueRefs[m_chopIdRef].path + "].frame";
    m_chopFrameRef = TavFixedRef(*this, chopFrame.c_str());
    m_countRef = TavFixedRef(*this, kChopCountPath);
    m_scrubRef = TavFixedRef(*this, kScrubPath);
    return true;
}

bool CTavChopPreviewButton::Associate(CTavPanel* parent) {
    CTavTextOut* errors = ErrorOutput();
    if (!CTavButton::Associate(parent) || Bitmap()->StateCount() < 2 ||
        !TavAreIntegers(*this, {0, m_chopIdRef, m_startFrameRef, m_chopFrameRef, m_countRef, m_scrubRef})) {
        if (errors)
            errors->Write("Unable to create chop preview button.\n");
        return false;
    }
    return true;
}

void CTavChopPreviewButton::OnPress(const CTavMouseInfo&) {
    m_previewing = false;
    CTavValue* value = GetValue(0);
    CTavBufferManager* buffers = BufferManager();
    const int32_t chopId = TavRawOf(GetValue(m_chopIdRef));
    if (!value || !buffers || chopId < 0 || chopId >= TavRawOf(GetValue(m_countRef), 0))
        return;
    StopScrub(GetValue(m_scrubRef));
    const std::optional<int32_t> on = m_values.On(*this, *value);
    if (!on)
        return;
    TavWriteAndCommit(*buffers, {{GetValue(m_startFrameRef), TavRawOf(GetValue(m_chopFrameRef), 0)}, {value, *on}});
    m_previewing = true;
}

void CTavChopPreviewButton::OnRelease(const CTavMouseInfo&) {
    CTavValue* value = GetValue(0);
    CTavBufferManager* buffers = BufferManager();
    if (!m_previewing || !value || !buffers)
        return;
    m_previewing = false;
    if (const std::optional<int32_t> off = m_values.Off(*this, *value))
        TavWriteAndCommit(*buffers, {{value, *off}});
}

// --- CTavPreviewControl -----------------------------------------------------------------

bool CTavPreviewControl::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    std::string text;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "mode") {
            ++it;
            continue;
        }
        text = it->second;
        it = items.erase(it);
    }
    long mode = 0;
    if (!TavScanLong(text, mode) || mode < kFirstMode || mode > kLastMode) {
        if (CTavTextOut* errors = ErrorOutput())
            errors->Printf("preview control %s id is invalid. : %s\n", Path().c_str(), text.c_str());
        return false;
    }
    m_mode = static_cast<int32_t>(mode);
    return true;
}

bool CTavPreviewControl::OnKey(const CTavKeyInfo& info) {
    return (HasFocus() || m_captured) && ClickByKey(info, true);
}

bool CTavPreviewControl::OnMouse(const CTavMouseInfo& info) {
    const bool inside = m_rect.Contains(info.point);
    switch (info.kind) {
    case CTavMouseInfo::kPressed:
    case CTavMouseInfo::kDoubleClick:
        if (!inside)
            return false;
        Capture(true);
        m_previewing = TavSampleOperations().Preview(m_mode, -1, -1);
        return true;
    case CTavMouseInfo::kReleased:
        if (!m_captured)
            return false;
        Capture(false);
        if (m_previewing)
            TavSampleOperations().Preview(0, -1, -1);
        m_previewing = false;
        return true;
    case CTavMouseInfo::kMove:
        return m_captured;
    }
    return false;
}

} // namespace Brio

#include "device/CTavPartButtons.h"

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "device/CTavFunctionManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/ITavResourceFactory.h"

namespace Brio {

namespace {

constexpr const char* kPartIdPath = "vs.control.partId";
constexpr const char* kEntityTypePath = "vs.control.entityType";

bool IsInteger(const CTavValue* value) {
    return value && value->Kind() == kTavKindInteger;
}

int32_t RawOf(const CTavValue* value) {
    return IsInteger(value) ? value->GetRaw() : -1;
}

} // namespace

int32_t TavEditPartFrameBase(int32_t partId, int32_t entityType, int32_t part) {
    return partId == part && entityType != 0 ? 2 : 0;
}

TavEditPartAction TavEditPartRelease(int32_t partId, int32_t entityType, int32_t part) {
    const bool shown = partId <= CTavPartButton::kLastPart && entityType != 0 && partId == part;
    return shown ? TavEditPartAction::kClearEntityType : TavEditPartAction::kSelectPart;
}

int32_t TavSoloPartFrameBase(int32_t solo, int32_t part) {
    if (solo == 0)
        return 0;
    return solo == part + 1 ? 4 : 2;
}

int32_t TavSoloPartRelease(int32_t solo, int32_t part) {
    return solo == part + 1 ? 0 : part + 1;
}

// --- CTavPartButton ---------------------------------------------------------------------

bool CTavPartButton::Configure(TavItems& items) {
    if (!CTavButton::Configure(items))
        return false;
    std::string text;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "partId") {
            ++it;
            continue;
        }
        text = it->second;
        it = items.erase(it);
    }
    // Evaluating once registers the paths the text reads, so the button follows them.
    int32_t part = -1;
    if (!m_partId.Parse(text) || !m_partId.Evaluate(*this, TavExpressionMode::kRegistering, part)) {
        if (CTavTextOut* errors = ErrorOutput())
            errors->Printf("Unable to interpret id %s of ZQ %s part select button %s.\n", text.c_str(), m_label,
                           Path().c_str());
        return false;
    }
    if (part < 0 || part > kLastPart) {
        if (CTavTextOut* errors = ErrorOutput())
            errors->Printf("ZQ %s part select button %s's ID must be 0 through %d. : %s\n", m_label, Path().c_str(),
                           kLastPart, text.c_str());
        return false;
    }
    return true;
}

int32_t CTavPartButton::Part() {
    int32_t part = -1;
    return m_partId.Evaluate(*this, TavExpressionMode::kEvaluating, part) ? part : -1;
}

// --- CTavEditPartButton -----------------------------------------------------------------

bool CTavEditPartButton::Configure(TavItems& items) {
    if (!CTavPartButton::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "function")
            m_function = it->second;
        else if (it->first == "arguments")
            m_arguments = it->second;
        else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    const auto refFor = [this](const char* path) {
        const int found = FindValueRef(std::string_view(path));
        return found >= 0 ? found : AddValueRef(path);
    };
    m_partIdRef = refFor(kPartIdPath);
    m_entityTypeRef = refFor(kEntityTypePath);
    return true;
}

bool CTavEditPartButton::Associate(CTavPanel* parent) {
    if (!CTavButton::Associate(parent))
        return ReportFailure("Unable to create edit part select button. : %s\n");
    if (Bitmap()->StateCount() < 4)
        return ReportFailure("Edit part select button %s bitmap must have 4 states.\n");
    if (!IsInteger(GetValue(m_partIdRef)) || !IsInteger(GetValue(m_entityTypeRef)))
        return ReportFailure("Referred value must be integer for edit part select button. : %s\n");
    return true;
}

void CTavEditPartButton::Refresh() {
    const int32_t part = Part();
    const int32_t base =
        part < 0 ? 0 : TavEditPartFrameBase(RawOf(GetValue(m_partIdRef)), RawOf(GetValue(m_entityTypeRef)), part);
    SetStatePart(base / 2);
}

void CTavEditPartButton::OnPress(const CTavMouseInfo& info) {
    m_doubleClick = info.kind == CTavMouseInfo::kDoubleClick;
}

// View-state values are never sent: the write is published and cleared only. The part ID
// is written even when it holds the part already, so the context shows its entity again.
void CTavEditPartButton::OnRelease(const CTavMouseInfo& info) {
    const bool doubleClick = m_doubleClick;
    m_doubleClick = false;
    CTavValue* partId = GetValue(m_partIdRef);
    CTavValue* entityType = GetValue(m_entityTypeRef);
    CTavBufferManager* buffers = BufferManager();
    const int32_t part = Part();
    if (!ReleasedInside(info) || !buffers || !IsInteger(partId) || !IsInteger(entityType) || part < 0)
        return;
    // A double-click leaves its part shown, whatever the first click of it did.
    const TavEditPartAction action = doubleClick ? TavEditPartAction::kSelectPart
                                                 : TavEditPartRelease(partId->GetRaw(), entityType->GetRaw(), part);
    if (action == TavEditPartAction::kClearEntityType)
        buffers->WriteInteger(*entityType, 0);
    else
        buffers->WriteInteger(*partId, part);
    buffers->PublishPending();
    buffers->ClearPending();
    if (doubleClick && !m_function.empty()) {
        CTavFunctionManager& functions = CTavSystem::Instance().FunctionManager();
        if (functions.IsEnabled(m_function))
            functions.Call(m_function, m_arguments);
    }
}

// --- CTavSoloPartButton -----------------------------------------------------------------

bool CTavSoloPartButton::Associate(CTavPanel* parent) {
    if (!CTavButton::Associate(parent))
        return ReportFailure("Unable to create solo part select button. : %s\n");
    if (Bitmap()->StateCount() < 6)
        return ReportFailure("Solo part select button %s bitmap must have 6 states.\n");
    if (!IsInteger(GetValue(0)))
        return ReportFailure("Referred value must be integer for solo part select button. : %s\n");
    return true;
}

void CTavSoloPartButton::Refresh() {
    const int32_t part = Part();
    SetStatePart(part < 0 ? 0 : TavSoloPartFrameBase(RawOf(GetValue(0)), part) / 2);
}

void CTavSoloPartButton::OnRelease(const CTavMouseInfo& info) {
    const CTavValue* solo = GetValue(0);
    const int32_t part = Part();
    if (ReleasedInside(info) && IsInteger(solo) && part >= 0)
        SetValueInteger(0, TavSoloPartRelease(solo->GetRaw(), part));
}

} // namespace Brio

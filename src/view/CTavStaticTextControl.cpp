#include "view/CTavStaticTextControl.h"

#include <algorithm>

#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/TavValueText.h"

namespace {

CTavResourceManager* Resources(const CTavView& view) {
    return view.ViewManager() ? view.ViewManager()->ResourceManager() : nullptr;
}

// Writes a message that names nothing but the attribute text; always false.
bool ReportText(const CTavView& view, const char* format, const std::string& text) {
    if (CTavTextOut* errors = view.ViewManager() ? view.ViewManager()->ErrorOutput() : nullptr)
        errors->Printf(format, text.c_str());
    return false;
}

// Writes a message without arguments; always false.
bool Report(const CTavView& view, const char* message) {
    if (CTavTextOut* errors = view.ViewManager() ? view.ViewManager()->ErrorOutput() : nullptr)
        errors->Write(message);
    return false;
}

// The index of the main value: its position for integers, 0 for anything else.
int32_t IndexOf(const CTavValue* value) {
    return value && value->Kind() == kTavKindInteger ? value->GetPosition() : 0;
}

} // namespace

// --- CTavValueTextFormat ----------------------------------------------------------------

std::string CTavValueTextFormat::TextOf(const CTavValue* value) const {
    if (!value)
        return {};
    if (value->Kind() == kTavKindString)
        return value->GetText() + unit;
    if (stringTable)
        return TavTableText(*stringTable, value->GetPosition());
    return TavNumberText(int64_t{value->GetRaw()} + offsetValue, unit);
}

bool CTavValueTextFormat::Configure(TavItems& items, CTavView& view, const CMessages& messages) {
    auto fail = [&view, &messages](const char* format, const std::string& text) {
        return messages.textOnly ? ReportText(view, format, text) : view.ReportFailure(format, text);
    };
    for (auto it = items.begin(); it != items.end();) {
        const std::string& text = it->second;
        if (it->first == "textWriterRef") {
            CTavResourceManager* resources = Resources(view);
            textWriter = resources ? resources->FindTextWriter(text) : nullptr;
            if (!textWriter)
                return fail(messages.textWriter, text);
        } else if (it->first == "stringTableRef") {
            CTavResourceManager* resources = Resources(view);
            stringTable = resources ? resources->FindStringTable(text) : nullptr;
            if (!stringTable)
                return fail(messages.stringTable, text);
        } else if (it->first == "offsetValue") {
            long offset = 0;
            if (!TavScanLong(text, offset))
                return view.ReportFailure(messages.offsetValue, text);
            offsetValue = static_cast<int32_t>(offset);
        } else if (it->first == "unit") {
            unit = TavDecodeEntities(text);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

// --- CTavStaticTextControl --------------------------------------------------------------

bool CTavStaticTextControl::Configure(TavItems& items) {
    static const CTavValueTextFormat::CMessages messages{
        "Unable to find text writer %s.\n", "Unable to find string table %s.\n",
        "StaticText %s offsetValue is invalid. : %s\n", true};
    return CTavControl::Configure(items) && m_format.Configure(items, *this, messages);
}

bool CTavStaticTextControl::Associate(CTavPanel* parent) {
    if (!CTavControl::Associate(parent))
        return Report(*this, "Unable to create static text control.\n");
    if (m_valueRefs.empty())
        return Report(*this, "There is no value reference.\n");
    if (!m_format.textWriter)
        return Report(*this, "There is no text writer reference.\n");
    return true;
}

void CTavStaticTextControl::Refresh() {
    m_text = m_format.TextOf(GetValue(0));
}

void CTavStaticTextControl::Draw(CTavDrawInfo& info) {
    if (m_format.textWriter && info.Intersects(m_rect))
        m_format.textWriter->DrawText(info, m_rect, m_text);
}

// --- CTavStaticTextPictureControl -------------------------------------------------------

CTavStaticTextPictureControl::CTavStaticTextPictureControl() = default;
// The resource manager frees every image itself and may be gone before the views.
CTavStaticTextPictureControl::~CTavStaticTextPictureControl() = default;

bool CTavStaticTextPictureControl::Configure(TavItems& items) {
    static const CTavValueTextFormat::CMessages messages{
        "Unable to find text writer for static text picture. : %s : %s.\n",
        "Unable to find string table for static text picture. : %s : %s.\n",
        "Offset value is invalid for static text picture. : %s : %s\n", false};
    if (!CTavControl::Configure(items) || !m_format.Configure(items, *this, messages))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "bitmapRef") {
            ++it;
            continue;
        }
        CTavResourceManager* resources = Resources(*this);
        m_bitmap = resources ? resources->FindBitmap(it->second) : nullptr;
        if (!m_bitmap)
            return ReportFailure("Unable to find bitmap for static text picture. : %s : %s.\n", it->second);
        it = items.erase(it);
    }
    return true;
}

bool CTavStaticTextPictureControl::Associate(CTavPanel* parent) {
    if (!CTavControl::Associate(parent))
        return ReportFailure("Unable to create static text picture. : %s\n");
    if (m_valueRefs.empty())
        return ReportFailure("There is no value reference for static text picture. : %s\n");
    if (!m_format.textWriter)
        return ReportFailure("There is no text writer reference for static text picture. : %s\n");
    if (!m_bitmap)
        return ReportFailure("There is no bitmap reference for static text picture. : %s\n");
    if (!m_bitmapAcquired && !(m_bitmapAcquired = m_bitmap->Acquire()))
        return ReportFailure("Unable to create bitmap for static text picture. : %s\n");
    return true;
}

int32_t CTavStaticTextPictureControl::FrameCount() const {
    return m_bitmapAcquired ? m_bitmap->StateCount() : 0;
}

void CTavStaticTextPictureControl::Refresh() {
    const CTavValue* value = GetValue(0);
    const int32_t frames = m_bitmap ? m_bitmap->StateCount() : 0;
    if (!value || value->Kind() != kTavKindInteger || frames <= 0) {
        m_text = m_format.TextOf(value);
        m_frame = -1;
        return;
    }
    const int64_t firstPicture = int64_t{TavValueCount(*value)} - frames;
    const int64_t index = value->GetPosition();
    if (index < firstPicture) {
        m_text = m_format.TextOf(value);
        m_frame = -1;
    } else {
        m_text.clear();
        m_frame = static_cast<int32_t>(std::clamp<int64_t>(index - firstPicture, 0, frames - 1));
    }
}

void CTavStaticTextPictureControl::Draw(CTavDrawInfo& info) {
    if (!info.Intersects(m_rect))
        return;
    if (m_frame < 0) {
        if (m_format.textWriter)
            m_format.textWriter->DrawText(info, m_rect, m_text);
    } else if (m_bitmapAcquired) {
        const TavPoint at{m_rect.right - m_bitmap->StateWidth(),
                          m_rect.top + (m_rect.Height() - m_bitmap->StateHeight()) / 2};
        m_bitmap->DrawState(info, at, m_frame);
    }
}

// --- CTavPictureControl -----------------------------------------------------------------

CTavPictureControl::CTavPictureControl() = default;
CTavPictureControl::~CTavPictureControl() = default;

bool CTavPictureControl::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        const std::string& text = it->second;
        if (it->first == "bitmapRef") {
            CTavResourceManager* resources = Resources(*this);
            m_bitmap = resources ? resources->FindBitmap(text) : nullptr;
            if (!m_bitmap)
                return ReportFailure("Unable to find bitmap for picture. : %s : %s.\n", text);
        } else if (it->first == "offsetIndex") {
            long offset = 0;
            if (!TavScanLong(text, offset))
                return ReportFailure("Offset index is invalid for picture. : %s : %s\n", text);
            m_offsetIndex = static_cast<int32_t>(offset);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

bool CTavPictureControl::Associate(CTavPanel* parent) {
    if (!CTavControl::Associate(parent))
        return ReportFailure("Unable to create picture control %s.\n");
    if (m_valueRefs.empty())
        return ReportFailure("There is no value reference for picture control %s.\n");
    if (!m_bitmap || !(m_bitmapAcquired || (m_bitmapAcquired = m_bitmap->Acquire())))
        return ReportFailure("There is no bitmap reference for picture control %s.\n");
    if (m_rect.IsEmpty())
        SetRect({m_rect.left, m_rect.top, m_rect.left + m_bitmap->StateWidth(),
                 m_rect.top + m_bitmap->StateHeight()});
    return true;
}

void CTavPictureControl::Refresh() {
    const int32_t frames = m_bitmap ? m_bitmap->StateCount() : 1;
    const int64_t frame = int64_t{IndexOf(GetValue(0))} + m_offsetIndex;
    m_frame = static_cast<int32_t>(std::clamp<int64_t>(frame, 0, std::max(frames - 1, 0)));
}

void CTavPictureControl::Draw(CTavDrawInfo& info) {
    if (m_bitmapAcquired && info.Intersects(m_rect))
        m_bitmap->DrawState(info, {m_rect.left, m_rect.top}, m_frame);
}

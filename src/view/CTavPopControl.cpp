#include "view/CTavPopControl.h"

#include <algorithm>
#include <cstdio>

#include "entity/CTavStringTablePopupMenuUtility.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"
#include "view/ITavPopupMenu.h"
#include "view/TavSetValue.h"
#include "view/TavValueText.h"

namespace {

bool ParsePoint(const std::string& text, TavPoint& point) {
    long x = 0;
    long y = 0;
    if (std::sscanf(text.c_str(), "%li,%li", &x, &y) != 2)
        return false;
    point = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
    return true;
}

} // namespace

// --- CTavPopControl ---------------------------------------------------------------------

CTavPopControl::CTavPopControl() = default;
// The resource manager frees every image itself and may be gone before the views.
CTavPopControl::~CTavPopControl() = default;

bool CTavPopControl::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        const std::string& tag = it->first;
        const std::string& text = it->second;
        CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
        if (tag == "textPosition" || tag == "textSize" || tag == "buttonPosition") {
            TavPoint& point = tag == "textPosition" ? m_textPosition
                              : tag == "textSize"   ? m_textSize
                                                    : m_buttonPosition;
            // Not a pair: left as absent, for the kind to report when it needs it.
            if (!ParsePoint(text, point))
                point = {-1, -1};
        } else if (tag == "textWriterRef") {
            m_textWriter = resources ? resources->FindTextWriter(text) : nullptr;
            if (!m_textWriter)
                return ReportFailure("Unable to find text writer for pop control. : %s : %s\n", text);
        } else if (tag == "bitmapRef") {
            m_bitmap = resources ? resources->FindBitmap(text) : nullptr;
            if (!m_bitmap)
                return ReportFailure("Unable to find bitmap for pop control. : %s : %s\n", text);
        } else if (tag == "stringTableRef") {
            m_stringTable = resources ? resources->FindStringTable(text) : nullptr;
            // The full stop of this message is the full-width one (Shift_JIS 0x81 0x44).
            if (!m_stringTable)
                return ReportFailure("Unable to find string table for pop control\x81"
                                     "\x44: %s : %s\n",
                                     text);
        } else if (tag == "offsetValue") {
            long offset = 0;
            if (!TavScanLong(text, offset))
                return ReportFailure("Offset value is invalid for pop control. : %s : %s\n", text);
            m_offsetValue = static_cast<int32_t>(offset);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

bool CTavPopControl::Associate(CTavPanel* parent) {
    if (!CTavControl::Associate(parent))
        return false;
    if (!m_textWriter)
        return ReportFailure("There is no text writer reference for pop control. : %s\n");
    if (m_bitmap && !m_bitmapAcquired && !(m_bitmapAcquired = m_bitmap->Acquire()))
        return ReportFailure("Unable to create bitmap for pop control. : %s\n");
    const CTavValue* value = GetValue(0);
    if (m_stringTable && (!value || value->Kind() != kTavKindInteger))
        return ReportFailure(
            "Referred value type must be integer when string table is referred for pop control. : %s\n");
    SetRect(m_rect);
    return true;
}

void CTavPopControl::SetRect(const TavRect& rect) {
    CTavControl::SetRect(rect);
    // Without a text position or size the text takes the whole control.
    m_textRect = rect;
    if (m_textPosition.x >= 0 && m_textPosition.y >= 0) {
        m_textRect.left = rect.left + m_textPosition.x;
        m_textRect.top = rect.top + m_textPosition.y;
        m_textRect.right = m_textRect.left + (m_textSize.x >= 0 ? m_textSize.x : rect.Width());
        m_textRect.bottom = m_textRect.top + (m_textSize.y >= 0 ? m_textSize.y : rect.Height());
    }
    m_buttonRect = {};
    if (m_bitmapAcquired) {
        // Without a position the button sits in the top-right corner.
        const int32_t width = m_bitmap->StateWidth();
        const int32_t height = m_bitmap->StateHeight();
        const TavPoint at = m_buttonPosition.x >= 0 && m_buttonPosition.y >= 0
                                ? TavPoint{rect.left + m_buttonPosition.x, rect.top + m_buttonPosition.y}
                                : TavPoint{rect.right - width, rect.top};
        m_buttonRect = {at.x, at.y, at.x + width, at.y + height};
    }
}

std::string CTavPopControl::GetText() const {
    const CTavValue* value = GetValue(0);
    if (!value)
        return {};
    if (value->Kind() == kTavKindString)
        return value->GetText();
    if (m_stringTable)
        return TavTableText(*m_stringTable, value->GetPosition());
    return TavNumberText(int64_t{value->GetRaw()} + m_offsetValue);
}

void CTavPopControl::Refresh() {
    m_text = GetText();
}

void CTavPopControl::Draw(CTavDrawInfo& info) {
    if (m_textWriter && info.Intersects(m_textRect))
        m_textWriter->DrawText(info, m_textRect, m_text);
    if (m_bitmapAcquired && info.Intersects(m_buttonRect))
        m_bitmap->DrawState(info, {m_buttonRect.left, m_buttonRect.top}, m_pressed ? 1 : 0);
}

bool CTavPopControl::HitTest(TavPoint point) const {
    return CTavControl::HitTest(point) || m_textRect.Contains(point) || m_buttonRect.Contains(point);
}

bool CTavPopControl::OnMouse(const CTavMouseInfo& info) {
    if (info.kind != CTavMouseInfo::kPressed && info.kind != CTavMouseInfo::kDoubleClick)
        return false;
    if (!HitTest(info.point))
        return false;
    SetFocus(true);
    if (m_bitmapAcquired && !m_buttonRect.Contains(info.point) && !m_textRect.Contains(info.point))
        return false;
    PopPressed();
    return true;
}

bool CTavPopControl::OnKey(const CTavKeyInfo& info) {
    if (info.kind != CTavKeyInfo::kDown || !HasFocus())
        return false;
    const bool alt = (info.modifiers & kTavAlt) != 0;
    if (info.code == kTavKeyReturn || info.code == kTavKeySpace || info.code == kTavKeyF2 ||
        (alt && info.code == kTavKeyDown)) {
        m_poppedByKey = true;
        PopPressed();
        m_poppedByKey = false;
        // The keyboard stays where it was, unless the pop closed the control or sent the
        // focus elsewhere.
        if (IsOpen() && m_viewManager && !m_viewManager->FocusedView())
            SetFocus(true);
        return true;
    }
    if (info.code == kTavKeyEscape) {
        SetFocus(false);
        return true;
    }
    if (alt || info.code < kTavKeyUp || info.code > kTavKeyRight)
        return false;
    CTavWheelInfo wheel;
    wheel.point = {m_textRect.left + m_textRect.Width() / 2, m_textRect.top + m_textRect.Height() / 2};
    wheel.notches = info.code == kTavKeyUp || info.code == kTavKeyRight ? 1 : -1;
    OnWheel(wheel);
    return true;
}

TavPopupPosition CTavPopControl::PopupPosition() const {
    if (!m_poppedByKey)
        return TavPopupPosition::AtMouse();
    return TavPopupPosition::AtPoint(ToScreen({m_textRect.left, m_textRect.bottom}));
}

bool CTavPopControl::OnWheel(const CTavWheelInfo& info) {
    const CTavValue* value = GetValue(0);
    const int32_t count = OfferedCount();
    if (!HitTest(info.point) || !value || count <= 0 || info.notches == 0)
        return false;
    const int64_t index = std::clamp<int64_t>(int64_t{value->GetPosition()} + info.notches, 0, count - 1);
    SetValueIndex(0, static_cast<int32_t>(index));
    return true;
}

int32_t CTavPopControl::OfferedCount() const {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return 0;
    const int32_t count = TavValueCount(*value);
    return m_stringTable ? std::min(count, m_stringTable->Count()) : count;
}

void CTavPopControl::PopPressed() {
    m_pressed = true;
    Invalidate(m_bitmapAcquired ? &m_buttonRect : nullptr);
    Pop();
    m_pressed = false;
    Invalidate(m_bitmapAcquired ? &m_buttonRect : nullptr);
    SetFocus(false);
}

// --- CTavPopComboControl ----------------------------------------------------------------

namespace {

// A combo item without a string table: the index plus the offset.
class CIndexPrinter : public CTavStringTablePopupMenuUtility::IPrinter {
public:
    explicit CIndexPrinter(int32_t offset) : m_offset(offset) {}
    std::string Print(const int32_t& key) const override { return TavNumberText(int64_t{key} + m_offset); }

private:
    int32_t m_offset;
};

} // namespace

bool CTavPopComboControl::Configure(TavItems& items) {
    if (!CTavPopControl::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "divisionItemOffset") {
            ++it;
            continue;
        }
        long offset = 0;
        if (!TavScanLong(it->second, offset))
            return ReportFailure("Division item offset value is invalid for pop combo control. : %s : %s\n",
                                 it->second);
        m_divisionItemOffset = static_cast<int32_t>(offset);
        it = items.erase(it);
    }
    return true;
}

std::string CTavPopComboControl::GetText() const {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() == kTavKindString)
        return CTavPopControl::GetText();
    if (StringTable())
        return TavTableText(*StringTable(), value->GetPosition());
    return TavNumberText(int64_t{value->GetPosition()} + OffsetValue());
}

std::unique_ptr<CTavMenuItem> CTavPopComboControl::BuildMenu() const {
    using CUtility = CTavStringTablePopupMenuUtility;
    const int32_t count = std::min(OfferedCount(), kMaxItems);
    CUtility::CKeyIterator keys(0, count);
    std::unique_ptr<CUtility::IPrinter> printer;
    if (StringTable())
        printer = std::make_unique<CUtility::CElementItemPrinter>(*StringTable());
    else
        printer = std::make_unique<CIndexPrinter>(OffsetValue());
    CUtility::CElementItemCreator elements(std::move(printer));
    if (count <= kDivisionSize)
        return CUtility::CBuilder::Build(keys, {&elements});
    const std::vector<int32_t> divisionKeys = CUtility::EveryNthKey(kDivisionSize, count);
    CUtility::CDivisionItemCreator divisions(
        divisionKeys,
        std::make_unique<CUtility::CDivisionItemPrinter>(divisionKeys, nullptr, m_divisionItemOffset, 3));
    return CUtility::CBuilder::Build(keys, {&elements, &divisions});
}

void CTavPopComboControl::Pop() {
    ITavPopupMenu* popup = m_viewManager ? m_viewManager->PopupMenu() : nullptr;
    const CTavValue* value = GetValue(0);
    if (!popup || !value || OfferedCount() <= 0)
        return;
    const std::unique_ptr<CTavMenuItem> menu = BuildMenu();
    const int32_t chosen = popup->Show(*menu, value->GetPosition(), PopupPosition());
    if (chosen >= 0)
        SetIndex(chosen);
}

void CTavPopComboControl::SetIndex(int32_t index) {
    const int32_t count = OfferedCount();
    if (count > 0)
        SetValueIndex(0, std::clamp(index, 0, count - 1));
}

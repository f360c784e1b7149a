#include "view/CTavControl.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "app/CTavTextOut.h"
#include "app/TavClock.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "script/CTavTable.h"
#include "view/CTavKeyOperator.h"
#include "view/CTavTipBarOperator.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/TavValueText.h"

// --- CTavControl ------------------------------------------------------------------------

bool CTavControl::Configure(TavItems& items) {
    if (!CTavView::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "valueRef") {
            AddValueRef(it->second);
        } else if (it->first == "disableValueRef") {
            m_disablePath = it->second;
        } else if (it->first == "disableTableRef") {
            CTavResourceManager* resources = ViewManager() ? ViewManager()->ResourceManager() : nullptr;
            m_disableTable = resources ? resources->FindStringTable(it->second) : nullptr;
            if (!m_disableTable)
                return ReportFailure("Unable to find disable table for control. : %s : %s\n", it->second);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    if (m_disablePath.empty() != !m_disableTable)
        return ReportFailure("Disable table and disable value go together for control. : %s : %s\n",
                             m_disablePath);
    return true;
}

bool CTavControl::Associate(CTavPanel* parent) {
    // Added last, once every kind has taken its own references, so it moves none of theirs.
    if (!m_disablePath.empty() && m_disableRef < 0)
        m_disableRef = AddValueRef(m_disablePath);
    if (CTavView::Associate(parent))
        return true;
    if (CTavTextOut* errors = ErrorOutput())
        errors->Printf("Unable to create control %s.\n", Name().c_str());
    return false;
}

bool CTavControl::IsDisabled() const {
    if (!m_disableTable || m_disableRef < 0)
        return false;
    const CTavValue* value = GetValue(m_disableRef);
    if (!value)
        return false;
    const int32_t position = value->GetPosition();
    return position >= 0 && position < m_disableTable->Count() && m_disableTable->ElementAt(position) == "-";
}

bool CTavControl::OnValuesChanged(const CTavValueSet& changed) {
    if (!CTavView::OnValuesChanged(changed))
        return false;
    Refresh();
    if (ITavViewObserver* observer = Observer())
        observer->ControlChanged(*this);
    return true;
}

bool CTavControl::Open() {
    const bool resolved = ResolveValueRefs();
    Invalidate();
    CTavView::Open();
    Refresh();
    if (ITavViewObserver* observer = Observer())
        observer->ControlOpened(*this);
    return resolved;
}

bool CTavControl::Close() {
    if (ITavViewObserver* observer = IsOpen() ? Observer() : nullptr)
        observer->ControlClosing(*this);
    return CTavView::Close();
}

ITavViewObserver* CTavControl::Observer() const {
    return m_viewManager ? m_viewManager->ViewObserver() : nullptr;
}

bool CTavControl::SetValueIndex(int refIndex, int32_t index) {
    CTavValue* value = GetValue(refIndex);
    CTavBufferManager* buffers = BufferManager();
    return value && buffers && TavSetValueIndex(*buffers, *value, index);
}

bool CTavControl::SetValueInteger(int refIndex, int32_t raw) {
    CTavValue* value = GetValue(refIndex);
    CTavBufferManager* buffers = BufferManager();
    return value && buffers && TavSetValueInteger(*buffers, *value, raw);
}

bool CTavControl::SetDefaultIndex(int refIndex) {
    const CTavValue* value = GetValue(refIndex);
    return value && SetValueIndex(refIndex, value->Spec().PositionOfRaw(value->Spec().defaultValue));
}

bool CTavControl::WriteNearestRaw(int32_t raw) {
    const CTavValue* value = GetValue(0);
    if (!value)
        return false;
    const CTavIntegerTable* numbers = value->Spec().numberTable;
    if (!numbers)
        return SetValueInteger(0, raw);
    int32_t nearest = -1;
    int64_t distance = std::numeric_limits<int64_t>::max();
    for (int32_t position = 0; position < numbers->Count(); ++position) {
        const int64_t d = std::llabs(int64_t{numbers->ElementAt(position)} - raw);
        if (d < distance) {
            distance = d;
            nearest = position;
        }
    }
    return nearest >= 0 && SetValueIndex(0, nearest);
}

bool CTavControl::ClickByKey(const CTavKeyInfo& info, bool withReturn) {
    if (info.code != kTavKeySpace && !(withReturn && info.code == kTavKeyReturn))
        return false;
    CTavMouseInfo mouse;
    mouse.point = {m_rect.left + m_rect.Width() / 2, m_rect.top + m_rect.Height() / 2};
    mouse.modifiers = info.modifiers;
    if (info.kind == CTavKeyInfo::kDown) {
        // Held already (by the other key that clicks).
        if (m_captured)
            return true;
        mouse.kind = CTavMouseInfo::kPressed;
    } else {
        if (!m_captured)
            return false;
        mouse.kind = CTavMouseInfo::kReleased;
        mouse.forced = info.forced;
    }
    const bool hadFocus = HasFocus();
    OnMouse(mouse);
    if (hadFocus && IsOpen() && m_viewManager && !m_viewManager->FocusedView())
        SetFocus(true);
    return true;
}

ITavClock& CTavControl::Clock() const {
    return m_viewManager ? m_viewManager->Clock() : TavSystemClock();
}

ITavTipBar* CTavControl::TipBar() const {
    return m_viewManager ? m_viewManager->TipBar() : nullptr;
}

// --- CTavDragControl --------------------------------------------------------------------

CTavDragControl::CTavDragControl() = default;
CTavDragControl::~CTavDragControl() = default;

std::unique_ptr<CTavKeyOperator> CTavDragControl::CreateKeyOperator() {
    return nullptr;
}

std::unique_ptr<CTavTipBarOperator> CTavDragControl::CreateTipBarOperator() {
    return nullptr;
}

bool CTavDragControl::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    CTavTextOut* errors = ErrorOutput();
    auto fail = [this, errors](const char* format) {
        if (errors)
            errors->Printf(format, Path().c_str());
        return false;
    };
    m_keyOperator = CreateKeyOperator();
    if (m_keyOperator && !m_keyOperator->Configure(items))
        return fail("Unable to convert key operator for drag control. : %s\n");
    m_tipBarOperator = CreateTipBarOperator();
    if (m_tipBarOperator) {
        const int wanted = m_tipBarOperator->Configure(items);
        m_textOffset = m_tipBarOperator->OffsetValue();
        m_textTable = m_tipBarOperator->StringTable();
        switch (wanted) {
        case CTavTipBarOperator::kTipBarWanted:
            break;
        case CTavTipBarOperator::kTipBarNotWanted:
            m_tipBarOperator.reset();
            break;
        default:
            return fail("Unable to convert tip bar operator for drag control. : %s\n");
        }
    }
    return true;
}

bool CTavDragControl::Associate(CTavPanel* parent) {
    CTavTextOut* errors = ErrorOutput();
    auto fail = [this, errors](const char* format) {
        if (errors)
            errors->Printf(format, Path().c_str());
        return false;
    };
    if (!CTavControl::Associate(parent))
        return fail("Unable to create drag control. : %s\n");
    if (m_keyOperator && !m_keyOperator->Associate())
        return fail("Unable to create key operator for drag control. : %s\n");
    if (m_tipBarOperator && !m_tipBarOperator->Associate())
        return fail("Unable to create tip bar operator for drag control. : %s\n");
    return true;
}

bool CTavDragControl::OnMouse(const CTavMouseInfo& info) {
    if (!m_captured && !m_rect.Contains(info.point))
        return false;
    if (m_keyOperator)
        m_keyOperator->OnMouse(info);
    switch (info.kind) {
    case CTavMouseInfo::kDoubleClick:
        if (TakesTypedValue() && !(info.modifiers & kTavCtrl)) {
            // The first click's drag has normally ended already; a drag still running
            // ends here, so the box leaves nothing captured and the value unmoved.
            if (!HasFocus())
                SetFocus(true);
            if (m_captured) {
                Capture(false);
                EndDrag(info);
            }
            EditValue();
            return true;
        }
        [[fallthrough]];
    case CTavMouseInfo::kPressed:
        if (!HasFocus())
            SetFocus(true);
        Capture(true);
        BeginDrag(info);
        return true;
    case CTavMouseInfo::kMove:
        if (!m_captured)
            return false;
        Drag(info);
        return true;
    case CTavMouseInfo::kReleased:
        if (!m_captured)
            return false;
        Capture(false);
        EndDrag(info);
        if (!m_keyOperator)
            SetFocus(false);
        return true;
    }
    return false;
}

bool CTavDragControl::OnKey(const CTavKeyInfo& info) {
    if (m_keyOperator && m_keyOperator->OnKey(info))
        return true;
    if (info.kind != CTavKeyInfo::kDown || (info.code != kTavKeyReturn && info.code != kTavKeyF2) ||
        !TakesTypedValue() || !HasFocus())
        return false;
    EditValue();
    return true;
}

bool CTavDragControl::RunEditBox(const TavRect&, std::string&) {
    return false;
}

TavRect CTavDragControl::EditBoxRect() const {
    const int64_t width = std::max<int64_t>(m_rect.Width(), kEditBoxMinWidth);
    const int64_t left = m_rect.left + (int64_t{m_rect.Width()} - width) / 2;
    return {static_cast<int32_t>(left), m_rect.top, static_cast<int32_t>(left + width), m_rect.bottom};
}

bool CTavDragControl::EditValue() {
    const CTavValue* value = GetValue(0);
    if (!TakesTypedValue() || !value || value->Kind() != kTavKindInteger)
        return false;
    const TavRect box = EditBoxRect();
    const TavPoint topLeft = ToScreen({box.left, box.top});
    const TavPoint bottomRight = ToScreen({box.right, box.bottom});
    // A held arrow key must not go on stepping, nor the focus time out, while the box
    // runs: the key operator starts afresh once it has gone.
    if (m_keyOperator)
        m_keyOperator->SetFocus(false);
    std::string typed = ValueText();
    const bool confirmed = RunEditBox({topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, typed);
    if (m_keyOperator && HasFocus())
        m_keyOperator->SetFocus(true);
    return confirmed && SetTypedText(typed);
}

bool CTavDragControl::SetTypedText(std::string_view text) {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return false;
    if (m_textTable) {
        const std::optional<int32_t> index = TavTypedTableEntry(text, *m_textTable);
        const int32_t count = TavValueCount(*value);
        if (!index || count <= 0)
            return false;
        SetValueIndex(0, std::min(*index, count - 1));
        return true;
    }
    const CTavValueSpec& spec = value->Spec();
    const std::optional<int32_t> raw = TavTypedIntegerIfRead(text, m_textOffset, spec.minimum, spec.maximum);
    if (!raw)
        return false;
    WriteNearestRaw(*raw);
    return true;
}

std::string CTavDragControl::ValueText() const {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return {};
    if (m_textTable)
        return TavTableText(*m_textTable, value->GetPosition());
    return TavNumberText(int64_t{value->GetRaw()} + m_textOffset);
}

bool CTavDragControl::OnTimer(const CTavTimerInfo& info) {
    return m_keyOperator && m_keyOperator->OnTimer(info);
}

bool CTavDragControl::OnWheel(const CTavWheelInfo& info) {
    if (!m_rect.Contains(info.point) || !OnWheel(info.notches, info.modifiers))
        return false;
    // The wheel acts like the keys: the control takes the focus, so the tip bar shows the
    // value, and gives it up again after the key operator's time-out.
    if (m_keyOperator) {
        if (!HasFocus())
            SetFocus(true);
        m_keyOperator->OnWheel();
    }
    return true;
}

bool CTavDragControl::OnWheel(int notches, uint32_t modifiers) {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger || notches == 0)
        return false;
    const int32_t count = TavValueCount(*value);
    if (count <= 0)
        return false;
    int64_t step = 1;
    if (modifiers & kTavShift)
        step = std::min(count / 2, CTavSingleKeyOperator::kMaxShiftStep);
    const int64_t index = std::clamp<int64_t>(value->GetPosition() + step * notches, 0, count - 1);
    SetValueIndex(0, static_cast<int32_t>(index));
    return true;
}

void CTavDragControl::SetFocus(bool focus) {
    const bool had = HasFocus();
    CTavControl::SetFocus(focus);
    // A control that did not have the focus has nothing to give up (and must not hide a
    // tip bar another control is showing).
    if (focus ? !HasFocus() : !had)
        return;
    if (!focus && m_captured)
        Capture(false);
    if (m_keyOperator)
        m_keyOperator->SetFocus(focus);
    if (m_tipBarOperator)
        m_tipBarOperator->SetFocus(focus);
}

bool CTavDragControl::OnValuesChanged(const CTavValueSet& changed) {
    if (!CTavControl::OnValuesChanged(changed))
        return false;
    if (m_tipBarOperator)
        m_tipBarOperator->Refresh();
    return true;
}

void CTavDragControl::SetRect(const TavRect& rect) {
    CTavControl::SetRect(rect);
    Refresh();
}

bool CTavDragControl::AssociateValueControl(CTavPanel* parent, const std::string& kind, bool needsRange) {
    auto fail = [this](const std::string& format) { return ReportFailure(format.c_str()); };
    if (!CTavDragControl::Associate(parent))
        return fail("Unable to create " + kind + ". : %s\n");
    if (m_valueRefs.empty())
        return fail("Value references are necessary for " + kind + ". : %s.\n");
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return fail("Referred value must be integer for " + kind + ". : %s\n");
    if (needsRange && TavValueCount(*value) <= 1)
        return fail("Referred value range must be greater than 1 for " + kind + ". : %s\n");
    return true;
}

int32_t CTavDragControl::MainValueCount() const {
    const CTavValue* value = GetValue(0);
    return value ? TavValueCount(*value) : 0;
}

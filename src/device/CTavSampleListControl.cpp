#include "device/CTavSampleListControl.h"

#include <cstdio>

#include "device/CTavBufferAccessor.h"
#include "device/TavControlCatalog.h"
#include "device/TavDeviceControlValues.h"
#include "device/TavSelectorText.h"
#include "entity/CTavEntityManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/CTavViewManager.h"

namespace Brio {

namespace {

constexpr const char* kSelectStatePath = "vs.sampleEdit.view.sampleSelectState";

CTavSampleEditor& Editor() {
    return CTavBufferAccessor::Instance().SampleEditor();
}

} // namespace

CTavSampleListControl::~CTavSampleListControl() {
    if (m_registered)
        Editor().RemoveSampleList(this);
}

bool CTavSampleListControl::Configure(TavItems& items) {
    if (!CTavListControl::Configure(items))
        return false;
    TavTakeValueRefs(items, *this, {{"waveGroupIDValueRef", &m_groupRef}, {"entityModifyValueRef", &m_modifyRef}});
    if (m_groupRef < 0)
        return ReportFailure("There is no wave group value reference for sample list control. : %s\n");
    return true;
}

bool CTavSampleListControl::Associate(CTavPanel* parent) {
    if (!CTavListControl::Associate(parent))
        return ReportFailure("Unable to create sample list control. : %s\n");
    if (!TavAreIntegers(*this, {m_groupRef, m_modifyRef}))
        return ReportFailure("Referred value must be integer for sample list control. : %s\n");
    // Optional: a script without the sample edit state still has a working list.
    CTavBufferManager* buffers = BufferManager();
    m_selectState = buffers ? buffers->FindValue(kSelectStatePath) : nullptr;
    return true;
}

bool CTavSampleListControl::Open() {
    m_builtGroup = m_builtMark = -1; // rows as the catalog stands now
    m_shownRow = -1;
    const bool opened = CTavListControl::Open();
    Editor().AddSampleList(this);
    m_registered = true;
    return opened;
}

bool CTavSampleListControl::Close() {
    Editor().RemoveSampleList(this);
    m_registered = false;
    return CTavListControl::Close();
}

CTavEntityId CTavSampleListControl::Bank() const {
    return TavWaveGroupBank(TavWaveGroupOf(TavEntityType::Sample, TavRawOf(GetValue(m_groupRef))));
}

void CTavSampleListControl::Rebuild() {
    const CTavEntityId bank = Bank();
    const int32_t count = bank.type >= 0 ? TavControlCatalog().Count(bank) : 0;
    SetRowRange(1, count - 1);
    // The window and current row stay where the new rows allow.
    SetFirstVisibleAndCurrentRow(FirstVisibleRow(), CurrentRow());
}

void CTavSampleListControl::Refresh() {
    m_generation = TavControlCatalog().Generation();
    const int32_t group = TavRawOf(GetValue(m_groupRef));
    const int32_t mark = m_modifyRef >= 0 ? TavRawOf(GetValue(m_modifyRef)) : 0;
    if (group != m_builtGroup || mark != m_builtMark) {
        // Set first: the rows' write refreshes the list again.
        m_builtGroup = group;
        m_builtMark = mark;
        Rebuild();
    }
    CTavListControl::Refresh();
}

bool CTavSampleListControl::OnTimer(const CTavTimerInfo& info) {
    if (CTavListControl::OnTimer(info))
        return true;
    if (IsOpen() && TavControlCatalog().Generation() != m_generation) {
        Refresh();
        Invalidate();
    }
    // Showing a sample asks the device for it: done from the timer, outside the value
    // change that moved the row, and not for every row a held key passes.
    const int32_t row = CurrentRow();
    if (IsOpen() && !IsCaptured() && !IsRepeating() && row != m_shownRow && row >= FirstRow() && row <= LastRow() &&
        Editor().CanExchange()) {
        m_shownRow = row;
        Editor().ShowSample(TavRawOf(GetValue(m_groupRef)), row);
    }
    return false;
}

void CTavSampleListControl::Resync() {
    m_builtGroup = m_builtMark = -1;
    Refresh();
    CTavListControl::ClearSelection();
    SetFirstVisibleAndCurrentRow(FirstRow(), FirstRow());
}

std::vector<int32_t> CTavSampleListControl::SelectedSamples() const {
    return {Selection().begin(), Selection().end()};
}

void CTavSampleListControl::OnSelectionChanged() {
    if (!m_selectState)
        return;
    const size_t selected = Selection().size();
    if (CTavBufferManager* buffers = BufferManager())
        TavWriteLimited(*buffers, {{m_selectState, selected == 0 ? 0 : selected == 1 ? 1 : 2}});
}

bool CTavSampleListControl::RowTexts(int32_t row, std::vector<std::string>& texts) const {
    CTavEntityId entry = Bank();
    if (entry.type < 0)
        return false;
    entry.number = row;
    char number[16];
    const char area = entry.bank == 0 ? 'U' : entry.bank == 1 ? 'C' : ' ';
    std::snprintf(number, sizeof number, "%c%04d", area, static_cast<int>(row));
    texts = {number};
    const auto* sample = dynamic_cast<const CTavSampleInformation*>(&TavControlCatalog().InformationOf(entry));
    if (!sample || sample->IsNull())
        return true;
    const char* mark = nullptr;
    switch (sample->Kind()) {
    case TavSampleKind::Mono: mark = "M"; break;
    case TavSampleKind::StereoLeft: mark = "L"; break;
    case TavSampleKind::StereoRight: mark = "R"; break;
    default: return true; // no sample here
    }
    texts.push_back(sample->Kind() == TavSampleKind::StereoRight ? std::string() : sample->Name());
    texts.emplace_back(mark);
    texts.push_back(std::to_string(sample->Size()));
    return true;
}

// --- CTavSampleViewGroupButton ---------------------------------------------------------

void CTavSampleViewGroupButton::OnRelease(const CTavMouseInfo& info) {
    CTavLatchButton::OnRelease(info);
    if (!ReleasedInside(info))
        return;
    // A copy: a list may close (and leave the editor's list) while it resynchronises.
    const std::vector<ITavSampleList*> lists = Editor().SampleLists();
    for (ITavSampleList* list : lists)
        list->Resync();
}

} // namespace Brio

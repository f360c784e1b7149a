#include "device/CTavWaveIndexSelectControl.h"

#include <algorithm>

#include "device/CTavEntitySelector.h"
#include "device/TavControlCatalog.h"
#include "device/TavDeviceControlValues.h"
#include "entity/CTavEntityManager.h"
#include "model/CTavValue.h"
#include "view/CTavViewManager.h"
#include "view/ITavPopupMenu.h"

namespace Brio {

namespace {

using CUtility = CTavEntitySelectionPopupMenuUtility;

CTavEntityId EntryOf(TavWaveGroup group, int32_t number) {
    CTavEntityId id = TavWaveGroupBank(group);
    id.number = number;
    return id;
}

} // namespace

CTavWaveIndexSelectControl::CTavWaveIndexSelectControl() = default;
CTavWaveIndexSelectControl::~CTavWaveIndexSelectControl() = default;

bool CTavWaveIndexSelectControl::Configure(TavItems& items) {
    if (!CTavPopControl::Configure(items))
        return false;
    TavTakeValueRefs(items, *this,
                     {{"waveGroupTypeValueRef", &m_typeRef},
                      {"waveGroupIDValueRef", &m_idRef},
                      {"entityModifyValueRef", &m_modifyRef},
                      {"complementValueRef", &m_complementRef}});
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "complementDirection") {
            ++it;
            continue;
        }
        long direction = 0;
        if (!TavScanLong(it->second, direction) || (direction != 1 && direction != -1))
            return ReportFailure("Complement direction is invalid for wave index select. : %s :%s\n", it->second);
        m_direction = static_cast<int32_t>(direction);
        it = items.erase(it);
    }
    if (m_typeRef < 0 || m_idRef < 0)
        return ReportFailure("There is no value reference for wave index select. : %s\n");
    return true;
}

bool CTavWaveIndexSelectControl::Associate(CTavPanel* parent) {
    if (!CTavPopControl::Associate(parent))
        return ReportFailure("Unable to create wave index select. : %s\n");
    if (!TavAreIntegers(*this, {0, m_typeRef, m_idRef, m_complementRef}))
        return ReportFailure("Referred value must be integer for wave index select. : %s\n");
    return true;
}

TavWaveGroup CTavWaveIndexSelectControl::Group() const {
    return TavWaveGroupOf(TavRawOf(GetValue(m_typeRef)), TavRawOf(GetValue(m_idRef)));
}

CTavWaveIndexSelectControl::CMenuKey CTavWaveIndexSelectControl::CurrentKey() const {
    return {Group(), m_modifyRef >= 0 ? TavRawOf(GetValue(m_modifyRef)) : -1, TavControlCatalog().Generation()};
}

void CTavWaveIndexSelectControl::Refresh() {
    m_generation = TavControlCatalog().Generation();
    if (m_menu && !(CurrentKey() == m_menuKey))
        m_menu.reset();
    CTavPopControl::Refresh();
}

std::string CTavWaveIndexSelectControl::GetText() const {
    return TavWaveIndexText(TavControlCatalog(), Group(), TavRawOf(GetValue(0), 0));
}

const CUtility::CEntityMenu& CTavWaveIndexSelectControl::Menu() {
    const CMenuKey key = CurrentKey();
    if (m_menu && key == m_menuKey)
        return *m_menu;
    m_menuKey = key;
    m_menu = std::make_unique<CUtility::CEntityMenu>();
    const CTavEntityId bank = TavWaveGroupBank(key.group);
    if (bank.type < 0)
        return *m_menu;
    CTavEntitySelector::CIterator sources(TavControlCatalog(), std::span(&bank, 1));
    // Numbers count from 0, the "Off" entry.
    CUtility::CEntityItemCreator entries(std::make_unique<CTavEntitySelector::CWaveItemPrinter>(0));
    CUtility::CDivisionItemCreator blocksOf32(32, 0);
    CUtility::CDivisionItemCreator blocksOf1024(1024, 0);
    *m_menu = CUtility::Build(sources, {&entries, &blocksOf32, &blocksOf1024});
    return *m_menu;
}

void CTavWaveIndexSelectControl::Pop() {
    ITavPopupMenu* popup = m_viewManager ? m_viewManager->PopupMenu() : nullptr;
    if (!popup)
        return;
    const TavWaveGroup group = Group();
    const CTavEntityId chosen = CTavEntitySelector::Choose(Menu(), EntryOf(group, TavRawOf(GetValue(0))), *popup,
                                                           PopupPosition());
    if (chosen.IsValid())
        SetNumber(chosen.number);
}

bool CTavWaveIndexSelectControl::OnWheel(const CTavWheelInfo& info) {
    const CTavValue* value = GetValue(0);
    if (!HitTest(info.point) || !value || info.notches == 0)
        return false;
    SetNumber(static_cast<int32_t>(std::clamp<int64_t>(int64_t{value->GetRaw()} + info.notches,
                                                       value->Spec().minimum, value->Spec().maximum)));
    return true;
}

bool CTavWaveIndexSelectControl::OnTimer(const CTavTimerInfo&) {
    if (IsOpen() && TavControlCatalog().Generation() != m_generation) {
        Refresh();
        Invalidate();
    }
    return false;
}

bool CTavWaveIndexSelectControl::SetNumber(int32_t number) {
    CTavBufferManager* buffers = BufferManager();
    CTavValue* value = GetValue(0);
    if (!buffers || !value)
        return false;
    number = std::clamp(number, value->Spec().minimum, value->Spec().maximum);
    TavIntegerWrites writes{{value, number}};
    const auto* sample = dynamic_cast<const CTavSampleInformation*>(
        &TavControlCatalog().InformationOf(EntryOf(Group(), number)));
    if (m_complementRef >= 0 && sample && !sample->IsNull()) {
        const int32_t partnerKind = m_direction > 0 ? TavSampleKind::StereoLeft : TavSampleKind::StereoRight;
        if (sample->Kind() == partnerKind)
            writes.emplace_back(GetValue(m_complementRef), number + m_direction);
    }
    return TavWriteLimited(*buffers, writes);
}

} // namespace Brio

#include "device/CTavWaveGroupSelectControl.h"

#include "device/TavControlCatalog.h"
#include "device/TavDeviceControlValues.h"
#include "entity/CTavEntityManager.h"
#include "model/CTavValue.h"
#include "view/CTavViewManager.h"
#include "view/ITavPopupMenu.h"

namespace Brio {

bool CTavWaveGroupSelectControl::Configure(TavItems& items) {
    if (!CTavPopControl::Configure(items))
        return false;
    TavTakeValueRefs(items, *this,
                     {{"waveGroupTypeValueRef", &m_typeRef},
                      {"waveGroupIDValueRef", &m_idRef},
                      {"waveNumberLValueRef", &m_numberLRef},
                      {"waveNumberRValueRef", &m_numberRRef}});
    if (m_typeRef < 0 || m_idRef < 0)
        return ReportFailure("There is no value reference for wave group select. : %s\n");
    return true;
}

bool CTavWaveGroupSelectControl::Associate(CTavPanel* parent) {
    if (!CTavPopControl::Associate(parent))
        return ReportFailure("Unable to create wave group select. : %s\n");
    if (!TavAreIntegers(*this, {m_typeRef, m_idRef, m_numberLRef, m_numberRRef}))
        return ReportFailure("Referred value must be integer for wave group select. : %s\n");
    return true;
}

TavWaveGroup CTavWaveGroupSelectControl::Group() const {
    return TavWaveGroupOf(TavRawOf(GetValue(m_typeRef)), TavRawOf(GetValue(m_idRef)));
}

std::string CTavWaveGroupSelectControl::GetText() const {
    return TavWaveGroupText(Group());
}

std::unique_ptr<CTavMenuItem> CTavWaveGroupSelectControl::BuildMenu() {
    auto menu = CTavMenuItem::Submenu({});
    menu->Append(std::make_unique<CTavMenuItem>("INTERNAL")).SetLeafIndex(0);
    CTavMenuItem& samples = menu->Append(CTavMenuItem::Submenu("SAMPLE"));
    samples.Append(std::make_unique<CTavMenuItem>("USER")).SetLeafIndex(1);
    samples.Append(std::make_unique<CTavMenuItem>("CARD")).SetLeafIndex(2);
    return menu;
}

void CTavWaveGroupSelectControl::Pop() {
    ITavPopupMenu* popup = m_viewManager ? m_viewManager->PopupMenu() : nullptr;
    if (!popup)
        return;
    const int32_t chosen =
        popup->Show(*BuildMenu(), static_cast<int32_t>(Group()), PopupPosition());
    if (chosen >= 0)
        SetGroup(static_cast<TavWaveGroup>(chosen));
}

bool CTavWaveGroupSelectControl::SetGroup(TavWaveGroup group) {
    CTavBufferManager* buffers = BufferManager();
    if (!buffers || group == TavWaveGroup::None || group == Group())
        return false;
    const CTavWaveGroupValues values = TavWaveGroupValuesOf(group);
    TavIntegerWrites writes{{GetValue(m_typeRef), values.type}, {GetValue(m_idRef), values.id}};
    // A number past the new bank's last entry would name nothing there.
    const int32_t count = TavControlCatalog().Count(TavWaveGroupBank(group));
    for (int ref : {m_numberLRef, m_numberRRef}) {
        CTavValue* number = ref >= 0 ? GetValue(ref) : nullptr;
        if (number && count > 0 && number->GetRaw() >= count)
            writes.emplace_back(number, count - 1);
    }
    return TavWriteLimited(*buffers, writes);
}

} // namespace Brio

#include "device/CTavMfxSelectCombo.h"

#include "device/CTavEntitySelector.h"
#include "device/TavControlCatalog.h"
#include "device/TavDeviceControlValues.h"
#include "device/TavSelectorText.h"
#include "entity/CTavEntityManager.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "script/CTavTable.h"
#include "view/CTavViewManager.h"
#include "view/ITavPopupMenu.h"
#include "view/TavSetValue.h"

namespace Brio {

namespace {

using CUtility = CTavEntitySelectionPopupMenuUtility;

class CMfxItemPrinter : public CUtility::IPrinter {
public:
    std::string Print(const CUtility::IMenuItemSource& item) const override {
        return TavMfxText(item.EntityId().number, item.Name());
    }
};

CTavEntityId EffectType(int32_t number) {
    CTavEntityId id = kTavMfxBank;
    id.number = number;
    return id;
}

} // namespace

bool CTavMfxSelectCombo::Associate(CTavPanel* parent) {
    if (!CTavPopControl::Associate(parent))
        return ReportFailure("Unable to create mfx select combo. : %s\n");
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return ReportFailure("Referred value must be integer for mfx select combo. : %s\n");
    CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
    m_categories = resources ? resources->FindStringTable("mfxCategoryTable") : nullptr;
    return true;
}

void CTavMfxSelectCombo::Refresh() {
    m_enabled = m_categories && m_categories->Count() > 0 && TavControlCatalog().Count(kTavMfxBank) > 0;
    CTavPopControl::Refresh();
}

std::string CTavMfxSelectCombo::GetText() const {
    return TavMfxText(TavControlCatalog(), TavRawOf(GetValue(0), 0));
}

bool CTavMfxSelectCombo::OnMouse(const CTavMouseInfo& info) {
    return m_enabled && CTavPopControl::OnMouse(info);
}

bool CTavMfxSelectCombo::OnKey(const CTavKeyInfo& info) {
    return m_enabled && CTavPopControl::OnKey(info);
}

bool CTavMfxSelectCombo::OnWheel(const CTavWheelInfo& info) {
    return m_enabled && CTavPopControl::OnWheel(info);
}

CUtility::CEntityMenu CTavMfxSelectCombo::BuildMenu() const {
    if (!m_categories)
        return {};
    CTavEntitySelector::CIterator sources(TavControlCatalog(), std::span(&kTavMfxBank, 1));
    const int32_t buckets = m_categories->Count();
    CUtility::CCategorizedEntityItemCreator types(std::make_unique<CMfxItemPrinter>(), buckets);
    CUtility::CCategoryItemCreator categories(std::make_unique<CTavEntitySelector::CCategoryItemPrinter>(m_categories),
                                              buckets);
    return CUtility::Build(sources, {&types, &categories});
}

void CTavMfxSelectCombo::Pop() {
    ITavPopupMenu* popup = m_viewManager ? m_viewManager->PopupMenu() : nullptr;
    CTavValue* value = GetValue(0);
    CTavBufferManager* buffers = BufferManager();
    if (!m_enabled || !popup || !value || !buffers)
        return;
    const CTavEntityId chosen = CTavEntitySelector::Choose(BuildMenu(), EffectType(TavRawOf(value)), *popup,
                                                           PopupPosition());
    if (chosen.IsValid())
        TavWriteLimited(*buffers, {{value, chosen.number}});
}

} // namespace Brio

#include "device/CTavEntitySelector.h"

#include <cstdio>

#include "script/CTavTable.h"

namespace Brio {

namespace {

using CUtility = CTavEntitySelectionPopupMenuUtility;

constexpr const char* kNoName = "------------";
constexpr const char* kEmptySample = "Empty";

bool IsSampleBank(int32_t bank) {
    return bank == CTavEntitySelector::kUserSampleBank || bank == CTavEntitySelector::kCardSampleBank;
}

// "%3d: " of the number plus an offset.
std::string Numbered(int32_t number, int32_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "%3d: ", number + offset);
    return text;
}

// The category's name, or empty beyond the table or without one.
std::string CategoryName(const CTavStringTable* categories, int32_t category) {
    if (!categories || category < 0 || category >= categories->Count())
        return {};
    return categories->ElementAt(category);
}

const char* BankName(int32_t bank) {
    switch (bank) {
    case CTavEntitySelector::kUserBank: return "User";
    case CTavEntitySelector::kCardBank: return "Card";
    case CTavEntitySelector::kUserSampleBank: return "User Sample";
    case CTavEntitySelector::kCardSampleBank: return "Card Sample";
    default: return "";
    }
}

// The bank's name, with the letter of the bank (or its number past Z) when its user or
// card area holds several.
std::string BankLabel(const CTavEntityId& id, const CTavEntitySelector::CAreaBankCount& areaBankCount) {
    std::string text = BankName(id.bank);
    const bool lettered = id.bank == CTavEntitySelector::kUserBank || id.bank == CTavEntitySelector::kCardBank;
    if (!lettered || !areaBankCount || areaBankCount(id.type, id.bank) <= 1)
        return text;
    char letter[16];
    if (id.subBank >= 0 && id.subBank < 26)
        std::snprintf(letter, sizeof letter, " %c", static_cast<char>('A' + id.subBank));
    else
        std::snprintf(letter, sizeof letter, " %d", id.subBank + 1);
    return text + letter;
}

} // namespace

std::string CTavEntitySelector::CTypeItemPrinter::Print(const IMenuItemSource& item) const {
    switch (item.EntityId().type) {
    case TavEntityType::Patch: return "Patch";
    case TavEntityType::RhythmSet: return "Rhythm";
    default: return {};
    }
}

std::string CTavEntitySelector::CBankItemPrinter::Print(const IMenuItemSource& item) const {
    return BankLabel(item.EntityId(), m_areaBankCount);
}

std::string CTavEntitySelector::CCategoryItemPrinter::Print(const IMenuItemSource& item) const {
    const int32_t bank = item.EntityId().bank;
    if (IsSampleBank(bank))
        return BankName(bank);
    return CategoryName(m_categories, item.Category());
}

std::string CTavEntitySelector::CEntityItemPrinter::Print(const IMenuItemSource& item) const {
    const CTavEntityId id = item.EntityId();
    std::string name = item.Name();
    if (name.empty())
        name = IsSampleBank(id.bank) ? kEmptySample : kNoName;
    return Numbered(id.number, m_offset) + name;
}

std::string CTavEntitySelector::CWaveItemPrinter::Print(const IMenuItemSource& item) const {
    const CTavEntityId id = item.EntityId();
    std::string text = Numbered(id.number, m_offset) + item.Name();
    if (id.type == TavEntityType::Sample) {
        if (const auto* sample = dynamic_cast<const CTavSampleInformation*>(&item.Information())) {
            if (sample->Kind() == TavSampleKind::StereoLeft)
                text += " L";
            else if (sample->Kind() == TavSampleKind::StereoRight)
                text += " R";
        }
    }
    return text;
}

std::string CTavEntitySelector::CCategorizedEntityItemPrinter::Print(const IMenuItemSource& item) const {
    const CTavEntityId id = item.EntityId();
    std::string text;
    if (id.bank == kUserBank || id.bank == kCardBank || IsSampleBank(id.bank))
        text = BankLabel(id, m_areaBankCount) + ": ";
    text += Numbered(id.number, 1);
    const std::string name = item.Name();
    if (!IsSampleBank(id.bank)) {
        text += name.empty() ? kNoName : name;
        return text;
    }
    if (name.empty()) {
        text += kEmptySample;
    } else {
        char padded[16];
        std::snprintf(padded, sizeof padded, "%-12.12s", name.c_str());
        text += padded;
    }
    const int32_t category = item.Category();
    if (m_categories && category >= 0 && category < m_categories->Count())
        text += "\t(" + m_categories->ElementAt(category) + ")";
    return text;
}

int32_t CTavEntitySelector::FxBucket(const IMenuItemSource& item) {
    switch (item.EntityId().bank) {
    case kUserSampleBank: return kUserSampleBucket;
    case kCardSampleBank: return kCardSampleBucket;
    default: return item.Category();
    }
}

int32_t CTavEntitySelector::CFxCategoryItemCreator::Bucket(const IMenuItemSource& item) const {
    return FxBucket(item);
}

int32_t CTavEntitySelector::CFxCategorizedDivisionItemCreator::Bucket(const IMenuItemSource& item) const {
    return FxBucket(item);
}

int32_t CTavEntitySelector::CFxCategorizedEntityItemCreator::Bucket(const IMenuItemSource& item) const {
    return FxBucket(item);
}

CUtility::CEntityMenu CTavEntitySelector::BuildByBank(ISourceIterator& sources, const CAreaBankCount& areaBankCount) {
    CUtility::CEntityItemCreator entries(std::make_unique<CEntityItemPrinter>(1));
    CUtility::CDivisionItemCreator blocksOf32(32, 1);
    CUtility::CDivisionItemCreator blocksOf1024(1024, 1);
    CUtility::CBankItemCreator banks(std::make_unique<CBankItemPrinter>(areaBankCount));
    CUtility::CTypeItemCreator types(std::make_unique<CTypeItemPrinter>());
    return CUtility::Build(sources, {&entries, &blocksOf32, &blocksOf1024, &banks, &types});
}

CUtility::CEntityMenu CTavEntitySelector::BuildByCategory(ISourceIterator& sources,
                                                          const CTavStringTable* categories,
                                                          const CAreaBankCount& areaBankCount) {
    CFxCategorizedEntityItemCreator entries(std::make_unique<CCategorizedEntityItemPrinter>(categories, areaBankCount));
    CFxCategorizedDivisionItemCreator blocks;
    CFxCategoryItemCreator buckets(std::make_unique<CCategoryItemPrinter>(categories));
    return CUtility::Build(sources, {&entries, &blocks, &buckets});
}

CTavEntityId CTavEntitySelector::Choose(const CUtility::CEntityMenu& menu, const CTavEntityId& current,
                                        ITavPopupMenu& popup, const TavPopupPosition& position) {
    if (!menu.menu || menu.entities.empty())
        return CTavEntityId::Invalid();
    return menu.EntityAt(popup.Show(*menu.menu, menu.LeafIndexOf(current), position));
}

CTavEntityId CTavEntitySelector::SelectByBank(ISourceIterator& sources, const CTavEntityId& current,
                                              ITavPopupMenu& popup, const CAreaBankCount& areaBankCount,
                                              const TavPopupPosition& position) {
    return Choose(BuildByBank(sources, areaBankCount), current, popup, position);
}

CTavEntityId CTavEntitySelector::SelectByCategory(ISourceIterator& sources, const CTavEntityId& current,
                                                  ITavPopupMenu& popup, const CTavStringTable* categories,
                                                  const CAreaBankCount& areaBankCount,
                                                  const TavPopupPosition& position) {
    return Choose(BuildByCategory(sources, categories, areaBankCount), current, popup, position);
}

// ---- Catalog sources ----------------------------------------------------------------

CTavEntityId CTavEntitySelector::CMenuItemSource::EntityId() const {
    return m_reference ? m_reference->EntityId() : CTavEntityId::Invalid();
}

const IInformation& CTavEntitySelector::CMenuItemSource::Information() const {
    if (!m_reference)
        return CNullCategoryInformation::Instance();
    return m_reference->Information();
}

CTavEntitySelector::CIterator::CIterator(const CTavEntityManager& entities,
                                         std::span<const CTavEntityId> patterns)
    : m_entities(entities), m_patterns(patterns) {
    EnterPattern();
}

void CTavEntitySelector::CIterator::EnterPattern() {
    m_reference.reset();
    while (m_next < m_patterns.size()) {
        auto reference = m_entities.Reference(m_patterns[m_next++]);
        if (reference->IsValid()) {
            m_reference = std::move(reference);
            break;
        }
    }
    m_source.Attach(m_reference.get());
}

const CUtility::IMenuItemSource* CTavEntitySelector::CIterator::Current() const {
    return m_reference ? &m_source : nullptr;
}

void CTavEntitySelector::CIterator::Advance() {
    if (m_reference && !m_reference->Next())
        EnterPattern();
}

CTavEntitySelector::CAreaBankCount CTavEntitySelector::AreaBankCountOf(const CTavEntityManager& entities) {
    return [&entities](int32_t type, int32_t bank) {
        return entities.CountBanks({type, bank, TavWildcard, TavWildcard});
    };
}

} // namespace Brio

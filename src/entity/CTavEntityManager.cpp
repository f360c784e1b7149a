#include "entity/CTavEntityManager.h"

#include <limits>

// ---- Inserters ------------------------------------------------------------------------

CTavEntityManager::CInserter::CInserter(IBank& bank, uint32_t* generation)
    : m_bank(bank), m_generation(generation) {
    Touch();
    m_bank.Informations().Clear();
    if (m_bank.ProgramIds().IsRandom())
        m_bank.ProgramIds().Clear();
}

bool CTavEntityManager::CInserter::IsFull() const {
    return m_bank.Informations().Stored() >= m_bank.Count();
}

bool CTavEntityManager::CInserter::Insert(const CTavProgramId& id, const IInformation& information) {
    Touch();
    IProgramIdMapper& programs = m_bank.ProgramIds();
    if (programs.IsRandom())
        return programs.PushBack(id) && m_bank.Informations().PushBack(information);
    const int32_t index = programs.IndexOf(id);
    return index >= 0 && m_bank.Informations().Insert({index, information});
}

bool CTavEntityManager::CInserter::Insert(const CReference& reference, const IInformation& information) {
    Touch();
    const int32_t index = m_bank.EntityIds().IndexOf(reference.EntityId());
    return index >= 0 && m_bank.Informations().Insert({index, information});
}

bool CTavEntityManager::CInserter::PushBack(const IInformation& information) {
    Touch();
    return m_bank.Informations().PushBack(information);
}

void CTavEntityManager::CInserter::Fill(const IInformation& information) {
    Touch();
    m_bank.Informations().Fill(information);
}

// ---- Reference ------------------------------------------------------------------------

CTavEntityManager::CReference::CReference(const CTavEntityManager& manager, const CTavEntityId& pattern)
    : m_manager(manager), m_pattern(pattern) {
    Enter(manager.m_banks.begin());
}

// Takes the first bank from the iterator on that matches the pattern.
bool CTavEntityManager::CReference::Enter(
    std::map<CTavEntityId, std::unique_ptr<IBank>>::const_iterator from) {
    m_bank = nullptr;
    m_index = -1;
    for (auto it = from; it != m_manager.m_banks.end(); ++it) {
        IBank& bank = *it->second;
        if (!bank.EntityIds().Matches(m_pattern))
            continue;
        const int32_t index = m_pattern.number == TavWildcard ? 0 : m_pattern.number - it->first.number;
        if (index < 0 || index >= bank.Count())
            continue;
        m_bank = &bank;
        m_key = it->first;
        m_index = index;
        return true;
    }
    return false;
}

bool CTavEntityManager::CReference::Next() {
    if (!m_bank)
        return false;
    if (m_pattern.number == TavWildcard && m_index + 1 < m_bank->Count()) {
        ++m_index;
        return true;
    }
    const bool walksBanks =
        m_pattern.type == TavWildcard || m_pattern.bank == TavWildcard || m_pattern.subBank == TavWildcard;
    if (!walksBanks) {
        m_bank = nullptr;
        m_index = -1;
        return false;
    }
    return Enter(m_manager.m_banks.upper_bound(m_key));
}

CTavEntityId CTavEntityManager::CReference::EntityId() const {
    return m_bank ? m_bank->EntityIds().EntityIdAt(m_index) : CTavEntityId::Invalid();
}

CTavProgramId CTavEntityManager::CReference::ProgramId() const {
    return m_bank ? m_bank->ProgramIds().ProgramIdAt(m_index) : CTavProgramId::Invalid();
}

const IInformation& CTavEntityManager::CReference::Information() const {
    if (!m_bank)
        return CNullCategoryInformation::Instance();
    return m_bank->Informations().InformationAt(m_index);
}

// ---- Manager --------------------------------------------------------------------------

bool CTavEntityManager::AddBank(std::unique_ptr<IBank> bank) {
    if (!bank)
        return false;
    const CTavEntityId key = bank->EntityIds().First();
    ++m_generation;
    return m_banks.emplace(key, std::move(bank)).second;
}

void CTavEntityManager::RemoveBanks(const CTavEntityId& id) {
    ++m_generation;
    // Every sub bank of the type and bank; a wildcard there names no bank to remove.
    if (id.type == TavWildcard || id.bank == TavWildcard)
        return;
    const auto [first, last] = BanksFor({id.type, id.bank, TavWildcard, TavWildcard});
    m_banks.erase(first, last);
}

int32_t CTavEntityManager::CountBanks(const CTavEntityId& pattern) const {
    int32_t count = 0;
    const auto [first, last] = BanksFor(pattern);
    for (auto at = first; at != last; ++at)
        if (at->second->EntityIds().Matches(pattern))
            ++count;
    return count;
}

CTavEntityManager::BankRange CTavEntityManager::BanksFor(const CTavEntityId& id) const {
    // A bank is keyed by its first entity ID and holds IDs of that type, bank and sub bank
    // only, so the fields the ID fixes narrow the search to neighbouring keys.
    constexpr int32_t lowest = std::numeric_limits<int32_t>::min();
    constexpr int32_t highest = std::numeric_limits<int32_t>::max();
    if (id.type == TavWildcard || id.bank == TavWildcard)
        return {m_banks.begin(), m_banks.end()};
    if (id.subBank == TavWildcard)
        return {m_banks.lower_bound({id.type, id.bank, lowest, lowest}),
                m_banks.upper_bound({id.type, id.bank, highest, highest})};
    return {m_banks.lower_bound({id.type, id.bank, id.subBank, lowest}),
            m_banks.upper_bound({id.type, id.bank, id.subBank, highest})};
}

CTavEntityManager::IBank* CTavEntityManager::FirstMatch(const CTavEntityId& id) const {
    const auto [first, last] = BanksFor(id);
    for (auto at = first; at != last; ++at)
        if (at->second->EntityIds().Matches(id))
            return at->second.get();
    return nullptr;
}

CTavEntityManager::IBank* CTavEntityManager::Find(const CTavEntityId& id, int32_t& index) const {
    index = -1;
    if (id.type == TavWildcard || id.bank == TavWildcard || id.subBank == TavWildcard)
        return nullptr; // an exact ID only
    const auto [first, last] = BanksFor(id);
    for (auto at = first; at != last; ++at) {
        index = at->second->EntityIds().IndexOf(id);
        if (index >= 0)
            return at->second.get();
    }
    index = -1;
    return nullptr;
}

std::unique_ptr<CTavEntityManager::IInserter> CTavEntityManager::InserterFor(const CTavEntityId& id) {
    if (IBank* bank = FirstMatch(id))
        return std::make_unique<CInserter>(*bank, &m_generation);
    return std::make_unique<CNullInserter>();
}

bool CTavEntityManager::SetCount(const CTavEntityId& id, int32_t count) {
    IBank* bank = FirstMatch(id);
    if (!bank || count < 0)
        return false;
    ++m_generation;
    bank->SetCount(count);
    return true;
}

int32_t CTavEntityManager::Count(const CTavEntityId& id) const {
    const IBank* bank = FirstMatch(id);
    return bank ? bank->Count() : 0;
}

CTavProgramId CTavEntityManager::ProgramIdOf(const CTavEntityId& id) const {
    int32_t index = -1;
    IBank* bank = Find(id, index);
    return bank ? bank->ProgramIds().ProgramIdAt(index) : CTavProgramId::Invalid();
}

CTavEntityId CTavEntityManager::EntityIdOf(const CTavProgramId& id) const {
    if (!id.IsValid())
        return CTavEntityId::Invalid();
    for (const auto& [key, bank] : m_banks) {
        const int32_t index = bank->ProgramIds().IndexOf(id);
        if (index >= 0)
            return bank->EntityIds().EntityIdAt(index);
    }
    return CTavEntityId::Invalid();
}

const IInformation& CTavEntityManager::InformationOf(const CTavEntityId& id) const {
    int32_t index = -1;
    IBank* bank = Find(id, index);
    return bank ? bank->Informations().InformationAt(index) : CNullCategoryInformation::Instance();
}

bool CTavEntityManager::SetInformation(const CTavEntityId& id, const IInformation& information) {
    int32_t index = -1;
    IBank* bank = Find(id, index);
    ++m_generation;
    return bank && bank->Informations().Insert({index, information});
}

#include "entity/CTavEntityMappers.h"

#include <algorithm>

namespace {

bool FieldMatches(int32_t pattern, int32_t field) {
    return pattern == TavWildcard || pattern == field;
}

} // namespace

bool CEntityIdMapper::Matches(const CTavEntityId& id) const {
    if (m_count <= 0)
        return false;
    if (!FieldMatches(id.type, m_first.type) || !FieldMatches(id.bank, m_first.bank) ||
        !FieldMatches(id.subBank, m_first.subBank))
        return false;
    if (id.number == TavWildcard)
        return true;
    return id.number >= m_first.number &&
           static_cast<int64_t>(id.number) < static_cast<int64_t>(m_first.number) + m_count;
}

int32_t CEntityIdMapper::IndexOf(const CTavEntityId& id) const {
    if (id.type != m_first.type || id.bank != m_first.bank || id.subBank != m_first.subBank)
        return -1;
    const int64_t index = static_cast<int64_t>(id.number) - m_first.number;
    return index >= 0 && index < m_count ? static_cast<int32_t>(index) : -1;
}

CTavEntityId CEntityIdMapper::EntityIdAt(int32_t index) const {
    if (index < 0 || index >= m_count)
        return CTavEntityId::Invalid();
    return {m_first.type, m_first.bank, m_first.subBank, m_first.number + index};
}

int32_t CSequentialProgramIdMapper::IndexOf(const CTavProgramId& id) const {
    if (id.msb < 0 || id.lsb < 0 || id.program < 0 || id.msb != m_first.msb || id.program >= m_modulus)
        return -1;
    const int64_t index = static_cast<int64_t>(id.program) +
                          static_cast<int64_t>(m_modulus) * (static_cast<int64_t>(id.lsb) - m_first.lsb) -
                          m_first.program;
    return index >= 0 && index < m_count ? static_cast<int32_t>(index) : -1;
}

CTavProgramId CSequentialProgramIdMapper::ProgramIdAt(int32_t index) const {
    if (index < 0 || index >= m_count)
        return CTavProgramId::Invalid();
    const int64_t position = static_cast<int64_t>(index) + m_first.program;
    return {m_first.msb, static_cast<int32_t>(m_first.lsb + position / m_modulus),
            static_cast<int32_t>(position % m_modulus)};
}

int32_t CRandomProgramIdMapper::IndexOf(const CTavProgramId& id) const {
    const auto found = std::lower_bound(m_ids.begin(), m_ids.end(), id);
    if (found == m_ids.end() || *found != id)
        return -1;
    const auto index = found - m_ids.begin();
    return index < m_count ? static_cast<int32_t>(index) : -1;
}

CTavProgramId CRandomProgramIdMapper::ProgramIdAt(int32_t index) const {
    if (index < 0 || index >= m_count || static_cast<size_t>(index) >= m_ids.size())
        return CTavProgramId::Invalid();
    return m_ids[static_cast<size_t>(index)];
}

bool CRandomProgramIdMapper::PushBack(const CTavProgramId& id) {
    if (!id.IsValid() || m_ids.size() >= static_cast<size_t>(m_count))
        return false;
    const auto at = std::lower_bound(m_ids.begin(), m_ids.end(), id);
    if (at != m_ids.end() && *at == id)
        return false;
    m_ids.insert(at, id);
    return true;
}

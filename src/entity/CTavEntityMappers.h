#pragma once
// The three mappers a catalog bank is made of, all sized by the same count: entity IDs
// (type, bank, sub-bank, a run of numbers), program IDs (sequential or an explicit sorted
// list) and informations (filled from the front, or by index). No lookup throws: an index
// outside the count gives -1, the invalid ID or the information class's null object.

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "entity/CTavEntityId.h"
#include "entity/CTavInformation.h"

class IMapper {
public:
    virtual ~IMapper() = default;
    virtual int32_t Count() const = 0;
    virtual void SetCount(int32_t count) = 0;
};

class IEntityIdMapper : public IMapper {
public:
    // Wildcard match: count > 0, type, bank and sub-bank equal or -2, number in the run or -2.
    virtual bool Matches(const CTavEntityId& id) const = 0;
    // Exact type, bank and sub-bank; number - first, or -1 outside [0, count).
    virtual int32_t IndexOf(const CTavEntityId& id) const = 0;
    virtual CTavEntityId EntityIdAt(int32_t index) const = 0;
    virtual CTavEntityId First() const = 0;
};

class CEntityIdMapper : public IEntityIdMapper {
public:
    CEntityIdMapper(const CTavEntityId& first, int32_t count)
        : m_first(first), m_count(count < 0 ? 0 : count) {}
    int32_t Count() const override { return m_count; }
    void SetCount(int32_t count) override { m_count = count < 0 ? 0 : count; }
    bool Matches(const CTavEntityId& id) const override;
    int32_t IndexOf(const CTavEntityId& id) const override;
    CTavEntityId EntityIdAt(int32_t index) const override;
    CTavEntityId First() const override { return m_first; }

private:
    CTavEntityId m_first;
    int32_t m_count;
};

class IProgramIdMapper : public IMapper {
public:
    virtual int32_t IndexOf(const CTavProgramId& id) const = 0;
    virtual CTavProgramId ProgramIdAt(int32_t index) const = 0;
    // Random mappers append the ID; sequential ones derive their IDs and ignore it.
    virtual bool PushBack(const CTavProgramId& id) = 0;
    virtual bool IsRandom() const = 0;
    virtual void Clear() = 0;
};

// Consecutive entries run through program numbers 0 to N - 1, then on in the next LSB.
class CSequentialProgramIdMapper : public IProgramIdMapper {
public:
    CSequentialProgramIdMapper(const CTavProgramId& first, int32_t modulus, int32_t count)
        : m_first(first), m_modulus(modulus > 0 ? modulus : 1), m_count(count < 0 ? 0 : count) {}
    int32_t Count() const override { return m_count; }
    void SetCount(int32_t count) override { m_count = count < 0 ? 0 : count; }
    int32_t IndexOf(const CTavProgramId& id) const override;
    CTavProgramId ProgramIdAt(int32_t index) const override;
    bool PushBack(const CTavProgramId&) override { return false; }
    bool IsRandom() const override { return false; }
    void Clear() override {}

private:
    CTavProgramId m_first;
    int32_t m_modulus;
    int32_t m_count;
};

// An explicit list of program IDs, kept sorted.
class CRandomProgramIdMapper : public IProgramIdMapper {
public:
    explicit CRandomProgramIdMapper(int32_t count) : m_count(count < 0 ? 0 : count) {}
    int32_t Count() const override { return m_count; }
    void SetCount(int32_t count) override { m_count = count < 0 ? 0 : count; }
    int32_t IndexOf(const CTavProgramId& id) const override;
    CTavProgramId ProgramIdAt(int32_t index) const override;
    // Refused when the list holds count IDs already or holds this one.
    bool PushBack(const CTavProgramId& id) override;
    bool IsRandom() const override { return true; }
    void Clear() override { m_ids.clear(); }

private:
    std::vector<CTavProgramId> m_ids;
    int32_t m_count;
};

class IInformationMapper : public IMapper {
public:
    // An information to be stored under an index.
    struct CPair {
        int32_t index;
        const IInformation& information;
    };

    // The stored entry, or the null object of the mapper's information class.
    virtual const IInformation& InformationAt(int32_t index) const = 0;
    // The stored entry for changing in place; null when none is stored there.
    virtual IInformation* MutableAt(int32_t index) = 0;
    // Appends a copy; false when count entries are stored already.
    virtual bool PushBack(const IInformation& information) = 0;
    // Stores a copy under the index, replacing; false outside [0, count).
    virtual bool Insert(const CPair& pair) = 0;
    // Appends copies until count entries are stored.
    virtual void Fill(const IInformation& information) {
        while (Stored() < Count() && PushBack(information)) {
        }
    }
    // How many entries are stored.
    virtual int32_t Stored() const = 0;
    virtual void Clear() = 0;
};

// The shared null object of each information class.
template <class T> const IInformation& TavNullInformation();
template <> inline const IInformation& TavNullInformation<CNameInformation>() {
    return CNullNameInformation::Instance();
}
template <> inline const IInformation& TavNullInformation<CCategoryInformation>() {
    return CNullCategoryInformation::Instance();
}
template <> inline const IInformation& TavNullInformation<Brio::CTavSampleInformation>() {
    return Brio::CNullSampleInformation::Instance();
}

// A copy of any information as a T: the same class is copied whole, another gives its
// name and category.
template <class T> T TavInformationAs(const IInformation& information) {
    if (const T* same = dynamic_cast<const T*>(&information); same && !same->IsNull())
        return *same;
    T copy;
    copy.SetName(information.Name());
    copy.SetCategory(information.Category());
    return copy;
}

// Entries filled from the front; a gap left by storing under a later index reads as null.
// Entries are held by value, and the copies Fill appends are one shared entry until one of
// them is changed, so padding a bank of thousands of names costs nothing per name.
template <class T> class CContinuousInformationMapper : public IInformationMapper {
public:
    explicit CContinuousInformationMapper(int32_t count) : m_count(count < 0 ? 0 : count) {}
    int32_t Count() const override { return m_count; }
    void SetCount(int32_t count) override {
        m_count = count < 0 ? 0 : count;
        if (m_entries.size() > static_cast<size_t>(m_count))
            m_entries.resize(static_cast<size_t>(m_count));
        m_filled = std::min(m_filled, static_cast<size_t>(m_count));
    }
    const IInformation& InformationAt(int32_t index) const override {
        if (index < 0 || index >= m_count)
            return TavNullInformation<T>();
        const size_t at = static_cast<size_t>(index);
        if (at < m_entries.size())
            return m_entries[at] ? static_cast<const IInformation&>(*m_entries[at]) : TavNullInformation<T>();
        return at < m_filled ? static_cast<const IInformation&>(*m_fill) : TavNullInformation<T>();
    }
    IInformation* MutableAt(int32_t index) override {
        if (index < 0 || index >= m_count || index >= Stored())
            return nullptr;
        MaterializeThrough(static_cast<size_t>(index));
        std::optional<T>& entry = m_entries[static_cast<size_t>(index)];
        return entry ? &*entry : nullptr;
    }
    bool PushBack(const IInformation& information) override {
        if (Stored() >= m_count)
            return false;
        Materialize();
        // Filling a bank grows it to its count at once.
        if (m_entries.capacity() == 0)
            m_entries.reserve(static_cast<size_t>(m_count));
        m_entries.emplace_back(TavInformationAs<T>(information));
        return true;
    }
    bool Insert(const CPair& pair) override {
        if (pair.index < 0 || pair.index >= m_count)
            return false;
        MaterializeThrough(static_cast<size_t>(pair.index));
        if (static_cast<size_t>(pair.index) >= m_entries.size())
            m_entries.resize(static_cast<size_t>(pair.index) + 1);
        m_entries[static_cast<size_t>(pair.index)] = TavInformationAs<T>(pair.information);
        return true;
    }
    void Fill(const IInformation& information) override {
        if (Stored() >= m_count)
            return;
        Materialize();
        m_fill = TavInformationAs<T>(information);
        m_filled = static_cast<size_t>(m_count);
    }
    int32_t Stored() const override { return static_cast<int32_t>(std::max(m_entries.size(), m_filled)); }
    void Clear() override {
        m_entries.clear();
        m_fill.reset();
        m_filled = 0;
    }

private:
    // Turns the shared copies into entries of their own, before anything changes.
    void Materialize() {
        if (m_fill && m_entries.size() < m_filled)
            m_entries.resize(m_filled, m_fill);
        m_fill.reset();
        m_filled = 0;
    }
    // The same for the copies up to index at only: changing one name of a padded bank of
    // thousands copies no more than the names before it.
    void MaterializeThrough(size_t at) {
        if (!m_fill)
            return;
        const size_t end = std::min(at + 1, m_filled);
        if (m_entries.size() < end)
            m_entries.resize(end, m_fill);
        if (m_entries.size() >= m_filled) {
            m_fill.reset();
            m_filled = 0;
        }
    }

    std::vector<std::optional<T>> m_entries;
    // Entries from the end of m_entries up to m_filled read as m_fill.
    std::optional<T> m_fill;
    size_t m_filled = 0;
    int32_t m_count;
};

// Entries stored by index; PushBack stores under the next index after the highest.
template <class T> class CIntermittentInformationMapper : public IInformationMapper {
public:
    explicit CIntermittentInformationMapper(int32_t count) : m_count(count < 0 ? 0 : count) {}
    int32_t Count() const override { return m_count; }
    void SetCount(int32_t count) override {
        m_count = count < 0 ? 0 : count;
        m_entries.erase(m_entries.lower_bound(m_count), m_entries.end());
    }
    const IInformation& InformationAt(int32_t index) const override {
        const auto found = m_entries.find(index);
        return found == m_entries.end() ? TavNullInformation<T>() : found->second;
    }
    IInformation* MutableAt(int32_t index) override {
        const auto found = m_entries.find(index);
        return found == m_entries.end() ? nullptr : &found->second;
    }
    bool PushBack(const IInformation& information) override {
        const int32_t index = m_entries.empty() ? 0 : m_entries.rbegin()->first + 1;
        return Insert({index, information});
    }
    bool Insert(const CPair& pair) override {
        if (pair.index < 0 || pair.index >= m_count)
            return false;
        m_entries.insert_or_assign(pair.index, TavInformationAs<T>(pair.information));
        return true;
    }
    int32_t Stored() const override { return static_cast<int32_t>(m_entries.size()); }
    void Clear() override { m_entries.clear(); }

private:
    std::map<int32_t, T> m_entries;
    int32_t m_count;
};

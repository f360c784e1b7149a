#pragma once
// The entity catalog: banks of patches, rhythm sets, waves, samples and effect types, each
// mapping entity IDs and program IDs to informations (names, categories, sample data).
// Banks are kept ordered by their first entity ID; lookups by entity ID find the bank whose
// run holds it, lookups by program ID the bank whose program mapper holds it. GUI thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "entity/CTavEntityMappers.h"

class CTavEntityManager {
public:
    using IInformation = ::IInformation;
    using IEntityIdMapper = ::IEntityIdMapper;
    using IProgramIdMapper = ::IProgramIdMapper;
    using IInformationMapper = ::IInformationMapper;

    class IBank {
    public:
        virtual ~IBank() = default;
        virtual IEntityIdMapper& EntityIds() = 0;
        virtual IProgramIdMapper& ProgramIds() = 0;
        virtual IInformationMapper& Informations() = 0;
        virtual int32_t Count() const = 0;
        // Sets the count on all three mappers.
        virtual void SetCount(int32_t count) = 0;
    };

    // A bank made of three owned mappers.
    class CBank : public IBank {
    public:
        CBank(std::unique_ptr<IEntityIdMapper> entityIds, std::unique_ptr<IProgramIdMapper> programIds,
              std::unique_ptr<IInformationMapper> informations)
            : m_entityIds(std::move(entityIds)), m_programIds(std::move(programIds)),
              m_informations(std::move(informations)) {}
        IEntityIdMapper& EntityIds() override { return *m_entityIds; }
        IProgramIdMapper& ProgramIds() override { return *m_programIds; }
        IInformationMapper& Informations() override { return *m_informations; }
        int32_t Count() const override { return m_entityIds->Count(); }
        void SetCount(int32_t count) override {
            m_entityIds->SetCount(count);
            m_programIds->SetCount(count);
            m_informations->SetCount(count);
        }

    private:
        std::unique_ptr<IEntityIdMapper> m_entityIds;
        std::unique_ptr<IProgramIdMapper> m_programIds;
        std::unique_ptr<IInformationMapper> m_informations;
    };

    class CReference;

    // Fills one bank. Handed out by InserterFor; the caller owns it.
    class IInserter : public ITavNullable {
    public:
        // True when the bank holds as many informations as its count.
        virtual bool IsFull() const = 0;
        // Stores at the program ID's index (sequential), or appends ID and information
        // (random). False when nothing was stored.
        virtual bool Insert(const CTavProgramId& id, const IInformation& information) = 0;
        // Stores at the referenced entity's index; false outside the bank.
        virtual bool Insert(const CReference& reference, const IInformation& information) = 0;
        // Appends; false when the bank is full.
        virtual bool PushBack(const IInformation& information) = 0;
        // Appends copies until the bank is full.
        virtual void Fill(const IInformation& information) = 0;
    };

    class CInserter : public IInserter {
    public:
        // Clears the bank's informations and, for a random program mapper, its IDs. Every
        // change counts on the generation when one is given.
        explicit CInserter(IBank& bank, uint32_t* generation = nullptr);
        bool IsNull() const override { return false; }
        bool IsFull() const override;
        bool Insert(const CTavProgramId& id, const IInformation& information) override;
        bool Insert(const CReference& reference, const IInformation& information) override;
        bool PushBack(const IInformation& information) override;
        void Fill(const IInformation& information) override;
        IBank& Bank() const { return m_bank; }

    private:
        void Touch() {
            if (m_generation)
                ++*m_generation;
        }
        IBank& m_bank;
        uint32_t* m_generation;
    };

    class CNullInserter : public IInserter {
    public:
        bool IsNull() const override { return true; }
        bool IsFull() const override { return true; }
        bool Insert(const CTavProgramId&, const IInformation&) override { return false; }
        bool Insert(const CReference&, const IInformation&) override { return false; }
        bool PushBack(const IInformation&) override { return false; }
        void Fill(const IInformation&) override {}
    };

    // A cursor over the catalog. A number of -2 starts at the bank's first entry and lets
    // Next walk the whole bank; -2 in type, bank or sub-bank lets Next go on into every
    // further bank that matches, in bank order. Removing banks invalidates references.
    class CReference {
    public:
        CReference(const CTavEntityManager& manager, const CTavEntityId& pattern);
        bool IsValid() const { return m_bank != nullptr; }
        // Moves to the next entry the pattern covers; false (and invalid) past the last.
        bool Next();
        CTavEntityId EntityId() const;
        CTavProgramId ProgramId() const;
        const IInformation& Information() const;
        IBank* Bank() const { return m_bank; }
        int32_t Index() const { return m_index; }

    private:
        bool Enter(std::map<CTavEntityId, std::unique_ptr<IBank>>::const_iterator from);

        const CTavEntityManager& m_manager;
        CTavEntityId m_pattern;
        IBank* m_bank = nullptr;
        CTavEntityId m_key;
        int32_t m_index = -1;
    };

    void Clear() {
        m_banks.clear();
        ++m_generation;
    }
    // Takes the bank over. False (and the bank destroyed) when it is empty-handed or a bank
    // with the same first entity ID exists.
    bool AddBank(std::unique_ptr<IBank> bank);
    // Destroys every bank whose first entity ID has the given type and bank.
    void RemoveBanks(const CTavEntityId& id);
    // Destroys the bank whose first entity ID is the given one, if there is one.
    void RemoveBank(const CTavEntityId& first) {
        m_banks.erase(first);
        ++m_generation;
    }
    std::unique_ptr<IInserter> InserterFor(const CTavEntityId& id);
    std::unique_ptr<CReference> Reference(const CTavEntityId& id) const {
        return std::make_unique<CReference>(*this, id);
    }

    bool SetCount(const CTavEntityId& id, int32_t count);
    int32_t Count(const CTavEntityId& id) const;
    CTavProgramId ProgramIdOf(const CTavEntityId& id) const;
    CTavEntityId EntityIdOf(const CTavProgramId& id) const;
    bool HasProgramId(const CTavEntityId& id) const { return ProgramIdOf(id).IsValid(); }
    bool HasEntityId(const CTavProgramId& id) const { return EntityIdOf(id).IsValid(); }
    // The information of an entry; the null object when none is known.
    const IInformation& InformationOf(const CTavEntityId& id) const;
    // Stores a copy for an entry without clearing its bank; false when no bank holds the ID.
    bool SetInformation(const CTavEntityId& id, const IInformation& information);
    size_t BankCount() const { return m_banks.size(); }
    // How many banks match an ID with wildcards, empty ones included.
    int32_t CountBanks(const CTavEntityId& pattern) const;
    // Counts every change of banks, counts, IDs or informations (through the manager or its
    // inserters), so views showing names can tell that they are stale.
    uint32_t Generation() const { return m_generation; }

private:
    // The bank whose run holds the exact ID, and the index in it.
    IBank* Find(const CTavEntityId& id, int32_t& index) const;
    // The first bank in order that matches the ID with wildcards.
    IBank* FirstMatch(const CTavEntityId& id) const;
    using BankRange = std::pair<std::map<CTavEntityId, std::unique_ptr<IBank>>::const_iterator,
                                std::map<CTavEntityId, std::unique_ptr<IBank>>::const_iterator>;
    // The banks that may hold the ID: all of them when its type or bank is a wildcard.
    BankRange BanksFor(const CTavEntityId& id) const;

    std::map<CTavEntityId, std::unique_ptr<IBank>> m_banks;
    uint32_t m_generation = 0;
};

using IBank = CTavEntityManager::IBank;
using IInserter = CTavEntityManager::IInserter;
using CInserter = CTavEntityManager::CInserter;
using CNullInserter = CTavEntityManager::CNullInserter;
using CTavEntityReference = CTavEntityManager::CReference;

// The bank kinds in use: sequential program IDs with modulus N, informations of class T
// filled from the front (continuous) or by index (intermittent).
template <class T, int32_t N> class CSequentialContinuousBank : public CTavEntityManager::CBank {
public:
    CSequentialContinuousBank(const CTavEntityId& first, const CTavProgramId& firstProgram, int32_t count)
        : CBank(std::make_unique<CEntityIdMapper>(first, count),
                std::make_unique<CSequentialProgramIdMapper>(firstProgram, N, count),
                std::make_unique<CContinuousInformationMapper<T>>(count)) {}
};

template <class T, int32_t N> class CSequentialIntermittentBank : public CTavEntityManager::CBank {
public:
    CSequentialIntermittentBank(const CTavEntityId& first, const CTavProgramId& firstProgram, int32_t count)
        : CBank(std::make_unique<CEntityIdMapper>(first, count),
                std::make_unique<CSequentialProgramIdMapper>(firstProgram, N, count),
                std::make_unique<CIntermittentInformationMapper<T>>(count)) {}
};

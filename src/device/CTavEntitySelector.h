#pragma once
// The device's patch and rhythm-set selection menus: its wording of menu titles and
// entries, the category creators that give user and card samples buckets of their own,
// and the two menu layouts, by bank and by category.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "entity/CTavEntityManager.h"
#include "entity/CTavEntitySelectionPopupMenuUtility.h"
#include "view/ITavPopupMenu.h"

class CTavStringTable;

namespace Brio {

class CTavEntitySelector {
public:
    using CUtility = CTavEntitySelectionPopupMenuUtility;
    using IMenuItemSource = CUtility::IMenuItemSource;
    using IPrinter = CUtility::IPrinter;
    using ISourceIterator = CUtility::ISourceIterator;

    // Banks of the patch and rhythm-set areas.
    static constexpr int32_t kUserBank = 0;
    static constexpr int32_t kCardBank = 1;
    static constexpr int32_t kUserSampleBank = 3;
    static constexpr int32_t kCardSampleBank = 4;
    // Buckets of the category menu: the categories, then user and card samples.
    static constexpr int32_t kUserSampleBucket = 40;
    static constexpr int32_t kCardSampleBucket = 41;
    static constexpr int32_t kBucketCount = 42;

    // How many banks an area (type, bank) holds.
    using CAreaBankCount = std::function<int32_t(int32_t type, int32_t bank)>;

    // "Patch", "Rhythm", or empty.
    class CTypeItemPrinter : public IPrinter {
    public:
        std::string Print(const IMenuItemSource& item) const override;
    };

    // "User", "Card", "User Sample", "Card Sample", or empty; a user or card area of
    // several banks names each by its letter ("Card A", "Card B").
    class CBankItemPrinter : public IPrinter {
    public:
        explicit CBankItemPrinter(CAreaBankCount areaBankCount = {}) : m_areaBankCount(std::move(areaBankCount)) {}
        std::string Print(const IMenuItemSource& item) const override;

    private:
        CAreaBankCount m_areaBankCount;
    };

    // "User Sample" and "Card Sample" for the sample banks, otherwise the category's name
    // in the category table (empty beyond it or without one).
    class CCategoryItemPrinter : public IPrinter {
    public:
        explicit CCategoryItemPrinter(const CTavStringTable* categories) : m_categories(categories) {}
        std::string Print(const IMenuItemSource& item) const override;

    private:
        const CTavStringTable* m_categories;
    };

    // "  6: NAME": number plus offset, then the name; an empty name shows as "Empty" in
    // the sample banks and as a dashed line elsewhere.
    class CEntityItemPrinter : public IPrinter {
    public:
        explicit CEntityItemPrinter(int32_t offset) : m_offset(offset) {}
        std::string Print(const IMenuItemSource& item) const override;

    private:
        int32_t m_offset;
    };

    // "  6: NAME", with " L" or " R" after the halves of a stereo sample.
    class CWaveItemPrinter : public IPrinter {
    public:
        explicit CWaveItemPrinter(int32_t offset) : m_offset(offset) {}
        std::string Print(const IMenuItemSource& item) const override;

    private:
        int32_t m_offset;
    };

    // An entry of the category menu, prefixed with its bank: "User: ", "Card B: ",
    // "User Sample: "; then number + 1 and the name; samples show a name of 12 characters
    // and their category after a tab.
    class CCategorizedEntityItemPrinter : public IPrinter {
    public:
        CCategorizedEntityItemPrinter(const CTavStringTable* categories, CAreaBankCount areaBankCount)
            : m_categories(categories), m_areaBankCount(std::move(areaBankCount)) {}
        std::string Print(const IMenuItemSource& item) const override;

    private:
        const CTavStringTable* m_categories;
        CAreaBankCount m_areaBankCount;
    };

    // The category creators with user samples in bucket 40 and card samples in bucket 41.
    class CFxCategoryItemCreator : public CUtility::CCategoryItemCreator {
    public:
        explicit CFxCategoryItemCreator(std::unique_ptr<IPrinter> printer, int32_t bucketCount = kBucketCount)
            : CCategoryItemCreator(std::move(printer), bucketCount) {}

    protected:
        int32_t Bucket(const IMenuItemSource& item) const override;
    };

    class CFxCategorizedDivisionItemCreator : public CUtility::CCategorizedDivisionItemCreator {
    public:
        CFxCategorizedDivisionItemCreator(int32_t size = 32, int32_t offset = 1,
                                          int32_t bucketCount = kBucketCount)
            : CCategorizedDivisionItemCreator(size, offset, bucketCount) {}

    protected:
        int32_t Bucket(const IMenuItemSource& item) const override;
    };

    class CFxCategorizedEntityItemCreator : public CUtility::CCategorizedEntityItemCreator {
    public:
        CFxCategorizedEntityItemCreator(std::unique_ptr<IPrinter> printer, int32_t bucketCount = kBucketCount)
            : CCategorizedEntityItemCreator(std::move(printer), bucketCount) {}

    protected:
        int32_t Bucket(const IMenuItemSource& item) const override;
    };

    // What a part's menus list, in order: user and card patches, user and card samples as
    // patches, then user and card rhythm sets; each pattern stands for every entity of
    // every matching bank, in bank order.
    static constexpr std::array<CTavEntityId, 6> kPartSourcePatterns{{
        {TavEntityType::Patch, kUserBank, TavWildcard, TavWildcard},
        {TavEntityType::Patch, kCardBank, TavWildcard, TavWildcard},
        {TavEntityType::Patch, kUserSampleBank, TavWildcard, TavWildcard},
        {TavEntityType::Patch, kCardSampleBank, TavWildcard, TavWildcard},
        {TavEntityType::RhythmSet, kUserBank, TavWildcard, TavWildcard},
        {TavEntityType::RhythmSet, kCardBank, TavWildcard, TavWildcard},
    }};

    // The catalog entry a reference stands on, as the menu sees it.
    class CMenuItemSource : public IMenuItemSource {
    public:
        explicit CMenuItemSource(const CTavEntityReference* reference = nullptr) : m_reference(reference) {}
        void Attach(const CTavEntityReference* reference) { m_reference = reference; }
        CTavEntityId EntityId() const override;
        std::string Name() const override { return Information().Name(); }
        int32_t Category() const override { return Information().Category(); }
        const IInformation& Information() const override;

    private:
        const CTavEntityReference* m_reference;
    };

    // Walks the catalog entries of a list of entity-ID patterns in order, each pattern's
    // matching banks one after another and each bank from number 0 upward. The catalog
    // must not change while it walks.
    class CIterator : public ISourceIterator {
    public:
        CIterator(const CTavEntityManager& entities, std::span<const CTavEntityId> patterns);
        const IMenuItemSource* Current() const override;
        void Advance() override;

    private:
        // Moves on to the next pattern that has an entry, from m_next on.
        void EnterPattern();

        const CTavEntityManager& m_entities;
        std::span<const CTavEntityId> m_patterns;
        size_t m_next = 0;
        std::unique_ptr<CTavEntityReference> m_reference;
        CMenuItemSource m_source;
    };

    // The bank-count callback of the category printer: the banks the catalog holds for
    // (type, bank), whatever their sub-bank.
    static CAreaBankCount AreaBankCountOf(const CTavEntityManager& entities);

    // The bucket of an entity in the category menu.
    static int32_t FxBucket(const IMenuItemSource& item);

    // Patch / Rhythm, then the banks, blocks of 1024, blocks of 32 and the entries.
    static CUtility::CEntityMenu BuildByBank(ISourceIterator& sources, const CAreaBankCount& areaBankCount = {});
    // The categories in bucket order, then "User Sample" and "Card Sample"; in each,
    // blocks of 32 and the entries of every bank prefixed with their bank.
    static CUtility::CEntityMenu BuildByCategory(ISourceIterator& sources, const CTavStringTable* categories,
                                                 const CAreaBankCount& areaBankCount);

    // Shows the menu with the current entity marked and returns the entity chosen, or the
    // invalid ID when the menu was dismissed or is empty.
    static CTavEntityId SelectByBank(ISourceIterator& sources, const CTavEntityId& current,
                                     ITavPopupMenu& popup, const CAreaBankCount& areaBankCount = {},
                                     const TavPopupPosition& position = {});
    static CTavEntityId SelectByCategory(ISourceIterator& sources, const CTavEntityId& current,
                                         ITavPopupMenu& popup, const CTavStringTable* categories,
                                         const CAreaBankCount& areaBankCount,
                                         const TavPopupPosition& position = {});

    // Shows a built menu with the current entity marked; the chosen entity or invalid.
    static CTavEntityId Choose(const CUtility::CEntityMenu& menu, const CTavEntityId& current,
                               ITavPopupMenu& popup, const TavPopupPosition& position);
};

} // namespace Brio

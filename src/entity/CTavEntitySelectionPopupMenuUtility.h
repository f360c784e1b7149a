#pragma once
// Menu building blocks over catalog entries: the entry as the menu sees it, and the item
// creators that group entries by type, bank, blocks of numbers and category. The device
// layer supplies the printers (its wording) and the sources.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "entity/CTavEntityId.h"
#include "entity/CTavInformation.h"
#include "entity/CTavPopupMenuBuilder.h"

class CTavEntitySelectionPopupMenuUtility {
public:
    // One catalog entry as seen by the menu.
    class IMenuItemSource {
    public:
        virtual ~IMenuItemSource() = default;
        virtual CTavEntityId EntityId() const = 0;
        virtual std::string Name() const = 0;
        virtual int32_t Category() const = 0;
        virtual const IInformation& Information() const = 0;
    };

    using CBuilder = CTavPopupMenuBuilder<IMenuItemSource>;
    using IItemCreator = CBuilder::IItemCreator;
    using IPrinter = IItemCreator::IPrinter;
    using CCreation = IItemCreator::CCreation;
    using ISourceIterator = IIterator<IMenuItemSource>;

    // A creator that titles its menu items with its printer, which it owns.
    class CPrintingItemCreator : public IItemCreator {
    public:
        explicit CPrintingItemCreator(std::unique_ptr<IPrinter> printer) : m_printer(std::move(printer)) {}

    protected:
        std::string Print(const IMenuItemSource& item) const { return m_printer ? m_printer->Print(item) : std::string(); }

    private:
        std::unique_ptr<IPrinter> m_printer;
    };

    // A new submenu whenever the entity type changes.
    class CTypeItemCreator : public CPrintingItemCreator {
    public:
        using CPrintingItemCreator::CPrintingItemCreator;
        void Restart() override { m_previous = -1; }
        CCreation Create(const IMenuItemSource& item) override;

    private:
        int32_t m_previous = -1;
    };

    // A new submenu whenever the (bank, sub-bank) pair changes, or the type under it.
    class CBankItemCreator : public CPrintingItemCreator {
    public:
        using CPrintingItemCreator::CPrintingItemCreator;
        void Restart() override { m_previous = CTavEntityId::Invalid(); }
        CCreation Create(const IMenuItemSource& item) override;

    private:
        CTavEntityId m_previous;
    };

    // A new submenu at every entity whose index in its bank is a multiple of the division
    // size, titled with the index plus the offset in three characters and "...".
    class CDivisionItemCreator : public IItemCreator {
    public:
        CDivisionItemCreator(int32_t size, int32_t offset);
        CCreation Create(const IMenuItemSource& item) override;

    private:
        int32_t m_size;
        int32_t m_offset;
    };

    // The category creators share a filing of entities into buckets: the bucket of an
    // entity's category, or bucket 0 when the category is outside [0, bucket count).
    class CBuckets {
    public:
        explicit CBuckets(int32_t count) : m_count(count < 1 ? 1 : count) {}
        virtual ~CBuckets() = default;
        int32_t Count() const { return m_count; }
        // The bucket an entity is filed into, always inside [0, Count()).
        int32_t BucketOf(const IMenuItemSource& item) const;

    protected:
        virtual int32_t Bucket(const IMenuItemSource& item) const { return item.Category(); }

    private:
        int32_t m_count;
    };

    // One submenu per bucket, in bucket order, titled by the printer from the bucket's
    // first entity.
    class CCategoryItemCreator : public CPrintingItemCreator, public CBuckets {
    public:
        CCategoryItemCreator(std::unique_ptr<IPrinter> printer, int32_t bucketCount);
        void Restart() override { m_items.assign(static_cast<size_t>(Count()), nullptr); }
        CCreation Create(const IMenuItemSource& item) override;

    private:
        std::vector<CTavMenuItem*> m_items;
    };

    // Divisions as CDivisionItemCreator's, counted within each bucket.
    class CCategorizedDivisionItemCreator : public IItemCreator, public CBuckets {
    public:
        CCategorizedDivisionItemCreator(int32_t size, int32_t offset, int32_t bucketCount);
        void Restart() override;
        CCreation Create(const IMenuItemSource& item) override;

    private:
        int32_t m_size;
        int32_t m_offset;
        std::vector<int32_t> m_counts;
        std::vector<CTavMenuItem*> m_items;
    };

    // The leaf of every entity.
    class CEntityItemCreator : public CPrintingItemCreator {
    public:
        using CPrintingItemCreator::CPrintingItemCreator;
        CCreation Create(const IMenuItemSource& item) override;
    };

    // The leaf of every entity, filed by its bucket: without outer levels the leaves are
    // ordered by bucket, entities of one bucket in their order.
    class CCategorizedEntityItemCreator : public CPrintingItemCreator, public CBuckets {
    public:
        CCategorizedEntityItemCreator(std::unique_ptr<IPrinter> printer, int32_t bucketCount);
        CCreation Create(const IMenuItemSource& item) override;
    };

    // A built menu over entities together with the entity of every leaf.
    class CEntityMenu {
    public:
        std::unique_ptr<CTavMenuItem> menu;
        std::vector<CTavEntityId> entities;

        // The leaf index of an entity, or -1 when it is not listed.
        int32_t LeafIndexOf(const CTavEntityId& id) const;
        // The entity of a leaf, or the invalid ID outside the menu.
        CTavEntityId EntityAt(int32_t leafIndex) const;
    };

    // Builds over the sources, recording each source's entity in leaf order.
    static CEntityMenu Build(ISourceIterator& sources, const CBuilder::CChain& chain);
};

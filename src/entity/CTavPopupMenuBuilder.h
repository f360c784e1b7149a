#pragma once
// Builds a popup menu tree from an ordered sequence of items. A chain of item creators,
// one per menu level and ordered from the leaf level outward, decides for each item
// whether a new menu item starts at its level; printers render the texts.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "view/CTavMenuItem.h"

// A forward iterator over the items a menu is built from: Current() is null past the end.
template <class T> class IIterator {
public:
    virtual ~IIterator() = default;
    virtual const T* Current() const = 0;
    virtual void Advance() = 0;
};

template <class T> class CTavPopupMenuBuilder {
public:
    class IItemCreator {
    public:
        // Renders the text of a menu item made for an item.
        class IPrinter {
        public:
            virtual ~IPrinter() = default;
            virtual std::string Print(const T& item) const = 0;
        };

        // What a creator answers for one item: nothing (its level keeps its current menu
        // item), a new menu item that the builder files at the given rank, or a menu item
        // it made earlier in this build, which becomes its level's current item again.
        struct CCreation {
            std::unique_ptr<CTavMenuItem> made;
            CTavMenuItem* again = nullptr;
            int32_t rank = 0;

            static CCreation None() { return {}; }
            static CCreation New(std::unique_ptr<CTavMenuItem> item, int32_t rank = 0) {
                return {std::move(item), nullptr, rank};
            }
            static CCreation Again(CTavMenuItem* item) { return {nullptr, item, 0}; }
        };

        virtual ~IItemCreator() = default;
        // Forgets what the previous build left behind.
        virtual void Restart() {}
        virtual CCreation Create(const T& item) = 0;
    };

    using CChain = std::vector<IItemCreator*>;

    // Builds the menu: the returned item's children are the top level. For each item every
    // creator is asked, from the outermost level inward; a new menu item goes into the
    // current item of the nearest outer level that has one (or the top level) and becomes
    // the current item of its level. Inner levels keep their current items until their own
    // creators answer. The leaf creator (chain[0]) answers for every item; its items are
    // numbered by the item's position in the sequence, which is what the popup returns.
    // At most maxItems items are taken.
    static std::unique_ptr<CTavMenuItem> Build(IIterator<T>& items, const CChain& chain,
                                               int32_t maxItems = kMaxItems) {
        auto top = CTavMenuItem::Submenu({});
        for (IItemCreator* creator : chain)
            creator->Restart();
        std::vector<CTavMenuItem*> current(chain.size(), nullptr);
        int32_t position = 0;
        for (const T* item = items.Current(); item && position < maxItems; items.Advance(), item = items.Current()) {
            for (size_t level = chain.size(); level-- > 0;) {
                typename IItemCreator::CCreation creation = chain[level]->Create(*item);
                if (creation.again) {
                    current[level] = creation.again;
                    continue;
                }
                if (!creation.made)
                    continue;
                CTavMenuItem* parent = top.get();
                for (size_t outer = level + 1; outer < chain.size(); ++outer) {
                    if (current[outer]) {
                        parent = current[outer];
                        break;
                    }
                }
                if (level == 0 && !creation.made->IsSubmenu())
                    creation.made->SetLeafIndex(position);
                current[level] = &parent->Append(std::move(creation.made), creation.rank);
            }
            ++position;
        }
        return top;
    }

    // Bounds a build over hostile input; a full catalog holds about 20 000 entries.
    static constexpr int32_t kMaxItems = 1 << 20;
};

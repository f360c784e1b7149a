#pragma once
// Catalog entries as the selection menus see them, an iterator over a list of them, a
// popup that answers what the test tells it, and a one-line outline of a menu tree.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "entity/CTavEntitySelectionPopupMenuUtility.h"
#include "view/ITavPopupMenu.h"

namespace test {

class FakeMenuSource : public CTavEntitySelectionPopupMenuUtility::IMenuItemSource {
public:
    FakeMenuSource(CTavEntityId id, std::string name, int32_t category = 0,
                   std::shared_ptr<IInformation> information = nullptr)
        : m_id(id), m_name(std::move(name)), m_category(category), m_information(std::move(information)) {}
    CTavEntityId EntityId() const override { return m_id; }
    std::string Name() const override { return m_name; }
    int32_t Category() const override { return m_category; }
    const IInformation& Information() const override {
        if (m_information)
            return *m_information;
        return CNullCategoryInformation::Instance();
    }

private:
    CTavEntityId m_id;
    std::string m_name;
    int32_t m_category;
    std::shared_ptr<IInformation> m_information;
};

class FakeSources : public CTavEntitySelectionPopupMenuUtility::ISourceIterator {
public:
    // Appends count entries of one bank, named "<prefix><number>" with the category given.
    FakeSources& Bank(int32_t type, int32_t bank, int32_t subBank, int32_t count,
                      const std::string& prefix = "N", int32_t category = 0) {
        for (int32_t n = 0; n < count; ++n)
            items.emplace_back(CTavEntityId{type, bank, subBank, n}, prefix + std::to_string(n), category);
        return *this;
    }
    FakeSources& Add(FakeMenuSource source) {
        items.push_back(std::move(source));
        return *this;
    }
    void Rewind() { position = 0; }

    const CTavEntitySelectionPopupMenuUtility::IMenuItemSource* Current() const override {
        return position < items.size() ? &items[position] : nullptr;
    }
    void Advance() override {
        if (position < items.size())
            ++position;
    }

    std::vector<FakeMenuSource> items;
    size_t position = 0;
};

class FakePopup : public ITavPopupMenu {
public:
    int32_t Show(const CTavMenuItem& menu, int32_t currentLeaf, const TavPopupPosition& position) override {
        ++shown;
        lastCurrent = currentLeaf;
        lastPosition = position;
        lastLeaves = menu.CountLeaves();
        if (onShow)
            onShow(menu);
        return answer;
    }
    int32_t answer = -1;
    // Looks at the menu while it is shown.
    std::function<void(const CTavMenuItem&)> onShow;
    int shown = 0;
    int32_t lastCurrent = -2;
    int32_t lastLeaves = -1;
    TavPopupPosition lastPosition;
};

// "A{b,c{d}}": texts, children in braces; a leaf's index follows '#' when asked for;
// a disabled item is marked with '!'.
inline std::string Outline(const CTavMenuItem& item, bool indices = false) {
    std::string text;
    for (size_t i = 0; i < item.Children().size(); ++i) {
        const CTavMenuItem& child = *item.Children()[i];
        if (i > 0)
            text += ",";
        text += child.Text();
        if (!child.IsEnabled())
            text += "!";
        if (child.IsSubmenu())
            text += "{" + Outline(child, indices) + "}";
        else if (indices && !child.IsSeparator())
            text += "#" + std::to_string(child.LeafIndex());
    }
    return text;
}

// The child at the given positions, level by level.
inline const CTavMenuItem* At(const CTavMenuItem& menu, std::initializer_list<size_t> path) {
    const CTavMenuItem* item = &menu;
    for (size_t i : path) {
        if (i >= item->Children().size())
            return nullptr;
        item = item->Children()[i].get();
    }
    return item;
}

} // namespace test

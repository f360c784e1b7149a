#pragma once
// One item of a popup menu tree: a text, an enabled flag and, for a submenu, the owned
// list of its children. An item without a child list whose text is empty shows as a
// separator; any other item without one is a leaf that the user can choose. Leaves carry
// the index the popup returns for them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CTavMenuItem {
public:
    using CItems = std::vector<std::unique_ptr<CTavMenuItem>>;

    // A leaf (or, with an empty text, a separator).
    explicit CTavMenuItem(std::string text, bool enabled = true)
        : m_text(std::move(text)), m_enabled(enabled) {}
    // A submenu with no children yet.
    static std::unique_ptr<CTavMenuItem> Submenu(std::string text, bool enabled = true);

    const std::string& Text() const { return m_text; }
    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

    bool IsSubmenu() const { return m_submenu; }
    bool IsSeparator() const { return !m_submenu && m_text.empty(); }
    const CItems& Children() const { return m_children; }

    // Makes this item a submenu (when it is not one yet) and appends the child after the
    // children of equal or lower rank. Returns the child.
    CTavMenuItem& Append(std::unique_ptr<CTavMenuItem> child, int32_t rank = 0);

    // The index a leaf is chosen by; -1 for submenus, separators and leaves never numbered.
    int32_t LeafIndex() const { return m_leafIndex; }
    void SetLeafIndex(int32_t index) { m_leafIndex = index; }
    int32_t Rank() const { return m_rank; }

    // The number of leaves below this item that can be chosen (separators not counted).
    int32_t CountLeaves() const;
    // The child positions, level by level, from this item down to the leaf with the given
    // index; empty when no leaf below carries it.
    std::vector<int32_t> PathTo(int32_t leafIndex) const;

private:
    bool FindPath(int32_t leafIndex, std::vector<int32_t>& path) const;

    std::string m_text;
    CItems m_children;
    int32_t m_leafIndex = -1;
    int32_t m_rank = 0;
    bool m_enabled = true;
    bool m_submenu = false;
};

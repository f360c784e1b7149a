#pragma once
// String tables and number tables declared by the editor script: ordered lists of display
// texts, or of numbers that map control positions to parameter values.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/CTavElementDefinition.h"

class CTavTextOut;

// A decimal number in the 32-bit range, with blanks allowed before and after it.
bool TavParseDecimal(std::string_view text, int32_t& value);

template <typename T> class CTavTable {
public:
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    int32_t Count() const { return static_cast<int32_t>(m_elements.size()); }
    // Only asked for positions in [0, Count()).
    const T& ElementAt(int32_t position) const { return m_elements[static_cast<size_t>(position)]; }
    // The position of the first equal element; Count() when absent.
    int32_t PositionOf(const T& element) const {
        for (size_t i = 0; i < m_elements.size(); ++i)
            if (m_elements[i] == element)
                return static_cast<int32_t>(i);
        return Count();
    }
    std::vector<T>& Elements() { return m_elements; }
    const std::vector<T>& Elements() const { return m_elements; }

private:
    std::string m_name;
    std::vector<T> m_elements;
};

class CTavStringTable : public CTavTable<std::string> {
public:
    // Takes "name" and every "table" item (entity-decoded, split at commas, each piece
    // trimmed, "\\" for a backslash and "\c" for a comma). Recognised items are removed.
    bool Convert(TavItems& items, CTavTextOut* errors);
    // One "name" and one "table" item that convert back to this table.
    TavItems ToItems() const;
};

class CTavIntegerTable : public CTavTable<int32_t> {
public:
    // Takes "name" and every "table" item: decimal numbers separated by commas.
    bool Convert(TavItems& items, CTavTextOut* errors);
    TavItems ToItems() const;
};

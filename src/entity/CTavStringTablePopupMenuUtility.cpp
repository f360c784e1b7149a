#include "entity/CTavStringTablePopupMenuUtility.h"

#include <algorithm>
#include <cstdio>

#include "script/CTavTable.h"

using CUtility = CTavStringTablePopupMenuUtility;

std::string CUtility::CElementItemPrinter::Print(const int32_t& key) const {
    if (key < 0 || key >= m_table.Count())
        return {};
    return m_table.ElementAt(key);
}

CUtility::CCreation CUtility::CElementItemCreator::Create(const int32_t& key) {
    return CCreation::New(std::make_unique<CTavMenuItem>(m_printer ? m_printer->Print(key) : std::string()));
}

CUtility::CDivisionItemPrinter::CDivisionItemPrinter(std::vector<int32_t> divisionKeys, const CTavStringTable* names,
                                                     int32_t offset, int32_t width)
    : m_keys(std::move(divisionKeys)), m_names(names), m_offset(offset), m_width(std::clamp(width, 0, 16)) {}

std::string CUtility::CDivisionItemPrinter::Print(const int32_t& key) const {
    if (m_names) {
        const auto found = std::find(m_keys.begin(), m_keys.end(), key);
        const auto ordinal = static_cast<int32_t>(found - m_keys.begin());
        if (found != m_keys.end() && ordinal < m_names->Count())
            return m_names->ElementAt(ordinal) + "...";
    }
    char text[40];
    std::snprintf(text, sizeof text, "%*d...", static_cast<int>(m_width), key + m_offset);
    return text;
}

CUtility::CDivisionItemCreator::CDivisionItemCreator(std::vector<int32_t> divisionKeys,
                                                     std::unique_ptr<IPrinter> printer)
    : m_keys(std::move(divisionKeys)), m_printer(std::move(printer)) {
    std::sort(m_keys.begin(), m_keys.end());
}

CUtility::CCreation CUtility::CDivisionItemCreator::Create(const int32_t& key) {
    if (!std::binary_search(m_keys.begin(), m_keys.end(), key))
        return CCreation::None();
    return CCreation::New(CTavMenuItem::Submenu(m_printer ? m_printer->Print(key) : std::string()));
}

std::unique_ptr<CTavMenuItem> CUtility::Build(const CTavStringTable& table, int32_t count,
                                              const std::vector<int32_t>& divisionKeys,
                                              const CTavStringTable* divisionNames, int32_t offset, int32_t width) {
    CKeyIterator keys(0, count);
    CElementItemCreator elements(std::make_unique<CElementItemPrinter>(table));
    if (divisionKeys.empty())
        return CBuilder::Build(keys, {&elements});
    CDivisionItemCreator divisions(divisionKeys,
                                   std::make_unique<CDivisionItemPrinter>(divisionKeys, divisionNames, offset, width));
    return CBuilder::Build(keys, {&elements, &divisions});
}

std::vector<int32_t> CUtility::EveryNthKey(int32_t size, int32_t count) {
    std::vector<int32_t> keys;
    if (size < 1)
        return keys;
    for (int32_t key = 0; key < count; key += size)
        keys.push_back(key);
    return keys;
}

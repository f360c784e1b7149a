#pragma once
// Menus over the keys (positions) of a string table: one leaf per key with the table's
// text, optionally split into submenus that start at given keys.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "entity/CTavPopupMenuBuilder.h"

class CTavStringTable;

class CTavStringTablePopupMenuUtility {
public:
    using CBuilder = CTavPopupMenuBuilder<int32_t>;
    using IItemCreator = CBuilder::IItemCreator;
    using IPrinter = IItemCreator::IPrinter;
    using CCreation = IItemCreator::CCreation;

    // The keys first, first + 1, ..., first + count - 1.
    class CKeyIterator : public IIterator<int32_t> {
    public:
        CKeyIterator(int32_t first, int32_t count) : m_key(first), m_end(count > 0 ? first + count : first) {}
        const int32_t* Current() const override { return m_key < m_end ? &m_key : nullptr; }
        void Advance() override {
            if (m_key < m_end)
                ++m_key;
        }

    private:
        int32_t m_key;
        int32_t m_end;
    };

    // The table's text of a key; empty outside the table.
    class CElementItemPrinter : public IPrinter {
    public:
        explicit CElementItemPrinter(const CTavStringTable& table) : m_table(table) {}
        std::string Print(const int32_t& key) const override;

    private:
        const CTavStringTable& m_table;
    };

    // The leaf of every key.
    class CElementItemCreator : public IItemCreator {
    public:
        explicit CElementItemCreator(std::unique_ptr<IPrinter> printer) : m_printer(std::move(printer)) {}
        CCreation Create(const int32_t& key) override;

    private:
        std::unique_ptr<IPrinter> m_printer;
    };

    // A division's title: its name from the division-name table followed by "...", or,
    // without one (or beyond it), the key plus the offset in the given width and "...".
    class CDivisionItemPrinter : public IPrinter {
    public:
        CDivisionItemPrinter(std::vector<int32_t> divisionKeys, const CTavStringTable* names, int32_t offset,
                             int32_t width);
        std::string Print(const int32_t& key) const override;

    private:
        std::vector<int32_t> m_keys;
        const CTavStringTable* m_names;
        int32_t m_offset;
        int32_t m_width;
    };

    // A new submenu at each of the division keys.
    class CDivisionItemCreator : public IItemCreator {
    public:
        CDivisionItemCreator(std::vector<int32_t> divisionKeys, std::unique_ptr<IPrinter> printer);
        CCreation Create(const int32_t& key) override;

    private:
        std::vector<int32_t> m_keys; // sorted
        std::unique_ptr<IPrinter> m_printer;
    };

    // The keys 0 ... count - 1 as leaves with the table's texts. With division keys, each
    // starts a submenu titled by CDivisionItemPrinter; keys before the first division
    // stay on the top level.
    static std::unique_ptr<CTavMenuItem> Build(const CTavStringTable& table, int32_t count,
                                               const std::vector<int32_t>& divisionKeys = {},
                                               const CTavStringTable* divisionNames = nullptr,
                                               int32_t offset = 0, int32_t width = 3);
    // Division keys every size keys: 0, size, 2 * size, ... below count.
    static std::vector<int32_t> EveryNthKey(int32_t size, int32_t count);
};

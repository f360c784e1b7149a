// The selection menus over a full catalog: two user patch banks of 128, two card patch
// banks, user and card rhythm sets, and 9 000 samples listed as patches.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "device/CTavEntitySelector.h"
#include "script/CTavTable.h"

namespace {

using Brio::CTavEntitySelector;
using CUtility = CTavEntitySelectionPopupMenuUtility;

class CEntry : public CUtility::IMenuItemSource {
public:
    CEntry(CTavEntityId id, int32_t category) : m_id(id), m_information("NAME " + std::to_string(id.number), category) {}
    CTavEntityId EntityId() const override { return m_id; }
    std::string Name() const override { return m_information.Name(); }
    int32_t Category() const override { return m_information.Category(); }
    const IInformation& Information() const override { return m_information; }

private:
    CTavEntityId m_id;
    CCategoryInformation m_information;
};

class CCatalog : public CUtility::ISourceIterator {
public:
    CCatalog() {
        Bank(0, 0, 2, 128);  // user patches
        Bank(0, 1, 2, 128);  // card patches
        Bank(0, 3, 1, 2000); // user samples as patches
        Bank(0, 4, 1, 7000); // card samples as patches
        Bank(1, 0, 1, 64);   // user rhythm sets
        Bank(1, 1, 1, 64);   // card rhythm sets
    }
    void Rewind() { m_position = 0; }
    const CUtility::IMenuItemSource* Current() const override {
        return m_position < m_entries.size() ? &m_entries[m_position] : nullptr;
    }
    void Advance() override { ++m_position; }

private:
    void Bank(int32_t type, int32_t bank, int32_t banks, int32_t count) {
        for (int32_t sub = 0; sub < banks; ++sub)
            for (int32_t n = 0; n < count; ++n)
                m_entries.emplace_back(CTavEntityId{type, bank, sub, n}, type == 1 ? 39 : bank >= 3 ? 36 : n % 36);
    }
    std::vector<CEntry> m_entries;
    size_t m_position = 0;
};

CTavStringTable CategoryTable() {
    CTavStringTable table;
    table.SetName("categoryTable");
    for (int i = 0; i < 40; ++i)
        table.Elements().push_back("Category " + std::to_string(i));
    return table;
}

// A popup that answers at once with the current leaf.
class CAnsweringPopup : public ITavPopupMenu {
public:
    int32_t Show(const CTavMenuItem&, int32_t currentLeaf, const TavPopupPosition&) override { return currentLeaf; }
};

void BuildCategoryMenu(benchmark::State& state) {
    CCatalog catalog;
    const CTavStringTable categories = CategoryTable();
    const auto bankCount = [](int32_t, int32_t) { return 2; };
    for (auto _ : state) {
        catalog.Rewind();
        const auto menu = CTavEntitySelector::BuildByCategory(catalog, &categories, bankCount);
        benchmark::DoNotOptimize(menu.entities.size());
    }
}
BENCHMARK(BuildCategoryMenu)->Unit(benchmark::kMillisecond);

// The whole selection by bank: build, find the current entity, show, map the answer back.
void SelectByBank(benchmark::State& state) {
    CCatalog catalog;
    CAnsweringPopup popup;
    for (auto _ : state) {
        catalog.Rewind();
        const CTavEntityId chosen = CTavEntitySelector::SelectByBank(catalog, {1, 1, 0, 63}, popup);
        benchmark::DoNotOptimize(chosen);
    }
}
BENCHMARK(SelectByBank)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

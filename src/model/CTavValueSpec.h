#pragma once
// Specs: the shared description of a buffer (name and relative address range) and of a
// value (type, range, default, number table). Equal specs are interned by the buffer
// manager and shared by every value that has them.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "model/TavAddress.h"
#include "script/CTavElementDefinition.h"

class CTavIntegerTable;
class CTavResourceManager;
class CTavTextOut;

struct CTavBufferSpec {
    std::string name;
    int32_t begin = 0;
    int32_t end = 0;
    TavRange Range() const { return {begin, end}; }
};

struct CTavStructSpec : CTavBufferSpec {
    bool operator<(const CTavStructSpec& other) const;
};

struct CTavValueSpec : CTavBufferSpec {
    int type = 0;
    int32_t minimum = 0;
    int32_t maximum = 127;
    int32_t defaultValue = 64;
    std::string defaultText;
    const CTavIntegerTable* numberTable = nullptr;

    int32_t Size() const { return end - begin; }
    // The raw value of a position: the number table's element, or position + minimum.
    int32_t RawOfPosition(int32_t position) const;
    // The position of a raw value: its place in the number table, or raw - minimum.
    int32_t PositionOfRaw(int32_t raw) const;

    bool operator<(const CTavValueSpec& other) const;
};

// Interned specs; a spec equal to one already held is not added again, and the one held
// is returned. Element addresses stay valid for the life of the set.
class CTavSpecSet {
public:
    const CTavValueSpec* Intern(const CTavValueSpec& spec) { return &*m_values.insert(spec).first; }
    const CTavStructSpec* Intern(const CTavStructSpec& spec) { return &*m_structs.insert(spec).first; }
    size_t ValueSpecCount() const { return m_values.size(); }
    size_t StructSpecCount() const { return m_structs.size(); }
    void Clear() {
        m_values.clear();
        m_structs.clear();
    }

private:
    std::set<CTavValueSpec> m_values;
    std::set<CTavStructSpec> m_structs;
};

// Converts a value element's items into a spec. typeText is the element's type text and
// runningAddress the end of the previous value of the same struct. Recognised items are
// removed from items; the rest are left for the caller to report. On failure one line is
// written to errors and false is returned.
bool TavConvertValueSpec(TavItems& items, std::string_view typeText, int32_t runningAddress,
                         const CTavResourceManager* resources, CTavTextOut* errors, CTavValueSpec& spec);

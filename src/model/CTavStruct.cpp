#include "model/CTavStruct.h"

#include <algorithm>
#include <cstring>

#include "app/CTavTextOut.h"
#include "model/ITavDataOut.h"
#include "model/CTavBufferManager.h"

void TavSplitPath(std::string_view path, std::string_view& first, std::string_view& rest) {
    // A dot at the start is never a separator: in the rest of a path it comes directly
    // after the separating dot.
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] == '.' && path[i - 1] != '.') {
            first = path.substr(0, i);
            rest = path.substr(i + 1);
            return;
        }
    }
    first = path;
    rest = std::string_view();
}

void CTavStruct::ResetToDefaults() {
    ForEachValue([](CTavValue& value) { value.ResetToDefault(); });
}

void CTavStruct::ForEachLeaf(const std::function<void(CTavLeafStruct&)>& f) {
    if (auto* leaf = dynamic_cast<CTavLeafStruct*>(this)) {
        f(*leaf);
        return;
    }
    if (TavStructList* children = ChildStructs())
        for (auto& child : *children)
            child->ForEachLeaf(f);
}

void CTavStruct::ForEachValue(const std::function<void(CTavValue&)>& f) {
    ForEachLeaf([&f](CTavLeafStruct& leaf) {
        for (CTavValue& value : *leaf.ChildValues())
            f(value);
    });
}

namespace {

bool CheckInsideParent(const CTavStruct& child, const CTavStruct* parent, CTavTextOut* errors) {
    const TavRange range = child.Range();
    if (parent && (range.begin < 0 || range.end < range.begin || range.end > parent->Range().Length())) {
        if (errors)
            errors->Printf("Struct %s address range exceeds parent struct's one.\n", child.FullPath().c_str());
        return false;
    }
    return true;
}

ITavDataOut* OutputOf(const CTavStruct& structure) {
    const CTavStruct* top = structure.Root();
    const CTavRootStruct* root = top ? top->AsRootStruct() : nullptr;
    return root ? root->Output() : nullptr;
}

} // namespace

// ---- Node -------------------------------------------------------------------------

bool CTavNodeStruct::AttachChildren(CTavTextOut* errors) {
    for (auto& child : m_children)
        if (!child->Attach(this, errors))
            return false;
    return true;
}

bool CTavNodeStruct::Attach(CTavStruct* parent, CTavTextOut* errors) {
    m_parent = parent;
    return CheckInsideParent(*this, parent, errors) && AttachChildren(errors);
}

template <typename Result, typename Find>
Result* CTavNodeStruct::FindInChildren(std::string_view rest, Find find) {
    // A few children are cheaper to try one after the other.
    constexpr size_t kIndexedChildren = 16;
    if (m_children.size() < kIndexedChildren) {
        for (auto& child : m_children)
            if (Result* found = find(*child))
                return found;
        return nullptr;
    }
    if (m_index.size() + m_dotted.size() != m_children.size()) {
        m_index.clear();
        m_dotted.clear();
        for (uint32_t i = 0; i < m_children.size(); ++i) {
            const std::string& name = m_children[i]->Name();
            if (name.find('.') != std::string::npos)
                m_dotted.push_back(i);
            else
                m_index.emplace_back(name, i);
        }
        std::sort(m_index.begin(), m_index.end());
    }
    std::string_view component, below;
    TavSplitPath(rest, component, below);
    auto named = std::lower_bound(m_index.begin(), m_index.end(), std::make_pair(component, uint32_t{0}));
    auto dotted = m_dotted.begin();
    // Both lists are in child order: take whichever child comes first.
    for (;;) {
        const bool haveNamed = named != m_index.end() && named->first == component;
        const bool haveDotted = dotted != m_dotted.end();
        if (!haveNamed && !haveDotted)
            return nullptr;
        uint32_t position = 0;
        if (haveNamed && (!haveDotted || named->second < *dotted))
            position = (named++)->second;
        else
            position = *dotted++;
        if (Result* found = find(*m_children[position]))
            return found;
    }
}

CTavStruct* CTavNodeStruct::FindStruct(std::string_view path) {
    std::string_view first, rest;
    TavSplitPath(path, first, rest);
    if (first != Name())
        return nullptr;
    if (rest.empty())
        return this;
    return FindInChildren<CTavStruct>(rest, [rest](CTavStruct& child) { return child.FindStruct(rest); });
}

CTavValue* CTavNodeStruct::FindValue(std::string_view path) {
    std::string_view first, rest;
    TavSplitPath(path, first, rest);
    if (first != Name() || rest.empty())
        return nullptr;
    return FindInChildren<CTavValue>(rest, [rest](CTavStruct& child) { return child.FindValue(rest); });
}

bool CTavNodeStruct::Transmit() const {
    bool all = true;
    for (const auto& child : m_children)
        all = child->Transmit() && all;
    return all;
}

bool CTavNodeStruct::TransmitOnce(uint32_t pass) const {
    bool all = true;
    for (const auto& child : m_children)
        all = child->TransmitOnce(pass) && all;
    return all;
}

void CTavNodeStruct::CloneChildrenInto(CTavNodeStruct& copy) const {
    copy.m_children.reserve(m_children.size());
    for (const auto& child : m_children) {
        copy.m_children.push_back(child->Clone());
        copy.m_children.back()->SetParent(&copy);
    }
}

std::unique_ptr<CTavStruct> CTavNodeStruct::Clone() const {
    auto copy = std::make_unique<CTavNodeStruct>(m_spec);
    copy->m_parent = m_parent;
    CloneChildrenInto(*copy);
    return copy;
}

// ---- Root -------------------------------------------------------------------------

bool CTavRootStruct::Attach(CTavStruct*, CTavTextOut* errors) {
    m_parent = nullptr;
    m_leafIndex.clear();
    m_leafIndexBuilt = false;
    return AttachChildren(errors);
}

void CTavRootStruct::IndexLeaves() {
    m_leafIndexBuilt = true;
    m_leafIndex.clear();
    ForEachLeaf([this](CTavLeafStruct& leaf) { m_leafIndex.push_back({leaf.AbsoluteRange(), &leaf}); });
    std::stable_sort(m_leafIndex.begin(), m_leafIndex.end(),
                     [](const LeafEntry& a, const LeafEntry& b) { return a.range.begin < b.range.begin; });
    m_leavesDisjoint = true;
    for (size_t i = 1; i < m_leafIndex.size(); ++i)
        if (m_leafIndex[i].range.begin < m_leafIndex[i - 1].range.end)
            m_leavesDisjoint = false;
}

std::unique_ptr<CTavStruct> CTavRootStruct::Clone() const {
    auto copy = std::make_unique<CTavRootStruct>(m_spec);
    CloneChildrenInto(*copy);
    copy->m_manager = m_manager;
    return copy;
}

CTavLeafStruct* CTavRootStruct::FindLeaf(const TavRange& absolute, int32_t* leafBegin) {
    // Descends only into structs whose absolute range holds the whole range; attach
    // guarantees that children lie inside their parents, so a range outside the root is
    // nowhere below it.
    struct Search {
        static CTavLeafStruct* In(CTavStruct& structure, int32_t parentBegin, const TavRange& wanted,
                                  int32_t* begin) {
            const TavRange relative = structure.Range();
            const TavRange range{relative.begin + parentBegin, relative.end + parentBegin};
            if (!range.Contains(wanted))
                return nullptr;
            // The kind says what the struct is without a cast that walks the type tree.
            if (structure.Kind() == kTavLeafStruct) {
                if (begin)
                    *begin = range.begin;
                return static_cast<CTavLeafStruct*>(&structure);
            }
            if (TavStructList* children = structure.ChildStructs())
                for (auto& child : *children)
                    if (CTavLeafStruct* found = In(*child, range.begin, wanted, begin))
                        return found;
            return nullptr;
        }
    };
    const TavRange own = Range();
    if (!own.Contains(absolute))
        return nullptr;
    if (!m_leafIndexBuilt)
        IndexLeaves();
    // Leaves that do not overlap: at most one holds a range that is not empty, the last one
    // beginning at or before it. Its ancestors hold it too, as attach guarantees.
    if (m_leavesDisjoint && absolute.begin < absolute.end) {
        auto after = std::upper_bound(m_leafIndex.begin(), m_leafIndex.end(), absolute.begin,
                                      [](int32_t begin, const LeafEntry& entry) { return begin < entry.range.begin; });
        if (after == m_leafIndex.begin() || !std::prev(after)->range.Contains(absolute))
            return nullptr;
        if (leafBegin)
            *leafBegin = std::prev(after)->range.begin;
        return std::prev(after)->leaf;
    }
    for (auto& child : m_children)
        if (CTavLeafStruct* found = Search::In(*child, own.begin, absolute, leafBegin))
            return found;
    return nullptr;
}

bool CTavRootStruct::ReceiveDataSet(int32_t address, const uint8_t* data, size_t size) {
    if (address < 0 || size == 0 || size > static_cast<size_t>(INT32_MAX - address))
        return false;
    const TavRange range{address, address + static_cast<int32_t>(size)};
    int32_t leafBegin = 0;
    CTavLeafStruct* leaf = FindLeaf(range, &leafBegin);
    if (!leaf)
        return false;
    const TavRange relative{range.begin - leafBegin, range.end - leafBegin};
    std::memcpy(leaf->Bytes()->data() + relative.begin, data, size);
    std::vector<CTavValue*> nested;
    std::vector<CTavValue*>& values = m_receiving ? nested : m_received;
    const bool outermost = !m_receiving;
    m_receiving = true;
    values.clear();
    leaf->CollectValues(relative, values);
    if (m_manager)
        m_manager->RecordReceived(values);
    if (outermost)
        m_receiving = false;
    return true;
}

// ---- Leaf -------------------------------------------------------------------------

bool CTavLeafStruct::Attach(CTavStruct* parent, CTavTextOut* errors) {
    m_parent = parent;
    if (!CheckInsideParent(*this, parent, errors))
        return false;
    m_bytes.assign(static_cast<size_t>(std::max(Range().Length(), 0)), 0);
    m_valuesInOrder = true;
    for (size_t i = 0; i < m_values.size(); ++i) {
        if (!m_values[i].Attach(this, errors))
            return false;
        if (i > 0 && m_values[i].Spec().Range().begin < m_values[i - 1].Spec().Range().end)
            m_valuesInOrder = false;
    }
    return true;
}

CTavStruct* CTavLeafStruct::FindStruct(std::string_view path) { return path == Name() ? this : nullptr; }

CTavValue* CTavLeafStruct::FindValue(std::string_view path) {
    std::string_view first, rest;
    TavSplitPath(path, first, rest);
    if (first != Name() || rest.empty())
        return nullptr;
    for (CTavValue& value : m_values)
        if (value.Name() == rest)
            return &value;
    return nullptr;
}

bool CTavLeafStruct::Transmit() const {
    ITavDataOut* output = OutputOf(*this);
    if (!output)
        return false;
    output->SendDataSet(AbsoluteRange().begin, m_bytes.data(), m_bytes.size());
    return true;
}

bool CTavLeafStruct::TransmitOnce(uint32_t pass) const {
    if (m_sentInPass == pass)
        return true;
    m_sentInPass = pass;
    return Transmit();
}

std::unique_ptr<CTavStruct> CTavLeafStruct::Clone() const {
    auto copy = std::make_unique<CTavLeafStruct>(m_spec);
    copy->m_parent = m_parent;
    copy->m_values = m_values;
    copy->m_bytes = m_bytes;
    // The copied values still point into this leaf's bytes; bind them to the copy's own
    // (none while the copy has no bytes yet), so the copy never writes into the original.
    for (CTavValue& value : copy->m_values)
        value.Attach(copy.get(), nullptr);
    return copy;
}

bool CTavLeafStruct::CanHold(const uint8_t* bytes) const {
    for (size_t i = 0; i < m_bytes.size(); ++i)
        if (bytes[i] > 0x7F)
            return false;
    for (const CTavValue& value : m_values) {
        const uint8_t maximum = TavValueTypeByteMaximum(value.Spec().type);
        const TavRange range = value.Range();
        if (maximum == 0x7F || range.begin < 0 || range.end > static_cast<int32_t>(m_bytes.size()))
            continue;
        for (int32_t i = range.begin; i < range.end; ++i)
            if (bytes[i] > maximum)
                return false;
    }
    return true;
}

void CTavLeafStruct::CollectValues(const TavRange& relative, std::vector<CTavValue*>& out) {
    // The values are objects of exactly this class, so their spec gives the range without a
    // virtual call. In address order without overlaps the ends rise too: the values the
    // range touches start at the first one ending after its begin.
    auto value = m_values.begin();
    if (m_valuesInOrder)
        value = std::partition_point(m_values.begin(), m_values.end(), [&relative](const CTavValue& v) {
            return v.Spec().Range().end <= relative.begin;
        });
    for (; value != m_values.end(); ++value) {
        const TavRange range = value->Spec().Range();
        if (m_valuesInOrder && range.begin >= relative.end)
            break;
        if (range.Overlaps(relative))
            out.push_back(&*value);
    }
}

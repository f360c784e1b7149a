#pragma once
// The struct tree of the device's parameter memory: root structs at the top, node structs
// in the middle and leaf structs at the bottom. Leaves own the bytes and hold the values.
// The tree is built once when the buffer manager is created and never changes after.

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "model/CTavValue.h"

class CTavBufferManager;
class ITavDataOut;

enum TavStructKind : int { kTavRootStruct = 0, kTavNodeStruct = 1, kTavLeafStruct = 2, kTavMidiStruct = 3 };

using TavStructList = std::vector<std::unique_ptr<CTavStruct>>;

class CTavStruct : public CTavBuffer {
public:
    explicit CTavStruct(const CTavStructSpec* spec = nullptr) : m_spec(spec) {}
    ~CTavStruct() override = default;

    const std::string& Name() const override { return m_spec->name; }
    TavRange Range() const override { return m_spec->Range(); }
    CTavStruct* Parent() const override { return m_parent; }

    const CTavStructSpec& Spec() const { return *m_spec; }
    void SetSpec(const CTavStructSpec* spec) { m_spec = spec; }
    void SetParent(CTavStruct* parent) { m_parent = parent; }

    virtual int Kind() const = 0;
    // This struct as a root struct (the MIDI structs are root structs too), or null; asked
    // for every received data set, so it answers without a dynamic cast.
    virtual class CTavRootStruct* AsRootStruct() { return nullptr; }
    const CTavRootStruct* AsRootStruct() const { return const_cast<CTavStruct*>(this)->AsRootStruct(); }
    // What a kind does not hold answers null.
    virtual TavStructList* ChildStructs() { return nullptr; }
    const TavStructList* ChildStructs() const { return const_cast<CTavStruct*>(this)->ChildStructs(); }
    virtual std::vector<CTavValue>* ChildValues() { return nullptr; }
    const std::vector<CTavValue>* ChildValues() const { return const_cast<CTavStruct*>(this)->ChildValues(); }
    virtual std::vector<uint8_t>* Bytes() { return nullptr; }
    const std::vector<uint8_t>* Bytes() const { return const_cast<CTavStruct*>(this)->Bytes(); }

    // Checks ranges against the parent and binds memory, from here down.
    virtual bool Attach(CTavStruct* parent, CTavTextOut* errors) = 0;
    // Path lookup: the first component must be this struct's name.
    virtual CTavStruct* FindStruct(std::string_view path) = 0;
    virtual CTavValue* FindValue(std::string_view path) = 0;
    // Sends every leaf's bytes as one data set each, in tree order; false when the root
    // has no MIDI output.
    virtual bool Transmit() const = 0;
    // Transmit as one pass of the buffer manager makes it: a leaf already sent in the same
    // pass is not sent again. Kinds without leaves send as Transmit does.
    virtual bool TransmitOnce(uint32_t /*pass*/) const { return Transmit(); }
    // Deep copy with all descendants; values keep their specs. Memory is bound again by
    // Attach.
    virtual std::unique_ptr<CTavStruct> Clone() const = 0;

    // Resets every value here and below to its default.
    void ResetToDefaults();
    // Calls f for every leaf here and below, in tree order.
    void ForEachLeaf(const std::function<void(class CTavLeafStruct&)>& f);
    // Calls f for every value here and below, in tree order.
    void ForEachValue(const std::function<void(CTavValue&)>& f);

protected:
    const CTavStructSpec* m_spec;
    CTavStruct* m_parent = nullptr;
};

// Splits the first component off a path. A dot directly after another dot belongs to the
// next component. rest is empty when there is no further component.
void TavSplitPath(std::string_view path, std::string_view& first, std::string_view& rest);

class CTavNodeStruct : public CTavStruct {
public:
    using CTavStruct::CTavStruct;
    int Kind() const override { return kTavNodeStruct; }
    TavStructList* ChildStructs() override { return &m_children; }
    bool Attach(CTavStruct* parent, CTavTextOut* errors) override;
    CTavStruct* FindStruct(std::string_view path) override;
    CTavValue* FindValue(std::string_view path) override;
    bool Transmit() const override;
    bool TransmitOnce(uint32_t pass) const override;
    std::unique_ptr<CTavStruct> Clone() const override;

protected:
    bool AttachChildren(CTavTextOut* errors);
    void CloneChildrenInto(CTavNodeStruct& copy) const;
    // Offers the rest of a path to the children that may match its first component, in
    // child order, until one answers; many children are found through an index.
    template <typename Result, typename Find>
    Result* FindInChildren(std::string_view rest, Find find);

    TavStructList m_children;

private:
    // The children by name (in child order among equal names), and those whose names hold
    // a dot (a leaf is matched by the whole rest of a path). Built at the first lookup
    // among many children and again when their number changed.
    std::vector<std::pair<std::string_view, uint32_t>> m_index;
    std::vector<uint32_t> m_dotted;
};

class CTavLeafStruct : public CTavStruct {
public:
    using CTavStruct::CTavStruct;
    int Kind() const override { return kTavLeafStruct; }
    std::vector<CTavValue>* ChildValues() override { return &m_values; }
    std::vector<uint8_t>* Bytes() override { return &m_bytes; }
    bool Attach(CTavStruct* parent, CTavTextOut* errors) override;
    CTavStruct* FindStruct(std::string_view path) override;
    CTavValue* FindValue(std::string_view path) override;
    bool Transmit() const override;
    bool TransmitOnce(uint32_t pass) const override;
    // Forgets the pass the leaf was last sent in.
    void ClearTransmitPass() { m_sentInPass = 0; }
    std::unique_ptr<CTavStruct> Clone() const override;

    // Whether bytes, as long as this leaf's, hold only what its values can encode: data
    // bytes (below 80) everywhere and nibbles inside the nibble values.
    bool CanHold(const uint8_t* bytes) const;

    // Values whose ranges overlap the given range relative to this leaf, in order.
    void CollectValues(const TavRange& relative, std::vector<CTavValue*>& out);

private:
    std::vector<CTavValue> m_values;
    // Whether the values lie in address order without overlapping, so that those a range
    // touches are found by halving; learned when the leaf is attached.
    bool m_valuesInOrder = false;
    std::vector<uint8_t> m_bytes;
    // The transmit pass that last sent the leaf; 0 for none.
    mutable uint32_t m_sentInPass = 0;
};

// The interface of a root struct towards the MIDI side.
class ITavRootStruct {
public:
    virtual ~ITavRootStruct() = default;
    virtual void SetOutput(ITavDataOut* output) = 0;
    virtual ITavDataOut* Output() const = 0;
    // Stores a received data set for the linear address; false when the bytes do not lie
    // inside one leaf struct of this root.
    virtual bool ReceiveDataSet(int32_t address, const uint8_t* data, size_t size) = 0;
};

class CTavRootStruct : public CTavNodeStruct, public ITavRootStruct {
public:
    using CTavNodeStruct::CTavNodeStruct;
    int Kind() const override { return kTavRootStruct; }
    CTavRootStruct* AsRootStruct() override { return this; }
    bool Attach(CTavStruct* parent, CTavTextOut* errors) override;
    std::unique_ptr<CTavStruct> Clone() const override;

    void SetOutput(ITavDataOut* output) override { m_output = output; }
    ITavDataOut* Output() const override { return m_output; }
    bool ReceiveDataSet(int32_t address, const uint8_t* data, size_t size) override;

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    // The buffer manager that records the changes of received data.
    void SetBufferManager(CTavBufferManager* manager) { m_manager = manager; }
    CTavBufferManager* BufferManager() const { return m_manager; }

    // The leaf whose absolute range holds the whole range, and its absolute begin; null
    // when none does.
    CTavLeafStruct* FindLeaf(const TavRange& absolute, int32_t* leafBegin = nullptr);

private:
    struct LeafEntry {
        TavRange range; // absolute
        CTavLeafStruct* leaf;
    };
    // Every leaf with its absolute range, in address order, built at the first FindLeaf
    // after Attach. Used only when no two leaves overlap; otherwise the tree is searched.
    void IndexLeaves();
    std::vector<LeafEntry> m_leafIndex;
    bool m_leafIndexBuilt = false;
    bool m_leavesDisjoint = false;

    ITavDataOut* m_output = nullptr;
    CTavBufferManager* m_manager = nullptr;
    bool m_modified = false;
    // The values a received data set touched, kept between data sets so a transfer does not
    // allocate for each one; a data set received while handlers run takes its own list.
    std::vector<CTavValue*> m_received;
    bool m_receiving = false;
};

// What one build of the struct tree may make. A script that asks for more fails with a
// message instead of exhausting the stack, the memory or the user's patience.
constexpr size_t kTavMaxStructDepth = 32;                 // struct types nested in one another
constexpr int32_t kTavMaxLeafBytes = int32_t{1} << 20;    // one leaf's bytes, also one string value's
constexpr size_t kTavMaxModelBytes = size_t{64} << 20;    // all leaves' bytes together
constexpr size_t kTavMaxModelBuffers = size_t{1} << 20;   // structs and values together

// What the build has used so far; one for all root structs of a buffer manager.
struct TavStructBuildBudget {
    std::vector<const CTavTypeDefinition*> building; // the types being built, outermost first
    size_t buffers = 0;
    size_t bytes = 0;
    TavMacroWork macros;
};

// Builds a struct of the given kind from a struct definition and the struct types, and
// appends it (and the elements of its array) to list. The specs are interned in specs.
// Every failure writes its line to errors.
struct TavStructBuildContext {
    const std::vector<CTavTypeDefinition>& types;
    CTavSpecSet& specs;
    const CTavResourceManager* resources;
    CTavTextOut* errors;
    TavStructBuildBudget& budget;
};
bool TavBuildStruct(const TavStructBuildContext& context, int kind, const CTavElementDefinition& definition,
                    TavStructList& list, CTavStruct* parent, int32_t runningAddress);

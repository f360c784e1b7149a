#pragma once
// The buffer manager: owns the parameter memory (the struct trees built from the script's
// struct types and root structs) and runs every write to it. A write is offered to the
// buffer handlers first; otherwise the bytes are written, the change is recorded and the
// root struct marked modified. Pending changes are later transmitted to the device,
// published to the views and cleared. GUI thread only.

#include <cstdint>
#include <deque>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "model/CTavStruct.h"
#include "model/ITavBufferHandler.h"
#include "model/ITavBufferListener.h"
#include "script/CTavElementDefinition.h"

class CTavTextOut;
class CTavResourceManager;
class CTavBufferManager;
class ITavDataOut;

// Builds the MIDI structs of the definitions into the manager (see AddMidiStruct); the MIDI
// side provides it, so the model knows nothing of MIDI. False after the first failure.
using TavMidiStructBuilder = std::function<bool(
    CTavBufferManager& manager, const std::vector<CTavElementDefinition>& definitions, TavStructBuildBudget& budget)>;

class ITavBufferManager {
public:
    virtual ~ITavBufferManager() = default;
    virtual CTavStruct* FindMidiStruct(std::string_view name) = 0;
    virtual ITavRootStruct* FindRootStruct(std::string_view name) = 0;
    virtual void PublishPending(TavChangeOrigin origin = TavChangeOrigin::kEdit) = 0;
    virtual void ClearPending() = 0;
    virtual bool RegisterMidiMessageValue(ITavDataOut* output, std::string_view valuePath) = 0;
};

class CTavBufferManager : public ITavBufferManager {
public:
    CTavBufferManager();
    ~CTavBufferManager() override;

    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }

    std::vector<CTavTypeDefinition>& StructTypeDefinitions() { return m_structTypeDefinitions; }
    std::vector<CTavElementDefinition>& RootStructDefinitions() { return m_rootStructDefinitions; }
    std::vector<CTavElementDefinition>& MidiStructDefinitions() { return m_midiStructDefinitions; }

    // Builds the root structs, attaches them and resets them to their defaults, then
    // has the builder create the MIDI structs; frees the definitions. False after the
    // first failure (MIDI struct definitions without a builder fail).
    bool Create(CTavResourceManager& resourceManager, const TavMidiStructBuilder& buildMidiStructs = {});
    void Destroy();
    void AddMidiStruct(std::unique_ptr<CTavStruct> structure);

    // The listeners every published change and every user action goes to, in the order
    // they were added; not owned.
    void AddListener(ITavBufferListener& listener);
    void RemoveListener(ITavBufferListener& listener);
    // A user action begins, ends, or is given a better name (see ITavBufferListener).
    void BeginAction(std::string_view name = {}, TavActionScope scope = TavActionScope::kTouched);
    void EndAction();
    void NameAction(std::string_view name, TavActionScope scope = TavActionScope::kTouched);
    // Begins an action for its lifetime.
    class CAction {
    public:
        explicit CAction(CTavBufferManager& buffers, std::string_view name = {},
                         TavActionScope scope = TavActionScope::kTouched)
            : m_buffers(buffers) {
            m_buffers.BeginAction(name, scope);
        }
        ~CAction() { m_buffers.EndAction(); }
        CAction(const CAction&) = delete;
        CAction& operator=(const CAction&) = delete;

    private:
        CTavBufferManager& m_buffers;
    };

    const TavStructList& RootStructs() const { return m_roots; }
    const TavStructList& MidiStructs() const { return m_midiStructs; }
    CTavRootStruct* FindRoot(std::string_view name);

    // Path lookup over the root structs, then the MIDI structs; first match wins.
    CTavStruct* FindStruct(std::string_view path);
    CTavValue* FindValue(std::string_view path);

    // ITavBufferManager
    CTavStruct* FindMidiStruct(std::string_view name) override;
    ITavRootStruct* FindRootStruct(std::string_view name) override;
    // Tells the listeners of the pending changes; they stay pending.
    void PublishPending(TavChangeOrigin origin = TavChangeOrigin::kEdit) override;
    void ClearPending() override;
    bool RegisterMidiMessageValue(ITavDataOut* output, std::string_view valuePath) override;
    // The value of the first MIDI message value operator: the last message sent on its
    // output as hexadecimal text padded with blanks. None when no output registered one.
    CTavValue* FirstMidiMessageValue() const {
        return m_midiMessageValues.empty() ? nullptr : m_midiMessageValues.front().value;
    }
    // Brings the MIDI message values up to the last message of their outputs, whatever
    // sent it (an edit, a transfer's requests and data sets, an import), and tells the
    // views about those that changed; the pending changes are left as they are. The
    // editor calls it at every idle pass.
    void RefreshMidiMessageValues();

    // Writes. Each offers the write to the handlers first.
    void WriteInteger(CTavValue& value, int32_t raw);
    void WriteIntegerByPosition(CTavValue& value, int32_t position);
    void WriteIntegers(const TavIntegerWrites& writes);
    void WriteText(CTavValue& value, const std::string& text);
    void WriteTexts(const TavTextWrites& writes);
    void WriteList(CTavValue& value, const std::vector<int32_t>& list);
    void WriteLists(const TavListWrites& writes);
    void ResetValue(CTavValue& value);
    void ResetValues(const TavValueList& values);
    void ResetStruct(CTavStruct& structure);
    // Replaces all bytes of a leaf; a byte list of another length does nothing.
    void ReplaceLeafBytes(CTavLeafStruct& leaf, const std::vector<uint8_t>& bytes);
    // Copies bytes into every leaf of the struct, depth first, and records the changes of
    // their values; then runs the after-load hook. The bytes must cover the whole struct
    // (see BodySize).
    void LoadStruct(CTavStruct& structure, const uint8_t* bytes, size_t size);
    // Records the values as changed by received data and runs the after-receive hook.
    void RecordReceived(const TavValueList& values);

    // Bookkeeping.
    void RecordChange(CTavBuffer& buffer);
    void RecordChanges(const TavValueList& values);
    // Transmits the pending buffers not in the exclusion set in the order of their first
    // change, each leaf once however many of its values changed, then updates the MIDI
    // message values.
    void TransmitPending();
    void ExcludeFromTransmission(CTavBuffer& buffer) { m_excluded.insert(&buffer); }
    bool IsExcluded(const CTavBuffer& buffer) const { return m_excluded.count(&buffer) != 0; }
    const std::vector<CTavBuffer*>& PendingChanges() const { return m_pending; }

    // The handler chain; handlers added to it are owned by it.
    CTavBufferHandlers& Handlers() { return m_handlers; }
    CTavSpecSet& Specs() { return m_specs; }

    // The sum of the byte sizes of every leaf under the struct (the body of a data file).
    static size_t BodySize(const CTavStruct& structure);
    // Whether a body of BodySize bytes holds only bytes every leaf can hold (see
    // CTavLeafStruct::CanHold); false for a body of another size.
    static bool CanHoldBody(const CTavStruct& structure, const uint8_t* bytes, size_t size);

private:
    void WriteIntegersUnchecked(const TavIntegerWrites& writes);
    void WriteTextsUnchecked(const TavTextWrites& writes);
    void ResetUnchecked(const TavValueList& values);
    bool CreateRootStructs(TavStructBuildBudget& budget);
    void Publish(const std::vector<CTavBuffer*>& changed, TavChangeOrigin origin);
    // Sets the MIDI message values from their outputs' last messages; those whose text
    // changed are appended to changed.
    void UpdateMidiMessageValues(std::vector<CTavBuffer*>& changed);
    // The root structs a path may be found in (those named by its first component), in
    // creation order.
    template <typename Result, typename Find>
    Result* FindInRoots(std::string_view path, Find find);

    std::vector<CTavTypeDefinition> m_structTypeDefinitions;
    std::vector<CTavElementDefinition> m_rootStructDefinitions;
    std::vector<CTavElementDefinition> m_midiStructDefinitions;
    CTavSpecSet m_specs;
    TavStructList m_roots;
    TavStructList m_midiStructs;
    // The root structs by name, in creation order among equal names; built at the first
    // lookup and again when their number changed.
    std::vector<std::pair<std::string_view, uint32_t>> m_rootIndex;
    std::vector<CTavBuffer*> m_pending;
    std::unordered_set<const CTavBuffer*> m_excluded;
    // Numbers the transmits, so that a leaf knows whether the current one sent it.
    uint32_t m_transmitPass = 0;
    CTavBufferHandlers m_handlers;
    std::vector<ITavBufferListener*> m_listeners;
    // The listeners being told, one copy per depth of nested publishing (a deque, so that a
    // nested call adding a depth leaves the outer copies where they are).
    std::deque<std::vector<ITavBufferListener*>> m_publishing;
    size_t m_publishDepth = 0;
    CTavResourceManager* m_resourceManager = nullptr;
    CTavTextOut* m_errorOutput = nullptr;

    struct MidiMessageValue {
        ITavDataOut* output;
        CTavValue* value;
    };
    std::vector<MidiMessageValue> m_midiMessageValues;
};

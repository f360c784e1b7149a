#pragma once
// The edit history: undo and redo of every change to one root struct (the device memory).
//
// It listens to the buffer manager. A step is one user action (from BeginAction to
// EndAction, outermost pair); a change published outside any action is a step of its own,
// and one the device sent by itself is a "Device change". A step keeps, for each leaf it
// changed, the bytes before and after; the history holds a copy of the whole root (the
// bytes as the last step left them) to know the bytes before. Undo and redo write those
// bytes back without running the handlers, send each changed leaf once, publish the change
// and mark the root modified; the context values (selected part, pages) go back to what
// they were when the step was made, so the user sees what changed. The steps are bounded
// by memory, the oldest dropped first. GUI thread only.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/ITavBufferListener.h"

class CTavBufferManager;
class CTavLeafStruct;
class CTavRootStruct;
class CTavValue;

class CTavEditHistory : public ITavBufferListener {
public:
    static constexpr size_t kDefaultMemoryLimit = size_t{64} << 20;
    static constexpr std::string_view kDeviceChange = "Device change";

    // Names a step after the first value it changed.
    using Namer = std::function<std::string(const CTavValue& value)>;

    explicit CTavEditHistory(CTavBufferManager& buffers);
    ~CTavEditHistory() override;
    CTavEditHistory(const CTavEditHistory&) = delete;
    CTavEditHistory& operator=(const CTavEditHistory&) = delete;

    // Follows the root from now on and registers with the buffer manager; false when there
    // is no such root. Forgets every step.
    bool Attach(std::string_view rootName);
    // Forgets every step and takes the root's current bytes as where the next step starts.
    void Reset();

    // Values saved with each step and written back (through the handlers) before it is
    // undone or redone: the selected part, the pages shown.
    void SetContextValues(std::vector<CTavValue*> values) { m_contextValues = std::move(values); }
    void SetNamer(Namer namer) { m_namer = std::move(namer); }
    void SetMemoryLimit(size_t bytes);
    // Runs after undo or redo wrote bytes back (derived state the handlers would have kept).
    void SetAfterApply(std::function<void()> afterApply) { m_afterApply = std::move(afterApply); }

    bool CanUndo() const { return m_done > 0; }
    bool CanRedo() const { return m_done < m_steps.size(); }
    // The name of the step Undo or Redo would take; empty when there is none.
    std::string_view UndoName() const;
    std::string_view RedoName() const;
    bool Undo();
    bool Redo();

    size_t StepCount() const { return m_steps.size(); }
    size_t MemoryUsed() const { return m_memory; }
    // Grows whenever the steps or the position among them change.
    uint64_t Revision() const { return m_revision; }

    // ITavBufferListener
    void BuffersChanged(const std::vector<CTavBuffer*>& changed, TavChangeOrigin origin) override;
    void ActionBegun(std::string_view name, TavActionScope scope) override;
    void ActionEnded() override;
    void ActionNamed(std::string_view name, TavActionScope scope) override;

    // A readable name for a value: its path below the root in words, indices counted from
    // 1 ("qv.part[2].partLevel" gives "Part 3 Level").
    static std::string NameOfValue(const CTavValue& value);
    // One name in words, as NameOfValue says each step of a path ("sampleEdit" gives
    // "Sample Edit", "tone[1]" gives "Tone 2").
    static std::string WordsOfName(std::string_view name);

private:
    struct LeafChange {
        uint32_t leaf;
        uint32_t offset; // of the bytes before in the step's bytes; the bytes after follow
    };
    struct Step {
        std::string name;
        std::vector<LeafChange> leaves;
        std::vector<uint8_t> bytes;
        std::vector<int32_t> context;
        size_t Memory() const;
    };

    // Whether an action under way has changes that undo would mix with.
    bool IsGathering() const;
    void Touch(CTavBuffer& buffer);
    void TouchLeaf(uint32_t leaf);
    // Turns what the open step touched into a step (none when no byte differs).
    void CloseStep();
    void AddStep(Step&& step);
    void Apply(const Step& step, bool undo);
    void Forget();
    void TakeShadow();

    CTavBufferManager& m_buffers;
    CTavRootStruct* m_root = nullptr;
    bool m_listening = false;
    std::vector<CTavLeafStruct*> m_leaves;
    std::vector<uint32_t> m_leafOffsets; // into m_shadow
    std::unordered_map<const void*, uint32_t> m_leafIndex;
    std::vector<uint8_t> m_shadow;

    // The step being gathered.
    int m_depth = 0;
    std::string m_openName;
    TavActionScope m_openScope = TavActionScope::kTouched;
    std::vector<uint32_t> m_touched;
    std::vector<uint32_t> m_touchMarks; // per leaf: the generation that touched it
    uint32_t m_generation = 1;
    const CTavValue* m_firstValue = nullptr;
    std::vector<int32_t> m_openContext;

    std::deque<Step> m_steps;
    size_t m_done = 0; // steps before this one are done; from it on they can be redone
    size_t m_memory = 0;
    size_t m_memoryLimit = kDefaultMemoryLimit;
    uint64_t m_revision = 0;
    bool m_applying = false;

    std::vector<CTavValue*> m_contextValues;
    Namer m_namer;
    std::function<void()> m_afterApply;
};

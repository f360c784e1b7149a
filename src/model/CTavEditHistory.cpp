#include "model/CTavEditHistory.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"

CTavEditHistory::CTavEditHistory(CTavBufferManager& buffers) : m_buffers(buffers) {}

CTavEditHistory::~CTavEditHistory() {
    if (m_listening)
        m_buffers.RemoveListener(*this);
}

bool CTavEditHistory::Attach(std::string_view rootName) {
    m_root = m_buffers.FindRoot(rootName);
    m_leaves.clear();
    m_leafOffsets.clear();
    m_leafIndex.clear();
    if (!m_root)
        return false;
    uint32_t offset = 0;
    m_root->ForEachLeaf([&](CTavLeafStruct& leaf) {
        m_leafIndex.emplace(&leaf, static_cast<uint32_t>(m_leaves.size()));
        m_leaves.push_back(&leaf);
        m_leafOffsets.push_back(offset);
        offset += static_cast<uint32_t>(leaf.Bytes()->size());
    });
    m_shadow.assign(offset, 0);
    m_touchMarks.assign(m_leaves.size(), 0);
    if (!m_listening)
        m_buffers.AddListener(*this);
    m_listening = true;
    Reset();
    return true;
}

void CTavEditHistory::Reset() {
    Forget();
    TakeShadow();
    m_touched.clear();
    m_firstValue = nullptr;
    ++m_generation;
}

void CTavEditHistory::Forget() {
    m_steps.clear();
    m_done = 0;
    m_memory = 0;
    ++m_revision;
}

void CTavEditHistory::TakeShadow() {
    for (size_t i = 0; i < m_leaves.size(); ++i) {
        const std::vector<uint8_t>& bytes = *m_leaves[i]->Bytes();
        std::memcpy(m_shadow.data() + m_leafOffsets[i], bytes.data(), bytes.size());
    }
}

void CTavEditHistory::SetMemoryLimit(size_t bytes) {
    m_memoryLimit = bytes;
    while (m_memory > m_memoryLimit && !m_steps.empty()) {
        m_memory -= m_steps.front().Memory();
        m_steps.pop_front();
        if (m_done > 0)
            --m_done;
    }
    ++m_revision;
}

size_t CTavEditHistory::Step::Memory() const {
    return sizeof(Step) + name.capacity() + leaves.capacity() * sizeof(LeafChange) + bytes.capacity() +
           context.capacity() * sizeof(int32_t);
}

// ---- Gathering --------------------------------------------------------------------

void CTavEditHistory::TouchLeaf(uint32_t leaf) {
    if (m_touchMarks[leaf] == m_generation)
        return;
    m_touchMarks[leaf] = m_generation;
    if (m_touched.empty() && m_firstValue == nullptr) {
        m_openContext.clear();
        for (const CTavValue* value : m_contextValues)
            m_openContext.push_back(value ? value->GetRaw() : 0);
    }
    m_touched.push_back(leaf);
}

void CTavEditHistory::Touch(CTavBuffer& buffer) {
    if (buffer.Root() != m_root)
        return;
    if (buffer.IsValue()) {
        const auto found = m_leafIndex.find(buffer.Parent());
        if (found == m_leafIndex.end())
            return;
        TouchLeaf(found->second);
        if (!m_firstValue)
            m_firstValue = static_cast<const CTavValue*>(&buffer);
        return;
    }
    const auto found = m_leafIndex.find(&buffer);
    if (found != m_leafIndex.end()) {
        TouchLeaf(found->second);
        return;
    }
    static_cast<CTavStruct&>(buffer).ForEachLeaf([this](CTavLeafStruct& leaf) {
        const auto at = m_leafIndex.find(&leaf);
        if (at != m_leafIndex.end())
            TouchLeaf(at->second);
    });
}

void CTavEditHistory::BuffersChanged(const std::vector<CTavBuffer*>& changed, TavChangeOrigin origin) {
    if (!m_root)
        return;
    const bool wholeAction = m_depth > 0 && m_openScope == TavActionScope::kWholeState;
    // A memory read the whole action is (a Read) is taken as a whole when it ends.
    if (wholeAction && origin != TavChangeOrigin::kHistory && !m_applying)
        return;
    if (m_applying || origin == TavChangeOrigin::kHistory || origin == TavChangeOrigin::kDeviceCopy) {
        // What undo or redo wrote (and what the handlers did with the context), and what
        // the device's memory was read back as, is where the next step starts: undoing a
        // read of one part would push bytes the device never held.
        for (CTavBuffer* buffer : changed) {
            if (!buffer || buffer->Root() != m_root)
                continue;
            const CTavLeafStruct* leaf =
                buffer->IsValue() ? dynamic_cast<const CTavLeafStruct*>(buffer->Parent())
                                  : dynamic_cast<const CTavLeafStruct*>(buffer);
            const auto found = leaf ? m_leafIndex.find(leaf) : m_leafIndex.end();
            if (found == m_leafIndex.end())
                continue;
            const std::vector<uint8_t>& bytes = *m_leaves[found->second]->Bytes();
            std::memcpy(m_shadow.data() + m_leafOffsets[found->second], bytes.data(), bytes.size());
        }
        return;
    }
    const bool inAction = m_depth > 0;
    const bool fromDevice = origin == TavChangeOrigin::kDevice;
    // The device's own change is a step of its own, between the parts of the action.
    if (fromDevice && inAction)
        CloseStep();
    for (CTavBuffer* buffer : changed)
        if (buffer)
            Touch(*buffer);
    if (fromDevice) {
        const std::string name = std::move(m_openName);
        m_openName = kDeviceChange;
        CloseStep();
        m_openName = inAction ? name : std::string();
    } else if (!inAction) {
        CloseStep();
    }
}

void CTavEditHistory::ActionBegun(std::string_view name, TavActionScope scope) {
    if (m_applying)
        return;
    if (m_depth++ == 0) {
        m_openName = name;
        m_openScope = scope;
        return;
    }
    ActionNamed(name, scope);
}

void CTavEditHistory::ActionEnded() {
    if (m_applying || m_depth == 0)
        return;
    if (--m_depth == 0) {
        CloseStep();
        m_openName.clear();
        m_openScope = TavActionScope::kTouched;
    }
}

void CTavEditHistory::ActionNamed(std::string_view name, TavActionScope scope) {
    if (m_applying || m_depth == 0)
        return;
    if (m_openName.empty())
        m_openName = name;
    if (scope == TavActionScope::kWholeState)
        m_openScope = scope;
}

void CTavEditHistory::CloseStep() {
    if (!m_root)
        return;
    const bool whole = m_openScope == TavActionScope::kWholeState;
    const size_t candidates = whole ? m_leaves.size() : m_touched.size();
    Step step;
    for (size_t i = 0; i < candidates; ++i) {
        const uint32_t leaf = whole ? static_cast<uint32_t>(i) : m_touched[i];
        const std::vector<uint8_t>& now = *m_leaves[leaf]->Bytes();
        uint8_t* before = m_shadow.data() + m_leafOffsets[leaf];
        if (std::memcmp(before, now.data(), now.size()) == 0)
            continue;
        const auto offset = static_cast<uint32_t>(step.bytes.size());
        step.bytes.insert(step.bytes.end(), before, before + now.size());
        step.bytes.insert(step.bytes.end(), now.begin(), now.end());
        std::memcpy(before, now.data(), now.size());
        step.leaves.push_back({leaf, offset});
    }
    const CTavValue* first = m_firstValue;
    m_touched.clear();
    m_firstValue = nullptr;
    if (++m_generation == 0) {
        std::fill(m_touchMarks.begin(), m_touchMarks.end(), 0);
        m_generation = 1;
    }
    if (step.leaves.empty())
        return;
    step.name = m_openName;
    if (step.name.empty() && first)
        step.name = m_namer ? m_namer(*first) : NameOfValue(*first);
    if (step.name.empty())
        step.name = "Edit";
    step.context = std::move(m_openContext);
    m_openContext.clear();
    if (step.context.size() != m_contextValues.size())
        step.context.clear();
    AddStep(std::move(step));
}

void CTavEditHistory::AddStep(Step&& step) {
    // A new step takes the place of whatever could have been redone.
    while (m_steps.size() > m_done) {
        m_memory -= m_steps.back().Memory();
        m_steps.pop_back();
    }
    m_memory += step.Memory();
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
    while (m_memory > m_memoryLimit && m_steps.size() > 1) {
        m_memory -= m_steps.front().Memory();
        m_steps.pop_front();
        --m_done;
    }
    ++m_revision;
}

// ---- Undo and redo ----------------------------------------------------------------

std::string_view CTavEditHistory::UndoName() const {
    return CanUndo() ? std::string_view(m_steps[m_done - 1].name) : std::string_view();
}

std::string_view CTavEditHistory::RedoName() const {
    return CanRedo() ? std::string_view(m_steps[m_done].name) : std::string_view();
}

bool CTavEditHistory::IsGathering() const {
    // An open action that changed nothing yet (a modifier key held for the shortcut) does
    // not stand in the way.
    return m_depth > 0 && (!m_touched.empty() || m_openScope == TavActionScope::kWholeState);
}

bool CTavEditHistory::Undo() {
    if (!CanUndo() || m_applying || IsGathering())
        return false;
    --m_done;
    Apply(m_steps[m_done], true);
    ++m_revision;
    return true;
}

bool CTavEditHistory::Redo() {
    if (!CanRedo() || m_applying || IsGathering())
        return false;
    Apply(m_steps[m_done], false);
    ++m_done;
    ++m_revision;
    return true;
}

void CTavEditHistory::Apply(const Step& step, bool undo) {
    m_applying = true;
    // Changes left pending by someone else go out first, so that they are not taken for
    // this step's.
    m_buffers.PublishPending();
    m_buffers.ClearPending();
    if (step.context.size() == m_contextValues.size()) {
        TavIntegerWrites writes;
        for (size_t i = 0; i < m_contextValues.size(); ++i)
            if (m_contextValues[i] && m_contextValues[i]->GetRaw() != step.context[i])
                writes.emplace_back(m_contextValues[i], step.context[i]);
        if (!writes.empty()) {
            m_buffers.WriteIntegers(writes);
            m_buffers.TransmitPending();
            m_buffers.PublishPending();
            m_buffers.ClearPending();
        }
    }
    for (const LeafChange& change : step.leaves) {
        CTavLeafStruct& leaf = *m_leaves[change.leaf];
        std::vector<uint8_t>& bytes = *leaf.Bytes();
        const uint8_t* source = step.bytes.data() + change.offset + (undo ? 0 : bytes.size());
        std::memcpy(bytes.data(), source, bytes.size());
        std::memcpy(m_shadow.data() + m_leafOffsets[change.leaf], source, bytes.size());
        for (CTavValue& value : *leaf.ChildValues())
            m_buffers.RecordChange(value);
    }
    m_buffers.TransmitPending();
    m_buffers.PublishPending(TavChangeOrigin::kHistory);
    m_buffers.ClearPending();
    m_root->SetModified(true);
    if (m_afterApply)
        m_afterApply();
    m_applying = false;
}

// ---- Names ------------------------------------------------------------------------

namespace {

// "partLevel[2]" → words "Part", "Level", "3"; a trailing index counts from 1.
void AppendWords(std::string_view name, std::vector<std::string>& words) {
    std::string index;
    const size_t bracket = name.find('[');
    if (bracket != std::string_view::npos) {
        const std::string_view digits = name.substr(bracket + 1, name.find(']', bracket) - bracket - 1);
        int number = 0;
        bool valid = !digits.empty() && digits.size() < 7;
        for (char c : digits)
            valid = valid && std::isdigit(static_cast<unsigned char>(c));
        if (valid) {
            for (char c : digits)
                number = number * 10 + (c - '0');
            index = std::to_string(number + 1);
        }
        name = name.substr(0, bracket);
    }
    std::string word;
    auto flush = [&] {
        if (word.empty())
            return;
        word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
        if (words.empty() || words.back() != word)
            words.push_back(word);
        word.clear();
    };
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool upper = std::isupper(c);
        const bool nextLower = i + 1 < name.size() && std::islower(static_cast<unsigned char>(name[i + 1]));
        // "MFXLevel" splits before "Level"; "MFX" stays a word.
        if (upper && !word.empty() &&
            (!std::isupper(static_cast<unsigned char>(word.back())) || nextLower))
            flush();
        if (std::isalnum(c))
            word += static_cast<char>(c);
        else
            flush();
    }
    flush();
    if (!index.empty())
        words.push_back(index);
}

std::string JoinWords(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        if (!text.empty())
            text += ' ';
        text += word;
    }
    return text;
}

} // namespace

std::string CTavEditHistory::NameOfValue(const CTavValue& value) {
    // The indexed structs on the way down say where (part, tone); the value says what.
    std::vector<const CTavBuffer*> chain;
    for (const CTavBuffer* at = &value; at && at->Parent(); at = at->Parent())
        chain.push_back(at);
    std::vector<std::string> words;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const std::string& name = (*it)->Name();
        if (*it != &value && name.find('[') == std::string::npos)
            continue;
        std::vector<std::string> own;
        AppendWords(name, own);
        // "part[2].partLevel" reads "Part 3 Level", not "Part 3 Part Level".
        if (!own.empty() && words.size() >= 2 && own.front() == words[words.size() - 2])
            own.erase(own.begin());
        words.insert(words.end(), own.begin(), own.end());
    }
    return JoinWords(words);
}

std::string CTavEditHistory::WordsOfName(std::string_view name) {
    std::vector<std::string> words;
    AppendWords(name, words);
    return JoinWords(words);
}

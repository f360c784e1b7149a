#include "model/CTavBufferManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/CTavTextOut.h"
#include "model/ITavDataOut.h"
#include "script/CTavResourceManager.h"

CTavBufferManager::CTavBufferManager() = default;

CTavBufferManager::~CTavBufferManager() = default;

// ---- Creation ---------------------------------------------------------------------

bool CTavBufferManager::Create(CTavResourceManager& resourceManager, const TavMidiStructBuilder& buildMidiStructs) {
    m_resourceManager = &resourceManager;
    TavStructBuildBudget budget;
    bool created = CreateRootStructs(budget);
    // The definitions are freed when this returns, whether or not creation succeeds.
    const std::vector<CTavElementDefinition> midiDefinitions = std::move(m_midiStructDefinitions);
    m_midiStructDefinitions.clear();
    if (created && !midiDefinitions.empty())
        created = buildMidiStructs && buildMidiStructs(*this, midiDefinitions, budget);
    m_structTypeDefinitions.clear();
    m_rootStructDefinitions.clear();
    return created;
}

void CTavBufferManager::AddMidiStruct(std::unique_ptr<CTavStruct> structure) {
    if (auto* root = dynamic_cast<CTavRootStruct*>(structure.get()))
        root->SetBufferManager(this);
    m_midiStructs.push_back(std::move(structure));
}

void CTavBufferManager::AddListener(ITavBufferListener& listener) {
    if (std::find(m_listeners.begin(), m_listeners.end(), &listener) == m_listeners.end())
        m_listeners.push_back(&listener);
}

void CTavBufferManager::RemoveListener(ITavBufferListener& listener) {
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), &listener), m_listeners.end());
}

void CTavBufferManager::BeginAction(std::string_view name, TavActionScope scope) {
    for (ITavBufferListener* listener : m_listeners)
        listener->ActionBegun(name, scope);
}

void CTavBufferManager::EndAction() {
    for (ITavBufferListener* listener : m_listeners)
        listener->ActionEnded();
}

void CTavBufferManager::NameAction(std::string_view name, TavActionScope scope) {
    for (ITavBufferListener* listener : m_listeners)
        listener->ActionNamed(name, scope);
}

void CTavBufferManager::Publish(const std::vector<CTavBuffer*>& changed, TavChangeOrigin origin) {
    // A listener removed while being told (a view closing) is not told again; the list is
    // copied so that it may change meanwhile. A listener may publish in turn, so each depth
    // has its own copy, kept between calls: publishing every received data set allocates
    // nothing once the copies have grown.
    if (m_publishDepth == m_publishing.size())
        m_publishing.emplace_back();
    std::vector<ITavBufferListener*>& listeners = m_publishing[m_publishDepth++];
    listeners.assign(m_listeners.begin(), m_listeners.end());
    for (ITavBufferListener* listener : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            listener->BuffersChanged(changed, origin);
    --m_publishDepth;
}

bool CTavBufferManager::CreateRootStructs(TavStructBuildBudget& budget) {
    const TavStructBuildContext context{m_structTypeDefinitions, m_specs, m_resourceManager, m_errorOutput, budget};
    for (const CTavElementDefinition& definition : m_rootStructDefinitions) {
        const size_t first = m_roots.size();
        if (!TavBuildStruct(context, kTavRootStruct, definition, m_roots, nullptr, 0)) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to convert root struct definition %s to root struct.\n",
                                      definition.type.c_str());
            return false;
        }
        for (size_t i = first; i < m_roots.size(); ++i) {
            auto& root = static_cast<CTavRootStruct&>(*m_roots[i]);
            root.SetBufferManager(this);
            if (!root.Attach(nullptr, m_errorOutput)) {
                if (m_errorOutput)
                    m_errorOutput->Printf("Unable to create root struct %s.\n", root.Name().c_str());
                return false;
            }
            root.ResetToDefaults();
        }
    }
    return true;
}

void CTavBufferManager::Destroy() {
    m_pending.clear();
    m_excluded.clear();
    m_midiMessageValues.clear();
    m_listeners.clear();
    m_handlers.Clear();
    m_rootIndex.clear();
    m_roots.clear();
    m_midiStructs.clear();
    m_specs.Clear();
    m_structTypeDefinitions.clear();
    m_rootStructDefinitions.clear();
    m_midiStructDefinitions.clear();
}

// ---- Lookup -----------------------------------------------------------------------

CTavRootStruct* CTavBufferManager::FindRoot(std::string_view name) {
    for (auto& root : m_roots)
        if (root->Name() == name)
            return static_cast<CTavRootStruct*>(root.get());
    return nullptr;
}

template <typename Result, typename Find>
Result* CTavBufferManager::FindInRoots(std::string_view path, Find find) {
    if (m_rootIndex.size() != m_roots.size()) {
        m_rootIndex.clear();
        for (uint32_t i = 0; i < m_roots.size(); ++i)
            m_rootIndex.emplace_back(m_roots[i]->Name(), i);
        std::sort(m_rootIndex.begin(), m_rootIndex.end());
    }
    std::string_view first, rest;
    TavSplitPath(path, first, rest);
    for (auto it = std::lower_bound(m_rootIndex.begin(), m_rootIndex.end(), std::make_pair(first, uint32_t{0}));
         it != m_rootIndex.end() && it->first == first; ++it)
        if (Result* found = find(*m_roots[it->second]))
            return found;
    for (auto& structure : m_midiStructs)
        if (Result* found = find(*structure))
            return found;
    return nullptr;
}

CTavStruct* CTavBufferManager::FindStruct(std::string_view path) {
    return FindInRoots<CTavStruct>(path, [path](CTavStruct& root) { return root.FindStruct(path); });
}

CTavValue* CTavBufferManager::FindValue(std::string_view path) {
    return FindInRoots<CTavValue>(path, [path](CTavStruct& root) { return root.FindValue(path); });
}

CTavStruct* CTavBufferManager::FindMidiStruct(std::string_view name) {
    for (auto& structure : m_midiStructs)
        if (structure->Name() == name)
            return structure.get();
    return nullptr;
}

ITavRootStruct* CTavBufferManager::FindRootStruct(std::string_view name) {
    if (CTavRootStruct* root = FindRoot(name))
        return root;
    return dynamic_cast<ITavRootStruct*>(FindMidiStruct(name));
}

// ---- Writes -----------------------------------------------------------------------

void CTavBufferManager::WriteIntegersUnchecked(const TavIntegerWrites& writes) {
    TavValueList written;
    written.reserve(writes.size());
    for (const auto& [value, raw] : writes) {
        value->SetRaw(raw);
        RecordChange(*value);
        written.push_back(value);
    }
    m_handlers.AfterWrite(written);
}

void CTavBufferManager::WriteTextsUnchecked(const TavTextWrites& writes) {
    TavValueList written;
    written.reserve(writes.size());
    for (const auto& [value, text] : writes) {
        value->SetText(text);
        RecordChange(*value);
        written.push_back(value);
    }
    m_handlers.AfterWrite(written);
}

void CTavBufferManager::WriteInteger(CTavValue& value, int32_t raw) {
    WriteIntegers({{&value, raw}});
}

void CTavBufferManager::WriteIntegerByPosition(CTavValue& value, int32_t position) {
    WriteInteger(value, value.Spec().RawOfPosition(position));
}

void CTavBufferManager::WriteIntegers(const TavIntegerWrites& writes) {
    if (!m_handlers.BeforeWriteIntegers(writes))
        WriteIntegersUnchecked(writes);
}

void CTavBufferManager::WriteText(CTavValue& value, const std::string& text) {
    WriteTexts({{&value, text}});
}

void CTavBufferManager::WriteTexts(const TavTextWrites& writes) {
    if (!m_handlers.BeforeWriteTexts(writes))
        WriteTextsUnchecked(writes);
}

void CTavBufferManager::WriteList(CTavValue& value, const std::vector<int32_t>& list) {
    WriteLists({{&value, list}});
}

void CTavBufferManager::WriteLists(const TavListWrites& writes) {
    if (m_handlers.BeforeWriteLists(writes))
        return;
    TavValueList written;
    for (const auto& [value, list] : writes) {
        value->SetList(list);
        RecordChange(*value);
        written.push_back(value);
    }
    m_handlers.AfterWrite(written);
}

void CTavBufferManager::ResetValue(CTavValue& value) {
    ResetValues({&value});
}

void CTavBufferManager::ResetValues(const TavValueList& values) {
    // Integers and texts are offered to their own before-hooks; a hook that takes either
    // part over leaves that part unwritten.
    TavIntegerWrites integers;
    TavTextWrites texts;
    TavValueList others;
    for (CTavValue* value : values) {
        switch (value->Kind()) {
        case kTavKindInteger:
            integers.emplace_back(value, value->Spec().defaultValue);
            break;
        case kTavKindString: {
            std::string text = value->Spec().defaultText;
            text.resize(static_cast<size_t>(std::max(value->Size(), 0)), ' ');
            texts.emplace_back(value, std::move(text));
            break;
        }
        default:
            others.push_back(value);
            break;
        }
    }
    TavValueList reset;
    if (!integers.empty() && !m_handlers.BeforeWriteIntegers(integers))
        for (const auto& entry : integers)
            reset.push_back(entry.first);
    if (!texts.empty() && !m_handlers.BeforeWriteTexts(texts))
        for (const auto& entry : texts)
            reset.push_back(entry.first);
    reset.insert(reset.end(), others.begin(), others.end());
    ResetUnchecked(reset);
}

void CTavBufferManager::ResetUnchecked(const TavValueList& values) {
    for (CTavValue* value : values) {
        value->ResetToDefault();
        RecordChange(*value);
    }
    if (!values.empty())
        m_handlers.AfterWrite(values);
}

void CTavBufferManager::ResetStruct(CTavStruct& structure) {
    TavValueList values;
    structure.ForEachValue([&values](CTavValue& value) { values.push_back(&value); });
    ResetValues(values);
}

void CTavBufferManager::ReplaceLeafBytes(CTavLeafStruct& leaf, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t>& own = *leaf.Bytes();
    if (bytes.size() != own.size())
        return;
    // The hooks see each value's new contents as read from the new bytes.
    TavIntegerWrites integers;
    TavTextWrites texts;
    for (CTavValue& value : *leaf.ChildValues()) {
        const TavRange range = value.Range();
        if (value.Kind() == kTavKindInteger)
            integers.emplace_back(&value, TavDecodeValue(value.Spec().type, bytes.data() + range.begin));
        else if (value.Kind() == kTavKindString)
            texts.emplace_back(&value, std::string(bytes.begin() + range.begin, bytes.begin() + range.end));
    }
    const bool integersTaken = m_handlers.BeforeWriteIntegers(integers);
    const bool textsTaken = m_handlers.BeforeWriteTexts(texts);
    if (integersTaken || textsTaken)
        return;
    own = bytes;
    TavValueList written;
    for (CTavValue& value : *leaf.ChildValues()) {
        RecordChange(value);
        written.push_back(&value);
    }
    m_handlers.AfterWrite(written);
}

size_t CTavBufferManager::BodySize(const CTavStruct& structure) {
    size_t size = 0;
    const_cast<CTavStruct&>(structure).ForEachLeaf(
        [&size](CTavLeafStruct& leaf) { size += leaf.Bytes()->size(); });
    return size;
}

bool CTavBufferManager::CanHoldBody(const CTavStruct& structure, const uint8_t* bytes, size_t size) {
    if (size != BodySize(structure))
        return false;
    bool valid = true;
    size_t offset = 0;
    const_cast<CTavStruct&>(structure).ForEachLeaf([&](CTavLeafStruct& leaf) {
        valid = valid && leaf.CanHold(bytes + offset);
        offset += leaf.Bytes()->size();
    });
    return valid;
}

void CTavBufferManager::LoadStruct(CTavStruct& structure, const uint8_t* bytes, size_t size) {
    TavValueList loaded;
    size_t offset = 0;
    structure.ForEachLeaf([&](CTavLeafStruct& leaf) {
        std::vector<uint8_t>& own = *leaf.Bytes();
        const size_t count = std::min(own.size(), size - offset);
        if (count > 0)
            std::memcpy(own.data(), bytes + offset, count);
        offset += count;
        for (CTavValue& value : *leaf.ChildValues()) {
            RecordChange(value);
            loaded.push_back(&value);
        }
    });
    m_handlers.AfterLoad(loaded);
}

void CTavBufferManager::RecordReceived(const TavValueList& values) {
    RecordChanges(values);
    m_handlers.AfterReceive(values);
}

// ---- Bookkeeping ------------------------------------------------------------------

namespace {

// Marks the root struct holding the buffer as modified; buffers outside one are left alone.
void MarkRootModified(CTavBuffer& buffer) {
    if (CTavStruct* top = buffer.Root(); CTavRootStruct* root = top ? top->AsRootStruct() : nullptr)
        root->SetModified(true);
}

} // namespace

void CTavBufferManager::RecordChange(CTavBuffer& buffer) {
    m_pending.push_back(&buffer);
    MarkRootModified(buffer);
}

void CTavBufferManager::RecordChanges(const TavValueList& values) {
    // The values of a list mostly come from one leaf, whose root is found once for them.
    const CTavStruct* leaf = nullptr;
    for (CTavValue* value : values) {
        m_pending.push_back(value);
        if (leaf && value->Parent() == leaf)
            continue;
        leaf = value->Parent();
        MarkRootModified(*value);
    }
}

void CTavBufferManager::TransmitPending() {
    // Each leaf remembers the pass that sent it, so a leaf goes out once without a set of
    // sent leaves being built on every edit. When the counter wraps, older marks could
    // look current, so they are all cleared.
    if (++m_transmitPass == 0) {
        for (auto* list : {&m_roots, &m_midiStructs})
            for (auto& structure : *list)
                structure->ForEachLeaf([](CTavLeafStruct& leaf) { leaf.ClearTransmitPass(); });
        m_transmitPass = 1;
    }
    const bool anyExcluded = !m_excluded.empty();
    for (CTavBuffer* buffer : m_pending) {
        if (anyExcluded && m_excluded.count(buffer))
            continue;
        if (buffer->IsValue())
            static_cast<CTavValue*>(buffer)->TransmitOnce(m_transmitPass);
        else
            static_cast<CTavStruct*>(buffer)->TransmitOnce(m_transmitPass);
    }
    std::vector<CTavBuffer*> changed;
    UpdateMidiMessageValues(changed);
    for (CTavBuffer* value : changed)
        RecordChange(*value);
}

void CTavBufferManager::PublishPending(TavChangeOrigin origin) {
    if (m_listeners.empty())
        return;
    // A view may write while it is told (a keyboard letting its note go as its panel
    // closes). That write is a transaction of its own on an empty list, so it neither
    // sends these changes again nor clears the list being published; whatever it leaves
    // pending joins them afterwards.
    std::vector<CTavBuffer*> publishing;
    publishing.swap(m_pending);
    Publish(publishing, origin);
    publishing.insert(publishing.end(), m_pending.begin(), m_pending.end());
    m_pending.swap(publishing);
}

void CTavBufferManager::ClearPending() {
    m_pending.clear();
    // Clearing a hash set wipes all its buckets, even when it holds nothing.
    if (!m_excluded.empty())
        m_excluded.clear();
}

bool CTavBufferManager::RegisterMidiMessageValue(ITavDataOut* output, std::string_view valuePath) {
    CTavValue* value = FindValue(valuePath);
    if (!value)
        return false;
    m_midiMessageValues.push_back({output, value});
    return true;
}

void CTavBufferManager::RefreshMidiMessageValues() {
    std::vector<CTavBuffer*> changed;
    UpdateMidiMessageValues(changed);
    if (!changed.empty())
        Publish(changed, TavChangeOrigin::kEdit);
}

void CTavBufferManager::UpdateMidiMessageValues(std::vector<CTavBuffer*>& changed) {
    for (const MidiMessageValue& entry : m_midiMessageValues) {
        if (!entry.output)
            continue;
        const std::vector<uint8_t>& message = entry.output->LastMessage();
        if (message.empty() || message.size() > 256)
            continue;
        std::string text;
        text.reserve(message.size() * 3);
        // Runs on every edit and idle pass, so the digits come from a table rather than a
        // formatter.
        static constexpr char kDigits[] = "0123456789ABCDEF";
        for (uint8_t byte : message) {
            text += kDigits[byte >> 4];
            text += kDigits[byte & 0x0F];
            text += ' ';
        }
        text.pop_back();
        const size_t size = static_cast<size_t>(std::max(entry.value->Size(), 0));
        if (text.size() > size)
            continue;
        text.resize(size, ' ');
        if (text != entry.value->GetText()) {
            entry.value->SetText(text);
            changed.push_back(entry.value);
        }
    }
}

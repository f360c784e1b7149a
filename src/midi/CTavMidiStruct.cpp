#include "midi/CTavMidiStruct.h"

#include <algorithm>
#include <string>

#include "app/CTavTextOut.h"
#include "midi/ITavMidiOut.h"
#include "model/CTavBufferManager.h"

namespace {

// The index of a name "prefix[i]" with i in plain decimal (no sign, blanks or leading
// zeros) and below limit; -1 for any other text. Only the names the values carry resolve.
int ParseIndexedName(std::string_view name, std::string_view prefix, int limit) {
    if (!name.starts_with(prefix))
        return -1;
    name.remove_prefix(prefix.size());
    if (name.size() < 3 || name.front() != '[' || name.back() != ']')
        return -1;
    const std::string_view digits = name.substr(1, name.size() - 2);
    if (digits.size() > 3 || (digits.size() > 1 && digits.front() == '0'))
        return -1;
    int index = 0;
    for (char digit : digits) {
        if (digit < '0' || digit > '9')
            return -1;
        index = index * 10 + (digit - '0');
    }
    return index < limit ? index : -1;
}

std::string IndexedName(const char* prefix, int index) {
    return prefix + ("[" + std::to_string(index) + "]");
}

// MIDI values have no address: their ranges are empty so that they never overlap device
// memory when handlers compare ranges.
CTavValueSpec MakeValueSpec(std::string name, int type, int32_t minimum, int32_t maximum) {
    CTavValueSpec spec;
    spec.name = std::move(name);
    spec.type = type;
    spec.minimum = minimum;
    spec.maximum = maximum;
    spec.defaultValue = 0;
    return spec;
}

void SendShort(ITavMidiOut& output, int status, int data1, int data2) {
    output.SendShort(
        TavPackShort(static_cast<uint8_t>(status), static_cast<uint8_t>(data1), static_cast<uint8_t>(data2)));
}

} // namespace

// ---- Values -----------------------------------------------------------------------

CTavStruct* CTavMidiChannelValue::Parent() const {
    return m_channel;
}

int CTavMidiChannelValue::ChannelNumber() const {
    return m_channel->Number();
}

ITavMidiOut* CTavMidiChannelValue::Output() const {
    return m_channel->Output();
}

CTavValueSpec CTavMidiNoteValue::MakeSpec() {
    return MakeValueSpec("note", kTavDerived, -127, 127);
}

CTavMidiNoteValue::CTavMidiNoteValue(const CTavValueSpec* spec, CTavMidiChannel* channel)
    : CTavMidiChannelValue(spec, channel) {
    m_sent.fill(true);
}

void CTavMidiNoteValue::SetList(const std::vector<int32_t>& list) {
    if (list.size() != kNoteCount)
        return;
    for (int note = 0; note < kNoteCount; ++note) {
        // States go out as data bytes, so they stay within -127..127.
        const int32_t state = std::clamp(list[static_cast<size_t>(note)], int32_t{-127}, int32_t{127});
        if (state == m_states[static_cast<size_t>(note)])
            continue;
        m_states[static_cast<size_t>(note)] = state;
        m_sent[static_cast<size_t>(note)] = false;
        MoveToEnd(note);
    }
}

std::vector<int32_t> CTavMidiNoteValue::GetList() const {
    return {m_states.begin(), m_states.end()};
}

bool CTavMidiNoteValue::Transmit() const {
    ITavMidiOut* output = Output();
    if (!output)
        return false;
    const int channel = ChannelNumber();
    for (int note = 0; note < kNoteCount; ++note) {
        if (m_sent[static_cast<size_t>(note)])
            continue;
        const int32_t state = m_states[static_cast<size_t>(note)];
        if (state > 0)
            SendShort(*output, 0x90 | channel, note, state);
        else
            SendShort(*output, 0x80 | channel, note, -state);
        m_sent[static_cast<size_t>(note)] = true;
    }
    return true;
}

void CTavMidiNoteValue::Receive(int note, int32_t state) {
    m_states[static_cast<size_t>(note)] = state;
    MoveToEnd(note);
}

void CTavMidiNoteValue::MoveToEnd(int note) {
    std::erase(m_recent, note);
    m_recent.push_back(note);
}

CTavValueSpec CTavMidiCcValue::MakeSpec(int controller) {
    return MakeValueSpec(IndexedName("cc", controller), kTavInt1x7, 0, 127);
}

bool CTavMidiCcValue::Transmit() const {
    ITavMidiOut* output = Output();
    if (!output)
        return false;
    SendShort(*output, 0xB0 | ChannelNumber(), m_controller, m_data);
    return true;
}

CTavValueSpec CTavMidiCc2Value::MakeSpec(int pair) {
    return MakeValueSpec(IndexedName("cc2", pair), kTavInt2x7, 0, 16383);
}

void CTavMidiCc2Value::SetRaw(int32_t raw) {
    Record().Cc(m_pair).SetRaw((raw >> 7) & 0x7F);
    Record().Cc(m_pair + 32).SetRaw(raw & 0x7F);
}

int32_t CTavMidiCc2Value::GetRaw() const {
    return Record().Cc(m_pair).GetRaw() * 128 + Record().Cc(m_pair + 32).GetRaw();
}

bool CTavMidiCc2Value::Transmit() const {
    return Record().Cc(m_pair).Transmit() && Record().Cc(m_pair + 32).Transmit();
}

CTavValueSpec CTavMidiReceivedValue::MakeSpec() {
    return MakeValueSpec("received", kTavInt1x7, 0, 1);
}

TavMidiValueSpecs TavMidiValueSpecs::Intern(CTavSpecSet& specs) {
    TavMidiValueSpecs interned;
    interned.note = specs.Intern(CTavMidiNoteValue::MakeSpec());
    for (int n = 0; n < CTavMidiCcValue::kCount; ++n)
        interned.cc[static_cast<size_t>(n)] = specs.Intern(CTavMidiCcValue::MakeSpec(n));
    for (int n = 0; n < CTavMidiCc2Value::kCount; ++n)
        interned.cc2[static_cast<size_t>(n)] = specs.Intern(CTavMidiCc2Value::MakeSpec(n));
    interned.received = specs.Intern(CTavMidiReceivedValue::MakeSpec());
    return interned;
}

// ---- Channel records --------------------------------------------------------------

CTavMidiChannel::CTavMidiChannel(const CTavStructSpec* spec, int number, const TavMidiValueSpecs& specs)
    : CTavStruct(spec), m_number(number), m_note(specs.note, this), m_received(specs.received, this) {
    m_cc.reserve(CTavMidiCcValue::kCount);
    for (int n = 0; n < CTavMidiCcValue::kCount; ++n)
        m_cc.emplace_back(specs.cc[static_cast<size_t>(n)], this, n);
    m_cc2.reserve(CTavMidiCc2Value::kCount);
    for (int n = 0; n < CTavMidiCc2Value::kCount; ++n)
        m_cc2.emplace_back(specs.cc2[static_cast<size_t>(n)], this, n);
}

CTavMidiChannel::CTavMidiChannel(const CTavMidiChannel& other)
    : CTavStruct(other), m_number(other.m_number), m_note(other.m_note), m_cc(other.m_cc), m_cc2(other.m_cc2),
      m_received(other.m_received) {
    BindValues();
}

void CTavMidiChannel::BindValues() {
    m_note.SetChannel(this);
    for (CTavMidiCcValue& value : m_cc)
        value.SetChannel(this);
    for (CTavMidiCc2Value& value : m_cc2)
        value.SetChannel(this);
    m_received.SetChannel(this);
}

bool CTavMidiChannel::Attach(CTavStruct* parent, CTavTextOut*) {
    m_parent = parent;
    return true;
}

CTavStruct* CTavMidiChannel::FindStruct(std::string_view path) {
    return path == Name() ? this : nullptr;
}

CTavValue* CTavMidiChannel::FindValue(std::string_view path) {
    std::string_view first, rest;
    TavSplitPath(path, first, rest);
    return first == Name() ? ValueNamed(rest) : nullptr;
}

CTavMidiChannelValue* CTavMidiChannel::ValueNamed(std::string_view name) {
    if (name == "note")
        return &m_note;
    if (name == "received")
        return &m_received;
    if (const int n = ParseIndexedName(name, "cc", CTavMidiCcValue::kCount); n >= 0)
        return &m_cc[static_cast<size_t>(n)];
    if (const int n = ParseIndexedName(name, "cc2", CTavMidiCc2Value::kCount); n >= 0)
        return &m_cc2[static_cast<size_t>(n)];
    return nullptr;
}

bool CTavMidiChannel::Transmit() const {
    // The controller pairs are covered by their controllers; "received" sends nothing.
    if (!Output())
        return false;
    m_note.Transmit();
    for (const CTavMidiCcValue& value : m_cc)
        value.Transmit();
    return true;
}

std::unique_ptr<CTavStruct> CTavMidiChannel::Clone() const {
    return std::make_unique<CTavMidiChannel>(*this);
}

ITavMidiOut* CTavMidiChannel::Output() const {
    auto* root = dynamic_cast<const CTavMidiStruct*>(Root());
    return root ? root->MidiOutput() : nullptr;
}

// ---- MIDI struct ------------------------------------------------------------------

bool CTavMidiStruct::ConvertName(TavItems& items, CTavSpecSet& specs) {
    CTavStructSpec spec;
    bool named = false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "name") {
            ++it;
            continue;
        }
        spec.name = std::move(it->second);
        named = true;
        it = items.erase(it);
    }
    // The spec is set either way so that a struct left unnamed can still be searched.
    SetSpec(specs.Intern(spec));
    return named && !spec.name.empty();
}

bool CTavMidiStruct::CreateChannels(CTavSpecSet& specs) {
    const TavMidiValueSpecs valueSpecs = TavMidiValueSpecs::Intern(specs);
    m_children.clear();
    m_children.reserve(CTavMidiChannel::kCount);
    for (int c = 0; c < CTavMidiChannel::kCount; ++c) {
        CTavStructSpec spec;
        spec.name = IndexedName("ch", c);
        m_children.push_back(std::make_unique<CTavMidiChannel>(specs.Intern(spec), c, valueSpecs));
    }
    return Attach(nullptr, nullptr);
}

CTavMidiChannel* CTavMidiStruct::Channel(int channel) {
    if (channel < 0 || static_cast<size_t>(channel) >= m_children.size())
        return nullptr;
    return static_cast<CTavMidiChannel*>(m_children[static_cast<size_t>(channel)].get());
}

CTavMidiChannel* CTavMidiStruct::ChannelNamed(std::string_view name) {
    return Channel(ParseIndexedName(name, "ch", CTavMidiChannel::kCount));
}

CTavStruct* CTavMidiStruct::FindStruct(std::string_view path) {
    std::string_view first, rest;
    TavSplitPath(path, first, rest);
    if (first != Name())
        return nullptr;
    if (rest.empty())
        return this;
    std::string_view channelName, below;
    TavSplitPath(rest, channelName, below);
    return below.empty() ? ChannelNamed(channelName) : nullptr;
}

CTavValue* CTavMidiStruct::FindValue(std::string_view path) {
    std::string_view first, rest;
    TavSplitPath(path, first, rest);
    if (first != Name() || rest.empty())
        return nullptr;
    std::string_view channelName, valueName;
    TavSplitPath(rest, channelName, valueName);
    CTavMidiChannel* channel = ChannelNamed(channelName);
    return channel ? channel->ValueNamed(valueName) : nullptr;
}

std::unique_ptr<CTavStruct> CTavMidiStruct::Clone() const {
    auto copy = std::make_unique<CTavMidiStruct>(m_spec);
    CloneChildrenInto(*copy);
    copy->SetBufferManager(BufferManager());
    return copy;
}

bool CTavMidiStruct::ReceiveShort(TavShortMessage message) {
    const int status = static_cast<int>(message & 0xFF);
    if (status < 0x80 || status >= 0xF0)
        return false;
    CTavMidiChannel* channel = Channel(status & 0x0F);
    if (!channel)
        return false;
    const int data1 = static_cast<int>(message >> 8 & 0x7F);
    const int data2 = static_cast<int>(message >> 16 & 0x7F);

    TavValueList changed;
    switch (status & 0xF0) {
    case 0x80:
        channel->Note().Receive(data1, -data2);
        changed.push_back(&channel->Note());
        break;
    case 0x90:
        channel->Note().Receive(data1, data2);
        changed.push_back(&channel->Note());
        break;
    case 0xB0:
        // Controllers 120-127 are channel mode messages and change no value.
        if (data1 < CTavMidiCcValue::kCount) {
            channel->Cc(data1).SetRaw(data2);
            changed.push_back(&channel->Cc(data1));
            if (data1 < 32) {
                // A new most significant byte clears the least significant one.
                channel->Cc(data1 + 32).SetRaw(0);
                changed.push_back(&channel->Cc(data1 + 32));
            }
            if (data1 < 64)
                changed.push_back(&channel->Cc2(data1 % 32));
        }
        break;
    default:
        break; // aftertouch, program change, pitch bend
    }
    changed.push_back(&channel->Received());
    if (CTavBufferManager* manager = BufferManager())
        manager->RecordReceived(changed);
    return true;
}

// ---- Building ---------------------------------------------------------------------

bool CTavMidiStruct::BuildAll(CTavBufferManager& manager, const std::vector<CTavElementDefinition>& definitions,
                              TavStructBuildBudget& budget) {
    CTavTextOut* const errors = manager.ErrorOutput();
    CTavSpecSet& specs = manager.Specs();
    for (const CTavElementDefinition& definition : definitions) {
        auto created = std::make_unique<CTavMidiStruct>();
        CTavMidiStruct& midiStruct = *created;
        manager.AddMidiStruct(std::move(created));
        TavItems items = definition.items;
        if (!midiStruct.ConvertName(items, specs)) {
            if (errors)
                errors->Printf("Unable to convert MIDI struct definition %s to MIDI struct.\n",
                                      definition.type.c_str());
            return false;
        }
        // Each MIDI struct holds thousands of values; they count against the same limit.
        constexpr size_t kChannelBuffers = 1 + 1 + CTavMidiCcValue::kCount + CTavMidiCc2Value::kCount + 1;
        budget.buffers += 1 + CTavMidiChannel::kCount * kChannelBuffers;
        if (budget.buffers > kTavMaxModelBuffers) {
            if (errors)
                errors->Printf("Unable to build more than %zu structs and values. : %s\n",
                                      kTavMaxModelBuffers, midiStruct.Name().c_str());
            return false;
        }
        if (!midiStruct.CreateChannels(specs)) {
            if (errors)
                errors->Printf("Unable to create MIDI struct %s.\n", midiStruct.Name().c_str());
            return false;
        }

        if (!items.empty()) {
            if (errors) {
                errors->Printf("Midi %s unknown tags. : ", midiStruct.Name().c_str());
                for (const TavItem& item : items)
                    errors->Printf("%s, ", item.first.c_str());
                errors->Write("\n");
            }
            return false;
        }
    }
    return true;
}

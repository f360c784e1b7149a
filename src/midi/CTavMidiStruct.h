#pragma once
// The MIDI struct: a root struct outside the device's memory map that mirrors the state
// of the 16 MIDI channels, so that controls can show and change controller values and
// notes like any other value ("qvMidi.ch[3].cc[7]", "qvMidi.ch[0].note"). Channel
// messages from a MIDI input update it; sending one of its values sends the matching
// channel message through the struct's output. Its values own their state instead of
// bytes in a leaf, so data files and data sets never include them. GUI thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "midi/ITavMidiStruct.h"
#include "model/CTavStruct.h"

class CTavBufferManager;
class CTavMidiChannel;
class CTavElementDefinition;
struct TavStructBuildBudget;

// A value of one channel record. Its parent is the channel record, so paths and the root
// struct (and with it the output) are found through the channel.
class CTavMidiChannelValue : public CTavValue {
public:
    CTavMidiChannelValue(const CTavValueSpec* spec, CTavMidiChannel* channel)
        : CTavValue(spec), m_channel(channel) {}

    CTavStruct* Parent() const override;
    // The values are bound to their channel when created; there is no memory to bind.
    bool Attach(CTavStruct*, CTavTextOut*) override { return true; }

    int ChannelNumber() const;
    void SetChannel(CTavMidiChannel* channel) { m_channel = channel; }

protected:
    CTavMidiChannel& Record() const { return *m_channel; }
    // The MIDI struct's output; null when none is bound.
    ITavMidiOut* Output() const;

private:
    CTavMidiChannel* m_channel;
};

// The 128 note states of a channel: > 0 note on with that velocity, < 0 note off with
// that release velocity, 0 initially. A note whose state was written but not yet sent is
// pending; received states are never pending, so they are not echoed back.
class CTavMidiNoteValue : public CTavMidiChannelValue {
public:
    static constexpr int kNoteCount = 128;
    static CTavValueSpec MakeSpec();

    CTavMidiNoteValue(const CTavValueSpec* spec, CTavMidiChannel* channel);

    // Takes a list of exactly 128 states; each note whose state differs becomes pending
    // and the most recent note. Lists of other lengths are ignored.
    void SetList(const std::vector<int32_t>& list) override;
    std::vector<int32_t> GetList() const override;
    // Sends every pending note, lowest first: 9c k s for s > 0, else 8c k -s.
    bool Transmit() const override;

    // A state that arrived from the device.
    void Receive(int note, int32_t state);
    int32_t State(int note) const { return m_states[static_cast<size_t>(note)]; }
    bool IsPending(int note) const { return !m_sent[static_cast<size_t>(note)]; }
    // Note numbers in the order of their last change, each at most once, latest last.
    const std::vector<int>& RecentNotes() const { return m_recent; }

private:
    void MoveToEnd(int note);

    std::array<int32_t, kNoteCount> m_states{};
    // Sending is const towards the model but clears the pending marks.
    mutable std::array<bool, kNoteCount> m_sent;
    std::vector<int> m_recent;
};

// Controller n (0..119) of a channel: one 7-bit data byte.
class CTavMidiCcValue : public CTavMidiChannelValue {
public:
    static constexpr int kCount = 120;
    static CTavValueSpec MakeSpec(int controller);

    CTavMidiCcValue(const CTavValueSpec* spec, CTavMidiChannel* channel, int controller)
        : CTavMidiChannelValue(spec, channel), m_controller(controller) {}

    void SetRaw(int32_t raw) override { m_data = static_cast<uint8_t>(raw & 0x7F); }
    int32_t GetRaw() const override { return m_data; }
    // Sends Bc n v.
    bool Transmit() const override;

    int Controller() const { return m_controller; }

private:
    int m_controller;
    uint8_t m_data = 0;
};

// The 14-bit pair n (0..31) of a channel: the high 7 bits are controller n, the low 7
// bits controller n + 32. It stores nothing itself.
class CTavMidiCc2Value : public CTavMidiChannelValue {
public:
    static constexpr int kCount = 32;
    static CTavValueSpec MakeSpec(int pair);

    CTavMidiCc2Value(const CTavValueSpec* spec, CTavMidiChannel* channel, int pair)
        : CTavMidiChannelValue(spec, channel), m_pair(pair) {}

    void SetRaw(int32_t raw) override;
    int32_t GetRaw() const override;
    // Sends controller n and, when that went out, controller n + 32.
    bool Transmit() const override;

private:
    int m_pair;
};

// Reports that some channel message arrived: reads 0, ignores writes, sends nothing.
class CTavMidiReceivedValue : public CTavMidiChannelValue {
public:
    static CTavValueSpec MakeSpec();

    using CTavMidiChannelValue::CTavMidiChannelValue;

    void SetRaw(int32_t) override {}
    int32_t GetRaw() const override { return 0; }
    bool Transmit() const override { return true; }
};

// The value specs shared by the records of every channel, interned once per MIDI struct.
struct TavMidiValueSpecs {
    const CTavValueSpec* note = nullptr;
    std::array<const CTavValueSpec*, CTavMidiCcValue::kCount> cc{};
    std::array<const CTavValueSpec*, CTavMidiCc2Value::kCount> cc2{};
    const CTavValueSpec* received = nullptr;

    static TavMidiValueSpecs Intern(CTavSpecSet& specs);
};

// The record of one channel, "ch[c]", child of the MIDI struct; it holds the values.
class CTavMidiChannel : public CTavStruct {
public:
    static constexpr int kCount = 16;

    CTavMidiChannel(const CTavStructSpec* spec, int number, const TavMidiValueSpecs& specs);
    CTavMidiChannel(const CTavMidiChannel& other);
    CTavMidiChannel& operator=(const CTavMidiChannel&) = delete;

    int Kind() const override { return kTavMidiStruct; }
    bool Attach(CTavStruct* parent, CTavTextOut* errors) override;
    CTavStruct* FindStruct(std::string_view path) override;
    CTavValue* FindValue(std::string_view path) override;
    // Sends the pending notes and every controller; false without an output.
    bool Transmit() const override;
    std::unique_ptr<CTavStruct> Clone() const override;

    int Number() const { return m_number; }
    ITavMidiOut* Output() const;
    // A value by its name inside the channel ("note", "cc[7]", "cc2[3]", "received").
    CTavMidiChannelValue* ValueNamed(std::string_view name);

    CTavMidiNoteValue& Note() { return m_note; }
    CTavMidiCcValue& Cc(int controller) { return m_cc[static_cast<size_t>(controller)]; }
    const CTavMidiCcValue& Cc(int controller) const { return m_cc[static_cast<size_t>(controller)]; }
    CTavMidiCc2Value& Cc2(int pair) { return m_cc2[static_cast<size_t>(pair)]; }
    CTavMidiReceivedValue& Received() { return m_received; }

private:
    void BindValues();

    int m_number;
    CTavMidiNoteValue m_note;
    std::vector<CTavMidiCcValue> m_cc;
    std::vector<CTavMidiCc2Value> m_cc2;
    CTavMidiReceivedValue m_received;
};

class CTavMidiStruct : public CTavRootStruct, public ITavMidiStruct {
public:
    using CTavRootStruct::CTavRootStruct;

    int Kind() const override { return kTavMidiStruct; }

    // Takes the "name" items out of items (the last one counts) and makes the struct's
    // spec; false when the name is missing or empty (the spec then has an empty name).
    bool ConvertName(TavItems& items, CTavSpecSet& specs);
    // Creates the 16 channel records with their values, interning every spec.
    bool CreateChannels(CTavSpecSet& specs);

    CTavStruct* FindStruct(std::string_view path) override;
    CTavValue* FindValue(std::string_view path) override;
    std::unique_ptr<CTavStruct> Clone() const override;

    // The MIDI struct takes no part in exclusive data transfer.
    bool ReceiveDataSet(int32_t, const uint8_t*, size_t) override { return false; }
    // Its channels send short messages, so it keeps the output as a MIDI output too.
    void SetOutput(ITavDataOut* output) override {
        CTavRootStruct::SetOutput(output);
        m_midiOutput = dynamic_cast<ITavMidiOut*>(output);
    }
    ITavMidiOut* MidiOutput() const { return m_midiOutput; }

    // Updates the channel of a channel message and hands the changed values to the
    // buffer manager; false for system messages (status F0 and above) and data bytes.
    bool ReceiveShort(TavShortMessage message) override;

    // Channel c (0..15), or null.
    CTavMidiChannel* Channel(int channel);

    // Builds a MIDI struct for each definition into the buffer manager, counting its
    // values against the budget; false after the first failure, with a message.
    static bool BuildAll(CTavBufferManager& manager, const std::vector<CTavElementDefinition>& definitions,
                         TavStructBuildBudget& budget);

private:
    CTavMidiChannel* ChannelNamed(std::string_view name);

    ITavMidiOut* m_midiOutput = nullptr;
};

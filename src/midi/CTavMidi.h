#pragma once
// The script's MIDI inputs and outputs. An output frames the device's exclusive messages
// for the root structs bound to it and remembers the last message it sent; an input checks
// every incoming message and hands it to the root structs, the MIDI struct, the reader and
// the request listener bound to it, and forwards it to a thru output. GUI thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "midi/CTavLongMessage.h"
#include "midi/CTavMidiDevice.h"
#include "midi/ITavMidiOut.h"
#include "script/CTavElementDefinition.h"

class CTavBufferManager;
class CTavTextOut;
class ITavMidiStruct;
class ITavRootStruct;

// Receives what the device sends while a transfer waits for it.
class ITavMidiReader {
public:
    virtual ~ITavMidiReader() = default;
    virtual void OnDataSet(const CTavHaldenMessage&) {}
    virtual void OnUniversalMessage(const CTavLongMessage&) {}
    virtual void OnShortMessage(TavShortMessage) {}
    // Whether a request of the editor's waits for its answer: what arrives meanwhile is the
    // device's memory read back, not a change the device made by itself.
    virtual bool IsAwaitingAnswer() const { return false; }
};

// Answers requests that arrive from the other side of the cable.
class ITavMidiRequestListener {
public:
    virtual ~ITavMidiRequestListener() = default;
    virtual void OnIdentityRequest(const CTavLongMessage&) {}
    virtual void OnDataRequest(const CTavHaldenMessage&) {}
};

class CTavMidi {
public:
    virtual ~CTavMidi() = default;

    const std::string& Name() const { return m_name; }
    uint8_t ManufacturerId() const { return m_manufacturerId; }
    uint8_t DeviceId() const { return m_deviceId; }
    void SetDeviceId(uint8_t id) { m_deviceId = id; }
    const TavBytes& ModelId() const { return m_modelId; }
    int AddressSize() const { return m_addressSize; }
    const std::vector<std::string>& RootStructNames() const { return m_rootStructNames; }
    const std::string& MidiStructName() const { return m_midiStructName; }

protected:
    // Takes the attributes both kinds share (name, modelID, addressSize, rootStruct,
    // midiStructRef) out of items; false after writing the reason to errors.
    bool ConvertCommon(TavItems& items, CTavTextOut* errors);

    std::string m_name;
    uint8_t m_manufacturerId = CTavHaldenMessage::kManufacturerId;
    uint8_t m_deviceId = 0x10;
    TavBytes m_modelId;
    int m_addressSize = 4;
    std::vector<std::string> m_rootStructNames;
    std::string m_midiStructName;
};

class CTavMidiOut : public CTavMidi, public ITavMidiOut {
public:
    // Takes this output's attributes out of items (those of CTavMidi and
    // midiMessageValueRef).
    bool Convert(TavItems& items, CTavTextOut* errors);

    // Where a data set that cannot be framed is reported.
    void SetErrorOutput(CTavTextOut* errors) { m_errors = errors; }
    // The opened device, or none: without one messages are still built and remembered.
    void SetDevice(CTavMidiOutDevice* device) { m_device = device; }
    CTavMidiOutDevice* Device() const { return m_device; }
    const std::string& MessageValuePath() const { return m_messageValuePath; }

    void SendShort(TavShortMessage message) override;
    void SendLong(const CTavLongMessage& message) override;
    void SendMessage(const CTavHaldenMessage& message) override;
    // Frames and sends a data set; data holding a status byte is refused with one line on
    // the error output and nothing is sent.
    void SendDataSet(int32_t address, const uint8_t* data, size_t size) override;
    void SendDataRequest(int32_t address, int32_t size) override;
    const TavBytes& LastMessage() const override { return m_lastMessage; }

private:
    void Send(const TavBytes& bytes);

    CTavMidiOutDevice* m_device = nullptr;
    CTavTextOut* m_errors = nullptr;
    TavBytes m_lastMessage;
    std::string m_messageValuePath;
};

class CTavMidiIn : public CTavMidi, public ITavMidiInListener {
public:
    // Takes this input's attributes out of items (those of CTavMidi and midiOutRef).
    bool Convert(TavItems& items, CTavTextOut* errors);

    void SetBufferManager(CTavBufferManager* manager) { m_buffers = manager; }
    void AddReceiver(ITavRootStruct* receiver) { m_receivers.push_back(receiver); }
    const std::vector<ITavRootStruct*>& Receivers() const { return m_receivers; }
    void SetMidiStructListener(ITavMidiStruct* listener) { m_midiStruct = listener; }
    ITavMidiStruct* MidiStructListener() const { return m_midiStruct; }
    void SetReader(ITavMidiReader* reader) { m_reader = reader; }
    ITavMidiReader* Reader() const { return m_reader; }
    void SetRequestListener(ITavMidiRequestListener* listener) { m_requestListener = listener; }
    ITavMidiRequestListener* RequestListener() const { return m_requestListener; }
    const std::string& ThruOutputName() const { return m_thruOutputName; }
    void SetThruOutput(CTavMidiOut* output) { m_thruOutput = output; }
    CTavMidiOut* ThruOutput() const { return m_thruOutput; }

    // One complete message from the input device. Foreign, broken or mismatched messages
    // are dropped without a word.
    void Receive(const TavBytes& bytes) override;

private:
    void ReceiveExclusive(const TavBytes& bytes);
    void ReceiveHalden(const TavBytes& bytes, CTavHaldenMessage& message);
    void Forward(const TavBytes& bytes);
    void DeliverNotifications();

    CTavBufferManager* m_buffers = nullptr;
    std::vector<ITavRootStruct*> m_receivers;
    ITavMidiStruct* m_midiStruct = nullptr;
    ITavMidiReader* m_reader = nullptr;
    ITavMidiRequestListener* m_requestListener = nullptr;
    std::string m_thruOutputName;
    CTavMidiOut* m_thruOutput = nullptr;
    // The message being received, kept so that parsing reuses its bytes; a message that
    // arrives while a receiver of the outer one runs (a view waiting for a reply) gets its own.
    CTavHaldenMessage m_received;
    bool m_receiving = false;
};

#pragma once
// The transfer protocol. The reader sends one data request (or an exclusive message) and
// waits, with a time-out and a second attempt, until the matching reply has arrived; by
// then the MIDI input has already stored the reply's bytes. The writer sends one data set
// and pauses briefly, and, as the first input's request listener, takes requests from the
// other side without answering them. GUI thread only; every wait reads the injected clock.

#include <cstdint>

#include "app/TavClock.h"
#include "midi/CTavMidi.h"

class CTavMidiManager;
class CTavTextOut;

class CTavMidiReader : public ITavMidiReader {
public:
    static constexpr int kDefaultTimeoutMs = 3000;
    static constexpr int kDefaultAttempts = 2;
    // The code reported when no reply came: "Unable to read/write data."
    static constexpr int kNoReplyCode = 4;

    // kRefused: the device answered that it cannot do what was asked; the wait ends
    // without another attempt and without code 4.
    enum State : int32_t { kIdle = 0, kWaiting = 1, kAnswered = 2, kRefused = 3 };

    explicit CTavMidiReader(CTavTextOut* report, ITavClock& clock = TavSystemClock());
    ~CTavMidiReader() override = default;

    void SetOutput(CTavMidiOut* output) { m_output = output; }
    CTavMidiOut* Output() const { return m_output; }
    void SetTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int Timeout() const { return m_timeoutMs; }
    void SetAttempts(int attempts) { m_attempts = attempts; }
    int Attempts() const { return m_attempts; }
    int32_t CurrentState() const { return m_state; }
    bool IsAwaitingAnswer() const override { return m_state == kWaiting; }

    // Reads size bytes of device memory at the (linear) address. False, with code 4
    // reported, when no attempt got its reply in time or there is no output to ask through.
    bool RequestData(uint32_t address, int32_t size);
    // Sends an exclusive message and waits for any universal exclusive reply.
    bool SendAndWait(const CTavLongMessage& message);
    // Sends a data set and waits as RequestData does. With echoEnds the device's data set
    // of the same address and length is the answer; without, only a derived reader's
    // Answer ends the wait.
    bool SendDataAndWait(uint32_t address, const uint8_t* data, size_t size, bool echoEnds);

    void OnDataSet(const CTavHaldenMessage& message) override;
    void OnUniversalMessage(const CTavLongMessage& message) override;

protected:
    // Dispatches what has arrived from the MIDI input (and repaints) and nothing else, so
    // the user cannot start another operation while a request waits. May block briefly
    // when nothing has arrived.
    virtual void Pump() = 0;
    // Ends the current wait as answered, for replies a derived reader matches itself.
    void Answer() {
        if (m_state == kWaiting)
            m_state = kAnswered;
    }
    // Ends the current wait as failed, for a device that reports it cannot do it.
    void Refuse() {
        if (m_state == kWaiting)
            m_state = kRefused;
    }
    // Starts the current attempt's time-out again: the device reported it is still busy.
    void RestartTimeout() {
        if (m_state == kWaiting)
            m_restart = true;
    }

private:
    template <class SendFn> bool Wait(SendFn send);
    bool NoOutput();
    void ExpectAddress(uint32_t address);

    CTavTextOut* m_report;
    ITavClock& m_clock;
    CTavMidiOut* m_output = nullptr;
    int m_timeoutMs = kDefaultTimeoutMs;
    int m_attempts = kDefaultAttempts;
    int32_t m_state = kIdle;
    TavBytes m_expectedAddress;
    int32_t m_expectedSize = 0;
    bool m_restart = false;
};

class CTavMidiWriter : public ITavMidiRequestListener {
public:
    static constexpr int kPauseMs = 20;

    explicit CTavMidiWriter(ITavClock& clock = TavSystemClock()) : m_clock(clock) {}

    void SetOutput(CTavMidiOut* output) { m_output = output; }
    CTavMidiOut* Output() const { return m_output; }
    // Sends one data set and gives the device a moment to store it. Always true.
    bool SendData(uint32_t address, const uint8_t* data, size_t size);

    void OnIdentityRequest(const CTavLongMessage&) override {}
    void OnDataRequest(const CTavHaldenMessage&) override {}

private:
    ITavClock& m_clock;
    CTavMidiOut* m_output = nullptr;
};

// Makes the reader the first input's reader and the writer its request listener, both
// sending through the first output. False when the script has no input or output.
bool TavInstallTransfer(CTavMidiManager& manager, CTavMidiReader& reader, CTavMidiWriter& writer);

#include "midi/CTavMidiReader.h"

#include <algorithm>

#include "app/CTavTextOut.h"
#include "midi/CTavMidiManager.h"

CTavMidiReader::CTavMidiReader(CTavTextOut* report, ITavClock& clock) : m_report(report), m_clock(clock) {}

// One attempt after another, each sending again and waiting its full time-out; no pause
// between attempts. A reply still queued from the first attempt counts for the second.
// A refusal ends the wait at once; the derived reader that refused reports it.
template <class SendFn> bool CTavMidiReader::Wait(SendFn send) {
    for (int attempt = 0; attempt < m_attempts; ++attempt) {
        m_state = kWaiting;
        m_restart = false;
        send();
        TavTime start = m_clock.Now();
        while (TavMilliseconds(start, m_clock.Now()) < m_timeoutMs) {
            Pump();
            if (m_state == kAnswered) {
                m_state = kIdle;
                return true;
            }
            if (m_state == kRefused) {
                m_state = kIdle;
                return false;
            }
            if (m_restart) {
                m_restart = false;
                start = m_clock.Now();
            }
        }
    }
    m_state = kIdle;
    if (m_report)
        m_report->Report(kNoReplyCode);
    return false;
}

// Without an output nothing can be asked, and the caller learns it as from a device that
// never answered.
bool CTavMidiReader::NoOutput() {
    if (m_report)
        m_report->Report(kNoReplyCode);
    return false;
}

bool CTavMidiReader::RequestData(uint32_t address, int32_t size) {
    if (!m_output)
        return NoOutput();
    return Wait([&] {
        ExpectAddress(address);
        m_expectedSize = size;
        m_output->SendDataRequest(static_cast<int32_t>(address), size);
    });
}

bool CTavMidiReader::SendAndWait(const CTavLongMessage& message) {
    if (!m_output)
        return NoOutput();
    return Wait([&] {
        m_expectedAddress.clear();
        m_expectedSize = 0;
        m_output->SendLong(message);
    });
}

bool CTavMidiReader::SendDataAndWait(uint32_t address, const uint8_t* data, size_t size, bool echoEnds) {
    if (!m_output)
        return NoOutput();
    return Wait([&] {
        if (echoEnds) {
            ExpectAddress(address);
            m_expectedSize = static_cast<int32_t>(size);
        } else {
            // No data set has an empty address field, so nothing matches.
            m_expectedAddress.clear();
            m_expectedSize = -1;
        }
        m_output->SendDataSet(static_cast<int32_t>(address), data, size);
    });
}

// The address as the output encodes it, written over the expected bytes so a request
// allocates nothing once they have grown.
void CTavMidiReader::ExpectAddress(uint32_t address) {
    const int size = std::max(m_output->AddressSize(), 0);
    m_expectedAddress.resize(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i)
        m_expectedAddress[static_cast<size_t>(i)] = static_cast<uint8_t>((address >> (7 * (size - 1 - i))) & 0x7F);
}

// Only the address and the length are compared: the input has stored the bytes already.
void CTavMidiReader::OnDataSet(const CTavHaldenMessage& message) {
    if (m_state != kWaiting)
        return;
    const int addressLength = message.FieldLength(CTavHaldenMessage::kAddress);
    if (addressLength != static_cast<int>(m_expectedAddress.size()) ||
        !std::equal(m_expectedAddress.begin(), m_expectedAddress.end(),
                    message.FieldData(CTavHaldenMessage::kAddress)))
        return;
    if (message.FieldLength(CTavHaldenMessage::kData) != m_expectedSize)
        return;
    m_state = kAnswered;
}

void CTavMidiReader::OnUniversalMessage(const CTavLongMessage&) {
    if (m_state == kWaiting)
        m_state = kAnswered;
}

bool CTavMidiWriter::SendData(uint32_t address, const uint8_t* data, size_t size) {
    if (m_output)
        m_output->SendDataSet(static_cast<int32_t>(address), data, size);
    m_clock.SleepFor(std::chrono::milliseconds(kPauseMs));
    return true;
}

bool TavInstallTransfer(CTavMidiManager& manager, CTavMidiReader& reader, CTavMidiWriter& writer) {
    CTavMidiIn* input = manager.Input(0);
    CTavMidiOut* output = manager.Output(0);
    if (!input || !output)
        return false;
    input->SetReader(&reader);
    input->SetRequestListener(&writer);
    reader.SetOutput(output);
    writer.SetOutput(output);
    return true;
}

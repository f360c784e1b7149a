#include "midi/CTavMidi.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "app/CTavTextOut.h"
#include "midi/ITavMidiStruct.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "model/TavAddress.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Hexadecimal byte tokens of one or two digits separated by blanks.
bool ParseModelId(const std::string& text, TavBytes& bytes) {
    bytes.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        int value = 0;
        int digits = 0;
        for (; i < text.size() && !IsBlank(text[i]); ++i, ++digits) {
            const int digit = HexValue(text[i]);
            if (digit < 0 || digits == 2)
                return false;
            value = value * 16 + digit;
        }
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return !bytes.empty();
}

// A number as C reads "%li": decimal, hexadecimal after 0x, octal after a leading 0.
bool ParseAddressSize(const std::string& text, long& value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    value = std::strtol(begin, &end, 0);
    if (end == begin || errno == ERANGE)
        return false;
    while (*end && IsBlank(*end))
        ++end;
    return *end == '\0';
}

} // namespace

bool CTavMidi::ConvertCommon(TavItems& items, CTavTextOut* errors) {
    for (auto it = items.begin(); it != items.end();) {
        const std::string& tag = it->first;
        const std::string& text = it->second;
        if (tag == "name") {
            m_name = text;
        } else if (tag == "modelID") {
            if (!ParseModelId(text, m_modelId)) {
                if (errors)
                    errors->Printf("MIDI %s modelID is invalid. : %s\n", m_name.c_str(), text.c_str());
                return false;
            }
            // Every byte travels inside exclusive messages, where one of 0x80 or above would
            // be a status byte.
            if (std::any_of(m_modelId.begin(), m_modelId.end(), [](uint8_t byte) { return byte > 0x7F; })) {
                if (errors)
                    errors->Printf("MIDI %s modelID holds a byte above 7F. : %s\n", m_name.c_str(), text.c_str());
                return false;
            }
        } else if (tag == "addressSize") {
            long size = 0;
            if (!ParseAddressSize(text, size)) {
                if (errors)
                    errors->Printf("MIDI %s addressSize is invalid. : %s\n", m_name.c_str(), text.c_str());
                return false;
            }
            if (size < 1 || size > 4) {
                if (errors)
                    errors->Printf("MIDI %s addressSize must be 1 through 4.\n", m_name.c_str());
                return false;
            }
            m_addressSize = static_cast<int>(size);
        } else if (tag == "rootStruct") {
            m_rootStructNames.push_back(text);
        } else if (tag == "midiStructRef") {
            m_midiStructName = text;
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

// ---- Output -----------------------------------------------------------------------

bool CTavMidiOut::Convert(TavItems& items, CTavTextOut* errors) {
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->first == "midiMessageValueRef") {
            m_messageValuePath = it->second;
            items.erase(it);
            break;
        }
    }
    return ConvertCommon(items, errors);
}

void CTavMidiOut::Send(const TavBytes& bytes) {
    m_lastMessage = bytes;
    if (m_device)
        m_device->Send(bytes);
}

void CTavMidiOut::SendShort(TavShortMessage message) {
    const uint8_t status = static_cast<uint8_t>(message & 0xFF);
    const int length = TavShortMessageLength(status);
    TavBytes bytes;
    for (int i = 0; i < length; ++i)
        bytes.push_back(static_cast<uint8_t>((message >> (8 * i)) & 0xFF));
    Send(bytes);
}

void CTavMidiOut::SendLong(const CTavLongMessage& message) {
    Send(message.Bytes());
}

void CTavMidiOut::SendMessage(const CTavHaldenMessage& message) {
    Send(message.Bytes());
}

void CTavMidiOut::SendDataSet(int32_t address, const uint8_t* data, size_t size) {
    // The device would take a status byte for the start of another message (FF is a
    // system reset), so such data never reaches the wire.
    const size_t status = TavFindStatusByte(data, size);
    if (status != size) {
        if (m_errors)
            m_errors->Printf("Data set holds a status byte. : %s : %s : %02X\n", m_name.c_str(),
                             TavFormatAddress(address + static_cast<int32_t>(status)).c_str(), data[status]);
        return;
    }
    // Framed where the last message is kept, as Send would copy it there.
    CTavHaldenMessage::FrameDataSet(m_lastMessage, m_manufacturerId, m_deviceId, m_modelId, m_addressSize,
                                    static_cast<uint32_t>(address), data, size);
    if (m_device)
        m_device->Send(m_lastMessage);
}

void CTavMidiOut::SendDataRequest(int32_t address, int32_t size) {
    CTavHaldenMessage::FrameDataRequest(m_lastMessage, m_manufacturerId, m_deviceId, m_modelId, m_addressSize,
                                        static_cast<uint32_t>(address), static_cast<uint32_t>(size));
    if (m_device)
        m_device->Send(m_lastMessage);
}

// ---- Input ------------------------------------------------------------------------

bool CTavMidiIn::Convert(TavItems& items, CTavTextOut* errors) {
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->first == "midiOutRef") {
            m_thruOutputName = it->second;
            items.erase(it);
            break;
        }
    }
    return ConvertCommon(items, errors);
}

void CTavMidiIn::Receive(const TavBytes& bytes) {
    if (bytes.empty() || bytes[0] < 0x80)
        return;
    const uint8_t status = bytes[0];
    if (status == 0xF0) {
        ReceiveExclusive(bytes);
        return;
    }
    if (status < 0xF8) {
        TavShortMessage message = 0;
        for (size_t i = 0; i < bytes.size() && i < 3; ++i)
            message |= static_cast<TavShortMessage>(bytes[i]) << (8 * i);
        if (m_midiStruct && m_midiStruct->ReceiveShort(message))
            DeliverNotifications();
        if (m_reader)
            m_reader->OnShortMessage(message);
    }
    Forward(bytes);
}

void CTavMidiIn::ReceiveExclusive(const TavBytes& bytes) {
    if (bytes.size() < 2)
        return;
    if (bytes[1] == CTavHaldenMessage::kManufacturerId) {
        if (m_receiving) {
            CTavHaldenMessage nested;
            ReceiveHalden(bytes, nested);
            return;
        }
        m_receiving = true;
        ReceiveHalden(bytes, m_received);
        m_receiving = false;
        return;
    }

    CTavLongMessage message;
    if (!message.SetBytes(bytes) || (bytes[1] != 0x7E && bytes[1] != 0x7F))
        return;
    const bool identityRequest =
        bytes.size() == 6 && bytes[1] == 0x7E && bytes[3] == 0x06 && bytes[4] == 0x01 && bytes[5] == 0xF7;
    if (identityRequest) {
        if (m_requestListener)
            m_requestListener->OnIdentityRequest(message);
        return;
    }
    if (m_midiStruct && m_midiStruct->ReceiveUniversal(message))
        DeliverNotifications();
    if (m_reader)
        m_reader->OnUniversalMessage(message);
    Forward(bytes);
}

void CTavMidiIn::ReceiveHalden(const TavBytes& bytes, CTavHaldenMessage& message) {
    if (!message.Parse(bytes, m_addressSize) || bytes[1] != m_manufacturerId ||
        !message.FieldIs(CTavHaldenMessage::kModelId, m_modelId) ||
        !message.FieldIs(CTavHaldenMessage::kDeviceId, m_deviceId))
        return;
    if (message.FieldIs(CTavHaldenMessage::kCommandId, CTavHaldenMessage::kDataRequest)) {
        if (m_requestListener)
            m_requestListener->OnDataRequest(message);
        return;
    }
    if (!message.FieldIs(CTavHaldenMessage::kCommandId, CTavHaldenMessage::kDataSet) ||
        message.ComputeChecksum() != message.StoredChecksum())
        return;
    const uint32_t address =
        TavDecodeAddress(message.FieldData(CTavHaldenMessage::kAddress),
                         static_cast<size_t>(message.FieldLength(CTavHaldenMessage::kAddress)));
    const uint8_t* data = message.FieldData(CTavHaldenMessage::kData);
    const size_t size = static_cast<size_t>(message.FieldLength(CTavHaldenMessage::kData));
    // Every receiver is offered the data, whether or not an earlier one took it.
    for (ITavRootStruct* receiver : m_receivers)
        if (receiver->ReceiveDataSet(static_cast<int32_t>(address), data, size))
            DeliverNotifications();
    if (m_reader)
        m_reader->OnDataSet(message);
    Forward(bytes);
}

void CTavMidiIn::Forward(const TavBytes& bytes) {
    // Straight to the device, so the thru output's last message stays what the editor sent.
    if (m_thruOutput && m_thruOutput->Device())
        m_thruOutput->Device()->Send(bytes);
}

void CTavMidiIn::DeliverNotifications() {
    if (!m_buffers)
        return;
    m_buffers->PublishPending(m_reader && m_reader->IsAwaitingAnswer() ? TavChangeOrigin::kDeviceCopy
                                                                        : TavChangeOrigin::kDevice);
    m_buffers->ClearPending();
}

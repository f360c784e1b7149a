// Parses arbitrary bytes as a framed exclusive message with every address size and checks
// that a successful parse leaves a consistent field table inside the bytes; also takes
// them as a plain exclusive message.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "midi/CTavLongMessage.h"

namespace {

void Check(bool condition, const char* what, int addressSize) {
    if (condition)
        return;
    std::fprintf(stderr, "Inconsistent message after parsing with address size %d: %s\n", addressSize, what);
    std::abort();
}

void CheckFields(const CTavHaldenMessage& message, const uint8_t* data, size_t size, int addressSize) {
    const TavBytes& bytes = message.Bytes();
    Check(bytes.size() == size && std::equal(bytes.begin(), bytes.end(), data), "bytes differ from the input",
          addressSize);
    const int length = static_cast<int>(size);
    int expectedOffset = 2;
    for (int field = CTavHaldenMessage::kDeviceId; field <= CTavHaldenMessage::kChecksum; ++field) {
        const int offset = message.FieldOffset(field);
        const int count = message.FieldLength(field);
        Check(offset == expectedOffset, "fields are not contiguous", addressSize);
        Check(count >= 0 && offset >= 2 && offset + count <= length - 1,
              "field outside the bytes before the end", addressSize);
        const TavBytes copy = message.GetField(field);
        Check(copy.size() == static_cast<size_t>(count) &&
                  std::equal(copy.begin(), copy.end(), data + offset),
              "field copy differs from the bytes", addressSize);
        expectedOffset = offset + count;
    }
    Check(message.FieldLength(CTavHaldenMessage::kDeviceId) == 1, "device ID is not one byte", addressSize);
    Check(message.FieldLength(CTavHaldenMessage::kAddress) == addressSize, "address has the wrong size",
          addressSize);
    Check(message.FieldLength(CTavHaldenMessage::kChecksum) <= 1, "checksum longer than one byte",
          addressSize);

    const int modelLength = message.FieldLength(CTavHaldenMessage::kModelId);
    const uint8_t* model = message.FieldData(CTavHaldenMessage::kModelId);
    Check(modelLength >= 1 && model[modelLength - 1] != 0, "model ID does not end with a non-zero byte",
          addressSize);
    for (int i = 0; i + 1 < modelLength; ++i)
        Check(model[i] == 0, "model ID holds a non-zero byte before its end", addressSize);

    const uint8_t computed = message.ComputeChecksum();
    const uint8_t stored = message.StoredChecksum();
    const bool empty = message.FieldLength(CTavHaldenMessage::kAddress) == 0 &&
                       message.FieldLength(CTavHaldenMessage::kData) == 0;
    Check((computed == 0xFF) == empty, "checksum presence does not follow address and data", addressSize);
    Check(stored == 0xFF || stored < 0x80, "stored checksum is a status byte", addressSize);

    // Rebuilding the checksum keeps the message framed and the checksum in step.
    CTavHaldenMessage copy = message;
    copy.UpdateChecksum();
    Check(copy.ComputeChecksum() == copy.StoredChecksum(), "updated checksum does not match", addressSize);
    Check(copy.Bytes().back() == bytes.back(), "updating the checksum lost the end byte", addressSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (int addressSize = 0; addressSize <= 4; ++addressSize) {
        CTavHaldenMessage message;
        if (message.Parse(data, size, addressSize))
            CheckFields(message, data, size, addressSize);
    }

    CTavLongMessage plain;
    const TavBytes before = plain.Bytes();
    if (plain.SetBytes(data, size)) {
        Check(size >= 2 && plain.Bytes() == TavBytes(data, data + size), "accepted bytes were not taken", -1);
        for (size_t i = 1; i + 1 < size; ++i)
            Check(data[i] < 0x80, "accepted a status byte inside", -1);
    } else {
        Check(plain.Bytes() == before, "refused bytes changed the message", -1);
    }
    return 0;
}

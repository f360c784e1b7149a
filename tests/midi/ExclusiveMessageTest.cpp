// Exclusive messages: the plain message of any manufacturer, the device maker's framed
// message with its field table, parsing of received bytes, checksums, the address
// encoding, the data set and data request builders, and the identity request.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "midi/CTavLongMessage.h"

namespace {

using Bytes = std::vector<uint8_t>;
using M = CTavHaldenMessage;

std::string Hex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

struct FieldLayout {
    int offset;
    int length;
    bool operator==(const FieldLayout&) const = default;
};

std::vector<FieldLayout> Layout(const CTavHaldenMessage& message) {
    std::vector<FieldLayout> layout;
    for (int i = M::kDeviceId; i <= M::kChecksum; ++i)
        layout.push_back({message.FieldOffset(i), message.FieldLength(i)});
    return layout;
}

// ---- Plain exclusive messages ----------------------------------------------------------

TEST(ExclusiveMessagePlain, StartsAsAnEmptyMessageOfManufacturerZeroAndResetsToIt) {
    CTavLongMessage message;
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x00, 0xF7}));

    ASSERT_TRUE(message.SetBytes(Bytes{0xF0, 0x41, 0x01, 0x02, 0xF7}));
    message.Reset();
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x00, 0xF7}));
}

TEST(ExclusiveMessagePlain, SetBytesTakesOnlySequencesWhoseInnerBytesAreDataBytes) {
    const struct {
        const char* what;
        Bytes bytes;
        bool accepted;
    } cases[] = {
        {"empty", {}, false},
        {"one byte", {0xF0}, false},
        {"two bytes, both status bytes", {0xF0, 0xF7}, true},
        {"two bytes, nothing like a message", {0x90, 0x80}, true},
        {"shortest framed message", {0xF0, 0x41, 0xF7}, true},
        {"all inner bytes 00 and 7F", {0xF0, 0x00, 0x7F, 0x00, 0xF7}, true},
        {"status byte 80 inside", {0xF0, 0x41, 0x10, 0x80, 0xF7}, false},
        {"end byte inside", {0xF0, 0x41, 0xF7, 0x10, 0xF7}, false},
        {"status byte as manufacturer", {0xF0, 0xF0, 0xF7}, false},
        {"first and last bytes are not examined", {0x12, 0x41, 0x10, 0x34}, true},
        {"last byte may be any status byte", {0xF0, 0x41, 0x10, 0xFF}, true},
    };
    const Bytes before{0xF0, 0x7E, 0x11, 0x22, 0xF7};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTavLongMessage message;
        ASSERT_TRUE(message.SetBytes(before));
        EXPECT_EQ(message.SetBytes(c.bytes), c.accepted);
        EXPECT_EQ(message.Bytes(), c.accepted ? c.bytes : before);
    }
}

TEST(ExclusiveMessagePlain, SetManufacturerReplacesOnlyTheSecondByte) {
    CTavLongMessage message;
    ASSERT_TRUE(message.SetBytes(Bytes{0xF0, 0x00, 0x01, 0x02, 0xF7}));
    message.SetManufacturer(0x7F);
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x7F, 0x01, 0x02, 0xF7}));
}

TEST(ExclusiveMessagePlain, SetBodyKeepsStartAndManufacturerAndEndsTheBodyWithF7) {
    const struct {
        const char* what;
        Bytes before;
        Bytes body;
        Bytes after;
    } cases[] = {
        {"body into the empty message",
         {0xF0, 0x7E, 0xF7},
         {0x01, 0x02, 0x03},
         {0xF0, 0x7E, 0x01, 0x02, 0x03, 0xF7}},
        {"empty body", {0xF0, 0x7E, 0x01, 0x02, 0xF7}, {}, {0xF0, 0x7E, 0xF7}},
        {"shorter body replaces a longer one",
         {0xF0, 0x43, 0x01, 0x02, 0x03, 0x04, 0xF7},
         {0x55},
         {0xF0, 0x43, 0x55, 0xF7}},
        {"body taken as is", {0xF0, 0x00, 0xF7}, {0x00, 0x00, 0x00}, {0xF0, 0x00, 0x00, 0x00, 0x00, 0xF7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTavLongMessage message;
        ASSERT_TRUE(message.SetBytes(c.before));
        message.SetBody(c.body);
        EXPECT_EQ(message.Bytes(), c.after);
    }
}

TEST(ExclusiveMessagePlain, IdentityRequestCarriesTheDeviceIdInTheThirdByte) {
    for (uint8_t deviceId : {0x00, 0x10, 0x11, 0x7F}) {
        SCOPED_TRACE(deviceId);
        EXPECT_EQ(TavIdentityRequest(deviceId).Bytes(), (Bytes{0xF0, 0x7E, deviceId, 0x06, 0x01, 0xF7}));
    }
}

// ---- The framed message and its fields ------------------------------------------------------

TEST(ExclusiveMessageFields, DefaultIsADataSetWithoutAddressDataOrChecksum) {
    const CTavHaldenMessage message;
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x7F, 0x42, 0x12, 0xF7}));
    EXPECT_EQ(Layout(message), (std::vector<FieldLayout>{{2, 1}, {3, 1}, {4, 1}, {5, 0}, {5, 0}, {5, 0}}));
    EXPECT_EQ(message.GetField(M::kDeviceId), Bytes{0x7F});
    EXPECT_EQ(message.GetField(M::kModelId), Bytes{0x42});
    EXPECT_EQ(message.GetField(M::kCommandId), Bytes{0x12});
    EXPECT_TRUE(message.GetField(M::kChecksum).empty());
    EXPECT_EQ(message.StoredChecksum(), 0xFF);
    EXPECT_EQ(message.ComputeChecksum(), 0xFF);
}

TEST(ExclusiveMessageFields, ResetRestoresTheDefaultBytesAndFieldTable) {
    CTavHaldenMessage message;
    ASSERT_TRUE(message.Parse(
        Bytes{0xF0, 0x41, 0x10, 0x00, 0x00, 0x6A, 0x12, 0x01, 0x00, 0x02, 0x00, 0x7F, 0x7E, 0xF7}, 4));
    message.Reset();
    EXPECT_EQ(message.Bytes(), CTavHaldenMessage().Bytes());
    EXPECT_EQ(Layout(message), Layout(CTavHaldenMessage()));
}

TEST(ExclusiveMessageFields, SetBytesRefusesAStatusByteInsideAndKeepsTheContent) {
    CTavHaldenMessage message;
    EXPECT_FALSE(message.SetBytes(Bytes{0xF0, 0x41, 0x10, 0x80, 0xF7}));
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x7F, 0x42, 0x12, 0xF7}));
    EXPECT_EQ(Layout(message), Layout(CTavHaldenMessage()));
}

TEST(ExclusiveMessageFields, SetFieldMovesEveryLaterFieldByTheChangeInLength) {
    CTavHaldenMessage message;
    message.SetField(M::kAddress, {0x01, 0x00, 0x02, 0x00});
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x7F, 0x42, 0x12, 0x01, 0x00, 0x02, 0x00, 0xF7}));
    EXPECT_EQ(Layout(message), (std::vector<FieldLayout>{{2, 1}, {3, 1}, {4, 1}, {5, 4}, {9, 0}, {9, 0}}));

    // A longer model ID pushes the command, address, data and checksum along.
    message.SetField(M::kModelId, {0x00, 0x00, 0x6A});
    EXPECT_EQ(Layout(message), (std::vector<FieldLayout>{{2, 1}, {3, 3}, {6, 1}, {7, 4}, {11, 0}, {11, 0}}));
    EXPECT_EQ(message.GetField(M::kAddress), (Bytes{0x01, 0x00, 0x02, 0x00}));

    // A shorter address pulls them back; the fields before it stay.
    message.SetField(M::kAddress, {0x05});
    EXPECT_EQ(message.Bytes(), (Bytes{0xF0, 0x41, 0x7F, 0x00, 0x00, 0x6A, 0x12, 0x05, 0xF7}));
    EXPECT_EQ(Layout(message), (std::vector<FieldLayout>{{2, 1}, {3, 3}, {6, 1}, {7, 1}, {8, 0}, {8, 0}}));

    // Replacing the device ID with the same number of bytes moves nothing.
    message.SetField(M::kDeviceId, {0x10});
    EXPECT_EQ(message.Bytes()[2], 0x10);
    EXPECT_EQ(Layout(message)[M::kChecksum], (FieldLayout{8, 0}));
}

TEST(ExclusiveMessageFields, ChecksumMakesTheSevenBitSumOfAddressDataAndChecksumZero) {
    const struct {
        const char* what;
        Bytes address;
        Bytes data;
        uint8_t checksum;
    } cases[] = {
        {"address and one data byte", {0x01, 0x00, 0x02, 0x00}, {0x7F}, 0x7E},
        {"data request for 12 bytes", {0x01, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x0C}, 0x73},
        {"sum zero gives zero, not no checksum", {0x00, 0x00, 0x00, 0x00}, {}, 0x00},
        {"sum a multiple of 128", {0x40, 0x40}, {}, 0x00},
        {"data alone", {}, {0x01}, 0x7F},
        {"sum beyond one byte", {0x7F, 0x7F, 0x7F, 0x7F}, Bytes(10, 0x7F), 0x0E},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTavHaldenMessage message;
        message.SetField(M::kAddress, c.address);
        message.SetField(M::kData, c.data);
        EXPECT_EQ(message.ComputeChecksum(), c.checksum);
        message.UpdateChecksum();
        EXPECT_EQ(message.StoredChecksum(), c.checksum);
        EXPECT_EQ(message.GetField(M::kChecksum), Bytes{c.checksum});
        EXPECT_EQ(message.Bytes().back(), 0xF7);
    }
}

// Both loops go eight bytes at a time: every length and position around the word edges
// must give what a byte-by-byte loop gives.
TEST(ExclusiveMessage, StatusByteAndChecksumAcrossWordEdges) {
    for (size_t length = 0; length <= 27; ++length) {
        Bytes data(length);
        unsigned sum = 0x01 + 0x02;
        for (size_t i = 0; i < length; ++i) {
            data[i] = static_cast<uint8_t>((i * 37 + 11) & 0x7F);
            sum += data[i];
        }
        SCOPED_TRACE(length);
        EXPECT_EQ(TavFindStatusByte(data.data(), length), length);
        CTavHaldenMessage message;
        message.SetField(M::kAddress, {0x01, 0x02});
        message.SetField(M::kData, data);
        EXPECT_EQ(message.ComputeChecksum(), (0u - sum) & 0x7F);
        for (size_t at = 0; at < length; ++at) {
            Bytes marked = data;
            marked[at] = 0xF7;
            if (at + 1 < length)
                marked[at + 1] = 0x80;
            EXPECT_EQ(TavFindStatusByte(marked.data(), length), at);
        }
    }
}

TEST(ExclusiveMessageFields, UpdateChecksumRemovesTheChecksumWhenAddressAndDataBecomeEmpty) {
    CTavHaldenMessage message;
    message.SetField(M::kData, {0x01});
    message.UpdateChecksum();
    ASSERT_EQ(message.FieldLength(M::kChecksum), 1);

    message.SetField(M::kData, {});
    message.UpdateChecksum();
    EXPECT_EQ(message.FieldLength(M::kChecksum), 0);
    EXPECT_EQ(message.StoredChecksum(), 0xFF);
    EXPECT_EQ(message.Bytes(), CTavHaldenMessage().Bytes());
}

// ---- Parsing received bytes --------------------------------------------------------------

TEST(ExclusiveMessageParse, ReadsADataSetWithAMultiByteModelId) {
    CTavHaldenMessage message;
    ASSERT_TRUE(message.Parse(
        Bytes{0xF0, 0x41, 0x10, 0x00, 0x00, 0x6A, 0x12, 0x01, 0x00, 0x02, 0x00, 0x7F, 0x7E, 0xF7}, 4));
    EXPECT_EQ(message.GetField(M::kDeviceId), Bytes{0x10});
    EXPECT_EQ(message.GetField(M::kModelId), (Bytes{0x00, 0x00, 0x6A}));
    EXPECT_EQ(message.GetField(M::kCommandId), Bytes{0x12});
    EXPECT_EQ(message.GetField(M::kAddress), (Bytes{0x01, 0x00, 0x02, 0x00}));
    EXPECT_EQ(message.GetField(M::kData), Bytes{0x7F});
    EXPECT_EQ(message.GetField(M::kChecksum), Bytes{0x7E});
    EXPECT_EQ(message.StoredChecksum(), 0x7E);
    EXPECT_EQ(message.ComputeChecksum(), message.StoredChecksum());
}

TEST(ExclusiveMessageParse, ReadsADataRequestWhoseSizeStandsInTheData) {
    CTavHaldenMessage message;
    ASSERT_TRUE(message.Parse(
        Bytes{0xF0, 0x41, 0x10, 0x6A, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x73, 0xF7}, 4));
    EXPECT_EQ(message.GetField(M::kModelId), Bytes{0x6A});
    EXPECT_EQ(message.GetField(M::kCommandId), Bytes{0x11});
    EXPECT_EQ(message.GetField(M::kAddress), (Bytes{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(message.GetField(M::kData), (Bytes{0x00, 0x00, 0x00, 0x0C}));
    EXPECT_EQ(TavDecodeAddress(message.FieldData(M::kData), 4), 12u);
    EXPECT_EQ(message.ComputeChecksum(), message.StoredChecksum());
}

TEST(ExclusiveMessageParse, LaysOutTheFieldsForEachAddressSize) {
    const struct {
        const char* what;
        Bytes bytes;
        int addressSize;
        std::vector<FieldLayout> layout;
    } cases[] = {
        {"size 4, no data",
         {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x01, 0x02, 0x03, 0x04, 0x76, 0xF7},
         4,
         {{2, 1}, {3, 1}, {4, 1}, {5, 4}, {9, 0}, {9, 1}}},
        {"size 1 with data",
         {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x01, 0x02, 0x03, 0x04, 0x76, 0xF7},
         1,
         {{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 3}, {9, 1}}},
        {"size 0, everything before the checksum is data",
         {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x01, 0x02, 0x7D, 0xF7},
         0,
         {{2, 1}, {3, 1}, {4, 1}, {5, 0}, {5, 2}, {7, 1}}},
        {"size 0, only the end byte after the command",
         {0xF0, 0x41, 0x10, 0x6A, 0x12, 0xF7},
         0,
         {{2, 1}, {3, 1}, {4, 1}, {5, 0}, {5, 0}, {5, 0}}},
        {"size 0, a lone byte before the end belongs to no field",
         {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x55, 0xF7},
         0,
         {{2, 1}, {3, 1}, {4, 1}, {5, 0}, {5, 0}, {5, 0}}},
        {"zero bytes lengthen the command ID",
         {0xF0, 0x41, 0x10, 0x6A, 0x00, 0x12, 0x01, 0x7F, 0xF7},
         1,
         {{2, 1}, {3, 1}, {4, 2}, {6, 1}, {7, 0}, {7, 1}}},
        {"the end byte is not examined",
         {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x01, 0x7F, 0x00},
         1,
         {{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 0}, {6, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTavHaldenMessage message;
        ASSERT_TRUE(message.Parse(c.bytes, c.addressSize));
        EXPECT_EQ(message.Bytes(), c.bytes);
        EXPECT_EQ(Layout(message), c.layout);
    }
}

TEST(ExclusiveMessageParse, RefusesSequencesTooShortOrBrokenForTheirFields) {
    const struct {
        const char* what;
        Bytes bytes;
        int addressSize;
    } cases[] = {
        {"no bytes", {}, 0},
        {"start byte alone", {0xF0}, 0},
        {"start and manufacturer", {0xF0, 0x41}, 0},
        {"start, manufacturer and end", {0xF0, 0x41, 0xF7}, 0},
        {"no model ID", {0xF0, 0x41, 0x10, 0xF7}, 0},
        {"no command ID", {0xF0, 0x41, 0x10, 0x6A, 0xF7}, 0},
        {"no room for the address", {0xF0, 0x41, 0x10, 0x6A, 0x12, 0xF7}, 1},
        {"address one byte short", {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x01, 0x00, 0x00, 0xF7}, 4},
        {"address but no checksum", {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x01, 0x00, 0x00, 0x00, 0xF7}, 4},
        {"model ID of zero bytes only", {0xF0, 0x41, 0x10, 0x00, 0x00, 0x00, 0xF7}, 0},
        {"model ID reaches its non-zero byte too late", {0xF0, 0x41, 0x10, 0x00, 0x00, 0x6A, 0xF7}, 0},
        {"command ID of zero bytes only", {0xF0, 0x41, 0x10, 0x6A, 0x00, 0x00, 0xF7}, 0},
        {"status byte in the model ID", {0xF0, 0x41, 0x10, 0x00, 0x90, 0x12, 0x01, 0x7F, 0xF7}, 1},
        {"status byte in the data",
         {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x01, 0x00, 0x02, 0x00, 0xC0, 0x3D, 0xF7},
         4},
        {"second start byte inside", {0xF0, 0x41, 0x10, 0x6A, 0x12, 0xF0, 0x41, 0x10, 0x6A, 0xF7}, 0},
        {"negative address size",
         {0xF0, 0x41, 0x10, 0x6A, 0x12, 0x01, 0x00, 0x02, 0x00, 0x7F, 0x7E, 0xF7},
         -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTavHaldenMessage message;
        // An exactly sized copy, so that the sanitizer build catches any read past the end.
        const std::vector<uint8_t> exact(c.bytes.begin(), c.bytes.end());
        EXPECT_FALSE(message.Parse(exact.data(), exact.size(), c.addressSize));
    }
}

TEST(ExclusiveMessageParse, RefusesEveryShortSequenceWithAnyAddressSize) {
    const Bytes shortOnes[] = {
        {},
        {0xF0},
        {0xF7},
        {0xF0, 0x41},
        {0xF0, 0xF7},
        {0xF0, 0x41, 0xF7},
        {0xF0, 0x41, 0x10, 0xF7},
        {0xF0, 0x41, 0x10, 0x6A, 0xF7},
        {0xF0, 0x00, 0x00, 0x00, 0xF7},
        {0xF0, 0x41, 0x10, 0x6A, 0x12},
    };
    for (const Bytes& bytes : shortOnes) {
        for (int addressSize = 0; addressSize <= 4; ++addressSize) {
            SCOPED_TRACE(Hex(bytes) + " with address size " + std::to_string(addressSize));
            CTavHaldenMessage message;
            const std::vector<uint8_t> exact(bytes.begin(), bytes.end());
            EXPECT_FALSE(message.Parse(exact.data(), exact.size(), addressSize));
        }
    }
}

// ---- Address encoding ---------------------------------------------------------------------

TEST(ExclusiveMessageAddress, EncodesSevenBitGroupsMostSignificantFirstAndDropsHigherBits) {
    const struct {
        uint32_t value;
        int size;
        Bytes bytes;
    } cases[] = {
        {(1u << 21) + (2u << 7), 4, {0x01, 0x00, 0x02, 0x00}},
        {(1u << 21) + (2u << 7), 3, {0x00, 0x02, 0x00}},
        {(1u << 21) + (2u << 7), 2, {0x02, 0x00}},
        {(1u << 21) + (2u << 7), 1, {0x00}},
        {0x0FFFFFFF, 4, {0x7F, 0x7F, 0x7F, 0x7F}},
        {0x10000000, 4, {0x00, 0x00, 0x00, 0x00}},
        {0xFFFFFFFF, 4, {0x7F, 0x7F, 0x7F, 0x7F}},
        {12, 4, {0x00, 0x00, 0x00, 0x0C}},
        {200, 1, {0x48}},
        {12, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " in " + std::to_string(c.size) + " bytes");
        EXPECT_EQ(TavEncodeAddress(c.value, c.size), c.bytes);
    }
}

TEST(ExclusiveMessageAddress, DecodesBytesAsBaseOneHundredTwentyEightDigits) {
    const struct {
        Bytes bytes;
        uint32_t value;
    } cases[] = {
        {{0x01, 0x00, 0x02, 0x00}, (1u << 21) + (2u << 7)},
        {{0x0F, 0x00, 0x00, 0x00}, 0x0Fu << 21},
        {{0x7F, 0x7F, 0x7F, 0x7F}, 0x0FFFFFFF},
        {{0x02, 0x00}, 256},
        {{0x0C}, 12},
        {{}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Hex(c.bytes));
        EXPECT_EQ(TavDecodeAddress(c.bytes), c.value);
        EXPECT_EQ(TavDecodeAddress(TavEncodeAddress(c.value, static_cast<int>(c.bytes.size()))), c.value);
    }
}

// ---- Data set and data request -----------------------------------------------------------------

// What an output builds, one field at a time from the default message.
CTavHaldenMessage BuildFieldByField(uint8_t manufacturer, uint8_t deviceId, const Bytes& modelId,
                                    uint8_t command, const Bytes& address, const Bytes& data) {
    CTavHaldenMessage message;
    message.SetManufacturer(manufacturer);
    message.SetField(M::kDeviceId, {deviceId});
    message.SetField(M::kModelId, modelId);
    message.SetField(M::kCommandId, {command});
    message.SetField(M::kAddress, address);
    message.SetField(M::kData, data);
    message.UpdateChecksum();
    return message;
}

Bytes Ramp(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 37 + 5) & 0x7F);
    return bytes;
}

const Bytes kModelIds[] = {{0x6A}, {0x00, 0x6A}, {0x00, 0x00, 0x6A}};
const uint32_t kAddresses[] = {0, 0x0Fu << 21, (1u << 21) + (2u << 7), 0x0FFFFFFF, 0xFFFFFFFF};

TEST(ExclusiveMessageBuild, DataSetEqualsTheMessageBuiltFieldByField) {
    const size_t dataSizes[] = {0, 1, 12, 131, 2036};
    for (int addressSize = 1; addressSize <= 4; ++addressSize)
        for (const Bytes& modelId : kModelIds)
            for (uint32_t address : kAddresses)
                for (size_t size : dataSizes) {
                    SCOPED_TRACE("address size " + std::to_string(addressSize) + ", model " + Hex(modelId) +
                                 ", address " + std::to_string(address) + ", " + std::to_string(size) +
                                 " bytes");
                    const Bytes data = Ramp(size);
                    const CTavHaldenMessage built =
                        M::DataSet(0x41, 0x10, modelId, addressSize, address, data.data(), data.size());
                    const CTavHaldenMessage expected = BuildFieldByField(
                        0x41, 0x10, modelId, M::kDataSet, TavEncodeAddress(address, addressSize), data);
                    ASSERT_EQ(Hex(built.Bytes()), Hex(expected.Bytes()));
                    ASSERT_EQ(Layout(built), Layout(expected));
                    ASSERT_EQ(built.ComputeChecksum(), built.StoredChecksum());
                }
}

TEST(ExclusiveMessageBuild, DataRequestEqualsTheMessageBuiltFieldByFieldWithTheSizeAsData) {
    const uint32_t sizes[] = {0, 12, 136, 0x0FFFFFFF};
    for (int addressSize = 1; addressSize <= 4; ++addressSize)
        for (const Bytes& modelId : kModelIds)
            for (uint32_t address : kAddresses)
                for (uint32_t size : sizes) {
                    SCOPED_TRACE("address size " + std::to_string(addressSize) + ", model " + Hex(modelId) +
                                 ", address " + std::to_string(address) + ", size " + std::to_string(size));
                    const CTavHaldenMessage built =
                        M::DataRequest(0x41, 0x7F, modelId, addressSize, address, size);
                    const CTavHaldenMessage expected = BuildFieldByField(
                        0x41, 0x7F, modelId, M::kDataRequest, TavEncodeAddress(address, addressSize),
                        TavEncodeAddress(size, addressSize));
                    ASSERT_EQ(Hex(built.Bytes()), Hex(expected.Bytes()));
                    ASSERT_EQ(Layout(built), Layout(expected));
                }
}

TEST(ExclusiveMessageBuild, BuiltMessagesParseBackIntoTheSameFields) {
    const Bytes data = Ramp(55);
    for (int addressSize = 1; addressSize <= 4; ++addressSize)
        for (const Bytes& modelId : kModelIds) {
            SCOPED_TRACE("address size " + std::to_string(addressSize) + ", model " + Hex(modelId));
            const CTavHaldenMessage messages[] = {
                M::DataSet(0x41, 0x10, modelId, addressSize, 0x01020304, data.data(), data.size()),
                M::DataSet(0x41, 0x10, modelId, addressSize, 0x01020304, nullptr, 0),
                M::DataRequest(0x41, 0x10, modelId, addressSize, 0x01020304, 55),
            };
            for (const CTavHaldenMessage& sent : messages) {
                CTavHaldenMessage received;
                ASSERT_TRUE(received.Parse(sent.Bytes(), addressSize)) << Hex(sent.Bytes());
                EXPECT_EQ(Layout(received), Layout(sent)) << Hex(sent.Bytes());
                EXPECT_EQ(received.ComputeChecksum(), received.StoredChecksum());
            }
        }
}

TEST(ExclusiveMessageBuild, FramingOverBytesGivesTheBuiltMessagesAndKeepsTheirRoom) {
    const Bytes data = Ramp(131);
    Bytes bytes(400, 0xAA); // what an earlier, longer message left
    const uint8_t* room = bytes.data();
    for (int addressSize = 1; addressSize <= 4; ++addressSize)
        for (const Bytes& modelId : kModelIds)
            for (uint32_t address : kAddresses)
                for (size_t size : {size_t{0}, size_t{1}, data.size()}) {
                    SCOPED_TRACE("address size " + std::to_string(addressSize) + ", address " +
                                 std::to_string(address) + ", " + std::to_string(size) + " bytes");
                    M::FrameDataSet(bytes, 0x41, 0x10, modelId, addressSize, address, data.data(), size);
                    ASSERT_EQ(Hex(bytes),
                              Hex(M::DataSet(0x41, 0x10, modelId, addressSize, address, data.data(), size).Bytes()));
                    M::FrameDataRequest(bytes, 0x41, 0x7F, modelId, addressSize, address, static_cast<uint32_t>(size));
                    ASSERT_EQ(Hex(bytes),
                              Hex(M::DataRequest(0x41, 0x7F, modelId, addressSize, address, static_cast<uint32_t>(size))
                                      .Bytes()));
                }
    EXPECT_EQ(bytes.data(), room);
}

TEST(ExclusiveMessageBuild, DataSetMatchesTheWireLayoutByteForByte) {
    const Bytes data{0x7F};
    EXPECT_EQ(Hex(M::DataSet(0x41, 0x10, {0x00, 0x6A}, 4, (1u << 21) + (2u << 7), data.data(), data.size())
                      .Bytes()),
              "F0 41 10 00 6A 12 01 00 02 00 7F 7E F7");
    EXPECT_EQ(Hex(M::DataRequest(0x41, 0x10, {0x6A}, 4, 1u << 21, 12).Bytes()),
              "F0 41 10 6A 11 01 00 00 00 00 00 00 0C 73 F7");
    EXPECT_EQ(Hex(M::DataSet(0x41, 0x11, {0x6A}, 2, 0x1234, nullptr, 0).Bytes()),
              "F0 41 11 6A 12 24 34 28 F7");
}

} // namespace

// The MIDI manager and its ports: building inputs and outputs from the script and binding
// them, framing and recording what an output sends, and what an input does with every kind
// of incoming message.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "midi/CTavMidi.h"
#include "midi/CTavMidiDevice.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"
#include "model/ITavBufferHandler.h"
#include "support/ModelFixture.h"

namespace {

using Lines = std::vector<std::string>;

// "F0 41 10" -> bytes.
TavBytes Bytes(const std::string& hex) {
    TavBytes bytes;
    std::istringstream stream(hex);
    std::string token;
    while (stream >> token)
        bytes.push_back(static_cast<uint8_t>(std::stoul(token, nullptr, 16)));
    return bytes;
}

// Bytes -> "F0 41 10".
std::string Hex(const TavBytes& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        text += digits;
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

// Every party a message can reach writes one line into the same log, so a test sees both
// who got a message and in which order.
class RecordingDevice : public CTavMidiOutDevice {
public:
    RecordingDevice(Lines& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    void Send(const TavBytes& bytes) override { m_log.push_back(m_name + " " + Hex(bytes)); }

private:
    Lines& m_log;
    std::string m_name;
};

class RecordingReader : public ITavMidiReader {
public:
    explicit RecordingReader(Lines& log) : m_log(log) {}
    void OnDataSet(const CTavHaldenMessage& message) override {
        m_log.push_back("reader data set " + Hex(message.Bytes()));
    }
    void OnUniversalMessage(const CTavLongMessage& message) override {
        m_log.push_back("reader universal " + Hex(message.Bytes()));
    }
    void OnShortMessage(TavShortMessage message) override {
        char text[16];
        std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(message));
        m_log.push_back(std::string("reader short ") + text);
    }

private:
    Lines& m_log;
};

class RecordingRequestListener : public ITavMidiRequestListener {
public:
    explicit RecordingRequestListener(Lines& log) : m_log(log) {}
    void OnIdentityRequest(const CTavLongMessage& message) override {
        m_log.push_back("identity request " + Hex(message.Bytes()));
    }
    void OnDataRequest(const CTavHaldenMessage& message) override {
        m_log.push_back("data request " + Hex(message.Bytes()));
    }

private:
    Lines& m_log;
};

// Logs the values a received data set wrote and how many changes were pending at that
// moment: a count that only covers the latest receiver shows that the notifications of
// the one before were delivered and cleared in between.
class ReceiveLogger : public ITavBufferHandler {
public:
    ReceiveLogger(Lines& log, CTavBufferManager& buffers) : m_log(log), m_buffers(buffers) {}
    bool AfterReceive(const TavValueList& values) override {
        std::string line = "received";
        for (const CTavValue* value : values)
            line += " " + value->FullPath();
        line += " (pending " + std::to_string(m_buffers.PendingChanges().size()) + ")";
        m_log.push_back(line);
        return false;
    }

private:
    Lines& m_log;
    CTavBufferManager& m_buffers;
};

// tone, alias and far share the type Tone: the leaf common [0,3) and the leaf part at 10.
// tone and alias lie at the same address 01 00 02 00; far at 02 00 00 00. shown holds the
// text that shows the last message of "out".
const char* const kStructs = R"(
<structType><type>Patch</type><name>$name</name><address>$address</address>
  <value><name>a</name><default>1</default></value>
  <value><name>b</name><default>2</default></value>
  <value><name>c</name><default>3</default></value>
</structType>
<structType><type>Part</type><name>$name</name><address>$address</address>
  <value><name>d</name><default>4</default></value>
  <value><name>e</name><default>5</default></value>
</structType>
<structType><type>Tone</type><name>$name</name><address>$address</address>
  <struct><type>Patch</type><name>common</name><address>00</address></struct>
  <struct><type>Part</type><name>part</name><address>10</address></struct>
</structType>
<structType><type>Log</type><name>$name</name><address>$address</address>
  <value><name>msg</name><type>string</type><size>30</size></value>
</structType>
<structType><type>Shown</type><name>$name</name><address>$address</address>
  <struct><type>Log</type><name>log</name><address>00</address></struct>
</structType>
<struct><type>Tone</type><name>tone</name><address>01 00 02 00</address></struct>
<struct><type>Tone</type><name>alias</name><address>01 00 02 00</address></struct>
<struct><type>Tone</type><name>far</name><address>02 00 00 00</address></struct>
<struct><type>Shown</type><name>shown</name><address>10 00 00 00</address></struct>
)";

// The input is listed before the outputs it refers to.
const char* const kPorts = R"(
<midiIn><name>in</name><modelID>00 6A</modelID><addressSize>4</addressSize>
  <rootStruct>tone</rootStruct><rootStruct>far</rootStruct><rootStruct>alias</rootStruct>
  <midiOutRef>thru</midiOutRef></midiIn>
<midiOut><name>out</name><modelID>00 6A</modelID><addressSize>4</addressSize>
  <rootStruct>tone</rootStruct><rootStruct>far</rootStruct>
  <midiMessageValueRef>shown.log.msg</midiMessageValueRef></midiOut>
<midiOut><name>thru</name><modelID>00 6a</modelID></midiOut>
)";

// Data set of 05 06 07 into tone.common (and alias.common), device ID 10.
const char* const kCommonDataSet = "F0 41 10 00 6A 12 01 00 02 00 05 06 07 6B F7";

class MidiManager : public test::ModelFixture {
protected:
    void SetUp() override {
        Build(std::string(kStructs) + kPorts);
        Buffers().Handlers().Add(std::make_unique<ReceiveLogger>(log, Buffers()));
        In().SetReader(&reader);
        In().SetRequestListener(&requests);
        Thru().SetDevice(&thruDevice);
    }

    CTavMidiManager& Midi() { return system.MidiManager(); }
    CTavMidiIn& In() { return *Midi().Input(0); }
    CTavMidiOut& Out() { return *Midi().FindOutput("out"); }
    CTavMidiOut& Thru() { return *Midi().FindOutput("thru"); }

    // Writes one value the way an edit does and transmits it.
    void Edit(const std::string& path, int32_t raw) {
        Buffers().WriteInteger(Value(path), raw);
        Buffers().TransmitPending();
        Buffers().ClearPending();
    }
    void Receive(const std::string& hex) { In().Receive(Bytes(hex)); }
    std::vector<int32_t> Common(const std::string& root) {
        return {Value(root + ".common.a").GetRaw(), Value(root + ".common.b").GetRaw(),
                Value(root + ".common.c").GetRaw()};
    }

    Lines log;
    RecordingDevice outDevice{log, "out"};
    RecordingDevice thruDevice{log, "thru"};
    RecordingReader reader{log};
    RecordingRequestListener requests{log};
};

// --- Binding ----------------------------------------------------------------------------

TEST_F(MidiManager, InputsAndOutputsFollowTheScriptInOrderAndAreBound) {
    ASSERT_EQ(Midi().Inputs().size(), 1u);
    ASSERT_EQ(Midi().Outputs().size(), 2u);
    EXPECT_EQ(Midi().Output(0), &Out());
    EXPECT_EQ(Midi().Output(1), &Thru());
    EXPECT_EQ(Midi().Output(2), nullptr);
    EXPECT_EQ(Midi().FindOutput("nothing"), nullptr);

    const std::vector<ITavRootStruct*> receivers{
        Buffers().FindRootStruct("tone"), Buffers().FindRootStruct("far"), Buffers().FindRootStruct("alias")};
    EXPECT_EQ(In().Receivers(), receivers);
    EXPECT_EQ(In().ThruOutput(), &Thru());
    EXPECT_EQ(Buffers().FindRootStruct("tone")->Output(), &Out());
    EXPECT_EQ(Buffers().FindRootStruct("far")->Output(), &Out());
    EXPECT_EQ(Buffers().FindRootStruct("alias")->Output(), nullptr);
}

TEST_F(MidiManager, PortsStartWithTheFixedManufacturerAndDeviceId) {
    for (const CTavMidi* port : {static_cast<CTavMidi*>(&In()), static_cast<CTavMidi*>(&Out())}) {
        EXPECT_EQ(port->ManufacturerId(), 0x41);
        EXPECT_EQ(port->DeviceId(), 0x10);
        EXPECT_EQ(Hex(port->ModelId()), "00 6A");
        EXPECT_EQ(port->AddressSize(), 4);
    }
}

// --- Sending ------------------------------------------------------------------------------

TEST_F(MidiManager, AnEditSendsItsWholeLeafAsOneDataSetOnTheBoundOutput) {
    Out().SetDevice(&outDevice);
    const struct {
        const char* path;
        int32_t raw;
        const char* sent;
    } cases[] = {
        {"tone.common.b", 9, "out F0 41 10 00 6A 12 01 00 02 00 01 09 03 70 F7"},
        {"tone.part.e", 10, "out F0 41 10 00 6A 12 01 00 02 10 04 0A 5F F7"},
        {"far.common.a", 0x7F, "out F0 41 10 00 6A 12 02 00 00 00 7F 02 03 7A F7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        log.clear();
        Edit(c.path, c.raw);
        EXPECT_EQ(log, Lines{c.sent});
    }
}

TEST_F(MidiManager, AnEditOfARootWithoutAnOutputSendsNothing) {
    Out().SetDevice(&outDevice);
    Edit("alias.common.a", 9);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(Out().LastMessage().empty());
}

TEST_F(MidiManager, TheManagersDeviceIdFramesEveryDataSet) {
    Out().SetDevice(&outDevice);
    Midi().SetDeviceId(0x11);
    Edit("tone.common.b", 9);
    EXPECT_EQ(log, Lines{"out F0 41 11 00 6A 12 01 00 02 00 01 09 03 70 F7"});
}

TEST_F(MidiManager, AnOutputRemembersItsLastMessageWithOrWithoutADevice) {
    Edit("tone.common.b", 9);
    EXPECT_EQ(Hex(Out().LastMessage()), "F0 41 10 00 6A 12 01 00 02 00 01 09 03 70 F7");

    Out().SetDevice(&outDevice);
    Edit("tone.common.c", 4);
    EXPECT_EQ(Hex(Out().LastMessage()), "F0 41 10 00 6A 12 01 00 02 00 01 09 04 6F F7");
    EXPECT_EQ(log, Lines{"out F0 41 10 00 6A 12 01 00 02 00 01 09 04 6F F7"});
}

TEST_F(MidiManager, DataHoldingAStatusByteIsReportedAndNeverSent) {
    Out().SetDevice(&outDevice);
    Edit("tone.common.b", 9);
    const TavBytes before = Out().LastMessage();
    log.clear();
    const struct {
        TavBytes data;
        const char* report;
    } cases[] = {
        {{0xFF, 0xFF, 0xFF}, "Data set holds a status byte. : out : 01 00 02 00 : FF\n"},
        {{0x00, 0x7F, 0x80}, "Data set holds a status byte. : out : 01 00 02 02 : 80\n"},
    };
    for (const auto& c : cases) {
        const size_t reported = system.ErrorText().size();
        Out().SendDataSet(Buffers().FindRoot("tone")->Range().begin, c.data.data(), c.data.size());
        EXPECT_EQ(system.ErrorText().substr(reported), c.report);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(Out().LastMessage(), before);
    }
}

TEST_F(MidiManager, ADataRequestEncodesTheSizeLikeTheAddress) {
    Out().SetDevice(&outDevice);
    Out().SendDataRequest(Buffers().FindRoot("tone")->Range().begin, 3);
    EXPECT_EQ(log, Lines{"out F0 41 10 00 6A 11 01 00 02 00 00 00 00 03 7A F7"});
    EXPECT_EQ(Hex(Out().LastMessage()), "F0 41 10 00 6A 11 01 00 02 00 00 00 00 03 7A F7");
}

TEST_F(MidiManager, SendLongPassesTheBytesUnchanged) {
    Out().SetDevice(&outDevice);
    CTavLongMessage message;
    ASSERT_TRUE(message.SetBytes(Bytes("F0 7E 10 06 01 F7")));
    Out().SendLong(message);
    EXPECT_EQ(log, Lines{"out F0 7E 10 06 01 F7"});
    EXPECT_EQ(Hex(Out().LastMessage()), "F0 7E 10 06 01 F7");
}

TEST_F(MidiManager, AShortMessageSendsAsManyBytesAsItsStatusHas) {
    const struct {
        uint8_t status;
        const char* sent;
    } cases[] = {
        {0x80, "80 11 22"}, {0x9F, "9F 11 22"}, {0xA3, "A3 11 22"}, {0xB0, "B0 11 22"},
        {0xE7, "E7 11 22"}, {0xF2, "F2 11 22"}, {0xC0, "C0 11"},    {0xDF, "DF 11"},
        {0xF1, "F1 11"},    {0xF3, "F3 11"},    {0xF0, "F0"},       {0xF4, "F4"},
        {0xF6, "F6"},       {0xF8, "F8"},       {0xFE, "FE"},       {0xFF, "FF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        // Without a device the bytes are still remembered.
        Out().SetDevice(nullptr);
        Out().SendShort(TavPackShort(c.status, 0x11, 0x22));
        EXPECT_EQ(Hex(Out().LastMessage()), c.sent);

        log.clear();
        Out().SetDevice(&outDevice);
        Out().SendShort(TavPackShort(c.status, 0x11, 0x22));
        EXPECT_EQ(log, Lines{std::string("out ") + c.sent});
    }
}

TEST_F(MidiManager, TheMessageValueShowsTheLastMessagePaddedToItsSize) {
    Edit("tone.common.b", 9);
    EXPECT_EQ(Value("shown.log.msg").GetText(), "F0 41 10 00 6A 12 01 00 02 00 01 09 03 70 F7    ");
}

TEST_F(MidiManager, TheMessageValueIsReportedAsChangedOnlyWhenItsTextChanges) {
    Buffers().WriteInteger(Value("tone.common.b"), 9);
    Buffers().TransmitPending();
    const std::vector<CTavBuffer*>& pending = Buffers().PendingChanges();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending.back(), &Value("shown.log.msg"));

    Buffers().ClearPending();
    Buffers().TransmitPending();
    EXPECT_TRUE(Buffers().PendingChanges().empty());
}

// --- Receiving data sets -----------------------------------------------------------------

TEST_F(MidiManager, ADataSetIsWrittenIntoEveryReceiverThatHoldsItWithADeliveryAfterEach) {
    Receive(kCommonDataSet);
    EXPECT_EQ(Common("tone"), (std::vector<int32_t>{5, 6, 7}));
    EXPECT_EQ(Common("alias"), (std::vector<int32_t>{5, 6, 7}));
    EXPECT_EQ(Common("far"), (std::vector<int32_t>{1, 2, 3}));
    // Each receiver's changes were delivered and cleared before the next one wrote.
    EXPECT_EQ(log, (Lines{
                       "received tone.common.a tone.common.b tone.common.c (pending 3)",
                       "received alias.common.a alias.common.b alias.common.c (pending 3)",
                       std::string("reader data set ") + kCommonDataSet,
                       std::string("thru ") + kCommonDataSet,
                   }));
    EXPECT_TRUE(Buffers().PendingChanges().empty());
}

TEST_F(MidiManager, AReceivedDataSetIsNotSentBackToTheDevice) {
    Out().SetDevice(&outDevice);
    Receive(kCommonDataSet);
    Buffers().TransmitPending();
    EXPECT_TRUE(Out().LastMessage().empty());
    EXPECT_EQ(log.back(), std::string("thru ") + kCommonDataSet);
}

TEST_F(MidiManager, ADataSetNoReceiverHoldsStillReachesTheReaderAndIsForwarded) {
    Receive("F0 41 10 00 6A 12 03 00 00 00 01 7C F7");
    EXPECT_EQ(log, (Lines{"reader data set F0 41 10 00 6A 12 03 00 00 00 01 7C F7",
                          "thru F0 41 10 00 6A 12 03 00 00 00 01 7C F7"}));
}

// A reader that waits for a reply while it is told of a data set (a nested receive) must
// find its own message unchanged afterwards.
TEST_F(MidiManager, ADataSetReceivedWhileAReaderIsToldOfAnotherLeavesTheOuterMessageWhole) {
    struct NestingReader : ITavMidiReader {
        CTavMidiIn* input = nullptr;
        Lines seen;
        void OnDataSet(const CTavHaldenMessage& message) override {
            const std::string before = Hex(message.Bytes());
            if (seen.empty()) {
                seen.push_back("nested");
                input->Receive(Bytes("F0 41 10 00 6A 12 03 00 00 00 01 7C F7"));
            }
            seen.push_back(before == Hex(message.Bytes()) ? before : "changed");
        }
    } nesting;
    nesting.input = &In();
    In().SetReader(&nesting);
    Receive(kCommonDataSet);
    Receive(kCommonDataSet);
    EXPECT_EQ(nesting.seen, (Lines{"nested", "F0 41 10 00 6A 12 03 00 00 00 01 7C F7", kCommonDataSet,
                                   kCommonDataSet}));
    In().SetReader(&reader);
}

TEST_F(MidiManager, AnInputAcceptsTheDeviceIdTheManagerSets) {
    Midi().SetDeviceId(0x11);
    Receive(kCommonDataSet);
    EXPECT_TRUE(log.empty());

    Receive("F0 41 11 00 6A 12 01 00 02 00 05 06 07 6B F7");
    EXPECT_EQ(Common("tone"), (std::vector<int32_t>{5, 6, 7}));
}

TEST_F(MidiManager, MismatchedOrBrokenExclusivesAreDroppedWithoutATrace) {
    const struct {
        const char* why;
        const char* message;
    } cases[] = {
        {"broadcast device ID", "F0 41 7F 00 6A 12 01 00 02 00 05 06 07 6B F7"},
        {"other device ID", "F0 41 11 00 6A 12 01 00 02 00 05 06 07 6B F7"},
        {"other model ID", "F0 41 10 00 6B 12 01 00 02 00 05 06 07 6B F7"},
        {"shorter model ID", "F0 41 10 6A 12 01 00 02 00 05 06 07 6B F7"},
        {"longer model ID", "F0 41 10 00 00 6A 12 01 00 02 00 05 06 07 6B F7"},
        {"wrong checksum", "F0 41 10 00 6A 12 01 00 02 00 05 06 07 6C F7"},
        {"other command", "F0 41 10 00 6A 13 01 00 02 00 05 06 07 6B F7"},
        {"status byte inside", "F0 41 10 00 6A 12 01 00 02 00 85 06 07 6B F7"},
        {"too short for its address", "F0 41 10 00 6A 12 01 00 F7"},
        {"other manufacturer", "F0 43 10 00 6A 12 01 00 02 00 05 06 07 6B F7"},
        {"universal with status byte inside", "F0 7E 10 86 02 F7"},
        {"data byte without status", "05 06 07"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        log.clear();
        Receive(c.message);
        EXPECT_TRUE(log.empty()) << log.front();
        EXPECT_EQ(Common("tone"), (std::vector<int32_t>{1, 2, 3}));
    }
}

// --- Requests, universal and channel messages -----------------------------------------

TEST_F(MidiManager, ADataRequestReachesOnlyTheRequestListenerWithoutAChecksumTest) {
    for (const char* request : {"F0 41 10 00 6A 11 01 00 02 00 00 00 00 03 7A F7",
                                "F0 41 10 00 6A 11 01 00 02 00 00 00 00 03 00 F7"}) {
        SCOPED_TRACE(request);
        log.clear();
        Receive(request);
        EXPECT_EQ(log, Lines{std::string("data request ") + request});
    }
}

TEST_F(MidiManager, ADataRequestForAnotherDeviceIsDropped) {
    Receive("F0 41 7F 00 6A 11 01 00 02 00 00 00 00 03 7A F7");
    EXPECT_TRUE(log.empty());
}

TEST_F(MidiManager, AnIdentityRequestReachesOnlyTheRequestListener) {
    for (const char* request : {"F0 7E 10 06 01 F7", "F0 7E 7F 06 01 F7"}) {
        SCOPED_TRACE(request);
        log.clear();
        Receive(request);
        EXPECT_EQ(log, Lines{std::string("identity request ") + request});
    }
}

TEST_F(MidiManager, UniversalMessagesOtherThanIdentityRequestsGoToTheReaderAndAreForwarded) {
    for (const char* message : {"F0 7E 10 06 02 41 14 02 00 00 00 03 00 00 F7", "F0 7F 7F 04 01 00 40 F7"}) {
        SCOPED_TRACE(message);
        log.clear();
        Receive(message);
        EXPECT_EQ(log, (Lines{std::string("reader universal ") + message, std::string("thru ") + message}));
    }
}

TEST_F(MidiManager, AChannelMessageGoesToTheReaderAndIsForwarded) {
    const struct {
        const char* message;
        const char* packed;
    } cases[] = {{"90 3C 64", "643C90"}, {"C5 10", "0010C5"}, {"E0 00 40", "4000E0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        log.clear();
        Receive(c.message);
        EXPECT_EQ(log, (Lines{std::string("reader short ") + c.packed, std::string("thru ") + c.message}));
    }
}

TEST_F(MidiManager, RealTimeMessagesAreOnlyForwarded) {
    for (const char* message : {"F8", "FE", "FF"}) {
        SCOPED_TRACE(message);
        log.clear();
        Receive(message);
        EXPECT_EQ(log, Lines{std::string("thru ") + message});
    }
}

TEST_F(MidiManager, ForwardingBypassesTheThruOutputsLastMessage) {
    Thru().SendShort(TavPackShort(0xC0, 0x05));
    Receive(kCommonDataSet);
    Receive("90 3C 64");
    EXPECT_EQ(log, (Lines{
                       "thru C0 05",
                       "received tone.common.a tone.common.b tone.common.c (pending 3)",
                       "received alias.common.a alias.common.b alias.common.c (pending 3)",
                       std::string("reader data set ") + kCommonDataSet,
                       std::string("thru ") + kCommonDataSet,
                       "reader short 643C90",
                       "thru 90 3C 64",
                   }));
    EXPECT_EQ(Hex(Thru().LastMessage()), "C0 05");
}

TEST_F(MidiManager, AThruOutputWithoutADeviceForwardsNothing) {
    Thru().SetDevice(nullptr);
    Receive("90 3C 64");
    Receive(kCommonDataSet);
    EXPECT_EQ(log.front(), "reader short 643C90");
    EXPECT_EQ(log.back(), std::string("reader data set ") + kCommonDataSet);
    EXPECT_TRUE(Thru().LastMessage().empty());
}

TEST_F(MidiManager, AnInputWithoutListenersStillWritesItsReceivers) {
    In().SetReader(nullptr);
    In().SetRequestListener(nullptr);
    Receive("F0 41 10 00 6A 11 01 00 02 00 00 00 00 03 7A F7");
    Receive("F0 7E 10 06 01 F7");
    Receive(kCommonDataSet);
    EXPECT_EQ(Common("tone"), (std::vector<int32_t>{5, 6, 7}));
    EXPECT_EQ(log.back(), std::string("thru ") + kCommonDataSet);
}

// --- Script attributes ------------------------------------------------------------------

// Reads the structs and the ports into a system of its own and creates its managers,
// expecting failure; the error text.
std::string CreationErrors(const std::string& ports) {
    CTavSystem system;
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.AttachErrorOutputToManagers();
    EXPECT_TRUE(system.ReadScript(std::string(kStructs) + ports)) << system.ErrorText();
    EXPECT_FALSE(system.CreateManagers());
    return system.ErrorText();
}

class MidiManagerScript : public test::ModelFixture {
protected:
    CTavMidiManager& Midi() { return system.MidiManager(); }
};

TEST_F(MidiManagerScript, AddressSizeIsReadAsDecimalHexadecimalOrOctal) {
    Build(std::string(kStructs) + R"(
<midiOut><name>a</name><addressSize>0x3</addressSize></midiOut>
<midiOut><name>b</name><addressSize>03</addressSize></midiOut>
<midiOut><name>c</name><addressSize>1</addressSize></midiOut>
<midiOut><name>d</name><addressSize>0X4</addressSize></midiOut>
<midiOut><name>e</name></midiOut>
)");
    const int expected[] = {3, 3, 1, 4, 4};
    ASSERT_EQ(Midi().Outputs().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(Midi().Output(i)->AddressSize(), expected[i]) << Midi().Output(i)->Name();
}

TEST_F(MidiManagerScript, TheAddressSizeSetsTheAddressBytesOfADataSet) {
    Build(std::string(kStructs) +
          "<midiOut><name>out</name><modelID>00 6A</modelID><addressSize>2</addressSize>"
          "<rootStruct>tone</rootStruct></midiOut>");
    Buffers().WriteInteger(Value("tone.part.d"), 0);
    Buffers().TransmitPending();
    // 01 00 02 10 keeps its lowest two groups.
    EXPECT_EQ(Hex(Midi().Output(0)->LastMessage()), "F0 41 10 00 6A 12 02 10 00 05 69 F7");
}

TEST_F(MidiManagerScript, ModelIdTakesOneOrTwoHexadecimalDigitsPerByteInEitherCase) {
    const struct {
        const char* text;
        const char* bytes;
    } cases[] = {
        {"00 6A", "00 6A"}, {"00 6a", "00 6A"},  {"0 6A", "00 6A"},
        {"41", "41"},       {" 1  2 ", "01 02"}, {"7f 0 00 2b", "7F 00 00 2B"},
    };
    std::string ports;
    for (const auto& c : cases)
        ports += std::string("<midiIn><modelID>") + c.text + "</modelID></midiIn>";
    Build(std::string(kStructs) + ports);
    ASSERT_EQ(Midi().Inputs().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Hex(Midi().Input(i)->ModelId()), cases[i].bytes) << cases[i].text;
}

TEST_F(MidiManagerScript, ScriptErrorsStopCreationWithTheirMessages) {
    const struct {
        const char* ports;
        const char* errors;
    } cases[] = {
        {"<midiOut><name>out</name><addressSize>5</addressSize></midiOut>",
         "MIDI out addressSize must be 1 through 4.\n"
         "Unable to convert element definitions out to MIDI out.\n"},
        {"<midiOut><name>out</name><addressSize>0</addressSize></midiOut>",
         "MIDI out addressSize must be 1 through 4.\n"
         "Unable to convert element definitions out to MIDI out.\n"},
        {"<midiIn><name>in</name><addressSize>010</addressSize></midiIn>",
         "MIDI in addressSize must be 1 through 4.\n"
         "Unable to convert element definitions in to MIDI in.\n"},
        {"<midiIn><name>in</name><addressSize>abc</addressSize></midiIn>",
         "MIDI in addressSize is invalid. : abc\n"
         "Unable to convert element definitions in to MIDI in.\n"},
        {"<midiOut><name>out</name><addressSize>3x</addressSize></midiOut>",
         "MIDI out addressSize is invalid. : 3x\n"
         "Unable to convert element definitions out to MIDI out.\n"},
        {"<midiOut><name>out</name><modelID>00 6G</modelID></midiOut>",
         "MIDI out modelID is invalid. : 00 6G\n"
         "Unable to convert element definitions out to MIDI out.\n"},
        {"<midiIn><name>in</name><modelID>006A</modelID></midiIn>",
         "MIDI in modelID is invalid. : 006A\n"
         "Unable to convert element definitions in to MIDI in.\n"},
        {"<midiOut><name>out</name><modelID>00 8A</modelID></midiOut>",
         "MIDI out modelID holds a byte above 7F. : 00 8A\n"
         "Unable to convert element definitions out to MIDI out.\n"},
        {"<midiIn><name>in</name><modelID>FF</modelID></midiIn>",
         "MIDI in modelID holds a byte above 7F. : FF\n"
         "Unable to convert element definitions in to MIDI in.\n"},
        // Without a name, the element is told by its type or by its place.
        {"<midiIn><name>in</name></midiIn><midiIn><addressSize>9</addressSize></midiIn>",
         "MIDI  addressSize must be 1 through 4.\n"
         "Unable to convert element definitions MIDI in #2 to MIDI in.\n"},
        {"<midiOut><type>cable</type><modelID>x</modelID></midiOut>",
         "MIDI  modelID is invalid. : x\n"
         "Unable to convert element definitions cable to MIDI out.\n"},
        {"<midiIn><name>in</name><channel>1</channel><midiMessageValueRef>x</midiMessageValueRef></midiIn>",
         "Midi in unknown tags. : channel, midiMessageValueRef, \n"},
        {"<midiOut><name>out</name><midiOutRef>out</midiOutRef></midiOut>",
         "Midi out unknown tags. : midiOutRef, \n"},
        {"<midiIn><name>in</name><rootStruct>tone</rootStruct><rootStruct>nothing</rootStruct></midiIn>",
         "Unable to convert root struct name nothing to struct.\n"
         "Unable to create MIDI in in.\n"},
        {"<midiIn><name>in</name><midiOutRef>nowhere</midiOutRef></midiIn>",
         "Unable to convert MIDI output name nowhere to MIDI output.\n"
         "Unable to create MIDI in in.\n"},
        {"<midiIn><name>in</name><midiStructRef>nothing</midiStructRef></midiIn>",
         "Unable to convert MIDI struct name nothing to struct.\n"
         "Unable to create MIDI in in.\n"},
        {"<midiOut><name>out</name><rootStruct>nothing</rootStruct></midiOut>",
         "Unable to convert root struct name nothing to struct.\n"
         "Unable to create MIDI out out.\n"},
        {"<midiOut><name>out</name><midiStructRef>nothing</midiStructRef></midiOut>",
         "Unable to convert MIDI struct name nothing to struct.\n"
         "Unable to create MIDI out out.\n"},
        {"<midiOut><name>first</name><rootStruct>far</rootStruct><rootStruct>tone</rootStruct></midiOut>"
         "<midiOut><name>second</name><rootStruct>tone</rootStruct></midiOut>",
         "Unable to associate root struct tone to plural MIDI outputs.\n"
         "Unable to create MIDI out second.\n"},
        {"<midiOut><name>out</name><midiMessageValueRef>shown.log.none</midiMessageValueRef></midiOut>",
         "Unable to create MIDI message value operator shown.log.none.\n"
         "Unable to create MIDI out out.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ports);
        EXPECT_EQ(CreationErrors(c.ports), std::string(c.errors) + "Unable to create MIDI manager.\n");
    }
}

TEST_F(MidiManagerScript, OneOutputMayCarrySeveralRootStructs) {
    Build(std::string(kStructs) +
          "<midiOut><name>out</name><rootStruct>tone</rootStruct><rootStruct>alias</rootStruct></midiOut>");
    EXPECT_EQ(Buffers().FindRootStruct("tone")->Output(), Midi().Output(0));
    EXPECT_EQ(Buffers().FindRootStruct("alias")->Output(), Midi().Output(0));
}

// --- The MIDI struct ---------------------------------------------------------------------

TEST_F(MidiManagerScript, TheMidiStructReceivesChannelMessagesAndSendsItsValuesChanges) {
    Build(std::string(kStructs) + R"(
<midiStruct><name>qvMidi</name></midiStruct>
<midiIn><name>in</name><modelID>00 6A</modelID><midiStructRef>qvMidi</midiStructRef></midiIn>
<midiOut><name>out</name><modelID>00 6A</modelID><midiStructRef>qvMidi</midiStructRef></midiOut>
)");
    Lines log;
    RecordingReader reader{log};
    Midi().Input(0)->SetReader(&reader);
    Midi().Input(0)->Receive(Bytes("B0 07 64"));
    EXPECT_EQ(Value("qvMidi.ch[0].cc[7]").GetRaw(), 100);
    EXPECT_EQ(log, Lines{"reader short 6407B0"});

    Buffers().WriteInteger(Value("qvMidi.ch[2].cc[7]"), 5);
    Buffers().TransmitPending();
    EXPECT_EQ(Hex(Midi().Output(0)->LastMessage()), "B2 07 05");
}

} // namespace

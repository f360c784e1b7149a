// The transfer protocol against the virtual device, driven without threads: the output's
// device hands every message to the virtual device, and the reader's pump delivers the
// replies that are due to the first input and moves a fake clock on.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/CTavTextOut.h"
#include "midi/CTavMidiReader.h"
#include "support/FakeClock.h"
#include "support/ModelFixture.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"
#include "virtual/CVirtualDevice.h"

namespace {

using namespace std::chrono_literals;

std::string ShippedScript() {
    std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Cable : public CTavMidiOutDevice {
public:
    Cable(CVirtualDevice& device, FakeClock& clock) : m_device(device), m_clock(clock) {}
    void Send(const TavBytes& bytes) override {
        ++sent;
        m_device.Receive(bytes, m_clock.Now());
    }
    int sent = 0;

private:
    CVirtualDevice& m_device;
    FakeClock& m_clock;
};

class LoopbackReader : public CTavMidiReader {
public:
    LoopbackReader(CTavTextOut* report, FakeClock& clock, CVirtualDevice& device)
        : CTavMidiReader(report, clock), m_clock(clock), m_device(device) {}
    CTavMidiIn* input = nullptr;

protected:
    void Pump() override {
        TavBytes reply;
        while (m_device.TakeDue(m_clock.Now(), reply))
            input->Receive(reply);
        m_clock.Advance(1ms);
    }

private:
    FakeClock& m_clock;
    CVirtualDevice& m_device;
};

class Transfer : public test::ModelFixture {
protected:
    void SetUp() override {
        const std::string script = ShippedScript();
        Build(script, CTavSystem::Views::Skip);
        CTavTextOutStringStream errors;
        ASSERT_TRUE(device.Create(script, &errors)) << errors.Text();
        reader.input = system.MidiManager().Input(0);
        ASSERT_TRUE(TavInstallTransfer(system.MidiManager(), reader, writer));
        system.MidiManager().Output(0)->SetDevice(&cable);
    }

    // The device's copy of a value's leaf differs from the editor's until read.
    CTavValue& Prepared(const std::string& path, uint8_t raw) {
        CTavValue& value = Value(path);
        const uint32_t address = static_cast<uint32_t>(value.AbsoluteRange().begin);
        EXPECT_TRUE(device.WriteMemory(address, &raw, 1));
        return value;
    }

    FakeClock clock;
    CVirtualDevice device;
    Cable cable{device, clock};
    test::RecordingTextOut report;
    LoopbackReader reader{&report, clock, device};
    CTavMidiWriter writer{clock};
};

TEST_F(Transfer, ARequestIsAnsweredStoredAndMatched) {
    CTavValue& level = Prepared("qv.system.masterLevel", 99);
    const TavRange leaf = level.Parent()->AbsoluteRange();
    ASSERT_TRUE(reader.RequestData(static_cast<uint32_t>(leaf.begin), leaf.Length()));
    EXPECT_EQ(level.GetRaw(), 99);
    EXPECT_EQ(reader.CurrentState(), CTavMidiReader::kIdle);
    EXPECT_TRUE(report.reports.empty());
    EXPECT_EQ(cable.sent, 1);
}

TEST_F(Transfer, AReplySplitInTwoTimesOutTwiceThoughBothHalvesAreStored) {
    CTavValue& level = Prepared("qv.system.masterLevel", 99);
    const TavRange leaf = level.Parent()->AbsoluteRange();
    device.InjectedFaults().splitReplies = 2;
    const TavTime start = clock.Now();
    EXPECT_FALSE(reader.RequestData(static_cast<uint32_t>(leaf.begin), leaf.Length()));
    EXPECT_EQ(report.reports, std::vector<int>{CTavMidiReader::kNoReplyCode});
    EXPECT_EQ(cable.sent, 2);
    EXPECT_GE(TavMilliseconds(start, clock.Now()), 6000);
    EXPECT_EQ(level.GetRaw(), 99);
}

TEST_F(Transfer, ALateAnswerIsTakenByTheSecondAttempt) {
    CTavValue& level = Prepared("qv.system.masterLevel", 42);
    const TavRange leaf = level.Parent()->AbsoluteRange();
    device.InjectedFaults().lateReplies = 1;
    device.InjectedFaults().lateBy = 3500ms;
    ASSERT_TRUE(reader.RequestData(static_cast<uint32_t>(leaf.begin), leaf.Length()));
    EXPECT_EQ(cable.sent, 2);
    // The second request's own answer was already due and taken with the late one; any
    // later answer finds the reader idle and is not matched.
    EXPECT_EQ(reader.CurrentState(), CTavMidiReader::kIdle);
    EXPECT_TRUE(report.reports.empty());
}

TEST_F(Transfer, AReplyWithAnotherDeviceIdIsIgnored) {
    CTavValue& level = Prepared("qv.system.masterLevel", 42);
    const uint8_t before = static_cast<uint8_t>(level.GetRaw());
    const TavRange leaf = level.Parent()->AbsoluteRange();
    device.InjectedFaults().foreignDeviceIdReplies = 2;
    EXPECT_FALSE(reader.RequestData(static_cast<uint32_t>(leaf.begin), leaf.Length()));
    EXPECT_EQ(level.GetRaw(), before);
    EXPECT_EQ(report.reports, std::vector<int>{CTavMidiReader::kNoReplyCode});
}

TEST_F(Transfer, TheIdentityRequestWaitsForTheUniversalReply) {
    EXPECT_TRUE(reader.SendAndWait(TavIdentityRequest(0x10)));
    device.InjectedFaults().dropReplies = 2; // identity replies are never dropped
    EXPECT_TRUE(reader.SendAndWait(TavIdentityRequest(0x10)));
    EXPECT_FALSE(reader.SendAndWait(TavIdentityRequest(0x11)));
    EXPECT_EQ(report.reports, std::vector<int>{CTavMidiReader::kNoReplyCode});
}

TEST_F(Transfer, ARequestWithNothingToSendThroughReportsCode4) {
    const TavRange leaf = Value("qv.system.masterLevel").Parent()->AbsoluteRange();
    // No output at all: refused at once.
    const TavTime start = clock.Now();
    reader.SetOutput(nullptr);
    EXPECT_FALSE(reader.RequestData(static_cast<uint32_t>(leaf.begin), leaf.Length()));
    EXPECT_FALSE(reader.SendAndWait(TavIdentityRequest(0x10)));
    EXPECT_EQ(report.reports, (std::vector<int>{CTavMidiReader::kNoReplyCode, CTavMidiReader::kNoReplyCode}));
    EXPECT_EQ(clock.Now(), start);
    // An output without a device: nothing answers, so both attempts time out.
    reader.SetOutput(system.MidiManager().Output(0));
    system.MidiManager().Output(0)->SetDevice(nullptr);
    EXPECT_FALSE(reader.RequestData(static_cast<uint32_t>(leaf.begin), leaf.Length()));
    EXPECT_EQ(report.reports.size(), 3u);
    EXPECT_EQ(cable.sent, 0);
}

TEST_F(Transfer, TheWriterSendsOneDataSetAndPauses) {
    CTavValue& level = Value("qv.system.masterLevel");
    const TavRange leaf = level.Parent()->AbsoluteRange();
    TavBytes bytes(static_cast<size_t>(leaf.Length()), 0);
    bytes[static_cast<size_t>(level.AbsoluteRange().begin - leaf.begin)] = 77;
    EXPECT_TRUE(writer.SendData(static_cast<uint32_t>(leaf.begin), bytes.data(), bytes.size()));
    EXPECT_EQ(clock.TotalSleep(), 20ms);
    TavBytes stored;
    ASSERT_TRUE(device.ReadMemory(static_cast<uint32_t>(level.AbsoluteRange().begin), 1, stored));
    EXPECT_EQ(stored[0], 77);

    // Without a device the message is only remembered, and the writer still succeeds.
    system.MidiManager().Output(0)->SetDevice(nullptr);
    EXPECT_TRUE(writer.SendData(static_cast<uint32_t>(leaf.begin), bytes.data(), bytes.size()));
    EXPECT_EQ(system.MidiManager().Output(0)->LastMessage().size(), bytes.size() + 12);
}

} // namespace

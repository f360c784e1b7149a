// The port layer under a fake backend: the input rings and thread, delivery to the GUI
// thread, and the output's pacing, size limit and time-out.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "midi/port/CMidiDevices.h"
#include "midi/port/CMidiEventQueue.h"
#include "support/FakeClock.h"
#include "support/FakeMidiPorts.h"
#include "support/RecordingTextOut.h"

using namespace std::chrono_literals;

namespace {

// An exclusive message of the given size that tells itself apart by n.
TavBytes Exclusive(size_t size, size_t n) {
    TavBytes bytes(size, static_cast<uint8_t>((n * 5) & 0x7F));
    bytes.front() = 0xF0;
    bytes[1] = static_cast<uint8_t>(n >> 7);
    bytes[2] = static_cast<uint8_t>(n & 0x7F);
    bytes.back() = 0xF7;
    return bytes;
}

void Feed(CMidiIn& driver, const TavBytes& bytes) {
    driver.DriverMessage(bytes.data(), bytes.size());
}

class RecordingListener : public ITavMidiInListener {
public:
    void Receive(const TavBytes& bytes) override { received.push_back(bytes); }
    std::vector<TavBytes> received;
};

TEST(EventRing, FullRingDropsAndCountsWithoutDisturbingTheOrder) {
    auto ring = std::make_unique<CEventRing>();
    const int32_t room = CEventRing::kCapacity - 1;
    for (int32_t i = 0; i < room; ++i)
        ASSERT_TRUE(ring->Push(i));
    EXPECT_FALSE(ring->Push(room));
    EXPECT_FALSE(ring->Push(room));
    EXPECT_EQ(ring->Dropped(), 2u);

    int32_t event = 0;
    ASSERT_TRUE(ring->Pop(event));
    EXPECT_EQ(event, 0);
    EXPECT_TRUE(ring->Push(-100)); // takes the freed slot, past the end of the array
    for (int32_t i = 1; i < room; ++i) {
        ASSERT_TRUE(ring->Pop(event));
        ASSERT_EQ(event, i);
    }
    ASSERT_TRUE(ring->Pop(event));
    EXPECT_EQ(event, -100);
    EXPECT_FALSE(ring->Pop(event));
    EXPECT_TRUE(ring->Empty());
}

class PortLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.names = {"Port A", "Port B"};
        ports.AddBackend(std::make_unique<test::FakePortBackend>(fake));
    }

    // Opens a device on the port with a listener; the input the driver side feeds.
    CMidiIn& OpenDevice(CMidiInDevice& device, RecordingListener& listener) {
        EXPECT_TRUE(device.Open(ports, &messages));
        device.AddListener(&listener);
        return *fake.inputs.at(device.Name());
    }

    test::FakePorts fake;
    CMidiPorts ports;
    CMidiEventQueue queue;
    test::RecordingTextOut messages;
};

TEST_F(PortLayerTest, ExclusiveBurstsArriveCompleteAndInOrder) {
    // Back to back from the driver side, faster than any input thread is woken.
    const struct {
        size_t count, size;
    } bursts[] = {{40, 100}, {200, 100}, {200, 1000}, {128, CMidiPacket::kCapacity}, {1000, 6}};
    for (const auto& burst : bursts) {
        SCOPED_TRACE(testing::Message() << burst.count << " of " << burst.size << " bytes");
        CMidiInDevice device("Port A", queue);
        RecordingListener listener;
        CMidiIn& driver = OpenDevice(device, listener);
        std::vector<TavBytes> sent;
        for (size_t n = 0; n < burst.count; ++n) {
            sent.push_back(Exclusive(burst.size, n));
            Feed(driver, sent.back());
        }
        ASSERT_TRUE(test::DispatchUntil(queue, [&] { return listener.received.size() >= sent.size(); }));
        EXPECT_EQ(listener.received, sent);
        EXPECT_EQ(device.Port().LostMessages(), 0u);
    }
    EXPECT_TRUE(messages.outputs.empty());
}

TEST_F(PortLayerTest, PacketsAreFilledAgainRoundTheRing) {
    CMidiInDevice device("Port A", queue);
    RecordingListener listener;
    CMidiIn& driver = OpenDevice(device, listener);
    std::vector<TavBytes> sent;
    // Sizes that leave odd remainders, so messages move on to the next packet at varying
    // places; each wave is taken in before the next one comes.
    const size_t sizes[] = {CMidiPacket::kCapacity, 1500, 700, 3, 2047};
    for (int wave = 0; wave < 6; ++wave) {
        for (size_t n = 0; n < 100; ++n) {
            sent.push_back(Exclusive(sizes[(n + wave) % std::size(sizes)], sent.size()));
            Feed(driver, sent.back());
        }
        ASSERT_TRUE(test::DispatchUntil(queue, [&] { return listener.received.size() >= sent.size(); }));
    }
    EXPECT_EQ(listener.received, sent);
    EXPECT_EQ(device.Port().LostMessages(), 0u);
}

TEST_F(PortLayerTest, MessagesTheInputThreadHadNoRoomForAreCountedAndReported) {
    CMidiInDevice device("Port A", queue);
    RecordingListener listener;
    CMidiIn& driver = OpenDevice(device, listener);
    // The input thread posts the first message and then hangs in the wake-up until released.
    std::atomic<bool> stalled{false}, release{false};
    queue.SetWakeHook([&] {
        stalled = true;
        stalled.notify_all();
        release.wait(false);
    });
    const TavBytes note{0x90, 0x3C, 0x64};
    Feed(driver, note);
    stalled.wait(false);
    // Every packet holds one whole packet-sized message; two more find no room, and so
    // does one longer than a packet.
    std::vector<TavBytes> expected{note};
    for (size_t n = 0; n < CPacketRing::kCapacity + 2; ++n) {
        const TavBytes message = Exclusive(CMidiPacket::kCapacity, n);
        if (n < CPacketRing::kCapacity)
            expected.push_back(message);
        Feed(driver, message);
    }
    Feed(driver, Exclusive(CMidiPacket::kCapacity + 1, 999));
    EXPECT_EQ(device.Port().LostMessages(), 3u);
    release = true;
    release.notify_all();

    ASSERT_TRUE(test::DispatchUntil(queue, [&] { return !messages.outputs.empty(); }));
    queue.SetWakeHook(nullptr);
    EXPECT_EQ(listener.received, expected);
    EXPECT_EQ(messages.outputs,
              std::vector<std::string>{"MIDI input Port A dropped 3 messages: they came faster than they "
                                       "could be taken in.\n"});
    // With the packets taken in, the port has room again.
    const TavBytes after = Exclusive(CMidiPacket::kCapacity, 1000);
    Feed(driver, after);
    ASSERT_TRUE(test::DispatchUntil(queue, [&] { return listener.received.back() == after; }));
    EXPECT_EQ(device.Port().LostMessages(), 3u);
}

TEST_F(PortLayerTest, SystemCommonAndRealTimeMessagesNeverReachAListener) {
    CMidiInDevice device("Port A", queue);
    RecordingListener listener;
    CMidiIn& driver = OpenDevice(device, listener);
    const TavBytes noteOn{0x90, 0x3C, 0x64}, programChange{0xC0, 0x05}, bend{0xE3, 0x00, 0x40};
    const TavBytes exclusive = Exclusive(8, 1);
    const std::vector<TavBytes> incoming = {
        {0xF8}, noteOn,        {0xFE}, {0xF1, 0x21}, {0xF2, 0x10, 0x20}, {0xF3, 0x02}, {0xF6},
        {0xFA}, programChange, {0xFC}, {0xFF},       exclusive,          {0xF8},       bend};
    for (const TavBytes& message : incoming)
        Feed(driver, message);

    ASSERT_TRUE(test::DispatchUntil(
        queue, [&] { return !listener.received.empty() && listener.received.back() == bend; }));
    EXPECT_EQ(listener.received, (std::vector<TavBytes>{noteOn, programChange, exclusive, bend}));
}

TEST_F(PortLayerTest, MessagesQueuedForADestroyedDeviceAreDropped) {
    CMidiInDevice survivor("Port B", queue);
    RecordingListener kept, gone;
    CMidiIn& survivorDriver = OpenDevice(survivor, kept);
    auto doomed = std::make_unique<CMidiInDevice>("Port A", queue);
    CMidiIn& doomedDriver = OpenDevice(*doomed, gone);

    const TavBytes noteOn{0x90, 0x40, 0x7F}, exclusive = Exclusive(64, 7);
    Feed(doomedDriver, noteOn);
    Feed(survivorDriver, noteOn);
    Feed(doomedDriver, exclusive);
    // Its input thread posts what it holds before the port closes, and the device's
    // entries go with it.
    doomed.reset();

    ASSERT_TRUE(test::DispatchUntil(queue, [&] { return !kept.received.empty(); }));
    EXPECT_EQ(queue.Dispatch(), 0u);
    EXPECT_EQ(kept.received, std::vector<TavBytes>{noteOn});
    EXPECT_TRUE(gone.received.empty());
}

TEST_F(PortLayerTest, TwoDevicesFedAtOnceShareTheQueueAndEachKeepsItsOrder) {
    CMidiInDevice a("Port A", queue), b("Port B", queue);
    RecordingListener heardA, heardB;
    CMidiIn& driverA = OpenDevice(a, heardA);
    CMidiIn& driverB = OpenDevice(b, heardB);
    const auto messagesFor = [](size_t salt) {
        std::vector<TavBytes> list;
        for (size_t n = 0; n < 300; ++n)
            list.push_back(n % 3 == 0 ? TavBytes{0x90, static_cast<uint8_t>(n & 0x7F), static_cast<uint8_t>(salt)}
                                      : Exclusive(20 + n % 50, n * 2 + salt));
        return list;
    };
    const std::vector<TavBytes> sentA = messagesFor(0), sentB = messagesFor(1);
    // Each driver side on a thread of its own, as two sequencer ports would be.
    std::thread feedA([&] {
        for (const TavBytes& message : sentA)
            Feed(driverA, message);
    });
    std::thread feedB([&] {
        for (const TavBytes& message : sentB)
            Feed(driverB, message);
    });
    const bool all = test::DispatchUntil(
        queue, [&] { return heardA.received.size() >= sentA.size() && heardB.received.size() >= sentB.size(); });
    feedA.join();
    feedB.join();
    ASSERT_TRUE(all);
    EXPECT_EQ(heardA.received, sentA);
    EXPECT_EQ(heardB.received, sentB);
}

TEST_F(PortLayerTest, PortNoBackendListsFailsWithoutAMessage) {
    CMidiIn input;
    CMidiOut output;
    EXPECT_FALSE(input.Open("Port C", ports, &messages));
    EXPECT_FALSE(input.Open("port a", ports, &messages)); // names match exactly
    EXPECT_FALSE(output.Open("Port C", ports, &messages));
    EXPECT_FALSE(input.IsOpen() || output.IsOpen());
    EXPECT_TRUE(messages.outputs.empty());
}

class MidiOutTest : public PortLayerTest {
protected:
    void SetUp() override {
        PortLayerTest::SetUp();
        ASSERT_TRUE(out.Open("Port A", ports, &messages));
    }
    test::FakePorts::Output& Port() { return fake.outputs["Port A"]; }
    bool Send(const TavBytes& bytes) { return out.SendLong(bytes.data(), bytes.size()); }

    FakeClock clock;
    CMidiOut out{clock};
};

TEST_F(MidiOutTest, ExclusiveMessageIsHeldToCableSpeedAndToOnePacket) {
    const TavBytes message = Exclusive(500, 1);
    ASSERT_TRUE(Send(message));
    EXPECT_EQ(Port().sent, std::vector<TavBytes>{message});
    EXPECT_GE(clock.TotalSleep(), 144ms); // 500 bytes at 3472 bytes a second

    // A port that is no cable is not held back.
    Port().paced = false;
    const TavDuration before = clock.TotalSleep();
    ASSERT_TRUE(Send(message));
    EXPECT_EQ(clock.TotalSleep(), before);

    EXPECT_TRUE(Send(Exclusive(CMidiPacket::kCapacity, 2)));
    EXPECT_TRUE(messages.outputs.empty());
    EXPECT_FALSE(Send(Exclusive(CMidiPacket::kCapacity + 1, 3)));
    EXPECT_EQ(Port().sent.size(), 3u);
    EXPECT_EQ(messages.outputs,
              std::vector<std::string>{
                  "Unable to send MIDI system exclusive. The message is longer than 2048 bytes.\n"});
}

TEST_F(MidiOutTest, PortThatNeverFinishesTimesOutAndIsResetBeforeTheNextSend) {
    Port().done = false;
    const TavBytes first = Exclusive(100, 1), second = Exclusive(100, 2);
    const TavTime start = clock.Now();
    EXPECT_FALSE(Send(first));
    EXPECT_GE(clock.Now() - start, 2000ms);
    EXPECT_LT(clock.Now() - start, 2050ms);
    ASSERT_EQ(Port().sent, std::vector<TavBytes>{first});
    EXPECT_EQ(messages.outputs, std::vector<std::string>{"Unable to send MIDI system exclusive. Timeout.\n"});

    // Reset, still busy: refused, and the bytes the port holds stay as they were.
    const int resets = Port().resets;
    EXPECT_FALSE(Send(second));
    EXPECT_EQ(Port().resets, resets + 1);
    EXPECT_EQ(Port().sent.size(), 1u);
    ASSERT_NE(Port().held, nullptr);
    EXPECT_EQ(TavBytes(Port().held, Port().held + first.size()), first);
    EXPECT_EQ(messages.outputs.back(),
              "Unable to send MIDI system exclusive. The MIDI device is still busy.\n");

    // A reset that frees the port lets the send through; after that nothing is reset.
    Port().doneAfterReset = true;
    EXPECT_TRUE(Send(second));
    EXPECT_TRUE(Send(first));
    EXPECT_EQ(Port().resets, resets + 2);
    EXPECT_EQ(Port().sent, (std::vector<TavBytes>{first, second, first}));
}

// An input thread stuck on its first short message lets the event ring fill up.
class StalledInput : public CMidiIn {
public:
    ~StalledInput() override { Close(); }
    std::atomic<bool> stalled{false}, release{false};
    std::atomic<uint32_t> shorts{0};
    std::mutex mutex;
    std::vector<TavBytes> longs;

protected:
    void OnShortMessage(uint32_t) override {
        ++shorts;
        if (!stalled.exchange(true)) {
            stalled.notify_all();
            release.wait(false);
        }
    }
    void OnLongMessage(const uint8_t* bytes, size_t size) override {
        std::lock_guard lock(mutex);
        longs.emplace_back(bytes, bytes + size);
    }
};

template <class Condition> bool WaitUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    return condition();
}

TEST(InputOverflow, AnExclusiveMessageLostToAFullRingDoesNotShiftLaterOnes) {
    test::FakePorts fake;
    fake.names = {"A"};
    CMidiPorts ports;
    ports.AddBackend(std::make_unique<test::FakePortBackend>(fake));
    StalledInput input;
    ASSERT_TRUE(input.Open("A", ports, nullptr));
    ASSERT_TRUE(input.Start());
    const TavBytes note{0x90, 1, 1}, lost{0xF0, 1, 0xF7}, kept{0xF0, 2, 0xF7};
    input.DriverMessage(note.data(), note.size());
    input.stalled.wait(false);
    for (uint32_t i = 0; i < CEventRing::kCapacity; ++i)
        input.DriverMessage(note.data(), note.size());
    input.DriverMessage(lost.data(), lost.size());
    EXPECT_GT(input.LostMessages(), 0u);

    input.release = true;
    input.release.notify_all();
    ASSERT_TRUE(WaitUntil([&] { return input.shorts == CEventRing::kCapacity; }));
    input.DriverMessage(kept.data(), kept.size());
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard lock(input.mutex);
        return !input.longs.empty();
    }));
    std::lock_guard lock(input.mutex);
    EXPECT_EQ(input.longs, std::vector<TavBytes>{kept});
}

} // namespace

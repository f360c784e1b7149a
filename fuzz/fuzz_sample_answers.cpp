// Feeds arbitrary data sets to the device reader of the shipped editor script while one of
// its sample edit exchanges waits: the wave request, a modify command (progress, error and
// result answers), the memory figures and the chop points. The input is a list of messages
// (address selector, length, payload); each pump delivers the next one as a framed data
// set through the first MIDI input, and once they are used up the clock jumps so the
// exchange times out.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzDataSetFeed.h"
#include "FuzzShippedSystem.h"
#include "app/CTavSystem.h"
#include "device/CTavReader.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace {

const char* const kAddresses[] = {"com.utility.sampleEdit.wave.data",
                                  "com.utility.sampleEdit.modify.progress",
                                  "com.utility.sampleEdit.modify.error",
                                  "com.utility.sampleEdit.modify.chopResult",
                                  "com.utility.sampleEdit.modify.autoChopResult",
                                  "com.utility.sampleEdit.utility.unloadResult",
                                  "com.utility.sampleEdit.modify.chopPointSize",
                                  "com.utility.sampleEdit.modify.chopPoint",
                                  "com.utility.sampleEdit.modify.amp",
                                  "com.utility.command.sampleMemoryRemain",
                                  "com.utility.sampleEdit.select.sampleSelect",
                                  "com.utility.sampleEdit.wave.request"};
constexpr size_t kAddressCount = sizeof kAddresses / sizeof kAddresses[0];

class FuzzReader : public Brio::CTavReader {
public:
    FuzzReader(CTavSystem& system, CTavEntityManager& entities, FuzzJumpingClock& clock)
        : CTavReader(system.BufferManager(), entities, system.BufferOutput(), clock), m_system(system),
          m_clock(clock) {
        for (const char* path : kAddresses) {
            const CTavValue* value = system.BufferManager().FindValue(path);
            m_addresses.push_back(value ? static_cast<uint32_t>(value->AbsoluteRange().begin) : 0);
        }
    }

    void Feed(const uint8_t* data, size_t size) {
        m_data = data;
        m_size = size;
    }

protected:
    void Pump() override {
        if (m_size < 2) {
            m_clock.Advance(std::chrono::seconds(60));
            return;
        }
        const uint32_t address = m_addresses[m_data[0] % kAddressCount];
        const size_t length = std::min<size_t>(m_data[1], m_size - 2);
        const uint8_t* payload = m_data + 2;
        m_data += 2 + length;
        m_size -= 2 + length;
        CTavMidiIn& input = *m_system.MidiManager().Input(0);
        m_message.resize(kFuzzMaxFrame);
        m_message.resize(FuzzFrameDataSet(input, address, payload, length, true, m_message.data()));
        input.Receive(m_message);
        m_system.BufferManager().ClearPending();
    }

private:
    std::vector<uint32_t> m_addresses;
    TavBytes m_message;
    CTavSystem& m_system;
    FuzzJumpingClock& m_clock;
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

struct Harness {
    CTavSystem system;
    CTavEntityManager entities;
    FuzzJumpingClock clock;
    FuzzReader* reader = nullptr;
    FuzzSnapshot snapshot;
};

Harness& Instance() {
    static Harness* harness = [] {
        auto* built = new Harness;
        CTavSystem& system = built->system;
        if (!FuzzBuildShippedSystem(system) || !system.MidiManager().Input(0) ||
            !system.MidiManager().Output(0))
            FuzzCannotBuild(system);
        if (!TavCreateFixedBanks(built->entities, {"Wave"}))
            std::abort();
        built->reader = new FuzzReader(system, built->entities, built->clock);
        system.MidiManager().Input(0)->SetReader(built->reader);
        built->reader->SetOutput(system.MidiManager().Output(0));
        built->snapshot.Take(system);
        built->snapshot.TrackChanges();
        return built;
    }();
    return *harness;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    Harness& harness = Instance();
    FuzzReader& reader = *harness.reader;
    reader.Feed(data + 1, size - 1);
    const CTavValue* amp = harness.system.BufferManager().FindValue("com.utility.sampleEdit.modify.amp");
    switch (data[0] % 5) {
    case 0: {
        std::vector<Brio::TavWavePoint> points;
        const Brio::TavWaveRequest request{2, 12, 0, data[0] & 1 ? 1 : 256, 117};
        reader.RequestWave(request, points);
        if (points.size() > 117)
            std::abort();
        break;
    }
    case 1: {
        const uint8_t command[3] = {1, 0, 100};
        if (amp)
            reader.SendModifyCommand(static_cast<uint32_t>(amp->AbsoluteRange().begin), command, sizeof command);
        break;
    }
    case 2: {
        int64_t bytes = 0;
        reader.RequestMemory(harness.system.BufferManager().FindValue("com.utility.command.sampleMemoryRemain"), bytes);
        break;
    }
    case 3: {
        int32_t count = 0;
        if (reader.RequestChopPointCount(count) && (count < 0 || count > 15))
            std::abort();
        break;
    }
    default: {
        int64_t frame = 0;
        reader.RequestChopPoint(data[0] % 15, frame);
        break;
    }
    }
    // Whatever is left arrives while nothing waits.
    reader.Feed(nullptr, 0);
    harness.snapshot.Restore();
    return 0;
}

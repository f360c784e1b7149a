// Feeds arbitrary data sets to the device reader of the shipped editor script while one of
// its catalog procedures waits: name lists, number information, sample pages. The input
// is a list of messages (address selector, length, payload); each pump delivers the next
// one as a correctly framed data set through the first MIDI input, and once they are used
// up the clock jumps so the procedure times out. The longest procedure, the sample names,
// ends after 180 answers, so messages past kMaxMessages reach nothing new and are dropped.
// The editor is built once; after each input the memory the answers wrote and the catalog
// are put back, so every input meets the same editor.

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

class FuzzReader : public Brio::CTavReader {
public:
    FuzzReader(CTavSystem& system, CTavEntityManager& entities, FuzzJumpingClock& clock)
        : CTavReader(system.BufferManager(), entities, system.BufferOutput(), clock), m_system(system),
          m_input(system.MidiManager().Input(0)), m_clock(clock) {}

    static constexpr size_t kMaxMessages = 256;

    void Feed(const uint8_t* data, size_t size) {
        m_data = data;
        m_size = size;
        m_messages = 0;
    }

protected:
    // Harness framing, left without coverage like FuzzFrameDataSet: only what Receive
    // reaches is under test.
    __attribute__((no_sanitize("coverage"))) void Pump() override {
        if (m_size < 2 || m_messages == kMaxMessages) {
            m_clock.Advance(std::chrono::seconds(60));
            return;
        }
        ++m_messages;
        const uint8_t selector = m_data[0];
        const size_t length = std::min<size_t>(m_data[1], m_size - 2);
        const uint8_t* payload = m_data + 2;
        m_data += 2 + length;
        m_size -= 2 + length;
        CTavMidiIn& input = *m_input;
        uint8_t frame[kFuzzMaxFrame];
        // Assigned, not resized: the vector keeps its capacity and nothing is zeroed first.
        m_message.assign(frame, frame + FuzzFrameDataSet(input, Address(selector), payload, length, false, frame));
        input.Receive(m_message);
        m_system.BufferManager().ClearPending();
    }

private:
    // The addresses a message may go to, learned once: the tree never changes.
    __attribute__((no_sanitize("coverage"))) uint32_t Address(uint8_t selector) {
        if (m_addresses.empty()) {
            const Brio::CTavDeviceBindings& b = Bindings();
            std::vector<const CTavValue*> values = {b.patchNameInformation,       b.rhythmSetNameInformation,
                                                    b.sampleNameInformation,      b.patchNumberInformation,
                                                    b.rhythmSetNumberInformation, b.writeMessage,
                                                    b.waveNameInformation,        b.bankInformation[0][0],
                                                    b.bankInformation[1][1]};
            for (const CTavValue* name : b.patchName)
                values.push_back(name);
            for (const CTavValue* value : values)
                m_addresses.push_back(value ? static_cast<uint32_t>(value->AbsoluteRange().begin) : 0);
        }
        // Nine catalog addresses and, for the tenth choice, one of the patch names.
        const size_t choice = selector % 10;
        return m_addresses[choice < 9 ? choice : 9 + selector % 16];
    }

    std::vector<uint32_t> m_addresses;
    TavBytes m_message;
    CTavSystem& m_system;
    CTavMidiIn* m_input;
    FuzzJumpingClock& m_clock;
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_messages = 0;
};

// What the procedures work on: two name banks, of 130 and 3 entries, beside the fixed
// banks, which are made once (rebuilding them for every input would cost more than the
// input).
constexpr struct {
    int32_t type, area, subBank, count;
} kNameBanks[] = {{TavEntityType::Patch, TavEntityArea::User, 0, 130},
                  {TavEntityType::RhythmSet, TavEntityArea::Card, 1, 3}};

// Puts the catalog back as it was before the input: the user and card name banks are the
// two above and nothing else, each holding its padding only, and the sample banks are
// empty. Name banks the input left in place keep their storage, which spares two banks'
// allocations per input; the number information builds banks of its own, so after it they
// are made again. Everything else an input allocates is freed before it ends: libFuzzer
// runs an input again when it allocates more than it frees, to look for a leak, which
// here happens only to the first input that fills a bank made again.
void RestoreCatalog(CTavEntityManager& entities, size_t bankCount) {
    bool intact = entities.BankCount() == bankCount;
    for (const auto& bank : kNameBanks)
        intact = intact && entities.CountBanks({bank.type, bank.area, TavWildcard, TavWildcard}) == 1 &&
                 entities.Count({bank.type, bank.area, bank.subBank, TavWildcard}) == bank.count;
    if (intact) {
        for (const auto& bank : kNameBanks)
            TavPadBank(*entities.InserterFor({bank.type, bank.area, bank.subBank, TavWildcard}), bank.type);
    } else {
        for (int32_t type : {TavEntityType::Patch, TavEntityType::RhythmSet})
            for (int32_t area : {TavEntityArea::User, TavEntityArea::Card})
                entities.RemoveBanks({type, area, 0, 0});
        for (const auto& bank : kNameBanks)
            TavAddNameBank(entities, bank.type, bank.area, bank.subBank, bank.count);
    }
    const CTavEntityId samples[] = {{TavEntityType::Sample, 0, 0, TavWildcard},
                                    {TavEntityType::Sample, 1, 0, TavWildcard},
                                    {TavEntityType::Patch, 3, 0, TavWildcard},
                                    {TavEntityType::Patch, 4, 0, TavWildcard}};
    for (const CTavEntityId& bank : samples)
        entities.InserterFor(bank); // an inserter empties its bank
}

struct Harness {
    CTavSystem system;
    CTavEntityManager entities;
    FuzzJumpingClock clock;
    FuzzReader* reader = nullptr;
    size_t bankCount = 0; // the fixed banks and the name banks
    FuzzSnapshot snapshot; // the memory the answers write to
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
        for (const auto& bank : kNameBanks)
            TavAddNameBank(built->entities, bank.type, bank.area, bank.subBank, bank.count);
        built->bankCount = built->entities.BankCount();
        built->reader = new FuzzReader(system, built->entities, built->clock);
        system.MidiManager().Input(0)->SetReader(built->reader);
        built->reader->SetOutput(system.MidiManager().Output(0));
        system.BufferManager().ClearPending();
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
    switch (data[0] % 4) {
    case 0:
        reader.ReadNameList(TavEntityType::Patch, TavEntityArea::User, 0, 130);
        break;
    case 1:
        reader.ReadNameList(TavEntityType::RhythmSet, TavEntityArea::Card, 1, 3);
        break;
    case 2:
        reader.ReadNumberInformation(TavEntityArea::User);
        break;
    default:
        reader.ReadSampleNames();
        break;
    }
    // Whatever is left arrives while nothing waits.
    reader.Feed(nullptr, 0);
    RestoreCatalog(harness.entities, harness.bankCount);
    harness.snapshot.Restore();
    return 0;
}

#pragma once
// A device layer started over the shipped script, with a device that answers every data
// request at once (and logs it), a fake clock and a counting progress bar. The catalog
// holds one user bank of 128 patches and one of 64 rhythm sets.

#include <fstream>
#include <iterator>
#include <memory>

#include "device/CTavBufferAccessor.h"
#include "support/FakeCatalogDevice.h"
#include "support/FakeClock.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/ITavProgress.h"

namespace test {

inline std::string ShippedScriptText() {
    std::ifstream in(ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DeviceLayerFixture : public ModelFixture {
protected:
    class Reader : public Brio::CTavReader {
    public:
        Reader(CTavSystem& system, CTavEntityManager& entities, FakeClock& clock)
            : CTavReader(system.BufferManager(), entities, system.BufferOutput(), clock), m_clock(clock) {}
        CTavMidiIn* input = nullptr;
        FakeCatalogDevice* device = nullptr;
        // One reply per pump instead of all that wait, so time passes between a command's
        // messages.
        bool oneReplyPerPump = false;

    protected:
        void Pump() override {
            while (device && !device->replies.empty()) {
                const TavBytes reply = device->replies.front();
                device->replies.pop_front();
                input->Receive(reply);
                if (oneReplyPerPump)
                    break;
            }
            m_clock.Advance(std::chrono::milliseconds(1));
        }

    private:
        FakeClock& m_clock;
    };

    class Progress : public ITavProgress {
    public:
        void Start(int steps) override { started = steps; }
        void Step() override { ++steps; }
        void Finish() override { ++finished; }
        int started = -1, steps = 0, finished = 0;
    };

    // Starts the layer; offline without a reader and writer.
    void StartLayer(const std::string& script, bool online = true) {
        Build(script, CTavSystem::Views::Skip);
        system.ViewManager().SetProgress(&progress);
        std::unique_ptr<Reader> reader;
        std::unique_ptr<Brio::CTavWriter> writer;
        if (online) {
            reader = std::make_unique<Reader>(system, accessor.Entities(), clock);
            writer = std::make_unique<Brio::CTavWriter>(Buffers(), clock);
            reader->input = system.MidiManager().Input(0);
        }
        Reader* readerSeen = reader.get();
        ASSERT_TRUE(accessor.Start(system, std::move(reader), std::move(writer), clock))
            << system.ErrorText();
        if (online) {
            device = std::make_unique<FakeCatalogDevice>(accessor.Bound(), *system.MidiManager().Input(0));
            readerSeen->device = device.get();
            system.MidiManager().Output(0)->SetDevice(device.get());
        }
        TavAddNameBank(accessor.Entities(), TavEntityType::Patch, TavEntityArea::User, 0, 128);
        TavAddNameBank(accessor.Entities(), TavEntityType::RhythmSet, TavEntityArea::User, 0, 64);
    }
    void TearDown() override {
        if (system.MidiManager().Output(0))
            system.MidiManager().Output(0)->SetDevice(nullptr);
    }

    // The addresses the device was asked for, in order.
    std::vector<uint32_t> Requested() const {
        std::vector<uint32_t> addresses;
        for (const auto& request : device->requests)
            addresses.push_back(request.address);
        return addresses;
    }
    // A user edit of a value: write, transmit, publish, clear.
    void Edit(CTavValue* value, int32_t raw) {
        ASSERT_NE(value, nullptr);
        Buffers().WriteInteger(*value, raw);
        Buffers().TransmitPending();
        Buffers().PublishPending();
        Buffers().ClearPending();
    }
    // Makes a part play a program through the buffer manager, as received data would.
    void Play(int32_t part, int32_t msb, int32_t lsb, int32_t program) {
        const Brio::CTavBoundTable& bound = accessor.Bound();
        Buffers().WriteIntegers({{bound.partBankSelectMsb[part], msb},
                                 {bound.partBankSelectLsb[part], lsb},
                                 {bound.partProgramNumber[part], program}});
        Buffers().ClearPending();
    }
    int32_t Raw(const char* path) { return Value(path).GetRaw(); }

    FakeClock clock;
    Progress progress;
    Brio::CTavBufferAccessor accessor;
    std::unique_ptr<FakeCatalogDevice> device;
};

} // namespace test

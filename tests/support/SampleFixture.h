#pragma once
// A device layer over the shipped script whose device also answers the sample editor
// (FakeSampleDevice), with a recording message box, an open sample list whose selection
// the test sets, and a buffer output that counts every code reported. The catalog holds
// user samples 10 (stereo left), 11 (its right half), 12 (mono) and 60 (mono).

#include <algorithm>

#include "device/CTavBufferAccessor.h"
#include "entity/CTavInformation.h"
#include "support/DeviceLayerFixture.h"
#include "support/FakeSampleDevice.h"
#include "support/RecordingTextOut.h"

namespace test {

class CountingBuffer : public CTavTextOutBuffer {
public:
    void Report(int code) override {
        codes.push_back(code);
        CTavTextOutBuffer::Report(code);
    }
    std::vector<int> codes;
};

class FakeSampleList : public Brio::ITavSampleList {
public:
    std::vector<int32_t> SelectedSamples() const override { return selected; }
    void ClearSelection() override { ++cleared; }
    void Resync() override {}
    std::vector<int32_t> selected;
    int cleared = 0;
};

class SampleFixture : public DeviceLayerFixture {
protected:
    void SetUp() override {
        Build(ShippedScriptText(), CTavSystem::Views::Skip);
        system.ViewManager().SetProgress(&bar);
        codes = new CountingBuffer;
        system.SetTextOut(CTavSystem::kBufferOutput, codes);
        messages = new RecordingTextOut;
        system.SetTextOut(CTavSystem::kMessageBoxOutput, messages);
        auto reader = std::make_unique<Reader>(system, accessor.Entities(), clock);
        Reader* seen = reader.get();
        reader->input = system.MidiManager().Input(0);
        reader->oneReplyPerPump = true;
        ASSERT_TRUE(accessor.Start(system, std::move(reader), std::make_unique<Brio::CTavWriter>(Buffers(), clock),
                                   clock))
            << system.ErrorText();
        samples = std::make_unique<FakeSampleDevice>(accessor.Bound(), *system.MidiManager().Input(0), Buffers());
        seen->device = samples.get();
        system.MidiManager().Output(0)->SetDevice(samples.get());
        AddSample(10, Brio::TavSampleKind::StereoLeft, "Loop L");
        AddSample(11, Brio::TavSampleKind::StereoRight, "Loop R");
        AddSample(12, Brio::TavSampleKind::Mono, "Kick");
        AddSample(60, Brio::TavSampleKind::Mono, "Snare");
        accessor.SampleEditor().AddSampleList(&list);
        Show(2, 12);
    }
    void TearDown() override {
        accessor.SampleEditor().RemoveSampleList(&list);
        system.MidiManager().Output(0)->SetDevice(nullptr);
    }

    void AddSample(int32_t number, int32_t kind, const char* name, int32_t group = 2) {
        accessor.Entities().SetInformation({TavEntityType::Sample, group - 2, 0, number},
                                           Brio::CTavSampleInformation(name, kind, 1000 * number, 0));
        // The device's name pages know it too.
        samples->samples[{group == 2 ? 0 : 32, number}] = {kind, name, 1000 * number};
    }
    int32_t Kind(int32_t number) { return accessor.SampleEditor().SampleKind(2, number); }
    void Show(int32_t group, int32_t number) {
        accessor.Notify(&Value("vs.sampleEdit.view.sampleGroupID"), group);
        accessor.Notify(&Value("vs.sampleEdit.view.sampleNumberL"), number);
        Buffers().ClearPending();
    }
    bool Call(const char* function) { return system.FunctionManager().Call(function, ""); }
    // The answer to the request for a leaf of "com.utility.sample.sampleCommon": its end index.
    void SampleEnd(int64_t end) {
        CTavValue& common = Value("com.utility.sample.sampleCommon.sampleName");
        const TavRange range = common.Parent()->AbsoluteRange();
        TavBytes bytes(static_cast<size_t>(range.Length()), 0);
        const int32_t at = Value("com.utility.sample.sampleCommon.absoluteEndIndex").AbsoluteRange().begin - range.begin;
        for (int i = 0; i < 5; ++i)
            bytes[static_cast<size_t>(at + i)] = static_cast<uint8_t>(end >> (7 * (4 - i)) & 0x7F);
        samples->memory[static_cast<uint32_t>(range.begin)] = bytes;
    }
    size_t Count(int code) const { return static_cast<size_t>(std::count(codes->codes.begin(), codes->codes.end(), code)); }

    class Bar : public ITavProgress {
    public:
        void Start(int steps) override { started.push_back(steps); }
        void Step() override {}
        void Finish() override { ++finished; }
        void BeginText(int steps, const std::string& text, bool) override {
            captions.push_back(text);
            Start(steps);
        }
        void SetPosition(int position) override {
            positions.push_back(position);
            if (clock)
                clock->Advance(lag);
        }
        // Time that passes with every progress message.
        FakeClock* clock = nullptr;
        std::chrono::milliseconds lag{0};
        std::vector<int> started, positions;
        std::vector<std::string> captions;
        int finished = 0;
    };

    Bar bar;
    CountingBuffer* codes = nullptr;
    RecordingTextOut* messages = nullptr;
    FakeSampleList list;
    std::unique_ptr<FakeSampleDevice> samples;
};

} // namespace test

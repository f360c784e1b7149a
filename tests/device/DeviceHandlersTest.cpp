// The device layer's buffer handlers over the shipped script: their order in the chain, the
// control-change synchroniser, the voice-reserve clipper, the tone synchroniser, and the
// effect swapper and fade-range clipper as the device configures them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/CTavCCSynchronizer.h"
#include "device/CTavContextHandlers.h"
#include "device/CTavSampleViewHandler.h"
#include "device/CTavToneSynchronizer.h"
#include "device/CTavVoiceReserveClipper.h"
#include "midi/CTavMidi.h"
#include "model/CTavEffectSwapper.h"
#include "model/CTavFadeRangeClipper.h"
#include "model/CTavValue.h"
#include "support/DeviceLayerFixture.h"
#include "support/RecordingMidiOut.h"

namespace {

using Brio::TavIndexedPath;

class DeviceHandlers : public test::DeviceLayerFixture {
protected:
    void SetUp() override {
        StartLayer(test::ShippedScriptText(), false);
        Buffers().FindRoot("qv")->SetOutput(&midi);
        Buffers().FindRootStruct("qvMidi")->SetOutput(&midi);
    }
    template <typename... Index> CTavValue& At(const char* format, Index... index) {
        return Value(TavIndexedPath(format, index...));
    }
    // Sets a value as the views' state would be, without running the handlers.
    void Set(const std::string& path, int32_t raw) { Value(path).SetRaw(raw); }
    bool IsPending(const CTavValue& value) {
        const auto& pending = Buffers().PendingChanges();
        return std::find(pending.begin(), pending.end(), &value) != pending.end();
    }
    template <typename Handler> Handler* HandlerAt(size_t index) {
        return dynamic_cast<Handler*>(Buffers().Handlers().At(index));
    }

    test::RecordingMidiOut midi;
};

TEST_F(DeviceHandlers, StartRegistersEveryHandlerInOrderWithTheDevicesData) {
    ASSERT_EQ(Buffers().Handlers().Count(), 8u);
    EXPECT_NE(HandlerAt<Brio::CTavContextHandler>(0), nullptr);
    EXPECT_NE(HandlerAt<Brio::CTavRhythmKeyIdHandler>(1), nullptr);
    EXPECT_NE(HandlerAt<Brio::CTavSampleViewHandler>(2), nullptr);
    auto* cc = HandlerAt<Brio::CCCSynchronizer>(3);
    auto* swapper = HandlerAt<CTavEffectSwapper>(4);
    auto* tones = HandlerAt<Brio::CDomain::CToneSynchronizer>(5);
    auto* clipper = HandlerAt<CTavFadeRangeClipper>(6);
    auto* reserves = HandlerAt<Brio::CTavVoiceReserveClipper>(7);
    ASSERT_TRUE(cc && swapper && tones && clipper && reserves);
    EXPECT_EQ(cc->TripleCount(), 80u);
    EXPECT_EQ(swapper->EffectCount(), 3u);
    // Every effect type starts with a block: 48 multi-effect types, 9 reverb types.
    EXPECT_NE(swapper->SavedBlock(Value("qv.prti.mfx2.mfxType"), 47), nullptr);
    EXPECT_EQ(swapper->SavedBlock(Value("qv.prti.mfx2.mfxType"), 48), nullptr);
    EXPECT_NE(swapper->SavedBlock(Value("qv.prti.rev.reverbType"), 8), nullptr);
    EXPECT_EQ(clipper->PairCount(), 16u * 4u + 16u * 16u * 4u);
    for (int32_t part = 0; part < Brio::kTavPartCount; ++part) {
        EXPECT_NE(tones->PatchTones(part), nullptr) << part;
        for (int32_t key = 0; key < Brio::kTavRhythmToneCount; ++key)
            EXPECT_NE(tones->RhythmKey(part, key), nullptr) << part << "/" << key;
    }
    EXPECT_TRUE(reserves->IsActive());
}

// ---- Control-change synchroniser ---------------------------------------------------------

TEST_F(DeviceHandlers, AnEditedPartValueSetsItsControllerAndTheDeviceGetsOneDataSet) {
    struct Case {
        int channel;
        const char* path;
        int control;
        int32_t raw, controller;
    };
    const Case cases[] = {
        {2, "qv.prti.part[2].partLevel", 7, 100, 100},
        {2, "qv.prti.part[2].partPan", 10, 30, 30},
        {2, "qv.prti.part[2].partCoarseTune", 85, 112, 112},
        {2, "qv.prti.part[2].partReverbSendLevel", 91, 55, 55},
        {2, "qv.prti.part[2].partAutoSyncSwitch", 87, 1, 127},
        {2, "qv.prti.part[2].partAutoSyncSwitch", 87, 0, 0},
        {15, "qv.prti.part[15].partLevel", 7, 3, 3},
    };
    for (const Case& c : cases) {
        CTavValue& part = Value(c.path);
        CTavValue& controller = At("qvMidi.ch[%d].cc[%d]", c.channel, c.control);
        midi.sent.clear();
        Buffers().WriteInteger(part, c.raw);
        EXPECT_EQ(controller.GetRaw(), c.controller) << c.path << " " << c.raw;
        EXPECT_TRUE(IsPending(controller)) << c.path;
        Buffers().TransmitPending();
        Buffers().ClearPending();
        // The part value's leaf goes out once; the control change is not sent as well.
        ASSERT_EQ(midi.sent.size(), 1u) << c.path;
        EXPECT_EQ(midi.sent[0].address, part.Parent()->AbsoluteRange().begin) << c.path;
        EXPECT_TRUE(midi.shorts.empty()) << c.path;
    }
    // The same controller on the other channels did not follow.
    EXPECT_EQ(At("qvMidi.ch[%d].cc[%d]", 3, 7).GetRaw(), 0);
    EXPECT_EQ(At("qvMidi.ch[%d].cc[%d]", 1, 7).GetRaw(), 0);
}

TEST_F(DeviceHandlers, AReceivedControlChangeSetsThePartValueClampedToItsRange) {
    struct Case {
        uint8_t channel, control, data;
        const char* path;
        int32_t raw;
    };
    const Case cases[] = {
        {0, 87, 64, "qv.prti.part[0].partAutoSyncSwitch", 1}, // any non-zero switches on
        {0, 87, 1, "qv.prti.part[0].partAutoSyncSwitch", 1},
        {0, 87, 0, "qv.prti.part[0].partAutoSyncSwitch", 0},
        {5, 7, 90, "qv.prti.part[5].partLevel", 90},
        {1, 85, 127, "qv.prti.part[1].partCoarseTune", 112}, // +48 is the top
        {1, 85, 0, "qv.prti.part[1].partCoarseTune", 16},    // -48 the bottom
        {15, 10, 0, "qv.prti.part[15].partPan", 0},
        {3, 91, 33, "qv.prti.part[3].partReverbSendLevel", 33},
    };
    for (const Case& c : cases) {
        system.MidiManager().Input(0)->Receive(
            TavBytes{static_cast<uint8_t>(0xB0 | c.channel), c.control, c.data});
        EXPECT_EQ(Value(c.path).GetRaw(), c.raw)
            << int(c.channel) << "/" << int(c.control) << "/" << int(c.data);
    }
    // A controller without a part value changes nothing, and nothing is echoed.
    system.MidiManager().Input(0)->Receive(TavBytes{0xB0, 11, 5});
    EXPECT_EQ(Value("qv.prti.part[0].partLevel").GetRaw(), 100);
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_TRUE(midi.shorts.empty());
}

// ---- Voice-reserve clipper --------------------------------------------------------------

TEST_F(DeviceHandlers, AVoiceReserveEditIsClippedToTheVoicesTheOtherPartsLeave) {
    struct Case {
        int32_t others; // each of parts 1 to 15
        int32_t mode;
        int32_t raw, expected;
        bool pending;
    };
    const Case cases[] = {
        {4, 0, 10, 4, false}, // 60 reserved elsewhere: 4 left, which it has already
        {4, 0, 2, 2, true},   {0, 0, 64, 64, true},
        {2, 0, 40, 34, true}, {5, 0, 10, 0, true}, // 75 elsewhere: the limit is -11, clamped to 0
        {4, 1, 10, 10, true},                      // another mode: not clipped
    };
    for (const Case& c : cases) {
        for (int32_t part = 0; part < 15; ++part)
            Set(TavIndexedPath("qv.prti.common.voiceReserve[%d]", part), c.others);
        Set("qv.prti.common.voiceReserve[15]", 4);
        Set("vs.control.mode", c.mode);
        CTavValue& reserve = Value("qv.prti.common.voiceReserve[15]");
        Buffers().WriteInteger(reserve, c.raw);
        EXPECT_EQ(reserve.GetRaw(), c.expected) << c.others << "/" << c.mode << "/" << c.raw;
        EXPECT_EQ(IsPending(reserve), c.pending) << c.others << "/" << c.mode << "/" << c.raw;
        Buffers().ClearPending();
    }
}

TEST_F(DeviceHandlers, VoiceReservesWrittenTogetherAreNotClipped) {
    CTavValue& first = Value("qv.prti.common.voiceReserve[0]");
    CTavValue& last = Value("qv.prti.common.voiceReserve[15]");
    Buffers().WriteIntegers({{&first, 30}, {&last, 30}});
    EXPECT_EQ(first.GetRaw(), 30);
    EXPECT_EQ(last.GetRaw(), 30);
    Buffers().ClearPending();
    // One edit after that is clipped against them: 64 - (14 * 4 + 30) is negative.
    Edit(&first, 20);
    EXPECT_EQ(first.GetRaw(), 0);
    ASSERT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(midi.sent[0].data[0], 0);
}

// ---- Tone synchroniser ----------------------------------------------------------------------

class ToneSync : public DeviceHandlers {
protected:
    // Shows part 1 playing a patch or rhythm set, key 4 selected.
    void Show(int32_t plays, int32_t patchState, int32_t rhythmState) {
        Set("vs.control.partId", 1);
        Set("vs.control.entityType", plays);
        Set("vs.control.rhythmTone", 4);
        Set("vs.control.patchToneStateValue", patchState);
        Set("vs.control.rhythmWMTStateValue", rhythmState);
    }
    std::vector<int32_t> PatchTones(const char* name, int32_t part = 1) {
        std::vector<int32_t> raws;
        for (int32_t tone = 0; tone < 4; ++tone)
            raws.push_back(Value(TavIndexedPath("qv.pat[%d].tone[%d].", part, tone) + name).GetRaw());
        return raws;
    }
    std::vector<int32_t> Layers(const char* name, int32_t key = 4) {
        std::vector<int32_t> raws;
        for (int32_t layer = 0; layer < 4; ++layer)
            raws.push_back(Value(TavIndexedPath("qv.rhy[%d].tone[%d].", 1, key) + name + "[" +
                                 std::to_string(layer) + "]")
                               .GetRaw());
        return raws;
    }
    using Raws = std::vector<int32_t>;
};

TEST_F(ToneSync, APatchToneEditGoesToTheOtherTonesTheStateSelects) {
    struct Case {
        int32_t state;
        int32_t tone; // the tone edited
        Raws levels;  // toneLevel of tones 0 to 3 after the edit to 50
    };
    const Case cases[] = {
        {4, 2, {127, 127, 50, 127}}, // tone 3 alone
        {1, 0, {50, 127, 127, 127}}, {15, 0, {50, 50, 50, 50}},   {3, 1, {50, 50, 127, 127}},
        {5, 0, {50, 127, 50, 127}},  {5, 1, {127, 50, 127, 127}}, // an unselected tone is edited alone
        {0, 3, {127, 127, 127, 50}},
    };
    for (const Case& c : cases) {
        Buffers().ResetStruct(*Buffers().FindStruct("qv.pat[1]"));
        Show(1, c.state, 15);
        Edit(&At("qv.pat[%d].tone[%d].toneLevel", 1, c.tone), 50);
        EXPECT_EQ(PatchTones("toneLevel"), c.levels) << c.state << "/" << c.tone;
    }
    // Multi-byte values are copied whole, and another part's patch is left alone.
    Show(1, 15, 15);
    Edit(&At("qv.pat[%d].tone[%d].toneWaveNumberL", 1, 1), 700);
    EXPECT_EQ(PatchTones("toneWaveNumberL"), (Raws{700, 700, 700, 700}));
    EXPECT_EQ(PatchTones("toneWaveNumberL", 2), (Raws{1, 1, 1, 1}));
    Edit(&At("qv.pat[%d].tone[%d].toneLevel", 2, 0), 9);
    EXPECT_EQ(PatchTones("toneLevel", 2), (Raws{9, 127, 127, 127}));
}

TEST_F(ToneSync, ARhythmLayerEditGoesToTheSelectedLayersOfTheShownKeyOnly) {
    struct Case {
        int32_t state;
        const char* name;
        int32_t layer, raw;
        Raws after;
    };
    const Case cases[] = {
        {15, "wmtLevel", 1, 50, {50, 50, 50, 50}},
        {8, "wmtLevel", 3, 40, {127, 127, 127, 40}},
        {6, "wmtPan", 2, 10, {64, 10, 10, 64}},
        {15, "wmtWaveNumberL", 2, 600, {600, 600, 600, 600}},
        // The last value of the last and of the first layer: each layer ends where it should.
        {15, "wmtAlternatePanSwitch", 3, 2, {2, 2, 2, 2}},
        {9, "wmtAlternatePanSwitch", 0, 1, {1, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        Buffers().ResetStruct(*Buffers().FindStruct("qv.rhy[1].tone[4]"));
        Show(2, 15, c.state);
        Edit(&Value(std::string("qv.rhy[1].tone[4].") + c.name + "[" + std::to_string(c.layer) + "]"), c.raw);
        EXPECT_EQ(Layers(c.name), c.after) << c.state << " " << c.name << "[" << c.layer << "]";
    }
    // The key's own values around the layers are not copied into them.
    Buffers().ResetStruct(*Buffers().FindStruct("qv.rhy[1].tone[4]"));
    Show(2, 15, 15);
    Edit(&Value("qv.rhy[1].tone[4].tonePitchEnvVelocityCurve"), 7);
    Edit(&Value("qv.rhy[1].tone[4].toneOneShotMode"), 1);
    EXPECT_EQ(Layers("wmtWaveSwitch"), (Raws{1, 0, 0, 0}));
    EXPECT_EQ(Layers("wmtWaveGain"), (Raws{1, 0, 0, 0}));
    // Another key of the set is not the shown one.
    Edit(&Value("qv.rhy[1].tone[5].wmtLevel[0]"), 3);
    EXPECT_EQ(Layers("wmtLevel", 5), (Raws{3, 127, 127, 127}));
}

TEST_F(ToneSync, AWriteIntoSeveralTonesAtOnceKeepsEachTonesOwnContents) {
    Show(2, 15, 15);
    // Initialising the key brings every layer its own defaults back.
    for (int32_t layer = 1; layer < 4; ++layer)
        Set(TavIndexedPath("qv.rhy[1].tone[4].wmtWaveSwitch[%d]", layer), 1);
    Buffers().ResetStruct(*Buffers().FindStruct("qv.rhy[1].tone[4]"));
    EXPECT_EQ(Layers("wmtWaveSwitch"), (Raws{1, 0, 0, 0}));
    EXPECT_EQ(Layers("wmtWaveGain"), (Raws{1, 0, 0, 0}));

    // Values of two tones written together stay as written.
    Show(1, 15, 15);
    Buffers().WriteIntegers(
        {{&At("qv.pat[%d].tone[%d].toneLevel", 1, 0), 10}, {&At("qv.pat[%d].tone[%d].toneLevel", 1, 1), 20}});
    EXPECT_EQ(PatchTones("toneLevel"), (Raws{10, 20, 127, 127}));

    // A whole tone pasted is an edit of that tone, and goes to the selected ones.
    CTavStruct& tone = *Buffers().FindStruct("qv.pat[1].tone[3]");
    std::vector<uint8_t> bytes = *tone.Bytes();
    bytes[static_cast<size_t>(At("qv.pat[%d].tone[%d].toneLevel", 1, 3).Range().begin)] = 33;
    Buffers().ReplaceLeafBytes(static_cast<CTavLeafStruct&>(tone), bytes);
    EXPECT_EQ(PatchTones("toneLevel"), (Raws{33, 33, 33, 33}));
}

// A copied bound keeps its own layer's range as the edited bound keeps the edited layer's,
// and the key still goes out as one data set.
TEST_F(ToneSync, CopiedVelocityBoundsAreClippedInEachLayer) {
    struct Case {
        const char* edited; // the bound edited in layer 0
        int32_t raw;
        const char* other;  // its partner, set beforehand in every layer
        Raws others, after; // the partner in layers 0 to 3 before and after
        int32_t state;
    };
    const Case cases[] = {
        {"wmtVelocityRangeLower", 80, "wmtVelocityRangeUpper", {127, 50, 90, 79}, {127, 80, 90, 80}, 15},
        {"wmtVelocityRangeUpper", 30, "wmtVelocityRangeLower", {1, 40, 30, 100}, {1, 30, 30, 30}, 15},
        // An unselected layer gets no copy and keeps its range.
        {"wmtVelocityRangeLower", 80, "wmtVelocityRangeUpper", {127, 50, 60, 70}, {127, 80, 60, 80}, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edited) + " " + std::to_string(c.state));
        Buffers().ResetStruct(*Buffers().FindStruct("qv.rhy[1].tone[4]"));
        Show(2, 15, c.state);
        for (int32_t layer = 0; layer < 4; ++layer)
            Set(std::string("qv.rhy[1].tone[4].") + c.other + "[" + std::to_string(layer) + "]",
                c.others[layer]);
        const size_t sent = midi.sent.size();
        Edit(&Value(std::string("qv.rhy[1].tone[4].") + c.edited + "[0]"), c.raw);
        EXPECT_EQ(Layers(c.other), c.after);
        for (int32_t layer = 0; layer < 4; ++layer)
            EXPECT_LE(Layers("wmtVelocityRangeLower")[layer], Layers("wmtVelocityRangeUpper")[layer])
                << layer;
        ASSERT_EQ(midi.sent.size(), sent + 1);
        EXPECT_EQ(midi.sent.back().data, *Buffers().FindStruct("qv.rhy[1].tone[4]")->Bytes());
    }
}

TEST_F(ToneSync, NothingIsCopiedUnlessTheShownPartPlaysWhatWasEdited) {
    struct Case {
        int32_t plays, part;
        const char* path;
    };
    const Case cases[] = {
        {0, 1, "qv.pat[1].tone[0].toneLevel"},   // the part plays nothing
        {2, 1, "qv.pat[1].tone[0].toneLevel"},   // a patch edit while a rhythm set shows
        {1, 1, "qv.rhy[1].tone[4].wmtLevel[0]"}, // and the other way round
        {1, 16, "qv.pat[1].tone[0].toneLevel"},  // no part shown
    };
    for (const Case& c : cases) {
        Show(c.plays, 15, 15);
        Set("vs.control.partId", c.part);
        Edit(&Value(c.path), 20);
        EXPECT_EQ(PatchTones("toneLevel"), (Raws{c.path[3] == 'p' ? 20 : 127, 127, 127, 127})) << c.plays;
        EXPECT_EQ(Layers("wmtLevel"), (Raws{c.path[3] == 'r' ? 20 : 127, 127, 127, 127})) << c.plays;
        Buffers().ResetStruct(*Buffers().FindStruct("qv.pat[1]"));
        Buffers().ResetStruct(*Buffers().FindStruct("qv.rhy[1]"));
        Buffers().ClearPending();
    }
}

// ---- Effect swapper and fade-range clipper ------------------------------------------------

TEST_F(DeviceHandlers, ChangingAnEffectTypeSwapsOnlyTheValuesOfItsPathTable) {
    CTavValue& type = Value("qv.prti.mfx1.mfxType");
    CTavValue& parameter = Value("qv.prti.mfx1.mfxParameter[31]");
    CTavValue& sens = Value("qv.prti.mfx1.mfxControlSens2");
    CTavValue& output = Value("qv.prti.mfx1.mfxOutputLevel");
    CTavValue& source = Value("qv.prti.mfx1.mfxControlSource1");
    const int32_t parameterDefault = parameter.GetRaw();
    Edit(&parameter, 1234);
    Edit(&sens, 70);
    Edit(&output, 99);
    Edit(&source, 5);
    midi.sent.clear();

    Edit(&type, 12);
    EXPECT_EQ(type.GetRaw(), 12);
    EXPECT_EQ(parameter.GetRaw(), parameterDefault); // type 12's own settings
    EXPECT_EQ(sens.GetRaw(), 64);
    EXPECT_EQ(output.GetRaw(), 99); // the mix's values stay
    EXPECT_EQ(source.GetRaw(), 5);
    // The whole effect went out once, with the new type in it.
    ASSERT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(midi.sent[0].address, Buffers().FindStruct("qv.prti.mfx1")->AbsoluteRange().begin);
    EXPECT_EQ(midi.sent[0].data.size(), 136u);
    EXPECT_EQ(midi.sent[0].data[0], 12);

    Edit(&parameter, 77);
    Edit(&type, 0);
    EXPECT_EQ(parameter.GetRaw(), 1234);
    EXPECT_EQ(sens.GetRaw(), 70);
    Edit(&type, 12);
    EXPECT_EQ(parameter.GetRaw(), 77);
    // The second multi-effect keeps its own.
    EXPECT_EQ(Value("qv.prti.mfx2.mfxParameter[31]").GetRaw(), parameterDefault);

    // The reverb swaps everything but its level.
    Edit(&Value("qv.prti.rev.reverbTime"), 5);
    Edit(&Value("qv.prti.rev.reverbLevel"), 6);
    Edit(&Value("qv.prti.rev.reverbType"), 7);
    EXPECT_EQ(Value("qv.prti.rev.reverbTime").GetRaw(), 64);
    EXPECT_EQ(Value("qv.prti.rev.reverbLevel").GetRaw(), 6);
    Edit(&Value("qv.prti.rev.reverbType"), 4);
    EXPECT_EQ(Value("qv.prti.rev.reverbTime").GetRaw(), 5);
}

TEST_F(DeviceHandlers, EveryVelocityRangeKeepsItsLowerBoundBelowItsUpper) {
    struct Case {
        const char* lower;
        const char* upper;
    };
    const Case cases[] = {
        {"qv.pat[0].tmt.tmtVelocityRangeLower[0]", "qv.pat[0].tmt.tmtVelocityRangeUpper[0]"},
        {"qv.pat[15].tmt.tmtVelocityRangeLower[3]", "qv.pat[15].tmt.tmtVelocityRangeUpper[3]"},
        {"qv.rhy[0].tone[0].wmtVelocityRangeLower[0]", "qv.rhy[0].tone[0].wmtVelocityRangeUpper[0]"},
        {"qv.rhy[15].tone[15].wmtVelocityRangeLower[3]", "qv.rhy[15].tone[15].wmtVelocityRangeUpper[3]"},
        {"qv.rhy[7].tone[9].wmtVelocityRangeLower[2]", "qv.rhy[7].tone[9].wmtVelocityRangeUpper[2]"},
    };
    for (const Case& c : cases) {
        Edit(&Value(c.upper), 60);
        Edit(&Value(c.lower), 80);
        EXPECT_EQ(Value(c.upper).GetRaw(), 80) << c.lower;
        Edit(&Value(c.upper), 30);
        EXPECT_EQ(Value(c.lower).GetRaw(), 30) << c.upper;
    }
}

} // namespace

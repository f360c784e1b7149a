// The device layer's root over the shipped script: the bound table, the part context, the
// context and rhythm-key handlers and device-layer start on a script that lacks paths.

#include <gtest/gtest.h>

#include <set>

#include "device/CTavCCSynchronizer.h"
#include "device/CTavContextHandlers.h"
#include "device/CTavDeviceControlKinds.h"
#include "device/CTavToneSynchronizer.h"
#include "device/CTavVoiceReserveClipper.h"
#include "midi/CTavMidiStruct.h"
#include "model/CTavEffectSwapper.h"
#include "model/CTavFadeRangeClipper.h"
#include "model/CTavValue.h"
#include "view/TavSetValue.h"
#include "support/DeviceLayerFixture.h"
#include "view/CTavControl.h"
#include "view/CTavView.h"
#include "view/CTavViewFactory.h"

namespace {

using namespace std::chrono_literals;
using Brio::CTavBufferAccessor;

class Accessor : public test::DeviceLayerFixture {
protected:
    void SetUp() override { StartLayer(test::ShippedScriptText()); }
    // A note message on channel 1, as the device sends it.
    void Note(int note, int velocity) {
        system.MidiManager().Input(0)->Receive(
            TavBytes{0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)});
    }
};

TEST_F(Accessor, BindsEveryPathOfTheShippedScriptAndRegistersItsHandlers) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    EXPECT_EQ(bound.MissingCount(), 0);
    EXPECT_EQ(bound.rhythmTones[15][15], Buffers().FindStruct("qv.rhy[15].tone[15]"));
    EXPECT_EQ(bound.wmtWaveSwitch[3][4][2], Buffers().FindValue("qv.rhy[3].tone[4].wmtWaveSwitch[2]"));
    EXPECT_EQ(bound.controllers[15][119], Buffers().FindValue("qvMidi.ch[15].cc[119]"));
    EXPECT_EQ(bound.partCategoryType[7], Buffers().FindValue("vs.control.partCategoryType[7]"));
    // Their order is checked with the handlers themselves.
    EXPECT_EQ(Buffers().Handlers().Count(), 8u);
    EXPECT_EQ(accessor.PendingRhythmKey(), CTavBufferAccessor::kNoRhythmKey);
    // The fixed banks exist: the first effect type and the first user sample's "Off".
    EXPECT_EQ(accessor.Entities().InformationOf({TavEntityType::MultiEffect, 2, 0, 0}).Name(), "THROUGH");
}

TEST_F(Accessor, StartInstallsTheReaderAndShutdownTakesItBack) {
    CTavMidiIn& input = *system.MidiManager().Input(0);
    EXPECT_EQ(input.Reader(), accessor.Reader());
    EXPECT_EQ(input.RequestListener(), accessor.Writer());
    EXPECT_EQ(accessor.Reader()->Output(), system.MidiManager().Output(0));
    accessor.Shutdown();
    EXPECT_EQ(input.Reader(), nullptr);
    EXPECT_EQ(input.RequestListener(), nullptr);
    EXPECT_TRUE(accessor.IsOffline());
    EXPECT_FALSE(accessor.IsStarted());
}

TEST_F(Accessor, SelectingAPartShowsWhatItPlays) {
    Play(3, 82, 0, 5);
    EXPECT_EQ(Raw("vs.control.partEntityType[3]"), 2);
    EXPECT_EQ(Raw("vs.control.partCategoryType[3]"), 39);
    Edit(accessor.Bound().partId, 3);
    EXPECT_EQ(accessor.CurrentPart(), 3);
    EXPECT_EQ(Raw("vs.control.entityType"), 2);
    EXPECT_EQ(accessor.PartEntityId(3), (CTavEntityId{TavEntityType::RhythmSet, 0, 0, 5}));

    // While the part is shown, a change of what it plays is shown at once.
    Play(3, 81, 0, 7);
    EXPECT_EQ(Raw("vs.control.entityType"), 1);
    EXPECT_EQ(Raw("vs.control.partEntityType[3]"), 1);

    // "No part" shows a patch; a valid part with an invalid entity shows nothing.
    accessor.SetCurrentPart(16);
    EXPECT_EQ(Raw("vs.control.entityType"), 1);
    accessor.SetCurrentPart(0);
    accessor.ShowEntity(CTavEntityId::Invalid());
    EXPECT_EQ(Raw("vs.control.entityType"), 0);
    EXPECT_EQ(accessor.PartEntityId(-1), CTavEntityId::Invalid());
    EXPECT_EQ(accessor.PartEntityId(16), CTavEntityId::Invalid());
}

TEST_F(Accessor, APartWhoseProgramMapsToNothingFallsBackToTheFirstUserPatch) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    struct Case {
        int32_t msb, lsb, program;
        CTavProgramId expected;
        int32_t plays;
    };
    const Case cases[] = {
        {81, 0, 12, {81, 0, 12}, 1}, // a user patch stays
        {82, 0, 63, {82, 0, 63}, 2}, // a user rhythm set stays
        {82, 0, 64, {81, 0, 0}, 1},  // past the rhythm bank's end
        {81, 5, 0, {81, 0, 0}, 1},   // a bank the catalog lacks
        {84, 0, 3, {81, 0, 0}, 1},   // a wave is not played by a part
    };
    for (const Case& c : cases) {
        Play(5, c.msb, c.lsb, c.program);
        const CTavProgramId now{bound.partBankSelectMsb[5]->GetRaw(), bound.partBankSelectLsb[5]->GetRaw(),
                                bound.partProgramNumber[5]->GetRaw()};
        EXPECT_EQ(now, c.expected) << c.msb << "," << c.lsb << "," << c.program;
        EXPECT_EQ(Raw("vs.control.partEntityType[5]"), c.plays) << c.msb << "," << c.lsb << "," << c.program;
    }
    // Without the user patch bank the fallback fails and the part plays nothing.
    accessor.Entities().RemoveBanks({TavEntityType::Patch, TavEntityArea::User, 0, 0});
    Play(5, 81, 9, 9);
    EXPECT_EQ(Raw("vs.control.partEntityType[5]"), 0);
    EXPECT_EQ(bound.partBankSelectLsb[5]->GetRaw(), 9);
}

TEST_F(Accessor, ApplyEntityWritesTheProgramSilentlyOrAsAnEditAndReadsAfter) {
    const Brio::CTavBoundTable& bound = accessor.Bound();
    // Unknown entity or part: nothing changes.
    EXPECT_FALSE(accessor.ApplyEntity(2, {TavEntityType::Patch, 0, 0, 500}, false, true));
    EXPECT_FALSE(accessor.ApplyEntity(16, {TavEntityType::Patch, 0, 0, 1}, false, true));
    EXPECT_TRUE(device->requests.empty());

    // Silently: no data set, the change is pending for the views.
    device->requests.clear();
    ASSERT_TRUE(accessor.ApplyEntity(2, {TavEntityType::Patch, 0, 0, 9}, false, false));
    EXPECT_EQ(bound.partProgramNumber[2]->GetRaw(), 9);
    EXPECT_FALSE(Buffers().PendingChanges().empty());
    EXPECT_EQ(system.MidiManager().Output(0)->LastMessage().size(), 0u);
    Buffers().ClearPending();

    // As an edit with a read after: the data goes out, 50 ms pass, the rhythm set is read.
    const auto sleptBefore = clock.TotalSleep();
    ASSERT_TRUE(accessor.ApplyEntity(2, {TavEntityType::RhythmSet, 0, 0, 4}, true, true));
    EXPECT_EQ(bound.partBankSelectMsb[2]->GetRaw(), 82);
    EXPECT_EQ(Raw("vs.control.partEntityType[2]"), 2);
    EXPECT_GE(clock.TotalSleep() - sleptBefore, std::chrono::microseconds(50ms));
    ASSERT_FALSE(device->requests.empty());
    EXPECT_EQ(device->requests.front().address,
              static_cast<uint32_t>(bound.rhythmSets[2]->AbsoluteRange().begin));
    for (const auto& request : device->requests)
        EXPECT_TRUE(request.address >= static_cast<uint32_t>(bound.rhythmSets[2]->AbsoluteRange().begin) &&
                    request.address < static_cast<uint32_t>(bound.rhythmSets[2]->AbsoluteRange().end));
    EXPECT_TRUE(Buffers().PendingChanges().empty());
}

TEST_F(Accessor, ANoteOnSelectsItsRhythmKeyAtTheNextIdlePass) {
    struct Case {
        int note, velocity;
        int32_t pending, selected;
    };
    const Case cases[] = {
        {61, 100, 2, 2},  // MIDI note 59 + key
        {74, 1, 15, 15},  // the last key
        {50, 90, -9, 0},  // below the first key: clamped to the minimum
        {90, 90, 31, 15}, // above the last: clamped to the maximum
    };
    for (const Case& c : cases) {
        const int32_t before = Raw("vs.control.rhythmTone");
        Note(c.note, c.velocity);
        EXPECT_EQ(accessor.PendingRhythmKey(), c.pending) << c.note;
        EXPECT_EQ(Raw("vs.control.rhythmTone"), before) << c.note;
        accessor.OnIdle();
        EXPECT_EQ(Raw("vs.control.rhythmTone"), c.selected) << c.note;
        EXPECT_EQ(accessor.PendingRhythmKey(), CTavBufferAccessor::kNoRhythmKey);
    }
    // A note-off selects nothing.
    Note(64, 0);
    EXPECT_EQ(accessor.PendingRhythmKey(), CTavBufferAccessor::kNoRhythmKey);
    accessor.OnIdle();
    EXPECT_EQ(Raw("vs.control.rhythmTone"), 15);

    // A note the on-screen keyboard plays (a user edit of the note states) chooses its key too.
    CTavValue& notes = *Buffers().FindValue("qvMidi.ch[0].note");
    std::vector<int32_t> states = notes.GetList();
    states[62] = 100;
    TavSetValueList(Buffers(), notes, states);
    EXPECT_EQ(accessor.PendingRhythmKey(), 3);
    accessor.OnIdle();
    EXPECT_EQ(Raw("vs.control.rhythmTone"), 3);
}

// A kind is registered once its class is built and then makes a control of that kind; the
// others stay unknown, so a panel using one fails by name.
TEST_F(Accessor, EveryDeviceControlKindFailsUntilItsClassIsBuilt) {
    CTavViewFactory factory;
    EXPECT_EQ(Brio::TavDeviceControlKinds().size(), 29u);
    EXPECT_EQ(Brio::TavDeviceDialogKinds().size(), 6u);
    Brio::TavRegisterDeviceControlKinds(factory);
    const std::set<std::string> built = {"quasarPartPatchNameStaticText", "quasarWaveIndexSelect",
                                         "quasarSampleListControl",       "quasarSampleViewGroupButton",
                                         "quasarWaveGroupSelect",         "quasarMfxSelectCombo",
                                         "quasarSwSlider",                "quasarSwStaticTextPicture",
                                         "quasarEditPartButton",          "quasarSoloPartButton",
                                         "zqToneSelectButton",            "quasarLfoControl",
                                         "valeLfoControl",                "valeIndicator",
                                         "quasarPreviewButton",           "quasarChopPreviewButton",
                                         "quasarPreviewControl",          "quasarFrameIncButton",
                                         "quasarChopFrameIncButton",      "quasarTimeIncButton",
                                         "quasarBpmSlider",               "quasarChopIdCombo",
                                         "quasarSampleViewControl",       "quasarOverviewControl",
                                         "quasarScrubButton",             "quasarScaleScroll",
                                         "quasarScaleIncButton",          "quasarWaveScroll",
                                         "quasarWaveScrollIncButton"};
    for (const auto& kind : Brio::TavDeviceControlKinds()) {
        const bool known = built.count(kind.kind) > 0;
        EXPECT_EQ(factory.Knows(kind.kind), known) << kind.kind;
        EXPECT_EQ(kind.make != nullptr, known) << kind.kind;
        std::unique_ptr<CTavView> control = factory.CreateControl(kind.kind);
        EXPECT_EQ(control != nullptr, known) << kind.kind;
        if (auto* made = dynamic_cast<CTavControl*>(control.get())) {
            EXPECT_EQ(made->GetKind(), kind.kind);
        }
    }
    // Every pop-up edit kind is built.
    for (const auto& kind : Brio::TavDeviceDialogKinds()) {
        const std::unique_ptr<CTavView> control = factory.CreateControl(kind.kind);
        auto* made = dynamic_cast<CTavControl*>(control.get());
        ASSERT_NE(made, nullptr) << kind.kind;
        EXPECT_EQ(made->GetKind(), kind.kind);
    }
    // The generic kinds stay as they were.
    EXPECT_TRUE(factory.Knows("knob"));
}

class SparseAccessor : public test::DeviceLayerFixture {};

TEST_F(SparseAccessor, AScriptLackingBoundPathsStillStartsAndDoesNothing) {
    StartLayer(test::ReadFile(test::DataDir() / "scripts/valid/model/VireoEditorScript.xml"), false);
    const Brio::CTavBoundTable& bound = accessor.Bound();
    EXPECT_GT(bound.MissingCount(), 0);
    EXPECT_EQ(bound.partId, nullptr);
    EXPECT_NE(bound.parts[1], nullptr);
    EXPECT_EQ(accessor.CurrentPart(), -1);
    accessor.SetCurrentPart(3);
    accessor.ShowEntity({TavEntityType::RhythmSet, 0, 0, 0});
    EXPECT_FALSE(accessor.ApplyEntity(0, {TavEntityType::Patch, 0, 0, 0}, true, true));
    accessor.SetPendingRhythmKey(4);
    accessor.OnIdle();
    EXPECT_EQ(accessor.PendingRhythmKey(), CTavBufferAccessor::kNoRhythmKey);
    EXPECT_TRUE(accessor.ReadAllParts());
    Edit(Buffers().FindValue("qv.prti.part[0].partLevel"), 5);
    EXPECT_EQ(Buffers().FindValue("qv.prti.part[0].partLevel")->GetRaw(), 5);

    // Every handler is in the chain, with nothing to work on.
    CTavBufferHandlers& handlers = Buffers().Handlers();
    ASSERT_EQ(handlers.Count(), 8u);
    EXPECT_EQ(dynamic_cast<Brio::CCCSynchronizer&>(*handlers.At(3)).TripleCount(), 0u);
    EXPECT_EQ(dynamic_cast<CTavEffectSwapper&>(*handlers.At(4)).EffectCount(), 0u);
    EXPECT_EQ(dynamic_cast<Brio::CDomain::CToneSynchronizer&>(*handlers.At(5)).PatchTones(0), nullptr);
    EXPECT_EQ(dynamic_cast<CTavFadeRangeClipper&>(*handlers.At(6)).PairCount(), 0u);
    EXPECT_FALSE(dynamic_cast<Brio::CTavVoiceReserveClipper&>(*handlers.At(7)).IsActive());
    EXPECT_EQ(handlers.At(8), nullptr);
}

} // namespace

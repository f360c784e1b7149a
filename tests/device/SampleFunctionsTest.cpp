// The sample commands run through the function registry against a device that answers
// them with progress, then the echo, a result or an error.

#include <gtest/gtest.h>

#include "device/CTavSampleFunctions.h"
#include "support/SampleFixture.h"

namespace {

class SampleFunctions : public test::SampleFixture {
protected:
    std::vector<TavBytes> Modify(const char* name) const {
        return samples->SentTo((std::string("com.utility.sampleEdit.modify.") + name).c_str());
    }
    // The sample name pages asked for since the test began.
    size_t PageRequests() const {
        const uint32_t at = samples->At("com.utility.command.sampleNameInformation2");
        return static_cast<size_t>(std::count_if(samples->requests.begin(), samples->requests.end(),
                                                 [&](const auto& request) { return request.address == at; }));
    }
};

TEST_F(SampleFunctions, CommandDataFollowTheViewState) {
    accessor.Notify(&Value("vs.sampleEdit.modify.amp.overwrite"), 1);
    accessor.Notify(&Value("vs.sampleEdit.modify.amp.envRate1"), 150);
    accessor.Notify(&Value("vs.sampleEdit.modify.amp.envAddress4"), 129);
    EXPECT_EQ(Brio::TavSampleCommandData(accessor, "SampleAmp"), (std::vector<uint8_t>{1, 1, 22}));
    accessor.Notify(&Value("vs.sampleEdit.modify.amp.point"), 1);
    const std::vector<uint8_t> envelope = Brio::TavSampleCommandData(accessor, "SampleAmp");
    ASSERT_EQ(envelope.size(), 29u);
    EXPECT_EQ(std::vector<uint8_t>(envelope.begin() + 22, envelope.end()), (std::vector<uint8_t>{0, 100, 0, 0, 0, 1, 1}));

    const struct {
        const char* function;
        std::vector<uint8_t> data;
    } cases[] = {{"SampleTruncate", {0}},
                 {"SampleEmphasis", {0, 0}},
                 {"SampleTimeStretch", {6, 13, 32, 4, 64}},
                 {"SampleChop", {1}},
                 {"SampleChopAutoLevel", {0, 64}},
                 {"SampleChopAutoBeat", {1, 1}},
                 {"SampleChopAutoDivide", {2, 4}},
                 {"Nothing", {}}};
    for (const auto& c : cases)
        EXPECT_EQ(Brio::TavSampleCommandData(accessor, c.function), c.data) << c.function;
}

TEST_F(SampleFunctions, ACommandShowsItsProgressRereadsTheSampleAndClosesThePage) {
    accessor.Notify(&Value("vs.sampleEdit.view.modifyView"), 1);
    accessor.Notify(&Value("vs.sampleEdit.modify.truncate.overwrite"), 1);
    samples->samples[{0, 12}].name = "Kick Cut";
    ASSERT_TRUE(Call("SampleTruncate"));
    EXPECT_EQ(Modify("truncate"), (std::vector<TavBytes>{{1}}));
    EXPECT_EQ(bar.captions.front(), "Truncate");
    EXPECT_EQ(bar.started.front(), 100);
    EXPECT_EQ(bar.positions, (std::vector<int>{30, 60}));
    EXPECT_EQ(list.cleared, 1);
    EXPECT_EQ(accessor.Entities().InformationOf({TavEntityType::Sample, 0, 0, 12}).Name(), "Kick Cut        ");
    EXPECT_EQ(Raw("vs.sampleEdit.view.modifyView"), 0);
    EXPECT_TRUE(codes->codes.empty());
}

TEST_F(SampleFunctions, TargetsThatAreNoSampleOrNoOpenListSendNothing) {
    Show(2, 13);
    EXPECT_FALSE(Call("SampleTruncate"));
    Show(4, 12);
    EXPECT_FALSE(Call("SampleAmp"));
    Show(2, 12);
    accessor.SampleEditor().RemoveSampleList(&list);
    for (const char* function : {"SampleTruncate", "SampleAmp", "SampleTimeStretch", "SampleChop", "SampleEmphasis"})
        EXPECT_FALSE(Call(function)) << function;
    EXPECT_TRUE(samples->dataSets.empty());
    EXPECT_TRUE(Call("SampleChopAutoDivide")); // needs neither
    EXPECT_EQ(Modify("autoChop"), (std::vector<TavBytes>{{2, 4}}));
}

TEST_F(SampleFunctions, AnErrorReportsCodeThirteenOnceAndNoAnswerCodeFour) {
    samples->modifyFails = true;
    samples->afterAnswer = {samples->DataSet(samples->At("com.utility.sampleEdit.modify.progress"), {90}),
                            samples->DataSet(samples->At("com.utility.sampleEdit.modify.error"), {1})};
    EXPECT_FALSE(Call("SampleTimeStretch"));
    // What follows the error arrives during the next wait, and is not taken for it.
    accessor.SampleEditor().ReadMemory();
    EXPECT_EQ(codes->codes, (std::vector<int>{13}));
    EXPECT_EQ(bar.positions, (std::vector<int>{30, 60}));
    EXPECT_EQ(bar.finished, 1);

    samples->modifyFails = false;
    samples->modifySilent = true;
    const TavTime start = clock.Now();
    EXPECT_FALSE(Call("SampleChop"));
    EXPECT_EQ(codes->codes, (std::vector<int>{13, 4}));
    EXPECT_LT(TavMilliseconds(start, clock.Now()), 4000); // one attempt
}

TEST_F(SampleFunctions, ProgressStartsTheTimeOutAgain) {
    bar.clock = &clock;
    bar.lag = std::chrono::milliseconds(2500);
    samples->progress = {10, 20, 30, 40};
    EXPECT_TRUE(Call("SampleChop"));
    EXPECT_EQ(bar.positions.size(), 4u);
    EXPECT_TRUE(codes->codes.empty());
}

TEST_F(SampleFunctions, EmphasisWorksOnTheSelectedSamplesThatHoldAudio) {
    list.selected = {60, 11, 12};
    ASSERT_TRUE(Call("SampleEmphasis"));
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.select.sampleSelect"),
              (std::vector<TavBytes>{{2, 0, 12}, {2, 0, 60}}));
    EXPECT_EQ(Modify("emphasis").size(), 2u);
    EXPECT_EQ(bar.captions, (std::vector<std::string>{"Emphasis"}));
    EXPECT_EQ(PageRequests(), 2u);
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberL"), 60);

    // With nothing selected (the last command cleared it) the sample shown is the one.
    samples->dataSets.clear();
    list.selected.clear();
    ASSERT_TRUE(Call("SampleNormalize"));
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.select.sampleSelect"), (std::vector<TavBytes>{{2, 0, 60}}));
    EXPECT_EQ(Modify("normalize").size(), 1u);
}

TEST_F(SampleFunctions, UnloadAsksFirstAndEmptiesBothHalvesOfAStereoSample) {
    list.selected = {10};
    messages->answer = 1; // Cancel
    EXPECT_FALSE(Call("SampleUnload"));
    EXPECT_TRUE(samples->dataSets.empty());
    ASSERT_EQ(messages->asks.size(), 1u);
    EXPECT_EQ(messages->asks[0].code, 14);
    EXPECT_EQ(messages->asks[0].buttons, 1);

    messages->answer = 0;
    accessor.Notify(&Value("vs.sampleEdit.view.sampleSelectState"), 1);
    EXPECT_TRUE(Call("SampleUnload"));
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.utility.unload"), (std::vector<TavBytes>{{1}}));
    EXPECT_EQ(Kind(10), 3);
    EXPECT_EQ(Kind(11), 3);
    EXPECT_EQ(Kind(12), 0);
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleSelectState"), 0);
}

TEST_F(SampleFunctions, ChopsMarkTheCatalogOrReadTheirPointsAgain) {
    samples->chopFrames = {10, 20};
    ASSERT_TRUE(Call("SampleChop"));
    EXPECT_EQ(Modify("chop"), (std::vector<TavBytes>{{1}}));
    EXPECT_EQ(PageRequests(), 0u);
    accessor.Notify(&Value("vs.sampleEdit.modify.chop.edit.currentChopId"), 5);
    ASSERT_TRUE(Call("SampleChopAutoLevel"));
    EXPECT_EQ(Raw("vs.sampleEdit.modify.chop.edit.chopPointCount"), 2);
    EXPECT_EQ(Raw("vs.sampleEdit.modify.chop.edit.currentChopId"), 0);
}

} // namespace

// The sample editor's exchanges and the sample view handler, against a device that answers
// the sample edit messages (and, where a test says so, answers them badly).

#include <gtest/gtest.h>

#include "device/CTavSampleViewHandler.h"
#include "device/TavSampleWire.h"
#include "support/SampleFixture.h"

namespace {

using Brio::TavWavePoint;
using Brio::TavWaveRequest;

TEST(SampleWire, WavePointsDecodeBySamplesPerPoint) {
    const struct {
        uint8_t first, second;
        int32_t framesPerPoint;
        TavWavePoint point;
    } cases[] = {{0x7F, 0x7F, 1, {32764, 32764}}, {0x00, 0x00, 1, {-32768, -32768}}, {0x40, 0x00, 1, {0, 0}},
                 {0x40, 0x7F, 2, {0, 32256}},      {0x00, 0x40, 256, {-32768, 0}}};
    for (const auto& c : cases)
        EXPECT_EQ(Brio::TavDecodeWavePoint(c.first, c.second, c.framesPerPoint), c.point)
            << int(c.first) << " " << int(c.second) << " " << c.framesPerPoint;
}

TEST(SampleWire, WaveAnswersThatDoNotFitTheirRequestAreIgnored) {
    const TavWaveRequest request{2, 300, 1000, 2, 3};
    std::vector<uint8_t> header = Brio::TavEncodeWaveRequest(request);
    ASSERT_EQ(header, (std::vector<uint8_t>{2, 2, 44, 0, 0, 0, 7, 104, 0, 0, 2, 3}));
    header.pop_back();
    const auto answer = [&](std::vector<uint8_t> tail) {
        std::vector<uint8_t> bytes = header;
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    std::vector<TavWavePoint> points = {{1, 1}};
    ASSERT_TRUE(Brio::TavDecodeWaveAnswer(answer({0x40, 0x7F, 0x00, 0x40, 2}).data(), 16, request, points));
    EXPECT_EQ(points, (std::vector<TavWavePoint>{{1, 1}, {0, 32256}, {-32768, 0}}));
    EXPECT_TRUE(Brio::TavDecodeWaveAnswer(answer({0}).data(), 12, request, points)); // past the end

    std::vector<uint8_t> otherFrame = answer({0x40, 0x40, 1});
    otherFrame[7] = 1;
    const std::vector<std::vector<uint8_t>> hostile = {
        {},         std::vector<uint8_t>(11, 0), answer({0x40, 0x40, 2}), answer({0x40}),
        otherFrame, answer({0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 4})};
    for (const auto& bytes : hostile) {
        std::vector<TavWavePoint> none;
        EXPECT_FALSE(Brio::TavDecodeWaveAnswer(bytes.data(), bytes.size(), request, none)) << bytes.size();
        EXPECT_TRUE(none.empty());
    }
    EXPECT_EQ(Brio::TavKilobytes(1536), 2);
    EXPECT_EQ(Brio::TavKilobytes(1535), 1);
}

class SampleEditor : public test::SampleFixture {
protected:
    Brio::CTavSampleEditor& Editor() { return accessor.SampleEditor(); }
    // An open view that asks for a few points when a refresh reaches it.
    struct View : Brio::ITavWaveView {
        View(SampleEditor& test, bool overview) : test(test), overview(overview) {}
        bool IsOverview() const override { return overview; }
        bool RequestWaveData() override {
            test.asked.push_back(this);
            rateSeen = test.Raw("vs.sampleEdit.modify.timeStretch.rate");
            // As the waveform views do: no sample, nothing asked and nothing shown.
            if (test.Raw("vs.sampleEdit.view.sampleState") == Brio::TavSampleKind::None) {
                points.clear();
                return true;
            }
            return test.Editor().RequestWave(2, 12, 0, 4, 8, points);
        }
        SampleEditor& test;
        bool overview;
        int32_t rateSeen = -1;
        std::vector<TavWavePoint> points;
    };
    std::vector<View*> asked;
};

TEST_F(SampleEditor, RequestWaveRaisesTheTimeOutAndKeepsOnlyFittingAnswers) {
    std::vector<TavWavePoint> points;
    samples->wavePoints = 5;
    ASSERT_TRUE(Editor().RequestWave(2, 12, 100, 1, 200, points));
    ASSERT_EQ(samples->SentTo("com.utility.sampleEdit.wave.request"),
              (std::vector<TavBytes>{{2, 0, 12, 0, 0, 0, 0, 100, 0, 0, 1, 117}}));
    EXPECT_EQ(points.size(), 5u);
    EXPECT_EQ(accessor.Reader()->Timeout(), 3000);

    // A hostile answer is not taken: each attempt waits its full 10 s.
    samples->waveAnswer = TavBytes{2, 0, 12, 0, 0, 0, 0, 100, 0, 0, 1, 0x40, 0x40, 9};
    const TavTime start = clock.Now();
    EXPECT_FALSE(Editor().RequestWave(2, 12, 100, 1, 20, points));
    EXPECT_EQ(points.size(), 5u);
    EXPECT_GE(TavMilliseconds(start, clock.Now()), 20000);
    EXPECT_EQ(Count(4), 1u);
    EXPECT_EQ(accessor.Reader()->Timeout(), 3000);
}

TEST_F(SampleEditor, MemoryAndChopPointsAreReadIntoTheViewState) {
    ASSERT_TRUE(Editor().ReadMemory());
    EXPECT_EQ(Raw("vs.sampleEdit.view.remainMemory"), 2); // 1536 bytes, rounded
    EXPECT_EQ(Raw("vs.sampleEdit.view.wholeMemory"), 4);

    samples->chopFrames = {100, 2000, 30000};
    ASSERT_TRUE(Editor().ReadChopPoints());
    EXPECT_EQ(Raw("vs.sampleEdit.modify.chop.edit.chopPointCount"), 3);
    EXPECT_EQ(Raw("vs.sampleEdit.modify.chop.chopPoint[2].frame"), 30000);
    EXPECT_EQ(samples->requests.back().size, (TavBytes{0, 0, 0, 3}));

    // A point that does not come ends the reading; what came stays counted.
    samples->chopFrames = {5, 6};
    samples->silent.insert(samples->At("com.utility.sampleEdit.modify.chopPoint"));
    EXPECT_FALSE(Editor().ReadChopPoints());
    EXPECT_EQ(Raw("vs.sampleEdit.modify.chop.edit.chopPointCount"), 0);
}

TEST_F(SampleEditor, RefreshSelectsReadsClampsAsksViewsThenOverviewsAndReadsMemory) {
    SampleEnd(5000);
    accessor.Notify(&Value("vs.sampleEdit.view.viewRangeUp"), 9000);
    accessor.Notify(&Value("vs.sampleEdit.view.scrubFrameId"), 2);
    View overview(*this, true), first(*this, false), second(*this, false);
    for (View* view : {&overview, &first, &second})
        Editor().AddWaveView(view);
    ASSERT_TRUE(Editor().RefreshSampleView(true));
    EXPECT_EQ(asked, (std::vector<View*>{&first, &second, &overview}));
    EXPECT_EQ(first.points.size(), 8u);
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.preview.samplePreview"), (std::vector<TavBytes>{{0}}));
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.select.sampleSelect"), (std::vector<TavBytes>{{2, 0, 12}}));
    EXPECT_EQ(Raw("vs.sampleEdit.view.scrubFrameId"), 0);
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleState"), 0);
    EXPECT_EQ(Raw("vs.sampleEdit.view.scrollRangeUp"), 5000);
    EXPECT_EQ(Raw("vs.sampleEdit.view.viewRangeUp"), 5000);
    EXPECT_EQ(Raw("vs.sampleEdit.view.remainMemory"), 2);

    // No sample (an Unload emptied it): select sample 0 and read nothing of it, but the
    // views drop what they showed and the memory figures are read again.
    asked.clear();
    samples->dataSets.clear();
    samples->requests.clear();
    Show(2, 13);
    accessor.Notify(&Value("vs.sampleEdit.view.remainMemory"), 0);
    ASSERT_TRUE(Editor().RefreshSampleView(true));
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_TRUE(first.points.empty());
    EXPECT_TRUE(samples->SentTo("com.utility.sampleEdit.wave.request").empty());
    EXPECT_EQ(Raw("vs.sampleEdit.view.remainMemory"), 2);
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleState"), 3);
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.select.sampleSelect"), (std::vector<TavBytes>{{2, 0, 0}}));
    for (View* view : {&overview, &first, &second})
        Editor().RemoveWaveView(view);
}

// What the sample list hands over when its current row moves: the pair's left half for its
// right half, the right number beside it, and a refresh with waves.
TEST_F(SampleEditor, ShowSampleShowsThePairFromEitherHalf) {
    SampleEnd(5000);
    View view(*this, false);
    Editor().AddWaveView(&view);
    const struct {
        int32_t row, left, right;
    } cases[] = {{12, 12, 12}, {10, 10, 11}, {11, 10, 11}, {60, 60, 60}};
    for (const auto& c : cases) {
        asked.clear();
        EXPECT_TRUE(Editor().ShowSample(2, c.row)) << c.row;
        EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberL"), c.left) << c.row;
        EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberR"), c.right) << c.row;
        EXPECT_EQ(asked.size(), 1u) << c.row;
    }
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleState"), 0);
    Editor().RemoveWaveView(&view);

    // No exchange starts while a command runs or a request waits.
    EXPECT_TRUE(Editor().CanExchange());
    {
        Brio::CTavWaitCursor wait(accessor);
        EXPECT_FALSE(Editor().CanExchange());
    }
    EXPECT_TRUE(Editor().CanExchange());
}

TEST_F(SampleEditor, PreviewScrubMarkersAndChopPointsSendTheirBytes) {
    SampleEnd(5000);
    ASSERT_TRUE(Editor().RefreshSampleView(false));
    Editor().MoveMarker(Brio::TavSampleMarker::End, 4000);
    Editor().MoveMarker(Brio::TavSampleMarker::Loop, 4500); // not past the end marker
    Editor().MoveMarker(Brio::TavSampleMarker::Start, -3);
    EXPECT_EQ(Raw("com.utility.sample.sampleCommon.loopIndex"), 4000);
    EXPECT_EQ(Raw("com.utility.sample.sampleCommon.startIndex"), 0);
    // Each edit sends its whole leaf.
    const std::vector<TavBytes> leaf = samples->SentTo("com.utility.sample.sampleCommon.sampleName");
    ASSERT_EQ(leaf.size(), 3u);
    EXPECT_EQ(TavBytes(leaf[0].begin() + 0x1A, leaf[0].begin() + 0x1F), (TavBytes{0, 0, 0, 31, 32}));

    accessor.Notify(&Value("vs.sampleEdit.view.viewRangeUp"), 1000);
    Editor().Scrub(2);
    Editor().Scrub(0);
    EXPECT_TRUE(Editor().Preview(3, -1, 7));
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.preview.samplePreview"),
              (std::vector<TavBytes>{{1, 0, 0, 0, 31, 32, 0, 0, 0, 3, 116}, {0}, {3, 0, 0, 0, 0, 7}}));
    EXPECT_EQ(Raw("com.utility.sampleEdit.preview.samplePreview"), 3);
    EXPECT_EQ(Raw("vs.sampleEdit.view.scrubFrameId"), 0);

    EXPECT_TRUE(Editor().SendChopPoint(14, 129));
    EXPECT_FALSE(Editor().SendChopPoint(15, 1));
    EXPECT_TRUE(Editor().ClearChopPoint(3));
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.modify.chopPoint"), (std::vector<TavBytes>{{14, 0, 0, 0, 1, 1}}));
    EXPECT_EQ(samples->SentTo("com.utility.sampleEdit.modify.chopPointClear"), (std::vector<TavBytes>{{3}}));
}

TEST_F(SampleEditor, ModifyPagesResetTheirParametersAndRefreshAsListed) {
    View view(*this, false);
    Editor().AddWaveView(&view);
    accessor.Notify(&Value("vs.sampleEdit.view.view"), 1);
    const struct {
        int32_t page;
        const char* reset; // set to its value below before the refresh
        int32_t value;
        bool refreshes;
    } pages[] = {{1, "vs.sampleEdit.modify.truncate.overwrite", 0, true},
                 {2, "vs.sampleEdit.modify.emphasis.overwrite", 0, false},
                 {3, "vs.sampleEdit.modify.normalize.overwrite", 0, false},
                 {4, "vs.sampleEdit.modify.amp.overwrite", 0, true},
                 {5, "vs.sampleEdit.modify.timeStretch.rate", 100000, true},
                 {6, nullptr, 0, true},
                 {0, nullptr, 0, true}};
    for (const auto& page : pages) {
        if (page.reset)
            accessor.Notify(&Value(page.reset), 1);
        Buffers().ClearPending();
        asked.clear();
        samples->dataSets.clear();
        samples->requests.clear();
        Edit(&Value("vs.sampleEdit.view.modifyView"), page.page);
        EXPECT_EQ(!asked.empty(), page.refreshes) << page.page;
        EXPECT_EQ(samples->dataSets.empty() && samples->requests.empty(), !page.refreshes) << page.page;
        if (page.reset) {
            EXPECT_EQ(Raw(page.reset), page.value) << page.page;
        }
    }
    // The rate was in place when the time stretch page asked for its wave.
    Edit(&Value("vs.sampleEdit.view.modifyView"), 5);
    EXPECT_EQ(view.rateSeen, 100000);
    Editor().RemoveWaveView(&view);
}

TEST_F(SampleEditor, OpeningAndClosingTheWindowMovesThePcModeAndRefreshes) {
    View view(*this, false);
    Editor().AddWaveView(&view);
    Edit(&Value("vs.sampleEdit.view.view"), 1);
    EXPECT_EQ(samples->SentTo("com.utility.command.pcModeRequest"), (std::vector<TavBytes>{{1}}));
    EXPECT_TRUE(accessor.SampleNamesRead());
    EXPECT_EQ(asked.size(), 1u);
    Edit(&Value("vs.sampleEdit.view.view"), 0);
    EXPECT_EQ(samples->SentTo("com.utility.command.pcModeRequest"), (std::vector<TavBytes>{{1}, {0}}));
    Editor().RemoveWaveView(&view);
}

TEST_F(SampleEditor, SamplesChosenOnTheDeviceAndRenamedByTheUserReachTheCatalog) {
    const auto receive = [&](TavBytes select) {
        system.MidiManager().Input(0)->Receive(
            samples->DataSet(samples->At("com.utility.sampleEdit.select.sampleSelect"), select));
    };
    receive({2, 0, 10}); // stereo: the right half is 11
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberL"), 10);
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberR"), 11);
    for (TavBytes ignored : {TavBytes{4, 0, 12}, TavBytes{2, 0, 99}, TavBytes{3, 0, 12}})
        receive(ignored);
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberL"), 10);
    receive({2, 0, 60});
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberL"), 60);
    EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberR"), 11);

    const int32_t mark = Raw("vs.multisampleEdit.sampleEntityInformationModifyMark");
    Buffers().WriteText(Value("com.utility.sample.sampleCommon.sampleName"), "Snare Two");
    EXPECT_EQ(accessor.Entities().InformationOf({TavEntityType::Sample, 0, 0, 60}).Name(), "Snare Two       ");
    EXPECT_EQ(accessor.Entities().InformationOf({TavEntityType::Patch, 3, 0, 59}).Name(), "Snare Two       ");
    EXPECT_EQ(Raw("vs.multisampleEdit.sampleEntityInformationModifyMark"), mark);
    const auto& pending = Buffers().PendingChanges();
    EXPECT_NE(std::find(pending.begin(), pending.end(), &Value("vs.multisampleEdit.sampleEntityInformationModifyMark")),
              pending.end());
}

} // namespace

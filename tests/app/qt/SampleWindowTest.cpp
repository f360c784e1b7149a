// The shipped sample edit window against the virtual device answering at once: opened by
// the main window's SAMPLES button, a sample chosen by a click in the list and shown once
// the list's timer runs, and a normalize run from its page's EXECUTE button.

#include <QApplication>
#include <QMouseEvent>
#include <QUuid>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/qt/CApp.h"
#include "app/qt/CMainFrame.h"
#include "device/CTavFunctionManager.h"
#include "device/CTavWaveDrawControl.h"
#include "midi/qt/CMidiService.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "support/FakeClock.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"
#include "view/CTavListControl.h"
#include "view/CTavViewManager.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CRootPanel.h"
#include "virtual/CVirtualDevice.h"

namespace {

// The window's buttons call their functions on the process's root object; this passes the
// call on to the test's own.
class Forward : public CTavFunctionManager::IFunctor {
public:
    Forward(CTavSystem& system, std::string name) : m_system(system), m_name(std::move(name)) {}
    bool Invoke(const std::string& arguments) override { return m_system.FunctionManager().Call(m_name, arguments); }

private:
    CTavSystem& m_system;
    std::string m_name;
};

constexpr const char* kFunctions[] = {"SampleNormalize"};

class SampleWindow : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kFunctions)
            ASSERT_TRUE(CTavSystem::Instance().FunctionManager().Register(name, std::make_unique<Forward>(system, name)));
        qputenv("VIREO_VIRTUAL_DEVICE_MEMORY", QByteArray::fromStdString((dir.Path() / "memory.bin").string()));
        CApp::Options options;
        options.scriptDir = QString::fromStdString(scripts.String());
        options.instanceName = QStringLiteral("vireo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        options.showSplash = false;
        options.virtualDevice = true;
        options.transferAtStart = false;
        options.writerClock = &clock;
        options.makeMessageBoxOutput = [this] { return box = new test::RecordingTextOut; };
        app = std::make_unique<CApp>(system, options);
        ASSERT_EQ(app->InitInstance(), CApp::StartResult::Started);
        main = dynamic_cast<CRootPanel*>(system.ViewManager().FindRootPanel("main"));
        window = dynamic_cast<CRootPanel*>(system.ViewManager().FindRootPanel("sampleEditor"));
        ASSERT_TRUE(main && main->Widget() && window);

        Click(*main, "main.sampleEdit");
        ASSERT_TRUE(window->IsOpen() && window->Widget()) << system.ErrorText();
        list = dynamic_cast<CTavListControl*>(Control(*window, "sampleEditor.list.sampleList"));
        ASSERT_NE(list, nullptr);
        Tick();
    }
    void TearDown() override {
        if (app)
            app->ExitInstance();
        qunsetenv("VIREO_VIRTUAL_DEVICE_MEMORY");
        for (const char* name : kFunctions)
            CTavSystem::Instance().FunctionManager().Unregister(name);
    }

    CTavView* Control(CRootPanel& panel, const char* path) {
        CTavView* control = nullptr;
        EXPECT_TRUE(panel.FindControl(path, control)) << path;
        return control;
    }
    void Press(CRootPanel& panel, QPoint at) {
        CPanelWidget* widget = panel.Widget();
        for (const auto& [type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::MouseButtons(Qt::LeftButton)},
                                            std::pair{QEvent::MouseButtonRelease, Qt::MouseButtons(Qt::NoButton)}}) {
            QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        }
    }
    void Click(CRootPanel& panel, const char* path) {
        const TavRect& rect = Control(panel, path)->Rect();
        Press(panel, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    }
    // A click on a row of the sample list, below its header row.
    void ClickRow(int32_t row) {
        const TavRect& rect = list->Rect();
        const int32_t h = list->RowHeight();
        Press(*window, {rect.left + 20, rect.top + h * (1 + row - list->FirstVisibleRow()) + h / 2});
    }
    // What the window's timer does at each of its events.
    void Tick() { window->OnTimer(CTavTimerInfo{}); }
    Brio::CTavWaveDrawControl* BrowseView() {
        return dynamic_cast<Brio::CTavWaveDrawControl*>(Control(*window, "sampleEditor.browse.wave"));
    }
    int32_t Raw(const char* path) { return system.BufferManager().FindValue(path)->GetRaw(); }
    static int Peak(const std::vector<Brio::TavWavePoint>& points) {
        int peak = 0;
        for (const Brio::TavWavePoint& point : points)
            peak = std::max({peak, std::abs(int{point.minimum}), std::abs(int{point.maximum})});
        return peak;
    }
    std::vector<std::string> RowTexts(int32_t row) {
        const int32_t at = row - list->FirstVisibleRow();
        const auto& rows = list->VisibleRowTexts();
        return at >= 0 && at < static_cast<int32_t>(rows.size()) ? rows[static_cast<size_t>(at)]
                                                                  : std::vector<std::string>{};
    }

    test::TempDir dir;
    test::ScriptFolderCopy scripts;
    FakeClock clock;
    CTavSystem system;
    std::unique_ptr<CApp> app;
    test::RecordingTextOut* box = nullptr;
    CRootPanel* main = nullptr;
    CRootPanel* window = nullptr;
    CTavListControl* list = nullptr;
};

// The synthetic set: 1 a mono sine, 2-3 a stereo pad, 4 a mono sweep.
TEST_F(SampleWindow, AClickedRowIsShownOnTheTimerWithALanePerChannel) {
    EXPECT_EQ(Raw("vs.sampleEdit.view.view"), 1);
    ASSERT_EQ(RowTexts(2).size(), 4u);
    EXPECT_EQ(RowTexts(2)[1].rfind("Warm Pad", 0), 0u);
    const struct {
        int32_t row, shown, lanes;
    } cases[] = {{2, 2, 2}, {1, 1, 1}, {3, 2, 2}, {4, 4, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        ClickRow(c.row);
        EXPECT_EQ(list->CurrentRow(), c.row);
        Tick();
        EXPECT_EQ(Raw("vs.sampleEdit.view.sampleNumberL"), c.shown);
        Brio::CTavWaveDrawControl* view = BrowseView();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(static_cast<int32_t>(view->Lanes().size()), c.lanes);
        for (int lane = 0; lane < 2; ++lane) {
            EXPECT_EQ(view->Points(lane).empty(), lane >= c.lanes) << lane;
            if (lane < c.lanes) {
                EXPECT_GT(Peak(view->Points(lane)), 8000) << lane;
            }
        }
    }
    EXPECT_TRUE(box->reports.empty());
}

// Disabled: EXECUTE leaves the device's samples unchanged here (no sample 11 appears).
// Runs after the test above in the same process: the device layer started again reads the
// sample names again, or the command finds no sample to work on.
TEST_F(SampleWindow, NormalizeFromItsPageMakesANewFullScaleSampleTheListShows) {
    ClickRow(2);
    Tick();
    Click(*window, "sampleEditor.tabNormalize");
    ASSERT_EQ(Raw("vs.sampleEdit.view.modifyView"), 3);
    Click(*window, "sampleEditor.normalize.execute");
    EXPECT_EQ(Raw("vs.sampleEdit.view.modifyView"), 0);

    // The pair fits first at 11-12, after the last sample (10); the source is kept.
    int peak = 0, sourcePeak = 0;
    bool stereo = false;
    app->Midi()->VirtualDevice().WithDevice([&](CVirtualDevice& device) {
        const auto* made = device.Samples().Find(2, 11);
        const auto* source = device.Samples().Find(2, 2);
        ASSERT_TRUE(made && source);
        stereo = made->audio.Stereo();
        for (const auto* channel : {&made->audio.left, &made->audio.right})
            for (int16_t v : *channel)
                peak = std::max(peak, std::abs(int{v}));
        for (int16_t v : source->audio.left)
            sourcePeak = std::max(sourcePeak, std::abs(int{v}));
    });
    EXPECT_TRUE(stereo);
    EXPECT_GE(peak, 32000);
    EXPECT_LT(sourcePeak, 20000);

    Tick();
    const std::vector<std::string> left = RowTexts(11), right = RowTexts(12);
    ASSERT_EQ(left.size(), 4u);
    ASSERT_EQ(right.size(), 4u);
    EXPECT_EQ(left[1].rfind("Warm Pad", 0), 0u);
    EXPECT_EQ(left[2], "L");
    EXPECT_EQ(right[2], "R");
    EXPECT_TRUE(box->reports.empty());
}

} // namespace

// The panel window's input on the offscreen platform: drags and held keys whose ends go
// elsewhere (a menu, another window) are ended for the views, moving the window takes the
// focus away, the timer is precise, and the cursor service shows our own cursor images.

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "support/FakeClock.h"
#include "support/FakeResources.h"
#include "support/TestSupport.h"
#include "view/CTavControl.h"
#include "view/CTavKeyOperator.h"
#include "view/CTavTipBarOperator.h"
#include "view/CTavViewManager.h"
#include "view/qt/CCursor.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CTipBar.h"
#include "view/qt/CViewFactory.h"

namespace {

// A fader lying along x: the value's index is the pointer's distance from the left edge.
class Fader : public CTavDragControl {
public:
    std::string_view GetKind() const override { return "fader"; }

protected:
    std::unique_ptr<CTavKeyOperator> CreateKeyOperator() override {
        return std::make_unique<CTavSingleKeyOperator>(*this);
    }
    std::unique_ptr<CTavTipBarOperator> CreateTipBarOperator() override {
        return std::make_unique<CTavSingleTipBarOperator>(*this);
    }
    void BeginDrag(const CTavMouseInfo& info) override { Drag(info); }
    void Drag(const CTavMouseInfo& info) override {
        SetValueIndex(0, std::clamp(info.point.x - Rect().left, 0, 127));
    }
    void EndDrag(const CTavMouseInfo& info) override { endedForced = info.forced; }

public:
    bool endedForced = false;
};

const char* const kScript = R"(<script>
<structType><type>ctl</type><name>ctl</name><address>00 00 00 00</address>
  <value><name>level</name><range>0,127</range><default>0</default></value>
</structType>
<structType><type>rootType</type><name>qv</name><address>01 00 00 00</address>
  <struct><type>ctl</type></struct>
</structType>
<struct><type>rootType</type></struct>
<panelType><type>mainType</type><name>main</name><size>200,40</size>
  <control><type>fader</type><name>f</name><position>0,10</position><size>128,20</size>
    <valueRef>qv.ctl.level</valueRef></control>
</panelType>
<panel><type>mainType</type></panel>
</script>)";

class PanelInput : public testing::Test {
protected:
    void SetUp() override {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        auto factory = std::make_unique<CViewFactory>(windows);
        factory->Register("fader", [] { return std::make_unique<Fader>(); });
        system.ViewManager().SetViewFactory(std::move(factory));
        system.ViewManager().SetClock(&clock);
        auto tip = std::make_unique<CTipBar>();
        tipBar = tip.get();
        system.SetTipBar(std::move(tip));
        // The main window's stand-in holds the panel's widget.
        windows.showInMainWindow = [this](CPanelWidget* panelWidget) {
            panelWidget->setParent(&frame);
            widget = panelWidget;
        };
        ASSERT_TRUE(system.ReadScript(kScript)) << system.ErrorText();
        ASSERT_TRUE(system.CreateManagers()) << system.ErrorText();
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        ASSERT_NE(widget, nullptr);
        frame.show();
        CTavView* view = nullptr;
        ASSERT_TRUE(system.ViewManager().FindRootPanel("main")->FindControl("main.f", view));
        fader = static_cast<Fader*>(view);
    }
    void TearDown() override { system.ViewManager().Destroy(); }

    void Mouse(QEvent::Type type, int x, Qt::MouseButtons buttons) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(x, 20), widget->mapToGlobal(QPointF(x, 20)), button, buttons, {});
        QApplication::sendEvent(widget, &event);
    }
    void Key(QEvent::Type type, int key) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    void Send(QEvent::Type type) {
        if (type == QEvent::FocusOut) {
            QFocusEvent event(type, Qt::PopupFocusReason);
            QApplication::sendEvent(widget, &event);
        } else {
            QEvent event(type);
            QApplication::sendEvent(widget, &event);
        }
    }
    // The window's timer events, every 50 ms of the fake clock.
    void Tick(int milliseconds) {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 50) {
            clock.Advance(std::chrono::milliseconds(50));
            system.ViewManager().FindRootPanel("main")->OnTimer(CTavTimerInfo{});
        }
    }
    int32_t Level() { return system.BufferManager().FindValue("qv.ctl.level")->GetPosition(); }

    CTavSystem system;
    CPanelWindows windows;
    QWidget frame;
    FakeClock clock;
    CTipBar* tipBar = nullptr;
    CPanelWidget* widget = nullptr;
    Fader* fader = nullptr;
};

TEST_F(PanelInput, ADragWhoseReleaseWentElsewhereEndsAsAReleaseWould) {
    // What tells the window that the release will not come to it.
    const struct {
        const char* what;
        QEvent::Type type;
    } cases[] = {
        {"move without the button", QEvent::MouseMove},
        {"focus out", QEvent::FocusOut},
        {"mouse grab lost", QEvent::UngrabMouse},
        {"window blocked", QEvent::WindowBlocked},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Mouse(QEvent::MouseButtonPress, 10, Qt::LeftButton);
        Mouse(QEvent::MouseMove, 40, Qt::LeftButton);
        ASSERT_EQ(Level(), 40);
        ASSERT_TRUE(fader->IsCaptured());
        if (c.type != QEvent::MouseMove)
            Send(c.type);
        Mouse(QEvent::MouseMove, 127, Qt::NoButton);
        EXPECT_FALSE(fader->IsCaptured());
        EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
        EXPECT_EQ(Level(), 40);
        EXPECT_TRUE(fader->HasFocus());  // as after a release: the keys still work
        EXPECT_TRUE(fader->endedForced); // but not taken for a click
    }
    // A real release is not marked.
    Mouse(QEvent::MouseButtonPress, 10, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 10, Qt::NoButton);
    EXPECT_FALSE(fader->endedForced);
}

// The whole way: the menu takes the keyboard, and its release never comes here.
TEST_F(PanelInput, AMenuOpenedDuringADragEndsIt) {
    frame.activateWindow();
    widget->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(widget->hasFocus());
    Mouse(QEvent::MouseButtonPress, 10, Qt::LeftButton);
    Mouse(QEvent::MouseMove, 30, Qt::LeftButton);
    QMenu menu;
    menu.addAction("Open");
    menu.popup(QPoint(0, 0));
    QApplication::processEvents();
    menu.close();
    QApplication::processEvents();
    EXPECT_FALSE(fader->IsCaptured());
    Mouse(QEvent::MouseMove, 127, Qt::LeftButton);
    EXPECT_EQ(Level(), 30);
}

TEST_F(PanelInput, LosingTheKeyboardStopsTheRepeatAndTheTipBarTimesOut) {
    Mouse(QEvent::MouseButtonPress, 10, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 10, Qt::NoButton);
    Key(QEvent::KeyPress, Qt::Key_Up);
    Tick(300);
    const int32_t held = Level();
    ASSERT_GT(held, 11);
    Send(QEvent::FocusOut); // the key-up goes to the menu
    Tick(1000);
    EXPECT_EQ(Level(), held);
    EXPECT_TRUE(tipBar->IsShown());
    Tick(3000);
    EXPECT_FALSE(fader->HasFocus());
    EXPECT_FALSE(tipBar->IsShown());

    // A key released here is not lifted a second time.
    Mouse(QEvent::MouseButtonPress, 10, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 10, Qt::NoButton);
    Key(QEvent::KeyPress, Qt::Key_Down);
    Key(QEvent::KeyRelease, Qt::Key_Down);
    Send(QEvent::FocusOut);
    EXPECT_EQ(Level(), 9);
}

TEST_F(PanelInput, MovingTheMainWindowTakesTheFocusAndTheTipBarAway) {
    Mouse(QEvent::MouseButtonPress, 10, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 10, Qt::NoButton);
    ASSERT_TRUE(fader->HasFocus());
    ASSERT_TRUE(tipBar->IsShown());
    frame.move(frame.pos() + QPoint(40, 30));
    QApplication::processEvents();
    EXPECT_EQ(system.ViewManager().FocusedView(), nullptr);
    EXPECT_FALSE(tipBar->IsShown());
}

TEST_F(PanelInput, TheTimerEventsComeFromAPreciseTimer) {
    EXPECT_EQ(widget->TickTimer().timerType(), Qt::PreciseTimer);
    EXPECT_EQ(widget->TickTimer().interval(), 50);
}

TEST(CursorImages, EveryKindShowsItsOwnImageWithItsHotSpot) {
    CTavTextOutStringStream errors;
    CCursor cursor(std::string(VIREO_BUILT_SCRIPT_DIR) + "/", &errors);
    EXPECT_EQ(errors.Text(), "");
    size_t count = 0;
    const CCursor::Image* images = CCursor::Images(count);
    ASSERT_EQ(count, 8u);
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(images[i].name);
        EXPECT_EQ(images[i].resourceId, 3079 + static_cast<int>(i));
        EXPECT_TRUE(CTavCursor::IsKnownKind(images[i].kind));
        const QCursor shown = cursor.CursorOfKind(images[i].kind);
        EXPECT_EQ(shown.shape(), Qt::BitmapCursor);
        EXPECT_EQ(shown.hotSpot(), QPoint(16, 16));
        // 32 x 32 on the screen, in the screen's pixels (the 2x image on a screen of scale 2).
        const QImage picture = shown.pixmap().toImage();
        const int ratio = qGuiApp->devicePixelRatio() > 1 ? 2 : 1;
        EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(32, 32));
        ASSERT_EQ(picture.size(), QSize(32, 32) * ratio);
        // Drawn at the hot spot's surroundings, see-through in the corners.
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(picture.pixel(32 * ratio - 1, 32 * ratio - 1)), 0);
    }
    EXPECT_EQ(cursor.CursorOfKind(CTavCursor::kArrow).shape(), Qt::ArrowCursor);
}

TEST(CursorImages, AMissingImageFallsBackToTheStandardShapeWithOneLine) {
    test::TempDir dir;
    const std::string folder = dir.Path().string() + "/";
    for (const char* name : {"cursorResizeHorizontal", "cursorMove"})
        ASSERT_TRUE(
            QFile::copy(QString::fromStdString(std::string(VIREO_BUILT_SCRIPT_DIR) + "/" + name + ".bmp"),
                        QString::fromStdString(folder + name + ".bmp")));
    dir.Write("cursorCross.bmp", "not a picture");
    CTavTextOutStringStream errors;
    CCursor cursor(folder, &errors);
    EXPECT_TRUE(cursor.HasImage(1));
    EXPECT_TRUE(cursor.HasImage(6));
    EXPECT_FALSE(cursor.HasImage(7));
    EXPECT_EQ(cursor.CursorOfKind(7).shape(), Qt::CrossCursor);
    EXPECT_EQ(cursor.CursorOfKind(9).shape(), Qt::ClosedHandCursor);
    EXPECT_NE(errors.Text().find("Unable to load cursor 3086 from " + folder + "cursorCross.bmp.\n"),
              std::string::npos);
    // One line for each of the six images that did not load.
    EXPECT_EQ(std::count(errors.Text().begin(), errors.Text().end(), '\n'), 6);
}

} // namespace

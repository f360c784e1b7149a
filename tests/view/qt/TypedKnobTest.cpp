// Knobs and sliders with the editor's in-place edit box on the offscreen platform: a
// double-click or Return opens a box of the panel's font over the control with the value
// selected, Enter writes what was typed, Escape leaves the value.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "support/FakeResources.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CPopupEdit.h"
#include "view/qt/CViewFactory.h"
#include "view/qt/CWindowList.h"

namespace {

const char* const kScript = R"(<script>
<bitmap><name>knob</name><stateCount>32</stateCount></bitmap>
<bitmap><name>thumb</name></bitmap>
<stringTable><name>modes</name><table>Mono, Poly, Legato</table></stringTable>
<structType><type>ctl</type><name>ctl</name><address>00 00 00 00</address>
  <value><name>level</name><range>0,127</range><default>64</default></value>
  <value><name>mode</name><range>0,2</range><default>0</default></value>
  <value><name>wide</name><range>0,100</range><default>50</default></value>
</structType>
<structType><type>rootType</type><name>qv</name><address>01 00 00 00</address>
  <struct><type>ctl</type></struct>
</structType>
<struct><type>rootType</type></struct>
<panelType><type>mainType</type><name>main</name><size>300,160</size>
  <control><type>knob</type><name>k</name><position>10,10</position><bitmapRef>knob</bitmapRef>
    <offsetValue>1</offsetValue><valueRef>qv.ctl.level</valueRef></control>
  <control><type>knob</type><name>m</name><position>40,10</position><bitmapRef>knob</bitmapRef>
    <stringTableRef>modes</stringTableRef><valueRef>qv.ctl.mode</valueRef></control>
  <control><type>slider</type><name>s</name><position>100,10</position><size>30,120</size>
    <bitmapRef>thumb</bitmapRef><valueRef>qv.ctl.wide</valueRef></control>
</panelType>
<panel><type>mainType</type></panel>
</script>)";

class TypedKnob : public testing::Test {
protected:
    void SetUp() override {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.ViewManager().SetViewFactory(std::make_unique<CViewFactory>(windows));
        windows.showInMainWindow = [this](CPanelWidget* panelWidget) {
            panelWidget->setParent(&frame);
            widget = panelWidget;
        };
        ASSERT_TRUE(system.ReadScript(kScript)) << system.ErrorText();
        ASSERT_TRUE(system.CreateManagers()) << system.ErrorText();
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        ASSERT_NE(widget, nullptr);
        QFont font = widget->font();
        font.setPixelSize(13);
        widget->setFont(font);
        frame.move(200, 150);
        frame.show();
    }
    void TearDown() override { system.ViewManager().Destroy(); }

    void Mouse(QEvent::Type type, QPoint at) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QApplication::sendEvent(widget, &event);
    }
    void Click(QPoint at) {
        Mouse(QEvent::MouseButtonPress, at);
        Mouse(QEvent::MouseButtonRelease, at);
    }
    void DoubleClick(QPoint at) {
        Click(at);
        Mouse(QEvent::MouseButtonDblClick, at);
        Mouse(QEvent::MouseButtonRelease, at);
    }
    static void Key(QWidget* target, int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }
    // Does what should open the box and, once it is open, lets the test act on it.
    // Returns whether a box opened.
    bool WithBox(const std::function<void()>& open, const std::function<void(CPopupEdit&)>& act) {
        bool opened = false;
        // A timer of its own, so that it goes with the call when no box opened.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<CPopupEdit*>(QApplication::activeModalWidget())) {
                opened = true;
                act(*box);
            }
        });
        timer.start(0);
        open();
        return opened;
    }
    int32_t Raw(const char* path) { return system.BufferManager().FindValue(path)->GetRaw(); }
    QRect Global(const QRect& rect) const { return {widget->mapToGlobal(rect.topLeft()), rect.size()}; }

    CTavSystem system;
    CPanelWindows windows;
    QWidget frame;
    CPanelWidget* widget = nullptr;
};

TEST_F(TypedKnob, DoubleClickTypeAndEnterWritesTheValue) {
    ASSERT_TRUE(WithBox(
        [&] {
            DoubleClick({20, 15});
        },
        [&](CPopupEdit& box) {
            EXPECT_EQ(box.LineEdit().text(), "65");
            EXPECT_EQ(box.LineEdit().selectedText(), "65");
            EXPECT_EQ(box.LineEdit().font().pixelSize(), 13);
            // 48 pixels wide, centred on the 20-pixel knob.
            EXPECT_EQ(box.width(), 48);
            EXPECT_EQ(box.geometry().center().x(), Global(QRect(10, 10, 20, 20)).center().x());
            EXPECT_TRUE(windows.windows.HasModal());
            box.LineEdit().setText("100");
            Key(&box.LineEdit(), Qt::Key_Return);
        }));
    EXPECT_EQ(Raw("qv.ctl.level"), 99);
    EXPECT_FALSE(windows.windows.HasModal());
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
    // Nothing drags after the box: a move with the button up leaves the value.
    Mouse(QEvent::MouseMove, {12, 20});
    EXPECT_EQ(Raw("qv.ctl.level"), 99);
}

TEST_F(TypedKnob, EscapeAndUnreadableTextLeaveTheValue) {
    const struct {
        int key;
        QString typed;
    } cases[] = {{Qt::Key_Escape, "100"}, {Qt::Key_Return, "loud"}, {Qt::Key_Return, ""}};
    for (const auto& c : cases) {
        ASSERT_TRUE(WithBox(
            [&] {
                DoubleClick({20, 15});
            },
            [&](CPopupEdit& box) {
                box.LineEdit().setText(c.typed);
                Key(&box.LineEdit(), c.key);
            }))
            << c.typed.toStdString();
        EXPECT_EQ(Raw("qv.ctl.level"), 64) << c.typed.toStdString();
        EXPECT_FALSE(windows.windows.HasModal());
    }
}

TEST_F(TypedKnob, ReturnOnAFocusedControlOpensTheBox) {
    // Without the focus Return opens nothing.
    EXPECT_FALSE(WithBox([&] { Key(widget, Qt::Key_Return); }, [](CPopupEdit& box) { box.reject(); }));

    const struct {
        QPoint click;
        const char* path;
        QString shown;
        QString typed;
        int32_t raw;
    } cases[] = {
        {{50, 15}, "qv.ctl.mode", "Mono", "legato", 2},
        {{115, 70}, "qv.ctl.wide", "50", "7", 7}, // on the slider's knob: held, not moved
    };
    for (const auto& c : cases) {
        Click(c.click); // takes the focus
        ASSERT_TRUE(WithBox([&] { Key(widget, Qt::Key_Return); },
                            [&](CPopupEdit& box) {
                                EXPECT_EQ(box.LineEdit().text(), c.shown);
                                box.LineEdit().setText(c.typed);
                                Key(&box.LineEdit(), Qt::Key_Return);
                            }))
            << c.path;
        EXPECT_EQ(Raw(c.path), c.raw) << c.path;
    }
    // The tall slider's box is one line, centred on it.
    Click({115, 50});
    ASSERT_TRUE(WithBox([&] { Key(widget, Qt::Key_Return); },
                        [&](CPopupEdit& box) {
                            EXPECT_LT(box.height(), 60);
                            EXPECT_NEAR(box.geometry().center().y(),
                                        Global(QRect(100, 10, 30, 120)).center().y(), 1);
                            Key(&box.LineEdit(), Qt::Key_Escape);
                        }));
}

} // namespace

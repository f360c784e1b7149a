// The edit controls with the editor's in-place edit box on the offscreen platform: a
// click opens the box over the text with the text selected, Enter writes what was typed,
// Escape leaves the value, and the panel below takes no keys while the box is open. The
// combo opens the editor's popup menu the same way.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "script/qt/CResourceFactory.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CPopEditControl.h"
#include "view/qt/CPopupEdit.h"
#include "view/qt/CPopupMenu.h"
#include "view/qt/CViewFactory.h"
#include "view/qt/CWindowList.h"

namespace {

// An edit that counts the keys the panel hands it.
class CountingEdit : public CPopEditControl<CTavPopEditControl> {
public:
    bool OnKey(const CTavKeyInfo& info) override {
        ++keys;
        return CPopEditControl<CTavPopEditControl>::OnKey(info);
    }
    int keys = 0;
};

const char* const kScript = R"(<script>
<textWriter><name>big</name><fontHeight>17</fontHeight></textWriter>
<stringTable><name>modes</name><table>Mono, Poly, Legato</table></stringTable>
<structType><type>ctl</type><name>ctl</name><address>00 00 00 00</address>
  <value><name>level</name><range>0,127</range><default>64</default></value>
  <value><name>mode</name><range>0,2</range><default>0</default></value>
  <value><type>string</type><name>name</name><size>06</size><default>INIT</default></value>
  <value><type>int2x7</type><name>rate</name><range>0,1000</range><default>125</default></value>
</structType>
<structType><type>rootType</type><name>qv</name><address>01 00 00 00</address>
  <struct><type>ctl</type></struct>
</structType>
<struct><type>rootType</type></struct>
<panelType><type>mainType</type><name>main</name><size>300,120</size>
  <control><type>edit</type><name>e</name><position>10,10</position><size>80,20</size>
    <textWriterRef>big</textWriterRef><textPosition>5,0</textPosition><textSize>70,20</textSize>
    <offsetValue>1</offsetValue><valueRef>qv.ctl.level</valueRef></control>
  <control><type>edit</type><name>m</name><position>10,40</position><size>80,20</size>
    <textWriterRef>big</textWriterRef><textPosition>0,0</textPosition><textSize>80,20</textSize>
    <stringTableRef>modes</stringTableRef><valueRef>qv.ctl.mode</valueRef></control>
  <control><type>edit</type><name>n</name><position>10,70</position><size>80,20</size>
    <textWriterRef>big</textWriterRef><textPosition>0,0</textPosition><textSize>80,20</textSize>
    <valueRef>qv.ctl.name</valueRef></control>
  <control><type>editDouble</type><name>d</name><position>100,10</position><size>80,20</size>
    <textWriterRef>big</textWriterRef><textPosition>0,0</textPosition><textSize>80,20</textSize>
    <precision>1</precision><divisionValue>10</divisionValue><valueRef>qv.ctl.rate</valueRef></control>
  <control><type>combo</type><name>c</name><position>100,40</position><size>80,20</size>
    <textWriterRef>big</textWriterRef><stringTableRef>modes</stringTableRef><valueRef>qv.ctl.mode</valueRef></control>
</panelType>
<panel><type>mainType</type></panel>
</script>)";

class PopupEdit : public testing::Test {
protected:
    void SetUp() override {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        system.SetResourceFactory(std::make_unique<CResourceFactory>());
        auto factory = std::make_unique<CViewFactory>(windows);
        factory->Register("edit", [] { return std::make_unique<CountingEdit>(); });
        system.ViewManager().SetViewFactory(std::move(factory));
        windows.showInMainWindow = [this](CPanelWidget* panelWidget) {
            panelWidget->setParent(&frame);
            widget = panelWidget;
        };
        ASSERT_TRUE(system.ReadScript(kScript)) << system.ErrorText();
        ASSERT_TRUE(system.CreateManagers()) << system.ErrorText();
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        ASSERT_NE(widget, nullptr);
        frame.move(200, 150);
        frame.show();
        CTavView* view = nullptr;
        ASSERT_TRUE(system.ViewManager().FindRootPanel("main")->FindControl("main.e", view));
        edit = dynamic_cast<CountingEdit*>(view);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override { system.ViewManager().Destroy(); }

    void Click(QWidget* target, QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(target, &release);
    }
    static void Key(QWidget* target, int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }
    static void Type(QWidget* target, const QString& text) {
        for (const QChar c : text)
            Key(target, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A, QString(c));
    }
    // Clicks at the point of the panel and, once the box is open, lets the test act on it.
    // Returns whether a box opened.
    bool WithBox(QPoint at, const std::function<void(CPopupEdit&)>& act) {
        bool opened = false;
        QTimer::singleShot(0, widget, [&] {
            auto* box = qobject_cast<CPopupEdit*>(QApplication::activeModalWidget());
            if (!box)
                return;
            opened = true;
            act(*box);
        });
        Click(widget, at);
        return opened;
    }
    int32_t Raw(const char* path) { return system.BufferManager().FindValue(path)->GetRaw(); }

    CTavSystem system;
    CPanelWindows windows;
    QWidget frame;
    CPanelWidget* widget = nullptr;
    CountingEdit* edit = nullptr;
};

TEST_F(PopupEdit, EnterWritesWhatWasTypedOverTheSelectedText) {
    ASSERT_TRUE(WithBox({20, 15}, [&](CPopupEdit& box) {
        EXPECT_EQ(box.LineEdit().text(), "65");
        EXPECT_EQ(box.LineEdit().selectedText(), "65");
        EXPECT_EQ(box.LineEdit().font().pixelSize(), 17);
        EXPECT_EQ(box.geometry().topLeft(), widget->mapToGlobal(QPoint(15, 10)));
        EXPECT_EQ(box.width(), 70);
        EXPECT_TRUE(windows.windows.HasModal());
        EXPECT_FALSE(frame.isEnabled());
        Type(&box.LineEdit(), "100");
        Key(&box.LineEdit(), Qt::Key_Return);
    }));
    EXPECT_EQ(Raw("qv.ctl.level"), 99);
    EXPECT_FALSE(windows.windows.HasModal());
    EXPECT_TRUE(frame.isEnabled());
    EXPECT_FALSE(edit->HasFocus());
    EXPECT_FALSE(edit->IsPressed());
}

TEST_F(PopupEdit, EscapeLeavesTheValueAndKeysForThePanelDoNotReachIt) {
    ASSERT_TRUE(WithBox({20, 15}, [&](CPopupEdit& box) {
        Type(&box.LineEdit(), "5");
        ASSERT_TRUE(edit->HasFocus()); // the edit keeps the focus while its box is open
        Key(widget, Qt::Key_Return);
        Key(widget, Qt::Key_Up);
        EXPECT_EQ(edit->keys, 0);
        EXPECT_EQ(box.LineEdit().text(), "5");
        Key(&box.LineEdit(), Qt::Key_Escape);
    }));
    EXPECT_EQ(Raw("qv.ctl.level"), 64);
    // Once the box has gone, the panel takes keys again.
    edit->SetFocus(true);
    Key(widget, Qt::Key_Escape);
    EXPECT_EQ(edit->keys, 1);
}

// A window system deactivates the box's window while Escape hides it; that must not
// confirm what was typed.
TEST_F(PopupEdit, EscapeStaysACancelWhenHidingTheBoxDeactivatesIt) {
    // Deactivates the box the moment its line edit is hidden or loses the focus.
    struct DeactivateOnHide : QObject {
        QWidget* box = nullptr;
        bool eventFilter(QObject*, QEvent* event) override {
            if (box && (event->type() == QEvent::HideToParent || event->type() == QEvent::FocusOut)) {
                QEvent deactivate(QEvent::WindowDeactivate);
                QApplication::sendEvent(box, &deactivate);
            }
            return false;
        }
    } filter;
    ASSERT_TRUE(WithBox({20, 15}, [&](CPopupEdit& box) {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&box, &activate);
        filter.box = &box;
        box.LineEdit().installEventFilter(&filter);
        Type(&box.LineEdit(), "abc");
        Key(&box.LineEdit(), Qt::Key_Escape);
    }));
    EXPECT_EQ(Raw("qv.ctl.level"), 64);
}

TEST_F(PopupEdit, TheBoxConfirmsWhenAnotherApplicationTakesTheKeyboard) {
    ASSERT_TRUE(WithBox({20, 15}, [&](CPopupEdit& box) {
        Type(&box.LineEdit(), "12");
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&box, &activate);
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&box, &deactivate);
    }));
    EXPECT_EQ(Raw("qv.ctl.level"), 11);
}

TEST_F(PopupEdit, TableEntriesStringsAndQuotientsTypeBackThroughTheBox) {
    const struct {
        QPoint at;
        const char* path;
        QString shown;
        QString typed;
        int32_t raw;
    } cases[] = {
        {{20, 45}, "qv.ctl.mode", "Mono", "Legato", 2},
        {{110, 15}, "qv.ctl.rate", "12.5", "3.14", 31},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WithBox(c.at, [&](CPopupEdit& box) {
            EXPECT_EQ(box.LineEdit().text(), c.shown);
            box.LineEdit().setText(c.typed);
            Key(&box.LineEdit(), Qt::Key_Return);
        })) << c.path;
        EXPECT_EQ(Raw(c.path), c.raw) << c.path;
    }
    // A string value's box holds no more than the value's length; what it holds beyond
    // 7-bit ASCII is written as '?'.
    ASSERT_TRUE(WithBox({20, 75}, [&](CPopupEdit& box) {
        EXPECT_EQ(box.LineEdit().maxLength(), 6);
        box.LineEdit().setText(QString::fromUtf8("Caf\xc3\xa9\tX"));
        Key(&box.LineEdit(), Qt::Key_Return);
    }));
    EXPECT_EQ(system.BufferManager().FindValue("qv.ctl.name")->GetText(), "Caf? X");
}

TEST(PopupEditBox, ABoxWhoseOwnerWindowGoesWhileItRunsEndsCancelled) {
    CWindowList windows;
    auto* owner = new QWidget;
    windows.Add(owner, false);
    owner->show();
    QTimer::singleShot(0, [owner] {
        ASSERT_NE(qobject_cast<CPopupEdit*>(QApplication::activeModalWidget()), nullptr);
        delete owner;
    });
    QString text = "12";
    EXPECT_FALSE(CPopupEdit::Run(&windows, owner, QRect(10, 10, 60, 20), QApplication::font(), text));
    EXPECT_EQ(text, "12");
    EXPECT_FALSE(windows.HasModal());
}

TEST_F(PopupEdit, ComboChoosesFromThePopupMenuWithTheCurrentEntryChecked) {
    auto popup = std::make_unique<CPopupMenu>();
    CPopupMenu* menu = popup.get();
    system.SetPopupMenu(std::move(popup));
    QStringList texts;
    QString checked;
    menu->SetOnShown([&](QMenu& shown) {
        for (QAction* action : shown.actions()) {
            texts << action->text();
            if (action->isChecked())
                checked = action->text();
        }
        // A click on "Legato", as the user would choose it.
        const QPoint at = shown.actionGeometry(shown.actions().at(2)).center();
        Click(&shown, at);
    });
    Click(widget, {110, 45});
    EXPECT_EQ(texts, (QStringList{"Mono", "Poly", "Legato"}));
    EXPECT_EQ(checked, "Mono");
    EXPECT_EQ(Raw("qv.ctl.mode"), 2);
    system.SetPopupMenu(nullptr);
}

} // namespace

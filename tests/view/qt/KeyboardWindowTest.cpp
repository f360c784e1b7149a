// The keyboard in a panel window on the offscreen platform: keys drawn from the bitmap's
// normal and pressed pictures as notes come and go, and a press whose release goes
// elsewhere still turning its note off.

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "midi/CTavMidiStruct.h"
#include "model/CTavBufferManager.h"
#include "script/qt/CResourceFactory.h"
#include "support/RecordingMidiOut.h"
#include "support/TestSupport.h"
#include "view/CTavViewManager.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CViewFactory.h"

namespace {

const char* const kScript = R"(<script>
<midiStruct><name>qvMidi</name></midiStruct>
<bitmap><name>keys</name></bitmap>
<panelType><type>mainType</type><name>main</name><size>140,80</size>
  <control><type>keyboard</type><name>k</name><position>0,0</position><bitmapRef>keys</bitmapRef>
    <physicalKeyRange>36,49</physicalKeyRange><valueRef>qvMidi.ch[0].note</valueRef>
    <cKeyUpsideRectangle>0,0,16,46</cKeyUpsideRectangle><dKeyUpsideRectangle>16,0,32,46</dKeyUpsideRectangle>
    <eKeyUpsideRectangle>32,0,48,46</eKeyUpsideRectangle><fKeyUpsideRectangle>48,0,64,46</fKeyUpsideRectangle>
    <gKeyUpsideRectangle>64,0,80,46</gKeyUpsideRectangle><aKeyUpsideRectangle>80,0,96,46</aKeyUpsideRectangle>
    <bKeyUpsideRectangle>96,0,112,46</bKeyUpsideRectangle>
    <ivoryKeyDownsideRectangle>0,46,16,72</ivoryKeyDownsideRectangle><ebonyKeyRectangle>112,0,122,44</ebonyKeyRectangle>
    <lowestKeyUpsideRectangle>0,0,16,46</lowestKeyUpsideRectangle><lowestKeyDownsideRectangle>0,46,16,72</lowestKeyDownsideRectangle>
    <highestKeyUpsideRectangle>0,0,16,46</highestKeyUpsideRectangle><highestKeyDownsideRectangle>0,46,16,72</highestKeyDownsideRectangle>
    <cKeyUpsideRectanglePressed>0,72,16,118</cKeyUpsideRectanglePressed><dKeyUpsideRectanglePressed>16,72,32,118</dKeyUpsideRectanglePressed>
    <eKeyUpsideRectanglePressed>32,72,48,118</eKeyUpsideRectanglePressed><fKeyUpsideRectanglePressed>48,72,64,118</fKeyUpsideRectanglePressed>
    <gKeyUpsideRectanglePressed>64,72,80,118</gKeyUpsideRectanglePressed><aKeyUpsideRectanglePressed>80,72,96,118</aKeyUpsideRectanglePressed>
    <bKeyUpsideRectanglePressed>96,72,112,118</bKeyUpsideRectanglePressed>
    <ivoryKeyDownsideRectanglePressed>0,118,16,144</ivoryKeyDownsideRectanglePressed><ebonyKeyRectanglePressed>112,72,122,116</ebonyKeyRectanglePressed>
    <lowestKeyUpsideRectanglePressed>0,72,16,118</lowestKeyUpsideRectanglePressed><lowestKeyDownsideRectanglePressed>0,118,16,144</lowestKeyDownsideRectanglePressed>
    <highestKeyUpsideRectanglePressed>0,72,16,118</highestKeyUpsideRectanglePressed><highestKeyDownsideRectanglePressed>0,118,16,144</highestKeyDownsideRectanglePressed>
  </control>
</panelType>
<panel><type>mainType</type></panel>
</script>)";

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kLitWhite = qRgb(255, 0, 0);
constexpr QRgb kLitBlack = qRgb(0, 0, 255);

class KeyboardWindow : public testing::Test {
protected:
    void SetUp() override {
        // White keys over their lit (red) pictures; the black key beside them, lit blue.
        QImage keys(122, 144, QImage::Format_RGB32);
        keys.fill(kWhite);
        QPainter painter(&keys);
        painter.fillRect(0, 72, 112, 72, QColor(kLitWhite));
        painter.fillRect(112, 0, 10, 44, QColor(kBlack));
        painter.fillRect(112, 72, 10, 44, QColor(kLitBlack));
        painter.end();
        ASSERT_TRUE(keys.save(QString::fromStdString((folder.Path() / "keys.bmp").string()), "BMP"));

        system.SetScriptFolder(folder.Path().string() + "/");
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        system.SetResourceFactory(std::make_unique<CResourceFactory>());
        system.ViewManager().SetViewFactory(std::make_unique<CViewFactory>(windows));
        windows.showInMainWindow = [this](CPanelWidget* panelWidget) {
            panelWidget->setParent(&frame);
            widget = panelWidget;
        };
        ASSERT_TRUE(system.ReadScript(kScript)) << system.ErrorText();
        ASSERT_TRUE(system.CreateManagers()) << system.ErrorText();
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        ASSERT_NE(widget, nullptr);
        frame.show();
        midi = dynamic_cast<CTavMidiStruct*>(system.BufferManager().FindMidiStruct("qvMidi"));
        ASSERT_NE(midi, nullptr);
        midi->SetOutput(&out);
    }
    void TearDown() override { system.ViewManager().Destroy(); }

    void Receive(uint8_t status, uint8_t note, uint8_t velocity) {
        ASSERT_TRUE(midi->ReceiveShort(TavPackShort(status, note, velocity)));
        system.BufferManager().PublishPending();
        system.BufferManager().ClearPending();
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, {});
        QApplication::sendEvent(widget, &event);
    }

    test::TempDir folder;
    CTavSystem system;
    CPanelWindows windows;
    QWidget frame;
    CPanelWidget* widget = nullptr;
    CTavMidiStruct* midi = nullptr;
    test::RecordingMidiOut out;
};

TEST_F(KeyboardWindow, NotesThatArriveLightTheirKeysUntilTheyEnd) {
    const QPoint cLower(8, 60), cUpper(4, 10), cSharp(16, 10), dUpper(23, 10), highC(120, 60);
    QImage picture = widget->Render();
    ASSERT_EQ(picture.size(), QSize(140, 80));
    for (const QPoint& at : {cLower, cUpper, dUpper, highC})
        EXPECT_EQ(picture.pixel(at), kWhite) << at.x() << "," << at.y();
    EXPECT_EQ(picture.pixel(cSharp), kBlack);

    Receive(0x90, 36, 90);
    Receive(0x90, 37, 90);
    Receive(0x90, 48, 90);
    picture = widget->Render();
    EXPECT_EQ(picture.pixel(cLower), kLitWhite);
    EXPECT_EQ(picture.pixel(cUpper), kLitWhite);
    EXPECT_EQ(picture.pixel(cSharp), kLitBlack);
    EXPECT_EQ(picture.pixel(dUpper), kWhite);
    EXPECT_EQ(picture.pixel(highC), kLitWhite);

    Receive(0x80, 36, 0);
    Receive(0x90, 37, 0); // a note-on of velocity 0 ends the note too
    picture = widget->Render();
    EXPECT_EQ(picture.pixel(cLower), kWhite);
    EXPECT_EQ(picture.pixel(cSharp), kBlack);
    EXPECT_TRUE(out.shorts.empty()); // received notes are not sent back
}

TEST_F(KeyboardWindow, APressWhoseReleaseWentElsewhereStillEndsItsNote) {
    const struct {
        const char* what;
        QEvent::Type type;
    } cases[] = {
        {"move without the button", QEvent::MouseMove},
        {"focus out", QEvent::FocusOut},
    };
    const QPoint d(24, 60);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        out.shorts.clear();
        Mouse(QEvent::MouseButtonPress, d, Qt::LeftButton);
        EXPECT_EQ(widget->Render().pixel(d), kLitWhite);
        if (c.type == QEvent::FocusOut) {
            QFocusEvent event(c.type, Qt::PopupFocusReason);
            QApplication::sendEvent(widget, &event);
        }
        Mouse(QEvent::MouseMove, QPoint(60, 60), Qt::NoButton);
        EXPECT_EQ(out.shorts, (std::vector<TavShortMessage>{TavPackShort(0x90, 38, 64), TavPackShort(0x80, 38, 64)}));
        EXPECT_EQ(widget->Render().pixel(d), kWhite);
        EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
    }
}

} // namespace

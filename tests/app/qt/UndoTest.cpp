// Undo and redo in the editor on the virtual device: a drag on the shipped main panel
// undone in one step by Ctrl+Z, a Paste from the Edit menu, an Open, each with the device
// following and the menu naming the step.

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/TavCommands.h"
#include "app/qt/CApp.h"
#include "app/qt/CFileCommands.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/CProfiledFileDialog.h"
#include "midi/qt/CMidiService.h"
#include "model/CTavBufferManager.h"
#include "model/CTavEditHistory.h"
#include "model/CTavValue.h"
#include "support/EditorOptions.h"
#include "support/FakeClock.h"
#include "support/RecordingTextOut.h"
#include "support/TestSupport.h"
#include "support/VirtualEditor.h"
#include "view/CTavViewManager.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CRootPanel.h"
#include "virtual/CVirtualDevice.h"

namespace {

class Undo : public test::VirtualEditor {
protected:
    void SetUp() override {
        VirtualEditor::SetUp();
        if (HasFatalFailure())
            return;
        main = Root("main");
        ASSERT_TRUE(main && main->Widget() && app->History());
        app->Files()->ask = [](const QString&) { return 3; }; // No: the changes are not saved
    }
    void TearDown() override {
        CProfiledFileDialog::SetRunner({});
        VirtualEditor::TearDown();
    }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), main->Widget()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(main->Widget(), &event);
    }
    // The bytes the device holds for the value's leaf, and the editor's.
    TavBytes DeviceLeaf(const CTavValue& value) {
        const TavRange range = value.Parent()->AbsoluteRange();
        TavBytes bytes;
        app->Midi()->VirtualDevice().WithDevice([&](CVirtualDevice& device) {
            device.ReadMemory(static_cast<uint32_t>(range.begin), static_cast<size_t>(range.Length()), bytes);
        });
        return bytes;
    }
    static const TavBytes& Leaf(const CTavValue& value) {
        return *static_cast<CTavLeafStruct*>(value.Parent())->Bytes();
    }
    QString MenuText(int id) {
        app->MainFrame()->UpdateCommandStates(); // as the Edit menu opening does
        return app->MainFrame()->Action(id)->text();
    }
    void Trigger(int id) {
        CMainFrame* frame = app->MainFrame();
        frame->UpdateCommandStates();
        QAction* action = frame->Action(id);
        ASSERT_TRUE(action && action->isEnabled()) << id;
        action->trigger();
    }

    CRootPanel* main = nullptr;
};

TEST_F(Undo, ADragOfFortyMovesIsOneStepThatCtrlZTakesBackOnTheDevice) {
    CTavView* slider = nullptr;
    ASSERT_TRUE(main->FindControl("main.mixer.part3.level", slider));
    CTavValue& level = Value("qv.prti.part[2].partLevel");
    const int32_t before = level.GetRaw();
    const TavRect& rect = slider->Rect();
    const QPoint at((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
    for (int move = 1; move <= 40; ++move)
        Mouse(QEvent::MouseMove, at + QPoint(0, move % 2 ? move : -move / 2), Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, at + QPoint(0, 30), Qt::NoButton);
    const int32_t dragged = level.GetRaw();
    ASSERT_NE(dragged, before);
    EXPECT_EQ(app->History()->StepCount(), 1u);
    EXPECT_EQ(MenuText(TavCommands::kUndo), "&Undo Part 3 Level");
    EXPECT_FALSE(app->MainFrame()->Action(TavCommands::kRedo)->isEnabled());

    // Ctrl+Z where the user is: on the panel, with Ctrl held down first.
    QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QApplication::sendEvent(main->Widget(), &ctrl);
    Trigger(TavCommands::kUndo);
    QKeyEvent ctrlUp(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(main->Widget(), &ctrlUp);
    EXPECT_EQ(level.GetRaw(), before);
    EXPECT_EQ(DeviceLeaf(level), Leaf(level));
    EXPECT_EQ(MenuText(TavCommands::kRedo), "&Redo Part 3 Level");
    EXPECT_TRUE(app->MainFrame()->windowTitle().endsWith(" *"));

    Trigger(TavCommands::kRedo);
    EXPECT_EQ(level.GetRaw(), dragged);
    EXPECT_EQ(DeviceLeaf(level), Leaf(level));
    EXPECT_EQ(app->History()->StepCount(), 1u);
}

TEST_F(Undo, KeysHeldDownAreOneStepAndTheValueBeforeThemComesBack) {
    CTavView* slider = nullptr;
    ASSERT_TRUE(main->FindControl("main.mixer.part4.level", slider));
    CTavValue& level = Value("qv.prti.part[3].partLevel");
    const TavRect& rect = slider->Rect();
    // A click on the knob gives the slider the focus and changes nothing.
    const QPoint knob((rect.left + rect.right) / 2, rect.top + 2);
    Mouse(QEvent::MouseButtonPress, knob, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, knob, Qt::NoButton);
    const int32_t before = level.GetRaw();
    const size_t steps = app->History()->StepCount();
    auto key = [this](QEvent::Type type, Qt::Key code) {
        QKeyEvent event(type, code, Qt::NoModifier);
        QApplication::sendEvent(main->Widget(), &event);
    };
    // Down held while Shift comes and goes: one run of keys.
    key(QEvent::KeyPress, Qt::Key_Down);
    key(QEvent::KeyPress, Qt::Key_Shift);
    key(QEvent::KeyRelease, Qt::Key_Shift);
    key(QEvent::KeyPress, Qt::Key_Down);
    key(QEvent::KeyRelease, Qt::Key_Down);
    ASSERT_LT(level.GetRaw(), before);
    EXPECT_EQ(app->History()->StepCount(), steps + 1);
    Trigger(TavCommands::kUndo);
    EXPECT_EQ(level.GetRaw(), before);
}

TEST_F(Undo, PasteIntoPartFiveIsTakenBackWholeOnTheDevice) {
    CTavBufferManager& buffers = system.BufferManager();
    buffers.WriteInteger(Value("qv.prti.part[2].partLevel"), 17);
    buffers.TransmitPending();
    buffers.PublishPending();
    buffers.ClearPending();
    const TavBytes part5 = Leaf(Value("qv.prti.part[4].partLevel"));
    Trigger(32777); // Copy Part Info Part 3
    Trigger(32813); // Paste Part Info Part 5
    ASSERT_EQ(Value("qv.prti.part[4].partLevel").GetRaw(), 17);
    EXPECT_EQ(MenuText(TavCommands::kUndo), "&Undo Paste Part Info Part 5");
    Trigger(TavCommands::kUndo);
    EXPECT_EQ(Leaf(Value("qv.prti.part[4].partLevel")), part5);
    EXPECT_EQ(DeviceLeaf(Value("qv.prti.part[4].partLevel")), part5);
    EXPECT_EQ(MenuText(TavCommands::kUndo), "&Undo Part 3 Level");
}

TEST_F(Undo, OpenIsTakenBackToTheStateBeforeIt) {
    CTavValue& master = Value("qv.system.masterLevel");
    const QString path = QString::fromStdString((dir.Path() / "loud.vro").string());
    CTavBufferManager& buffers = system.BufferManager();
    buffers.WriteInteger(master, 120);
    buffers.TransmitPending();
    buffers.PublishPending();
    buffers.ClearPending();
    CProfiledFileDialog::SetRunner([&](QFileDialog&) { return path; });
    ASSERT_TRUE(app->Files()->SaveAs());
    buffers.WriteInteger(master, 30);
    buffers.TransmitPending();
    buffers.PublishPending();
    buffers.ClearPending();
    Trigger(TavCommands::kOpen);
    ASSERT_EQ(master.GetRaw(), 120);
    EXPECT_EQ(MenuText(TavCommands::kUndo), "&Undo Open");
    Trigger(TavCommands::kUndo);
    EXPECT_EQ(master.GetRaw(), 30);
    EXPECT_EQ(DeviceLeaf(master), Leaf(master));
    // Save changes nothing in the history.
    const size_t steps = app->History()->StepCount();
    ASSERT_TRUE(app->Files()->Save());
    EXPECT_EQ(app->History()->StepCount(), steps);
}

} // namespace

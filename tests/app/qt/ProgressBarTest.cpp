// The progress dialog: its texts by message code, nesting, the owner disabled while it
// runs (through the window list or directly), Cancel where allowed, input for the owner
// dropped, and the owner given back on every way out of an operation.

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/qt/CProgressBar.h"
#include "view/ITavProgress.h"
#include "view/qt/CWindowList.h"

namespace {

TEST(ProgressDialog, ShowsTheTextOfEachMessageCode) {
    const struct {
        int code;
        const char* text;
    } cases[] = {{1, "Now, getting data."},
                 {2, "Now, synchronizing data."},
                 {4, "Updating."},
                 {6, "Reading SMF."},
                 {3, ""},
                 {0, ""},
                 {-1, ""}};
    for (const auto& c : cases) {
        CProgressBar progress;
        progress.Begin(3, c.code, false);
        EXPECT_EQ(progress.Text().toStdString(), c.text) << c.code;
        EXPECT_EQ(progress.Maximum(), 3);
        EXPECT_EQ(progress.Value(), 0);
        EXPECT_FALSE(progress.HasCancelButton());
        progress.Finish();
        EXPECT_FALSE(progress.IsRunning());
    }
}

TEST(ProgressDialog, InnerBeginsJoinTheOpenDialogAndOnlyTheOutermostEndCloses) {
    QWidget owner;
    owner.resize(600, 400);
    owner.show();
    CProgressBar progress(&owner);
    progress.Begin(4, ITavProgress::kGettingData, false);
    QDialog* dialog = progress.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->windowTitle().isNull());
    EXPECT_TRUE(dialog->isVisible());
    progress.Step();

    progress.Begin(10, ITavProgress::kSynchronizing, true); // joins: no second dialog
    EXPECT_EQ(progress.Dialog(), dialog);
    EXPECT_EQ(progress.Depth(), 2);
    EXPECT_EQ(progress.Maximum(), 4);
    EXPECT_FALSE(progress.HasCancelButton());
    progress.SetMessage(ITavProgress::kUpdating); // only at depth 1
    EXPECT_EQ(progress.Text(), "Now, getting data.");
    progress.Step();
    EXPECT_EQ(progress.Value(), 2);
    progress.Finish();
    EXPECT_TRUE(progress.IsRunning());
    EXPECT_FALSE(owner.isEnabled());

    progress.SetMessage(ITavProgress::kUpdating);
    EXPECT_EQ(progress.Text(), "Updating.");
    progress.SetText("Reading.");
    EXPECT_EQ(progress.Text(), "Reading.");
    progress.SetPosition(99); // limited to the range
    EXPECT_EQ(progress.Value(), 4);
    progress.SetPosition(-3);
    EXPECT_EQ(progress.Value(), 0);
    progress.Finish();
    EXPECT_FALSE(progress.IsRunning());
    EXPECT_EQ(progress.Dialog(), nullptr);
    EXPECT_TRUE(owner.isEnabled());
    progress.Finish(); // one end too many changes nothing
    EXPECT_TRUE(owner.isEnabled());
}

TEST(ProgressDialog, DisablesTheTopWindowOfTheWindowListAndCentresOnIt) {
    QWidget main;
    main.setGeometry(100, 100, 800, 500);
    main.show();
    QWidget panel;
    panel.show();
    CWindowList windows;
    windows.Add(&main, false);
    windows.Add(&panel, false);
    CProgressBar progress;
    progress.SetWindowList(&windows);
    progress.Start(5);
    EXPECT_FALSE(main.isEnabled());
    EXPECT_FALSE(panel.isEnabled());
    ASSERT_NE(progress.Dialog(), nullptr);
    EXPECT_TRUE(progress.Dialog()->isEnabled());
    EXPECT_EQ(windows.TopWindow(), progress.Dialog());
    EXPECT_EQ(progress.Owner(), &main);
    const QPoint centre = progress.Dialog()->geometry().center();
    EXPECT_LE((centre - main.frameGeometry().center()).manhattanLength(), 4);
    progress.Finish();
    EXPECT_TRUE(main.isEnabled());
    EXPECT_TRUE(panel.isEnabled());
    EXPECT_EQ(windows.LayerCount(), 1u);
}

TEST(ProgressDialog, CancelIsOfferedOnlyWhereAllowedAndReported) {
    CProgressBar progress;
    progress.Begin(2, ITavProgress::kReadingSmf, true);
    EXPECT_TRUE(progress.HasCancelButton());
    EXPECT_FALSE(progress.Cancelled());
    progress.PressCancel();
    EXPECT_TRUE(progress.Cancelled());
    progress.Finish();
    EXPECT_FALSE(progress.Cancelled());

    progress.Begin(2, ITavProgress::kReadingSmf, false);
    progress.PressCancel(); // no button to press
    EXPECT_FALSE(progress.Cancelled());
    progress.Finish();
}

// A read that fails half-way leaves through the scope, which closes the dialog.
bool FailingRead(ITavProgress* progress, int failAt) {
    CTavProgressScope scope(progress, 8, ITavProgress::kGettingData);
    for (int block = 0; block < 8; ++block) {
        if (block == failAt)
            return false;
        scope.Step();
    }
    return true;
}

TEST(ProgressDialog, AFailedOperationGivesTheOwnerBack) {
    QWidget owner;
    owner.show();
    CWindowList windows;
    windows.Add(&owner, false);
    CProgressBar progress;
    progress.SetWindowList(&windows);
    for (int failAt : {0, 3, 99}) {
        EXPECT_EQ(FailingRead(&progress, failAt), failAt == 99);
        EXPECT_FALSE(progress.IsRunning()) << failAt;
        EXPECT_TRUE(owner.isEnabled()) << failAt;
    }
    EXPECT_TRUE(FailingRead(nullptr, 99)); // no indicator: nothing to open
}

// A click as the window system queues it: handled whenever the event loop gets to it.
void PostClick(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, at, at, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
}

TEST(ProgressDialog, ClicksOnTheOwnerWhileItRunsAreDroppedAndCancelStillWorks) {
    const struct {
        const char* between; // what the operation does after the clicks
        std::function<void(CProgressBar&)> run;
    } cases[] = {
        {"a step", [](CProgressBar& progress) { progress.Step(); }},
        {"a position", [](CProgressBar& progress) { progress.SetPosition(2); }},
        {"asking for Cancel", [](CProgressBar& progress) { progress.Cancelled(); }},
        {"nothing", [](CProgressBar&) {}},
    };
    for (const bool cancelAllowed : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.between) + (cancelAllowed ? ", with Cancel" : ""));
            QWidget owner;
            auto* button = new QPushButton(QStringLiteral("Sync"), &owner);
            button->resize(60, 24);
            owner.show();
            int clicks = 0;
            QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
            CWindowList windows;
            windows.Add(&owner, false);
            CProgressBar progress;
            progress.SetWindowList(&windows);
            progress.Begin(3, ITavProgress::kGettingData, cancelAllowed);
            PostClick(button);
            PostClick(button);
            if (cancelAllowed) {
                auto* cancel = progress.Dialog()->findChild<QPushButton*>();
                ASSERT_NE(cancel, nullptr);
                PostClick(cancel);
            }
            c.run(progress);
            if (cancelAllowed) {
                EXPECT_TRUE(progress.Cancelled());
            }
            progress.Finish();
            QCoreApplication::processEvents();
            EXPECT_EQ(clicks, 0);
            EXPECT_TRUE(owner.isEnabled());
        }
    }
}

TEST(ProgressDialog, EscapeAndCloseCancelWhereAllowedAndNeverCloseTheDialog) {
    for (const bool cancelAllowed : {true, false}) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::Close}) {
            CProgressBar progress;
            progress.Begin(2, ITavProgress::kReadingSmf, cancelAllowed);
            QDialog* dialog = progress.Dialog();
            if (type == QEvent::KeyPress)
                QCoreApplication::postEvent(dialog, new QKeyEvent(type, Qt::Key_Escape, Qt::NoModifier));
            else
                QCoreApplication::postEvent(dialog, new QCloseEvent);
            EXPECT_EQ(progress.Cancelled(), cancelAllowed) << type;
            EXPECT_TRUE(dialog->isVisible()) << type;
            EXPECT_EQ(progress.Dialog(), dialog);
            progress.Finish();
        }
    }
}

TEST(ProgressDialog, OwnerDeletedWhileRunningLeavesNothingDangling) {
    auto* owner = new QWidget;
    owner->show();
    CProgressBar progress(owner);
    progress.Start(3);
    delete owner; // takes the dialog with it
    progress.Step();
    progress.SetMessage(ITavProgress::kUpdating);
    EXPECT_EQ(progress.Value(), -1);
    progress.Finish();
    EXPECT_FALSE(progress.IsRunning());
}

} // namespace

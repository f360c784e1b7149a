// The pump long operations run: user input waiting in the queue is dropped there for every
// window but the one let through, other work still runs, and a box opened from inside the
// pump takes its own input.

#include <QApplication>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "view/qt/CInputGate.h"

namespace {

// Records the type of every event it receives.
class Recorder : public QWidget {
public:
    std::vector<QEvent::Type> received;

protected:
    bool event(QEvent* event) override {
        received.push_back(event->type());
        return QWidget::event(event);
    }
};

using MakeEvent = std::function<QEvent*()>;

const QPointF kAt(5, 5);

std::vector<std::pair<QEvent::Type, MakeEvent>> InputEvents() {
    const auto mouse = [](QEvent::Type type) {
        return [type] {
            return new QMouseEvent(type, kAt, kAt, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        };
    };
    const auto key = [](QEvent::Type type) {
        return [type] { return new QKeyEvent(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")); };
    };
    return {
        {QEvent::MouseButtonPress, mouse(QEvent::MouseButtonPress)},
        {QEvent::MouseButtonRelease, mouse(QEvent::MouseButtonRelease)},
        {QEvent::MouseButtonDblClick, mouse(QEvent::MouseButtonDblClick)},
        {QEvent::MouseMove, mouse(QEvent::MouseMove)},
        {QEvent::KeyPress, key(QEvent::KeyPress)},
        {QEvent::KeyRelease, key(QEvent::KeyRelease)},
        {QEvent::Wheel,
         [] {
             return new QWheelEvent(kAt, kAt, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                    Qt::NoScrollPhase, false);
         }},
        {QEvent::ContextMenu,
         [] { return new QContextMenuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5)); }},
    };
}

bool Holds(const std::vector<QEvent::Type>& types, QEvent::Type type) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

class InputGate : public testing::Test {
protected:
    void SetUp() override {
        outside.resize(50, 50);
        passage.resize(50, 50);
        outside.show();
        passage.show();
        QCoreApplication::processEvents();
        outside.received.clear();
        passage.received.clear();
    }
    void TearDown() override { CInputGate::LetThrough(nullptr); }

    Recorder outside;
    Recorder passage;
};

TEST_F(InputGate, DropsWaitingInputForEveryWindowButTheOneLetThrough) {
    CInputGate::LetThrough(&passage);
    const QEvent::Type kWork = static_cast<QEvent::Type>(QEvent::User + 40);
    for (const auto& [type, make] : InputEvents()) {
        QCoreApplication::postEvent(&outside, make());
        QCoreApplication::postEvent(&passage, make());
    }
    // Work that is no input still runs, and a close the program asks for too.
    QCoreApplication::postEvent(&outside, new QEvent(kWork));
    QCoreApplication::postEvent(&outside, new QCloseEvent);
    for (const auto flags : {QEventLoop::AllEvents, QEventLoop::ExcludeUserInputEvents}) {
        CInputGate::Pump(flags);
        QCoreApplication::processEvents(); // nothing may be left to run afterwards
    }
    for (const auto& [type, make] : InputEvents()) {
        EXPECT_FALSE(Holds(outside.received, type)) << type;
        EXPECT_TRUE(Holds(passage.received, type)) << type;
    }
    EXPECT_TRUE(Holds(outside.received, kWork));
    EXPECT_TRUE(Holds(outside.received, QEvent::Close));
    EXPECT_FALSE(CInputGate::IsPumping());
}

// Without a window let through (a short wait, no progress dialog) a click, keys and the
// wheel wait for the end of the outermost pump and then run in the order they came; what
// Qt makes from them again (context menus) goes.
TEST_F(InputGate, AShortWaitHoldsInputUntilTheOutermostPumpEnds) {
    CInputGate::LetThrough(nullptr);
    const std::vector<QEvent::Type> held = {QEvent::MouseButtonPress,
                                            QEvent::MouseButtonRelease,
                                            QEvent::MouseButtonDblClick,
                                            QEvent::MouseMove,
                                            QEvent::KeyPress,
                                            QEvent::KeyRelease,
                                            QEvent::Wheel};
    for (const auto& [type, make] : InputEvents())
        QCoreApplication::postEvent(&outside, make());
    bool ranInside = true;
    QTimer::singleShot(0, [&] {
        CInputGate::Pump();
        ranInside = !outside.received.empty();
    });
    CInputGate::Pump(QEventLoop::AllEvents);
    EXPECT_FALSE(ranInside);
    EXPECT_TRUE(outside.received.empty());
    QCoreApplication::processEvents();
    std::vector<QEvent::Type> inputs;
    for (QEvent::Type type : outside.received)
        if (type != QEvent::UpdateRequest && type != QEvent::Paint && type != QEvent::ShortcutOverride)
            inputs.push_back(type);
    EXPECT_EQ(inputs, held);
}

// Runs an event loop of its own when told, as a message box does.
class Box : public QObject {
public:
    std::function<void()> whileOpen;
    bool pumpingInside = false;

protected:
    void customEvent(QEvent*) override {
        pumpingInside = CInputGate::IsPumping();
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        whileOpen();
        loop.exec();
    }
};

TEST_F(InputGate, ABoxOpenedFromThePumpTakesItsOwnInput) {
    QPushButton button(QStringLiteral("OK"));
    button.resize(40, 20);
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    Box box;
    box.whileOpen = [&] {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                &button, new QMouseEvent(type, kAt, kAt, Qt::LeftButton,
                                         type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                         Qt::NoModifier));
    };
    QCoreApplication::postEvent(&box, new QEvent(static_cast<QEvent::Type>(QEvent::User + 41)));
    CInputGate::Pump();
    EXPECT_TRUE(box.pumpingInside);
    EXPECT_EQ(clicks, 1);
}

} // namespace

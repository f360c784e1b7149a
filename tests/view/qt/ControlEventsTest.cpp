// Qt events turned into the view tree's records, the tip bar window and the cursor
// service, on the offscreen platform.

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "view/CTavView.h"
#include "view/qt/CCursor.h"
#include "view/qt/CTipBar.h"
#include "view/qt/TavQtEvents.h"

namespace {

bool MouseInfo(QEvent::Type type, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
               CTavMouseInfo& info) {
    const QPointF at(12.0, 34.0);
    const QMouseEvent event(type, at, at, button, button, modifiers);
    return TavMouseInfoFromQt(event, info);
}

} // namespace

TEST(ControlEvents, LeftClicksCarryShiftAndCtrlAsBitsOtherButtonsAreDropped) {
    CTavMouseInfo info;
    ASSERT_TRUE(MouseInfo(QEvent::MouseButtonPress, Qt::LeftButton, Qt::ControlModifier, info));
    EXPECT_EQ(info.kind, CTavMouseInfo::kPressed);
    EXPECT_EQ(info.point, (TavPoint{12, 34}));
    EXPECT_EQ(info.modifiers, 2u);
    ASSERT_TRUE(MouseInfo(QEvent::MouseButtonDblClick, Qt::LeftButton,
                          Qt::ShiftModifier | Qt::ControlModifier, info));
    EXPECT_EQ(info.kind, CTavMouseInfo::kDoubleClick);
    EXPECT_EQ(info.modifiers, 3u);
    ASSERT_TRUE(MouseInfo(QEvent::MouseMove, Qt::NoButton, Qt::AltModifier, info));
    EXPECT_EQ(info.kind, CTavMouseInfo::kMove);
    EXPECT_EQ(info.modifiers, 0u);

    EXPECT_FALSE(MouseInfo(QEvent::MouseButtonPress, Qt::RightButton, Qt::NoModifier, info));
    EXPECT_FALSE(MouseInfo(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoModifier, info));
}

TEST(ControlEvents, KeysGetTheirCodesAndAutoRepeatsAreDropped) {
    EXPECT_EQ(TavKeyCodeFromQt(Qt::Key_Enter, Qt::KeypadModifier), 264);
    EXPECT_EQ(TavKeyCodeFromQt(Qt::Key_Plus, Qt::KeypadModifier), 267);
    EXPECT_NE(TavKeyCodeFromQt(Qt::Key_Minus, {}), 268); // only the keypad's minus
    EXPECT_EQ(TavKeyCodeFromQt(Qt::Key_Q, Qt::ShiftModifier), 'Q');
    EXPECT_EQ(TavKeyCodeFromQt(Qt::Key_7, {}), '7');

    CTavKeyInfo info;
    const QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::ShiftModifier);
    ASSERT_TRUE(TavKeyInfoFromQt(press, info));
    EXPECT_EQ(info.kind, CTavKeyInfo::kDown);
    EXPECT_EQ(info.code, kTavKeyUp);
    EXPECT_EQ(info.modifiers, 1u);
    const QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::ControlModifier);
    ASSERT_TRUE(TavKeyInfoFromQt(release, info));
    EXPECT_EQ(info.kind, CTavKeyInfo::kUp);
    EXPECT_EQ(info.modifiers, 2u);
    const QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
    EXPECT_FALSE(TavKeyInfoFromQt(repeat, info));
}

TEST(TipBar, IdlePlacesTheWindowAtTheAnchorSizedToTheLinesAndHidesIt) {
    CTipBar tip;
    tip.SetLines({"12", "Saw Wave"});
    tip.SetAnchor({200, 300});
    tip.SetOffset({5, -15});
    tip.UpdateAtIdle();
    EXPECT_FALSE(tip.isVisible()); // not wanted yet

    tip.Show(true);
    tip.UpdateAtIdle();
    const QFontMetrics metrics(tip.font());
    EXPECT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.geometry(),
              QRect(205, 285, metrics.horizontalAdvance("Saw Wave") + 1 + 4, 2 * metrics.height() + 4));
    EXPECT_EQ(QApplication::activeWindow(), nullptr);

    tip.Show(false);
    tip.UpdateAtIdle();
    EXPECT_FALSE(tip.isVisible());
}

TEST(Cursor, OwnerKeepsItsCursorUntilTheMouseLeavesItWithoutCapture) {
    CCursor cursor(std::string(VIREO_BUILT_SCRIPT_DIR) + "/", nullptr);
    CTavView owner;
    owner.SetRect({10, 10, 50, 50});
    QWidget window;

    cursor.SetCursor(2, &owner); // no such kind: nothing changes
    EXPECT_EQ(cursor.Owner(), nullptr);
    cursor.SetCursor(1, &owner);
    cursor.ApplyTo(window, {20, 20});
    EXPECT_EQ(window.cursor().shape(), Qt::BitmapCursor); // our own image
    EXPECT_EQ(window.cursor().hotSpot(), QPoint(16, 16));

    owner.Capture(true); // a drag keeps the cursor outside the view
    cursor.ApplyTo(window, {90, 90});
    EXPECT_EQ(cursor.Owner(), &owner);
    owner.Capture(false);
    cursor.ApplyTo(window, {90, 90});
    EXPECT_EQ(cursor.Owner(), nullptr);
    EXPECT_EQ(cursor.CurrentKind(), CTavCursor::kArrow);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

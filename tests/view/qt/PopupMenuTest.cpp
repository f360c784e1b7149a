// The popup menu on QMenu: what it shows for a menu tree, and the leaf it answers when
// keys and clicks arrive while it is open.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <functional>
#include <gtest/gtest.h>

#include "view/qt/CPopupMenu.h"

namespace {

std::unique_ptr<CTavMenuItem> Leaf(const std::string& text, int32_t index, bool enabled = true) {
    auto item = std::make_unique<CTavMenuItem>(text, enabled);
    item->SetLeafIndex(index);
    return item;
}

// "Rock & Pop" {10, 11 (disabled), separator, 12}, "Empty" (disabled, no children), 13.
std::unique_ptr<CTavMenuItem> Sample() {
    auto top = CTavMenuItem::Submenu({});
    CTavMenuItem& rock = top->Append(CTavMenuItem::Submenu("Rock & Pop"));
    rock.Append(Leaf("Guitar", 10));
    rock.Append(Leaf("Bass", 11, false));
    rock.Append(std::make_unique<CTavMenuItem>(""));
    rock.Append(Leaf("Drums", 12));
    top->Append(CTavMenuItem::Submenu("Empty", false));
    top->Append(Leaf("Piano", 13));
    return top;
}

QWidget* OpenMenu() { return QApplication::activePopupWidget(); }

void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(OpenMenu(), &press);
}

// Presses and releases the left button over the action with the given text in the menu
// open on top.
void Click(const QString& text) {
    auto* menu = qobject_cast<QMenu*>(OpenMenu());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
        if (action->text() != text)
            continue;
        const QPointF at = menu->actionGeometry(action).center();
        const QPointF global = menu->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(menu, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(menu, &release);
        return;
    }
    ADD_FAILURE() << "no action " << text.toStdString();
}

// Shows the menu and runs the steps once it is open; the answer of Show. Menus the steps
// leave open are closed, which dismisses the popup.
int32_t ShowAndDo(CPopupMenu& popup, const CTavMenuItem& menu, int32_t current, std::function<void()> steps,
                  const TavPopupPosition& position = TavPopupPosition::AtPoint({100, 120})) {
    popup.SetOnShown([steps](QMenu&) {
        steps();
        for (int open = 0; open < 8 && QApplication::activePopupWidget(); ++open)
            QApplication::activePopupWidget()->close();
    });
    return popup.Show(menu, current, position);
}

} // namespace

TEST(PopupMenu, ShowsSubmenusSeparatorsDisabledItemsAndTheCurrentPathLiterally) {
    CPopupMenu popup;
    const auto tree = Sample();
    QMenu menu;
    popup.Fill(menu, *tree, tree->PathTo(12), false);
    const QList<QAction*> top = menu.actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), "Rock && Pop");
    ASSERT_NE(top[0]->menu(), nullptr);
    EXPECT_TRUE(top[0]->isChecked());
    EXPECT_FALSE(top[1]->isEnabled());
    EXPECT_NE(top[1]->menu(), nullptr);
    EXPECT_FALSE(top[2]->isChecked());
    EXPECT_EQ(top[2]->data().toInt(), 13);

    const QList<QAction*> rock = top[0]->menu()->actions();
    ASSERT_EQ(rock.size(), 4);
    EXPECT_FALSE(rock[0]->isChecked());
    EXPECT_FALSE(rock[1]->isEnabled());
    EXPECT_TRUE(rock[2]->isSeparator());
    EXPECT_TRUE(rock[3]->isChecked());
    ASSERT_NE(rock[3]->actionGroup(), nullptr);
    EXPECT_TRUE(rock[3]->actionGroup()->isExclusive()); // drawn as a radio mark
    EXPECT_EQ(rock[3]->data().toInt(), 12);

    QMenu unmarked;
    popup.Fill(unmarked, *tree, tree->PathTo(-1), false);
    EXPECT_FALSE(unmarked.actions()[0]->isChecked());
    EXPECT_FALSE(unmarked.actions()[2]->isChecked());
    EXPECT_EQ(CPopupMenu::MenuText("A&&B&"), "A&&&&B&&");
}

TEST(PopupMenu, AnswersTheChosenLeafOrMinusOneWhenDismissed) {
    CPopupMenu popup;
    const auto tree = Sample();
    struct Case {
        const char* what;
        std::function<void()> steps;
        int32_t answer;
    };
    const Case cases[] = {
        {"click a top-level leaf", [] { Click("Piano"); }, 13},
        {"open a submenu by keys and click a leaf", [] { Key(Qt::Key_Down); Key(Qt::Key_Right); Click("Drums"); }, 12},
        {"keys: down into the submenu, right, return", [] { Key(Qt::Key_Down); Key(Qt::Key_Right); Key(Qt::Key_Return); }, 10},
        {"escape", [] { Key(Qt::Key_Escape); }, -1},
        {"a disabled leaf does nothing", [] { Key(Qt::Key_Down); Key(Qt::Key_Right); Click("Bass"); }, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowAndDo(popup, *tree, 12, c.steps), c.answer) << c.what;
}

TEST(PopupMenu, AMenuWithoutLeavesIsNotShown) {
    CPopupMenu popup;
    bool shown = false;
    popup.SetOnShown([&shown](QMenu& menu) {
        shown = true;
        menu.close();
    });
    auto tree = CTavMenuItem::Submenu({});
    EXPECT_EQ(popup.Show(*tree, -1, {}), -1);
    tree->Append(CTavMenuItem::Submenu("nothing"));
    tree->Append(std::make_unique<CTavMenuItem>(""));
    EXPECT_EQ(popup.Show(*tree, -1, {}), -1);
    EXPECT_FALSE(shown);
}

TEST(PopupMenu, OpensAtTheGivenPointAndLongMenusStayOnTheScreen) {
    CPopupMenu popup;
    auto tree = CTavMenuItem::Submenu({});
    for (int32_t i = 0; i < 300; ++i)
        tree->Append(Leaf("Entry " + std::to_string(i), i));
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    QRect placed;
    bool scrolls = false;
    const auto record = [&](QMenu& menu) {
        placed = menu.geometry();
        scrolls = menu.style()->styleHint(QStyle::SH_Menu_Scrollable, nullptr, &menu) != 0;
        menu.close();
    };
    popup.SetOnShown(record);
    EXPECT_EQ(popup.Show(*tree, 299, TavPopupPosition::AtPoint({40, 30})), -1);
    EXPECT_TRUE(scrolls);
    EXPECT_TRUE(screen.contains(placed)) << placed.height() << " on " << screen.height();
    EXPECT_EQ(placed.left(), 40);

    // A short menu opens where it is asked to.
    auto shortTree = CTavMenuItem::Submenu({});
    shortTree->Append(Leaf("One", 0));
    popup.Show(*shortTree, 0, TavPopupPosition::AtPoint({100, 120}));
    EXPECT_EQ(placed.topLeft(), QPoint(100, 120));
    // Near the screen's corner it is moved back onto the screen.
    popup.Show(*shortTree, 0, TavPopupPosition::AtPoint({screen.right() - 2, screen.bottom() - 2}));
    EXPECT_TRUE(screen.contains(placed));
}

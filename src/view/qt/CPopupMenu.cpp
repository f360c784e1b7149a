#include "view/qt/CPopupMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include "script/qt/TavShiftJis.h"

CPopupMenu::CPopupMenu(QWidget* owner) : m_owner(owner), m_style(std::make_unique<CScrollingStyle>()) {}

CPopupMenu::~CPopupMenu() = default;

int CPopupMenu::CScrollingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                           QStyleHintReturn* returnData) const {
    if (hint == SH_Menu_Scrollable)
        return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

QString CPopupMenu::MenuText(const std::string& text) {
    QString shown = TavDecodeShiftJis(text);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return shown;
}

void CPopupMenu::Fill(QMenu& menu, const CTavMenuItem& item, std::vector<int32_t> path, bool lazy) {
    const int32_t marked = path.empty() ? -1 : path.front();
    if (!path.empty())
        path.erase(path.begin());
    const CTavMenuItem::CItems& children = item.Children();
    for (size_t i = 0; i < children.size(); ++i) {
        const CTavMenuItem& child = *children[i];
        const bool onPath = static_cast<int32_t>(i) == marked;
        QAction* action = nullptr;
        if (child.IsSubmenu()) {
            auto* submenu = new QMenu(MenuText(child.Text()), &menu);
            submenu->setStyle(m_style.get());
            action = submenu->menuAction();
            menu.addAction(action);
            std::vector<int32_t> rest = onPath ? path : std::vector<int32_t>();
            if (lazy) {
                const CTavMenuItem* source = &child;
                QObject::connect(submenu, &QMenu::aboutToShow, submenu, [this, submenu, source, rest] {
                    if (submenu->actions().isEmpty())
                        Fill(*submenu, *source, rest, true);
                });
            } else {
                Fill(*submenu, child, rest, false);
            }
        } else if (child.IsSeparator()) {
            menu.addSeparator();
            continue;
        } else {
            action = menu.addAction(MenuText(child.Text()));
            action->setData(child.LeafIndex());
        }
        action->setEnabled(child.IsEnabled());
        if (onPath) {
            // An exclusive group makes the mark a radio mark.
            auto* group = new QActionGroup(&menu);
            group->setExclusive(true);
            action->setCheckable(true);
            group->addAction(action);
            action->setChecked(true);
        }
    }
}

int32_t CPopupMenu::Show(const CTavMenuItem& menu, int32_t currentLeaf, const TavPopupPosition& position) {
    if (menu.CountLeaves() == 0)
        return -1;
    QMenu popup(m_owner ? m_owner.data() : QApplication::activeWindow());
    popup.setStyle(m_style.get());
    Fill(popup, menu, menu.PathTo(currentLeaf), true);
    const QPoint mouse = QCursor::pos();
    const TavPoint at = position.Resolve({mouse.x(), mouse.y()});
    if (m_onShown) {
        QPointer<QMenu> shown(&popup);
        QTimer::singleShot(0, &popup, [this, shown] {
            if (shown)
                m_onShown(*shown);
        });
    }
    // QMenu keeps the menu on the screen that holds the point.
    const QAction* chosen = popup.exec(QPoint(at.x, at.y));
    if (!chosen || !chosen->data().isValid())
        return -1;
    bool ok = false;
    const int index = chosen->data().toInt(&ok);
    return ok && index >= 0 ? index : -1;
}

#pragma once
// The popup menu of the editor on QMenu: submenus are filled when they first open, so a
// catalog of thousands of entries opens at once; menus taller than the screen scroll.

#include <QPointer>
#include <QProxyStyle>
#include <QWidget>
#include <functional>
#include <QString>
#include <memory>
#include <vector>

#include "view/ITavPopupMenu.h"

class QMenu;

class CPopupMenu : public ITavPopupMenu {
public:
    // The owner is the window the menu belongs to; without one the active window is.
    explicit CPopupMenu(QWidget* owner = nullptr);
    void SetOwner(QWidget* owner) { m_owner = owner; }
    ~CPopupMenu() override;

    int32_t Show(const CTavMenuItem& menu, int32_t currentLeaf, const TavPopupPosition& position) override;

    // Called with the menu open (inside Show), before the user acts; for tests.
    void SetOnShown(std::function<void(QMenu&)> onShown) { m_onShown = std::move(onShown); }

    // Fills a QMenu with the children of an item: submenus (filled at once, or when they
    // first open when lazy), separators for empty texts and leaves carrying their leaf
    // index as data. The items on the path carry the check mark.
    void Fill(QMenu& menu, const CTavMenuItem& item, std::vector<int32_t> path, bool lazy);

    // A menu text shown literally: every "&" doubled.
    static QString MenuText(const std::string& text);

private:
    // Lets menus that do not fit on the screen scroll instead of growing columns.
    class CScrollingStyle : public QProxyStyle {
    public:
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* returnData) const override;
    };

    QPointer<QWidget> m_owner;
    std::unique_ptr<CScrollingStyle> m_style;
    std::function<void(QMenu&)> m_onShown;
};

#pragma once
// The panels' controls as assistive technology (a screen reader) sees them. A root panel's
// window is one CPanelWidget painting the whole tree, so its accessible interface
// (CPanelAccessible) lists the open controls of the open panels in reading order as its
// children, one CControlAccessible each: role, name, the value as shown, the rectangle on
// the screen, the state, a value interface for the knobs and sliders and the press,
// toggle, step and menu actions where a click does them.
//
// The interfaces are kept by CControlAccessibility, the view manager's observer, which the
// first panel interface installs: it makes one interface per control when asked, deletes
// it when the control closes or the views go, and sends the value, state and focus events
// while assistive technology is active (or to the event sink).

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

#include <functional>
#include <unordered_map>

#include "view/ITavViewObserver.h"
#include "view/TavControlDescription.h"

class CPanelWidget;
class CTavViewManager;

class CControlAccessible : public QAccessibleInterface,
                           public QAccessibleValueInterface,
                           public QAccessibleActionInterface {
public:
    explicit CControlAccessible(CTavControl& control) : m_control(&control) {}
    ~CControlAccessible() override = default;

    CTavControl* Control() const { return m_control; }
    // The widget showing the control's root panel; none while its window is closed.
    CPanelWidget* Widget() const;

    bool isValid() const override { return m_control != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    // Name, value (as shown), description (the main value's full name where the label is
    // shorter).
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleValueInterface: the number a knob or slider shows and its range; a new
    // number is written as one user action.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 1; }

    // QAccessibleActionInterface: a click in the middle of the control for press, toggle
    // and show menu, one step up or down for increase and decrease; each one user action.
    QStringList actionNames() const override;
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The value last announced, so an unchanged text sends nothing.
    QString& Announced() { return m_announced; }

private:
    CTavControlDescription Description() const;

    CTavControl* m_control;
    QString m_announced;
};

// The interface of a root panel's widget.
class CPanelAccessible : public QAccessibleWidget {
public:
    explicit CPanelAccessible(CPanelWidget* widget);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    // The name is the window's title.
    QString text(QAccessible::Text t) const override;

private:
    CPanelWidget* Widget() const;
};

class CControlAccessibility : public ITavViewObserver {
public:
    ~CControlAccessibility() override;

    // The manager's, installed on the first call.
    static CControlAccessibility& Of(CTavViewManager& manager);
    // Lets QAccessible make CPanelAccessible for every CPanelWidget; once per process.
    static void InstallFactory();
    // Where the events go instead of QAccessible::updateAccessibility, which drops them
    // while no assistive technology is active (always, on a platform without support):
    // while set, every observer sends its events there. None restores the default.
    static void SetEventSink(std::function<void(QAccessibleEvent&)> sink);

    // The control's interface, made and registered on the first call.
    CControlAccessible* For(CTavControl& control);
    // The interface made for the control; none when none was.
    CControlAccessible* Find(const CTavControl& control) const;

    void ControlOpened(CTavControl& control) override;
    void ControlClosing(CTavControl& control) override;
    void ControlChanged(CTavControl& control) override;
    void FocusChanged(CTavView* focused) override;
    void ViewsDestroyed() override;

private:
    struct Entry {
        QAccessible::Id id;
        CControlAccessible* iface;
    };
    void Forget(Entry entry);

    std::unordered_map<const CTavControl*, Entry> m_entries;
};

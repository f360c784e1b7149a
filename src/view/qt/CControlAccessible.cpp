#include "view/qt/CControlAccessible.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "model/CTavBufferManager.h"
#include "view/CTavButton.h"
#include "view/CTavControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CRootPanel.h"

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

CTavRootPanel* RootOf(const CTavView& view) {
    const CTavView* at = &view;
    while (at->GetParent())
        at = at->GetParent();
    return dynamic_cast<CTavRootPanel*>(const_cast<CTavView*>(at));
}

QAccessible::Role QtRole(TavControlRole role) {
    switch (role) {
    case TavControlRole::kStaticText:
        return QAccessible::StaticText;
    case TavControlRole::kSlider:
        return QAccessible::Slider;
    case TavControlRole::kScrollBar:
        return QAccessible::ScrollBar;
    case TavControlRole::kButton:
        return QAccessible::Button;
    case TavControlRole::kToggleButton:
        return QAccessible::CheckBox;
    case TavControlRole::kPageTab:
        return QAccessible::PageTab;
    case TavControlRole::kComboBox:
        return QAccessible::ComboBox;
    case TavControlRole::kEditText:
        return QAccessible::EditableText;
    case TavControlRole::kList:
        return QAccessible::List;
    case TavControlRole::kIndicator:
        return QAccessible::Indicator;
    case TavControlRole::kGraphic:
    case TavControlRole::kKeyboard:
        return QAccessible::Graphic;
    }
    return QAccessible::StaticText;
}

// What a click or a step by assistive technology does is one user action, as a click of
// the mouse is.
class CUserAction {
public:
    explicit CUserAction(const CTavControl& control)
        : m_buffers(control.ViewManager() ? control.ViewManager()->BufferManager() : nullptr) {
        if (m_buffers)
            m_buffers->BeginAction();
    }
    ~CUserAction() {
        if (m_buffers)
            m_buffers->EndAction();
    }
    CUserAction(const CUserAction&) = delete;
    CUserAction& operator=(const CUserAction&) = delete;

private:
    CTavBufferManager* m_buffers;
};

std::function<void(QAccessibleEvent&)>& EventSink() {
    static std::function<void(QAccessibleEvent&)> sink;
    return sink;
}

// Whether anyone listens: assistive technology, or the sink.
bool Listened() {
    return QAccessible::isActive() || EventSink();
}

void Tell(QAccessibleEvent& event) {
    if (EventSink())
        EventSink()(event);
    else
        QAccessible::updateAccessibility(&event);
}

void Send(QAccessibleInterface* iface, QAccessible::Event type) {
    QAccessibleEvent event(iface, type);
    Tell(event);
}

} // namespace

// --- CControlAccessible -----------------------------------------------------------------

CTavControlDescription CControlAccessible::Description() const {
    return m_control ? TavDescribeControl(*m_control) : CTavControlDescription{};
}

CPanelWidget* CControlAccessible::Widget() const {
    auto* root = m_control ? dynamic_cast<CRootPanel*>(RootOf(*m_control)) : nullptr;
    return root ? root->Widget() : nullptr;
}

QWindow* CControlAccessible::window() const {
    CPanelWidget* widget = Widget();
    return widget ? widget->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CControlAccessible::parent() const {
    CPanelWidget* widget = Widget();
    return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

QString CControlAccessible::text(QAccessible::Text t) const {
    if (!m_control)
        return {};
    switch (t) {
    case QAccessible::Name:
        return ToQt(TavControlName(*m_control));
    case QAccessible::Value:
        return ToQt(Description().value);
    case QAccessible::Description: {
        const std::string full = TavControlValueName(*m_control);
        return full != TavControlName(*m_control) ? ToQt(full) : QString();
    }
    default:
        return {};
    }
}

QRect CControlAccessible::rect() const {
    if (!m_control)
        return {};
    const TavRect& r = m_control->Rect();
    const TavPoint topLeft = m_control->ToScreen({r.left, r.top});
    return QRect(topLeft.x, topLeft.y, r.Width(), r.Height());
}

QAccessible::Role CControlAccessible::role() const {
    return m_control ? QtRole(Description().role) : QAccessible::NoRole;
}

QAccessible::State CControlAccessible::state() const {
    QAccessible::State state;
    if (!m_control)
        return state;
    const CTavControlDescription description = Description();
    CPanelWidget* widget = Widget();
    bool open = m_control->IsOpen() && widget && widget->isVisible();
    for (const CTavPanel* panel = m_control->GetParent(); open && panel; panel = panel->GetParent())
        open = panel->IsOpen();
    state.invisible = !open;
    state.disabled = m_control->IsDisabled();
    state.focusable =
        description.pressable || description.numeric || description.role == TavControlRole::kList;
    state.focused = m_control->HasFocus();
    state.checkable = description.checkable;
    state.checked = description.checked;
    if (const auto* button = dynamic_cast<const CTavButton*>(m_control))
        state.pressed = button->IsPressed();
    state.editable = description.role == TavControlRole::kEditText;
    state.readOnly = description.role == TavControlRole::kStaticText ||
                     description.role == TavControlRole::kGraphic ||
                     description.role == TavControlRole::kIndicator;
    return state;
}

void* CControlAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface && dynamic_cast<CTavDragControl*>(m_control) &&
        Description().numeric)
        return static_cast<QAccessibleValueInterface*>(this);
    if (type == QAccessible::ActionInterface && !actionNames().isEmpty())
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

QVariant CControlAccessible::currentValue() const {
    const CTavControlDescription description = Description();
    return description.numeric ? QVariant(qlonglong(description.number)) : QVariant();
}

QVariant CControlAccessible::maximumValue() const {
    const CTavControlDescription description = Description();
    return description.numeric ? QVariant(qlonglong(description.maximum)) : QVariant();
}

QVariant CControlAccessible::minimumValue() const {
    const CTavControlDescription description = Description();
    return description.numeric ? QVariant(qlonglong(description.minimum)) : QVariant();
}

void CControlAccessible::setCurrentValue(const QVariant& value) {
    auto* control = dynamic_cast<CTavDragControl*>(m_control);
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!control || !ok || control->IsDisabled())
        return;
    const CUserAction action(*control);
    control->SetDescribedNumber(number);
}

QStringList CControlAccessible::actionNames() const {
    if (!m_control || m_control->IsDisabled())
        return {};
    const CTavControlDescription description = Description();
    QStringList names;
    if (description.pressable)
        names << (description.checkable                           ? toggleAction()
                  : description.role == TavControlRole::kComboBox ? showMenuAction()
                                                                  : pressAction());
    if (description.numeric && dynamic_cast<CTavDragControl*>(m_control))
        names << increaseAction() << decreaseAction();
    return names;
}

void CControlAccessible::doAction(const QString& name) {
    if (!actionNames().contains(name))
        return;
    const CUserAction action(*m_control);
    if (name == increaseAction() || name == decreaseAction()) {
        static_cast<CTavDragControl*>(m_control)->OnWheel(name == increaseAction() ? 1 : -1, 0);
        return;
    }
    const TavRect& r = m_control->Rect();
    CTavMouseInfo info;
    info.point = {r.left + r.Width() / 2, r.top + r.Height() / 2};
    info.kind = CTavMouseInfo::kPressed;
    m_control->OnMouse(info);
    info.kind = CTavMouseInfo::kReleased;
    m_control->OnMouse(info);
}

// --- CPanelAccessible -------------------------------------------------------------------

CPanelAccessible::CPanelAccessible(CPanelWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}

CPanelWidget* CPanelAccessible::Widget() const {
    return static_cast<CPanelWidget*>(widget());
}

int CPanelAccessible::childCount() const {
    return static_cast<int>(TavOpenControlsInReadingOrder(Widget()->Root()).size());
}

QAccessibleInterface* CPanelAccessible::child(int index) const {
    CTavViewManager* manager = Widget()->Root().ViewManager();
    const std::vector<CTavControl*> controls = TavOpenControlsInReadingOrder(Widget()->Root());
    if (!manager || index < 0 || static_cast<size_t>(index) >= controls.size())
        return nullptr;
    return CControlAccessibility::Of(*manager).For(*controls[static_cast<size_t>(index)]);
}

int CPanelAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* own = dynamic_cast<const CControlAccessible*>(child);
    const CTavControl* control = own ? own->Control() : nullptr;
    if (!control)
        return -1;
    const std::vector<CTavControl*> controls = TavOpenControlsInReadingOrder(Widget()->Root());
    const auto found = std::find(controls.begin(), controls.end(), control);
    return found == controls.end() ? -1 : static_cast<int>(found - controls.begin());
}

QAccessibleInterface* CPanelAccessible::childAt(int x, int y) const {
    CTavView& root = Widget()->Root();
    CTavViewManager* manager = root.ViewManager();
    const TavPoint at = root.ToClient({x, y});
    for (CTavControl* control : TavOpenControlsInReadingOrder(root))
        if (manager && control->Rect().Contains(at))
            return CControlAccessibility::Of(*manager).For(*control);
    return nullptr;
}

QAccessibleInterface* CPanelAccessible::focusChild() const {
    CTavViewManager* manager = Widget()->Root().ViewManager();
    auto* focused = manager ? dynamic_cast<CTavControl*>(manager->FocusedView()) : nullptr;
    if (!focused || indexOfChild(CControlAccessibility::Of(*manager).Find(*focused)) < 0)
        return nullptr;
    return CControlAccessibility::Of(*manager).Find(*focused);
}

QString CPanelAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name)
        return QAccessibleWidget::text(t);
    const std::string& label = Widget()->Root().Label();
    return label.empty() ? Widget()->window()->windowTitle() : ToQt(label);
}

// --- CControlAccessibility --------------------------------------------------------------

namespace {

QAccessibleInterface* PanelFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("CPanelWidget"))
        return nullptr;
    auto* widget = qobject_cast<CPanelWidget*>(object);
    return widget ? new CPanelAccessible(widget) : nullptr;
}

} // namespace

void CControlAccessibility::SetEventSink(std::function<void(QAccessibleEvent&)> sink) {
    EventSink() = std::move(sink);
}

void CControlAccessibility::InstallFactory() {
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(&PanelFactory);
    installed = true;
}

CControlAccessibility& CControlAccessibility::Of(CTavViewManager& manager) {
    if (auto* existing = dynamic_cast<CControlAccessibility*>(manager.ViewObserver()))
        return *existing;
    auto made = std::make_unique<CControlAccessibility>();
    CControlAccessibility& accessibility = *made;
    manager.SetViewObserver(std::move(made));
    return accessibility;
}

CControlAccessibility::~CControlAccessibility() {
    ViewsDestroyed();
}

CControlAccessible* CControlAccessibility::Find(const CTavControl& control) const {
    const auto found = m_entries.find(&control);
    return found == m_entries.end() ? nullptr : found->second.iface;
}

CControlAccessible* CControlAccessibility::For(CTavControl& control) {
    if (CControlAccessible* known = Find(control))
        return known;
    auto* iface = new CControlAccessible(control);
    iface->Announced() = iface->text(QAccessible::Value);
    m_entries.emplace(&control, Entry{QAccessible::registerAccessibleInterface(iface), iface});
    return iface;
}

void CControlAccessibility::Forget(Entry entry) {
    // The cache deletes what it holds when the application ends; an interface it no longer
    // holds is not ours to delete.
    if (QCoreApplication::instance() && QAccessible::accessibleInterface(entry.id) == entry.iface)
        QAccessible::deleteAccessibleInterface(entry.id);
}

void CControlAccessibility::ControlOpened(CTavControl& control) {
    if (!Listened())
        return;
    CControlAccessible* iface = For(control);
    if (iface->Widget())
        Send(iface, QAccessible::ObjectCreated);
}

void CControlAccessibility::ControlClosing(CTavControl& control) {
    const auto found = m_entries.find(&control);
    if (found == m_entries.end())
        return;
    const Entry entry = found->second;
    if (Listened() && entry.iface->Widget())
        Send(entry.iface, QAccessible::ObjectDestroyed);
    m_entries.erase(found);
    Forget(entry);
}

void CControlAccessibility::ControlChanged(CTavControl& control) {
    if (!Listened())
        return;
    CControlAccessible* iface = Find(control);
    if (!iface || !control.IsOpen())
        return;
    const CTavControlDescription description = TavDescribeControl(control);
    const QString value = ToQt(description.value);
    if (value == iface->Announced())
        return;
    iface->Announced() = value;
    QAccessibleValueChangeEvent event(iface, description.numeric ? QVariant(qlonglong(description.number))
                                                                 : QVariant(value));
    Tell(event);
    if (description.checkable) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent stateEvent(iface, changed);
        Tell(stateEvent);
    }
}

void CControlAccessibility::FocusChanged(CTavView* focused) {
    auto* control = dynamic_cast<CTavControl*>(focused);
    if (!Listened() || !control || !control->IsOpen())
        return;
    CControlAccessible* iface = For(*control);
    if (iface->Widget())
        Send(iface, QAccessible::Focus);
}

void CControlAccessibility::ViewsDestroyed() {
    std::unordered_map<const CTavControl*, Entry> entries;
    entries.swap(m_entries);
    for (const auto& [control, entry] : entries)
        Forget(entry);
}

// The shipped windows as a screen reader sees them through Qt's accessibility API: every
// control of every page of the main, patch, rhythm set and sample windows is a child of its
// window's panel with a name, a value, a role that fits its kind, its rectangle on the
// screen and its state; a value changed by assistive technology or by the editor, a switch
// toggled and the focus moved are announced.

#include <QAccessible>
#include <QAccessibleValueChangeEvent>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "app/qt/CApp.h"
#include "device/CTavWaveDrawControl.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "support/EditorOptions.h"
#include "support/FakeClock.h"
#include "support/TestSupport.h"
#include "support/VirtualEditor.h"
#include "view/CTavButton.h"
#include "view/CTavGraphControl.h"
#include "view/CTavKeyboardControl.h"
#include "view/CTavListControl.h"
#include "view/CTavPopEditControl.h"
#include "view/CTavScrollControl.h"
#include "view/CTavStaticTextControl.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CControlAccessible.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CRootPanel.h"

namespace {

// A root panel, the value that opens it and the value choosing its page.
struct Window {
    const char* panel;
    const char* openPath;
    int32_t openValue;
    const char* pagePath;
    int32_t pages;
};
constexpr Window kWindows[] = {
    {"main", nullptr, 0, "vs.control.mainPage", 3},
    {"patchEditor", "vs.control.entityType", 1, "vs.control.editorPage", 4},
    {"rhythmEditor", "vs.control.entityType", 2, "vs.control.editorPage", 4},
    {"sampleEditor", "vs.sampleEdit.view.view", 1, "vs.sampleEdit.view.modifyView", 7}};

// The roles a control of the kind may take; the most derived kind first.
QList<QAccessible::Role> RolesOf(const CTavControl& control) {
    using R = QAccessible::Role;
    if (dynamic_cast<const CTavScrollControl*>(&control))
        return {R::ScrollBar};
    if (dynamic_cast<const CTavDragControl*>(&control))
        return {R::Slider};
    if (dynamic_cast<const CTavLatchButton*>(&control))
        return {R::CheckBox, R::PageTab};
    if (dynamic_cast<const CTavButton*>(&control))
        return {R::Button, R::CheckBox};
    if (dynamic_cast<const CTavPopEditControl*>(&control))
        return {R::EditableText};
    if (dynamic_cast<const CTavPopControl*>(&control))
        return {R::ComboBox};
    if (dynamic_cast<const CTavListControl*>(&control))
        return {R::List};
    if (dynamic_cast<const CTavGraphControl*>(&control) ||
        dynamic_cast<const Brio::CTavWaveDrawControl*>(&control) ||
        dynamic_cast<const CTavKeyboardControl*>(&control))
        return {R::Graphic};
    if (dynamic_cast<const CTavPictureControl*>(&control))
        return {R::Indicator};
    return {R::StaticText, R::Button};
}

struct Heard {
    QAccessible::Event type;
    QAccessibleInterface* iface;
    QVariant value;
};

class AccessibleWindows : public test::VirtualEditor {
protected:
    void SetUp() override {
        VirtualEditor::SetUp();
        if (HasFatalFailure())
            return;
        // The offscreen platform has no assistive technology to pass events to.
        CControlAccessibility::SetEventSink([this](QAccessibleEvent& event) { Hear(event); });
    }
    void TearDown() override {
        CControlAccessibility::SetEventSink({});
        VirtualEditor::TearDown();
    }

    // Opens the window at its page; its panel's interface, none when it has no widget.
    QAccessibleInterface* Open(const Window& window, int32_t page) {
        if (window.openPath)
            Set(window.openPath, window.openValue);
        Set(window.pagePath, page);
        CRootPanel* root = Root(window.panel);
        return root && root->IsOpen() && root->Widget()
                   ? QAccessible::queryAccessibleInterface(root->Widget())
                   : nullptr;
    }
    // Every open page of every window, once each.
    template <typename Visit> void ForEachPage(Visit visit) {
        for (const Window& window : kWindows)
            for (int32_t page = 0; page < window.pages; ++page) {
                SCOPED_TRACE(std::string(window.panel) + " page " + std::to_string(page));
                QAccessibleInterface* panel = Open(window, page);
                ASSERT_NE(panel, nullptr);
                visit(*panel);
            }
    }
    static CTavControl& ControlOf(QAccessibleInterface* iface) {
        return *static_cast<CControlAccessible*>(iface)->Control();
    }
    void Hear(QAccessibleEvent& event) {
        QVariant value;
        if (event.type() == QAccessible::ValueChanged)
            value = static_cast<QAccessibleValueChangeEvent&>(event).value();
        heard.push_back({event.type(), event.accessibleInterface(), value});
    }
    std::vector<Heard> HeardFor(QAccessibleInterface* iface, QAccessible::Event type) const {
        std::vector<Heard> found;
        for (const Heard& h : heard)
            if (h.iface == iface && h.type == type)
                found.push_back(h);
        return found;
    }

    std::vector<Heard> heard;
};

TEST_F(AccessibleWindows, EveryControlHasANameAValueARoleItsRectangleAndItsState) {
    size_t controls = 0;
    ForEachPage([&](QAccessibleInterface& panel) {
        const QRect window = panel.rect();
        EXPECT_FALSE(panel.text(QAccessible::Name).isEmpty());
        ASSERT_GT(panel.childCount(), 0);
        for (int i = 0; i < panel.childCount(); ++i) {
            QAccessibleInterface* child = panel.child(i);
            ASSERT_NE(child, nullptr) << i;
            const CTavControl& control = ControlOf(child);
            SCOPED_TRACE(control.Path());
            const QString name = child->text(QAccessible::Name);
            EXPECT_FALSE(name.isEmpty());
            EXPECT_NE(name.toStdString(), control.GetKind()) << "named after its kind";
            EXPECT_FALSE(child->text(QAccessible::Value).isEmpty());
            EXPECT_TRUE(RolesOf(control).contains(child->role())) << child->role();
            EXPECT_EQ(child->parent(), &panel);
            EXPECT_EQ(panel.indexOfChild(child), i);
            EXPECT_TRUE(window.contains(child->rect())) << child->rect().x() << "," << child->rect().y();
            const QAccessible::State state = child->state();
            EXPECT_FALSE(state.invisible);
            EXPECT_EQ(bool(state.disabled), control.IsDisabled());
            if (auto* value = child->valueInterface()) {
                EXPECT_TRUE(state.focusable);
                EXPECT_LE(value->minimumValue().toLongLong(), value->currentValue().toLongLong());
                EXPECT_LE(value->currentValue().toLongLong(), value->maximumValue().toLongLong());
            }
            ++controls;
        }
    });
    EXPECT_GT(controls, 500u);
}

TEST_F(AccessibleWindows, EverySliderWrittenByAssistiveTechnologyAnnouncesItsNewValue) {
    CControlAccessibility& accessibility = CControlAccessibility::Of(system.ViewManager());
    size_t written = 0;
    for (const Window& window : kWindows)
        for (int32_t page = 0; page < window.pages; ++page) {
            SCOPED_TRACE(std::string(window.panel) + " page " + std::to_string(page));
            // A write may close the window (a bank select changes what the part plays): it is
            // opened again, and the value put back, before the next control.
            for (int i = 0;; ++i) {
                QAccessibleInterface* panel = Open(window, page);
                ASSERT_NE(panel, nullptr);
                if (i >= panel->childCount())
                    break;
                QAccessibleInterface* child = panel->child(i);
                QAccessibleValueInterface* value = child->valueInterface();
                if (!value || child->state().disabled)
                    continue;
                CTavControl& control = ControlOf(child);
                SCOPED_TRACE(control.Path());
                const int32_t raw = control.GetValue(0)->GetRaw();
                const qlonglong now = value->currentValue().toLongLong();
                const qlonglong other = now > value->minimumValue().toLongLong() ? now - 1 : now + 1;
                heard.clear();
                value->setCurrentValue(other);
                if (control.IsOpen() && accessibility.Find(control) == child) {
                    EXPECT_EQ(value->currentValue().toLongLong(), other);
                    const std::vector<Heard> changes = HeardFor(child, QAccessible::ValueChanged);
                    EXPECT_EQ(changes.size(), 1u);
                    EXPECT_EQ(changes.empty() ? -1 : changes[0].value.toLongLong(), other);
                    ++written;
                }
                TavSetValueInteger(system.BufferManager(), *control.GetValue(0), raw);
            }
        }
    EXPECT_GT(written, 300u);
}

TEST_F(AccessibleWindows, EditorChangesTogglesAndFocusAreAnnouncedOnce) {
    QAccessibleInterface* panel = Open(kWindows[1], 0);
    ASSERT_NE(panel, nullptr);
    QAccessibleInterface* knob = nullptr;
    QAccessibleInterface* field = nullptr;
    QAccessibleInterface* toggle = nullptr;
    for (int i = 0; i < panel->childCount(); ++i) {
        QAccessibleInterface* child = panel->child(i);
        if (!knob && child->role() == QAccessible::Slider)
            knob = child;
        else if (knob && !field && ControlOf(child).GetValue(0) == ControlOf(knob).GetValue(0))
            field = child;
        if (!toggle && child->role() == QAccessible::CheckBox &&
            dynamic_cast<CTavLatchButton*>(&ControlOf(child)))
            toggle = child;
    }
    ASSERT_TRUE(knob && field && toggle);
    CTavValue& value = *ControlOf(knob).GetValue(0);

    // The editor writes the knob's value: the knob and its field say so, once each.
    heard.clear();
    TavSetValueInteger(system.BufferManager(), value,
                       value.GetRaw() == value.Spec().minimum ? value.Spec().maximum : value.Spec().minimum);
    EXPECT_EQ(HeardFor(knob, QAccessible::ValueChanged).size(), 1u);
    EXPECT_EQ(HeardFor(field, QAccessible::ValueChanged).size(), 1u);
    EXPECT_EQ(HeardFor(field, QAccessible::ValueChanged)[0].value.toString(),
              field->text(QAccessible::Value));
    heard.clear();
    TavSetValueInteger(system.BufferManager(), value, value.GetRaw());
    EXPECT_TRUE(heard.empty());

    // Toggled by its action: checked flips, with a value and a state change.
    const bool checked = toggle->state().checked;
    toggle->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_NE(bool(toggle->state().checked), checked);
    EXPECT_EQ(HeardFor(toggle, QAccessible::ValueChanged).size(), 1u);
    EXPECT_EQ(HeardFor(toggle, QAccessible::StateChanged).size(), 1u);

    // The focus moves to the knob: a focus event, the state and the panel's focus child.
    heard.clear();
    ControlOf(knob).SetFocus(true);
    EXPECT_EQ(HeardFor(knob, QAccessible::Focus).size(), 1u);
    EXPECT_TRUE(knob->state().focused);
    EXPECT_EQ(panel->focusChild(), knob);
    ControlOf(knob).SetFocus(false);
    EXPECT_EQ(panel->focusChild(), nullptr);
}

} // namespace

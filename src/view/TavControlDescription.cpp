// How the generic control kinds describe themselves to assistive technology, their names,
// and the reading order of a panel's controls.

#include "view/TavControlDescription.h"

#include <algorithm>

#include "model/CTavEditHistory.h"
#include "model/CTavValue.h"
#include "script/CTavTable.h"
#include "view/CTavButton.h"
#include "view/CTavGraphControl.h"
#include "view/CTavKeyboardControl.h"
#include "view/CTavListControl.h"
#include "view/CTavPanel.h"
#include "view/CTavPopControl.h"
#include "view/CTavPopEditControl.h"
#include "view/CTavScrollControl.h"
#include "view/CTavStaticTextControl.h"
#include "view/CTavViewManager.h"
#include "view/TavFocusOrder.h"
#include "view/TavSetValue.h"
#include "view/TavValueText.h"

namespace {

std::string TrimmedRight(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// A value as plain text: a string value's text, an integer's decimal.
std::string PlainText(const CTavValue* value) {
    if (!value)
        return {};
    if (value->Kind() == kTavKindString)
        return TrimmedRight(value->GetText());
    return TavNumberText(value->GetRaw());
}

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

} // namespace

// --- the kinds --------------------------------------------------------------------------

void CTavControl::Describe(CTavControlDescription& description) const {
    description.role = TavControlRole::kStaticText;
    description.value = PlainText(GetValue(0));
}

void CTavDragControl::Describe(CTavControlDescription& description) const {
    description.role = TavControlRole::kSlider;
    description.value = ValueText();
    const CTavValue* value = GetValue(0);
    const int32_t count = value && value->Kind() == kTavKindInteger ? TavValueCount(*value) : 0;
    if (count <= 0)
        return;
    description.numeric = true;
    if (m_textTable) {
        description.number = value->GetPosition();
        description.minimum = 0;
        description.maximum = count - 1;
    } else {
        description.number = int64_t{value->GetRaw()} + m_textOffset;
        description.minimum = int64_t{value->Spec().minimum} + m_textOffset;
        description.maximum = int64_t{value->Spec().maximum} + m_textOffset;
    }
}

bool CTavDragControl::SetDescribedNumber(int64_t number) {
    CTavControlDescription now;
    Describe(now);
    if (!now.numeric)
        return false;
    number = std::clamp(number, now.minimum, now.maximum);
    if (m_textTable)
        return SetValueIndex(0, static_cast<int32_t>(number));
    return WriteNearestRaw(static_cast<int32_t>(number - m_textOffset));
}

void CTavScrollControl::Describe(CTavControlDescription& description) const {
    description.role = TavControlRole::kScrollBar;
    description.value = PlainText(GetValue(kCurrentLower)) + " to " + PlainText(GetValue(kCurrentUpper)) +
                        " of " + PlainText(GetValue(kScrollLower)) + " to " +
                        PlainText(GetValue(kScrollUpper));
}

void CTavButton::Describe(CTavControlDescription& description) const {
    description.role = TavControlRole::kButton;
    description.pressable = true;
    description.value = IsPressed() ? "pressed" : "not pressed";
}

void CTavLatchButton::Describe(CTavControlDescription& description) const {
    CTavButton::Describe(description);
    description.checkable = true;
    description.checked = State() / 2 != 0;
    // On and off the same: a click always selects it, as a page's tab.
    if (m_onValue.Text() == m_offValue.Text()) {
        description.role = TavControlRole::kPageTab;
        description.value = description.checked ? "selected" : "not selected";
    } else {
        description.role = TavControlRole::kToggleButton;
        description.value = OnOff(description.checked);
    }
}

void CTavPopControl::Describe(CTavControlDescription& description) const {
    description.role = TavControlRole::kComboBox;
    description.pressable = true;
    description.value = TrimmedRight(Text());
}

void CTavPopEditControl::Describe(CTavControlDescription& description) const {
    CTavPopControl::Describe(description);
    description.role = TavControlRole::kEditText;
}

void CTavStaticTextControl::Describe(CTavControlDescription& description) const {
    description.role = TavControlRole::kStaticText;
    description.value = TrimmedRight(Text());
}

void CTavStaticTextPictureControl::Describe(CTavControlDescription& description) const {
    description.role = TavControlRole::kStaticText;
    // A frame shown in the text's place stands for the value's own text.
    description.value = TrimmedRight(m_frame < 0 ? Text() : m_format.TextOf(GetValue(0)));
}

void CTavPictureControl::Describe(CTavControlDescription& description) const {
    // Which of its pictures it shows: the value's place in its range ("4 of 7").
    description.role = TavControlRole::kIndicator;
    const CTavValue* value = GetValue(0);
    if (value && value->Kind() == kTavKindInteger)
        description.value =
            TavNumberText(int64_t{value->GetPosition()} + 1) + " of " + TavNumberText(TavValueCount(*value));
}

void CTavGraphControl::Describe(CTavControlDescription& description) const {
    // Its values by role: "L1 64, T1 20".
    description.role = TavControlRole::kGraphic;
    description.namedByValue = false;
    for (size_t role = 0; role < m_roleTags.size(); ++role) {
        const CTavValue* value = RoleValue(static_cast<int>(role));
        if (!value)
            continue;
        std::string tag = m_roleTags[role];
        if (tag.size() > 8 && tag.compare(tag.size() - 8, 8, "ValueRef") == 0)
            tag.resize(tag.size() - 8);
        if (!description.value.empty())
            description.value += ", ";
        description.value += CTavEditHistory::WordsOfName(tag) + " " + PlainText(value);
    }
}

void CTavListControl::Describe(CTavControlDescription& description) const {
    // The current row, each column after its header: "Name Piano, Size 44100".
    description.role = TavControlRole::kList;
    std::vector<std::string> texts;
    const int32_t row = CurrentRow();
    if (row < FirstRow() || row > LastRow() || !RowTexts(row, texts))
        return;
    for (size_t column = 0; column < texts.size(); ++column) {
        const std::string text = TrimmedRight(texts[column]);
        const std::string header = column < m_headerTexts.size() ? TrimmedRight(m_headerTexts[column]) : "";
        if (text.empty())
            continue;
        if (!description.value.empty())
            description.value += ", ";
        description.value += header.empty() ? text : header + " " + text;
    }
}

void CTavKeyboardControl::Describe(CTavControlDescription& description) const {
    // The notes that are on, by name ("C4 E4"), middle C being C4.
    static constexpr const char* kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    description.role = TavControlRole::kKeyboard;
    description.pressable = false;
    for (int32_t note = 0; note < kNoteCount; ++note) {
        if (m_states[static_cast<size_t>(note)] <= 0)
            continue;
        if (!description.value.empty())
            description.value += ' ';
        description.value += kNames[note % 12] + std::to_string(note / 12 - 1);
    }
    if (description.value.empty())
        description.value = "no keys down";
}

// --- what is said -----------------------------------------------------------------------

CTavControlDescription TavDescribeControl(const CTavControl& control) {
    CTavControlDescription description;
    control.Describe(description);
    if (description.value.empty())
        description.value = "empty";
    return description;
}

std::string TavControlValueName(const CTavControl& control) {
    const CTavValue* value = control.GetValue(0);
    const CTavViewManager* manager = control.ViewManager();
    if (!value)
        return {};
    return manager ? manager->NameOfValue(*value) : CTavEditHistory::NameOfValue(*value);
}

std::string TavControlName(const CTavControl& control) {
    if (!control.Label().empty())
        return control.Label();
    CTavControlDescription description;
    control.Describe(description);
    if (description.namedByValue)
        if (std::string name = TavControlValueName(control); !name.empty())
            return name;
    std::string name = CTavEditHistory::WordsOfName(control.Name());
    return name.empty() ? std::string(control.GetKind()) : name;
}

namespace {

void CollectOpenControls(const CTavPanel& panel, std::vector<CTavControl*>& controls) {
    if (!panel.IsOpen())
        return;
    for (const auto& view : panel.Controls())
        if (auto* control = dynamic_cast<CTavControl*>(view.get()); control && control->IsOpen())
            controls.push_back(control);
    for (const auto& child : panel.ChildPanels())
        CollectOpenControls(*child, controls);
}

} // namespace

std::vector<CTavControl*> TavOpenControlsInReadingOrder(const CTavView& view) {
    std::vector<CTavControl*> controls;
    if (const auto* panel = dynamic_cast<const CTavPanel*>(&view))
        CollectOpenControls(*panel, controls);
    // The order Tab moves in, so that a screen reader and the keyboard agree.
    return TavInReadingOrder(controls);
}

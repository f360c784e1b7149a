#pragma once
// What a control tells assistive technology (a screen reader): what kind of thing it is,
// its name, the value as the panel shows it and, for the controls that step a number, the
// number and its range. Controls describe themselves (CTavControl::Describe); the
// platform layer maps the description onto its accessibility interfaces.

#include <cstdint>
#include <string>
#include <vector>

class CTavControl;
class CTavView;

enum class TavControlRole {
    kStaticText,   // shows a value, takes no input
    kSlider,       // knobs and sliders: drags and steps a number
    kScrollBar,    // a window over a range
    kButton,       // acts when clicked
    kToggleButton, // shows on or off, a click changes it
    kPageTab,      // selects the page it names
    kComboBox,     // a click pops a list to choose from
    kEditText,     // a click opens a box to type the value into
    kList,         // rows of text
    kGraphic,      // a picture of one or more values
    kIndicator,    // a lamp or a frame of a picture following a value
    kKeyboard,     // the music keyboard
};

struct CTavControlDescription {
    TavControlRole role = TavControlRole::kStaticText;
    // The value as shown; never empty once TavDescribeControl has filled it.
    std::string value;
    // For toggles and tabs: whether it shows on (or its page).
    bool checkable = false;
    bool checked = false;
    // A click on it does something (buttons, combos, edits).
    bool pressable = false;
    // Whether the name may come from the main value's name; a picture of several values
    // is named after itself instead.
    bool namedByValue = true;
    // A stepped number (knobs, sliders, scrolls): the number as shown (an index of the
    // value's texts when they come from a string table) and its range.
    bool numeric = false;
    int64_t number = 0;
    int64_t minimum = 0;
    int64_t maximum = 0;
};

// The control's own description with an empty value replaced by a text that says so.
CTavControlDescription TavDescribeControl(const CTavControl& control);

// The control's name for assistive technology: its "label" attribute; else, when it is
// named by value, the name of its main value (through the view manager's namer, "Part 3
// Level"); else its name in words ("sampleEdit" is "Sample Edit"). Never empty.
std::string TavControlName(const CTavControl& control);
// The main value's name when it has one ("Part 3 Patch Tone 2 Cutoff"), said as the
// control's description where the label names it shorter; empty otherwise.
std::string TavControlValueName(const CTavControl& control);

// The open controls under a panel that is open (none when it is closed), each in an open
// panel, in the reading order Tab follows (TavReadingOrder: lines from top to bottom, each
// from left to right); controls at the same place keep the tree's order.
std::vector<CTavControl*> TavOpenControlsInReadingOrder(const CTavView& panel);

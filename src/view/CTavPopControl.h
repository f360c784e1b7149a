#pragma once
// Pop controls show a value as text in a text rectangle, optionally beside a pop button,
// and "pop" when clicked: the combo opens a menu of all the values, the edit kinds an edit
// box over the text (CTavPopEditControl.h).

#include <cstdint>
#include <string>

#include "view/CTavControl.h"
#include "view/CTavMenuItem.h"
#include "view/ITavPopupMenu.h"

class CTavStateBitmap;
class CTavStringTable;
class CTavTextWriter;

class CTavPopControl : public CTavControl {
public:
    CTavPopControl();
    ~CTavPopControl() override;

    // "textPosition", "textSize" and "buttonPosition" ("x,y" from the control's top-left
    // corner; -1 each when absent), "textWriterRef", "bitmapRef" (the pop button, two
    // frames: up and pressed), "stringTableRef" and "offsetValue".
    bool Configure(TavItems& items) override;
    // A text writer is required; the button's bitmap is loaded; with a string table the
    // main value must be an integer. Places the text rectangle and the button.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    // GetText in the text rectangle, and the button (frame 1 while pressed).
    void Draw(CTavDrawInfo& info) override;
    // A press or double click inside takes the focus; with a button, only a press on the
    // button or the text pops, otherwise every press inside does.
    bool OnMouse(const CTavMouseInfo& info) override;
    // On the focused control Return, Space, F2 and Alt+Down pop it (keeping the focus);
    // the arrow keys step it as the wheel does (up and right one index up, down and left
    // one down); Escape gives the focus up.
    bool OnKey(const CTavKeyInfo& info) override;
    bool TakesKeyboardFocus() const override { return true; }
    // Over the control: steps an integer value one index per notch, limited to the values
    // the control offers.
    bool OnWheel(const CTavWheelInfo& info) override;
    bool HitTest(TavPoint point) const override;
    // Moves the text rectangle and the button with the control.
    void SetRect(const TavRect& rect) override;

    // The text shown: a string value's text; an integer's string table entry, or the
    // decimal of its integer plus the offset.
    virtual std::string GetText() const;
    // Opens what the kind opens; nothing in the base.
    virtual void Pop() {}
    // A combo box showing the text.
    void Describe(CTavControlDescription& description) const override;

    const std::string& Text() const { return m_text; }
    const TavRect& TextRect() const { return m_textRect; }
    // Empty without a button.
    const TavRect& ButtonRect() const { return m_buttonRect; }
    bool IsPressed() const { return m_pressed; }
    CTavTextWriter* TextWriter() const { return m_textWriter; }
    const CTavStringTable* StringTable() const { return m_stringTable; }
    int32_t OffsetValue() const { return m_offsetValue; }

protected:
    // The configured places, from the control's top-left corner.
    TavPoint ConfiguredTextPosition() const { return m_textPosition; }
    TavPoint ConfiguredTextSize() const { return m_textSize; }
    TavPoint ConfiguredButtonPosition() const { return m_buttonPosition; }
    bool HasButton() const { return m_bitmap != nullptr; }
    // The number of indexes the control offers: the main value's count, limited to the
    // string table's entries when there is one; 0 without an integer value.
    virtual int32_t OfferedCount() const;
    // Shows the button pressed, pops, then shows it up again and gives the focus up.
    void PopPressed();
    // Where a menu opens: at the mouse, or under the text when a key popped it.
    TavPopupPosition PopupPosition() const;

private:
    TavPoint m_textPosition{-1, -1};
    TavPoint m_textSize{-1, -1};
    TavPoint m_buttonPosition{-1, -1};
    TavRect m_textRect;
    TavRect m_buttonRect;
    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    CTavTextWriter* m_textWriter = nullptr;
    const CTavStringTable* m_stringTable = nullptr;
    int32_t m_offsetValue = 0;
    bool m_pressed = false;
    bool m_poppedByKey = false;
    std::string m_text;
};

// A menu of every value: the string table's entries, or the indexes plus the offset.
class CTavPopComboControl : public CTavPopControl {
public:
    // Lists longer than this are split into submenus of this many items.
    static constexpr int32_t kDivisionSize = 32;
    // A menu never lists more items than this.
    static constexpr int32_t kMaxItems = 1 << 14;

    std::string_view GetKind() const override { return "combo"; }
    // The pop control's attributes and "divisionItemOffset" (what the first submenu's
    // title counts from).
    bool Configure(TavItems& items) override;
    // The string table entry, or the decimal of the index plus the offset.
    std::string GetText() const override;
    // Shows the menu at the mouse through the view manager's popup menu, the current index
    // marked; a chosen item is written with SetIndex. Without a popup menu nothing opens.
    void Pop() override;
    // Writes the index, limited to the offered items (set-value transaction).
    virtual void SetIndex(int32_t index);

    // The menu Pop shows.
    std::unique_ptr<CTavMenuItem> BuildMenu() const;
    int32_t DivisionItemOffset() const { return m_divisionItemOffset; }

private:
    int32_t m_divisionItemOffset = 0;
};

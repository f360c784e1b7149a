#pragma once
// The edit kinds: a pop control whose pop opens an edit box over its text. What the user
// types is written back through SetText. The box belongs to the platform: the core control
// asks RunEditBox, which opens nothing here, so without windows a pop changes nothing;
// CPopEditControl<T> (src/view/qt) binds a kind to the editor's edit box.

#include <cstdint>
#include <string>

#include "view/CTavPopControl.h"

class CTavPopEditControl : public CTavPopControl {
public:
    std::string_view GetKind() const override { return "edit"; }
    // The pop control's association; the text position and size are required, and so is
    // the button's position when there is a button.
    bool Associate(CTavPanel* parent) override;
    // Opens the edit box over the text rectangle (in screen coordinates) with the current
    // text; a confirmed text goes to SetText.
    void Pop() override;
    // Writes typed text (UTF-8): a string value takes it cut or padded to its length; an
    // integer with a string table the index of the entry the text names (as a knob takes
    // it; text naming none keeps the value); any other integer the decimal number read,
    // minus the offset. Always inside the value's range (set-value transaction); nothing
    // without a value.
    virtual void SetText(const std::string& text);
    // An edit showing the text.
    void Describe(CTavControlDescription& description) const override;

protected:
    // Shows an edit box over the rectangle with text selected; true with the new text in
    // text when the user confirmed it. The core has no box and answers false.
    virtual bool RunEditBox(const TavRect& screenRect, std::string& text);
    // The text position and size, and the button's position when there is a button, are
    // given; false with the message otherwise.
    bool CheckPlaces() const;
};

// An integer shown divided by a division value, with a given number of digits after the
// point ("%.*lf").
class CTavEditDoubleControl : public CTavPopEditControl {
public:
    std::string_view GetKind() const override { return "editDouble"; }
    // The edit's attributes and "precision" (0 ... 15) and "divisionValue" (above 0).
    bool Configure(TavItems& items) override;
    // The main value must be an integer.
    bool Associate(CTavPanel* parent) override;
    // (integer + offset) / division, with precision digits after the point, so the text
    // shown types back to the same integer.
    std::string GetText() const override;
    // The number read times the division, truncated toward zero, minus the offset,
    // limited to the range.
    void SetText(const std::string& text) override;

    int32_t Precision() const { return m_precision; }
    int32_t DivisionValue() const { return m_divisionValue; }

private:
    int32_t m_precision = 0;
    int32_t m_divisionValue = 1;
};

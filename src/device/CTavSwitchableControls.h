#pragma once
// Controls that show and edit one of two values, chosen by a switch value: the first
// value reference is the switch, then "value0Ref" and "value1Ref".

#include <cstdint>
#include <string>

#include "view/CTavSliderControl.h"
#include "view/CTavStaticTextControl.h"

class CTavStringTable;
class CTavValue;

namespace Brio {

// A slider over "value0Ref" while the switch's integer is 0 or less, over "value1Ref"
// while it is 1 or more. Every request for a value, by any index, answers the one in
// use, so drawing, dragging and the key and tip bar operators follow the switch.
class CTavSwitchableSliderControl : public CTavSliderControl {
public:
    std::string_view GetKind() const override { return "quasarSwSlider"; }
    // The slider's attributes ("valueRef" is the switch), then "value0Ref" and "value1Ref".
    bool Configure(TavItems& items) override;
    // Exactly the three references; both switched values must be integers of more than
    // one value.
    bool Associate(CTavPanel* parent) override;
    CTavValueRef* GetValueRef(int index) override;

    CTavValue* Switch() const;
    // 0 or 1: the switched value in use.
    int Selected() const;

protected:
    std::string MessageKind() const override { return "switchable slider"; }
};

// Shows "value0Ref" as text while the switch's position (limited to 0 or 1) is 0, and
// the bitmap frame at the position of "value1Ref" (limited to the frames) while it is 1.
class CTavSwitchableStaticTextPictureControl : public CTavStaticTextPictureControl {
public:
    std::string_view GetKind() const override { return "quasarSwStaticTextPicture"; }
    // The static text picture's attributes ("valueRef" is the switch), then "value0Ref",
    // "value1Ref" and "pictureTableRef" (a string table naming the frames in words).
    bool Configure(TavItems& items) override;
    // Exactly the three references, the switch and the second value integers.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    // While a frame shows, its name from the picture table.
    void Describe(CTavControlDescription& description) const override;

private:
    const CTavStringTable* m_pictureTable = nullptr;
};

// The text of a value as the switchable text shows it: an integer's string table entry
// followed by the unit, or "%d%s" with the raw value plus the offset and the unit; a
// string value's text and the unit.
std::string TavSwitchedText(const CTavValueTextFormat& format, const CTavValue* value);

} // namespace Brio

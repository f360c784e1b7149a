#pragma once
// The sibling device's indicator: a picture whose frame follows its value ("valueRef",
// "bitmapRef", "offsetIndex" as for the picture control).

#include "view/CTavStaticTextControl.h"

namespace Vale {

class CTavIndicatorControl : public CTavPictureControl {
public:
    std::string_view GetKind() const override { return "valeIndicator"; }
};

} // namespace Vale

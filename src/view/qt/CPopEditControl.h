#pragma once
// Binds an edit kind (CTavPopEditControl or a class derived from it), a knob or a slider
// to the editor's in-place edit box.

#include <string>

#include "view/qt/CPopupEdit.h"

template <class T> class CPopEditControl : public T {
protected:
    bool RunEditBox(const TavRect& screenRect, std::string& text) override {
        return TavRunPopupEdit(*this, screenRect, text);
    }
};

#pragma once
// The clipboard output: written text replaces the clipboard's contents as plain text.

#include "app/CTavTextOut.h"

class CClipboard : public CTavTextOut {
protected:
    void Output(const std::string& text) override;
};

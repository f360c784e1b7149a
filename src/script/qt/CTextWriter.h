#pragma once
// A text writer on a QFont.

#include <QFont>

#include "script/ITavResourceFactory.h"

class CTextWriter : public CTavTextWriter {
public:
    // Draws one line clipped to the rectangle: the background filled first when opaque,
    // the text aligned as set. A vertical font runs bottom to top, its line laid along the
    // rectangle's height (left alignment at the bottom).
    void DrawText(CTavDrawInfo& info, const TavRect& rect, const std::string& text) override;

    const QFont& Font() const { return m_font; }

protected:
    bool CreateFont() override;

private:
    QFont m_font;
};

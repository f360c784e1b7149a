#include "script/qt/CGraphDrawer.h"

#include <QPainter>

#include "view/qt/CDrawInfo.h"

void CGraphDrawer::FillRect(CTavDrawInfo& info, const TavRect& rect, CTavTextWriter::Rgb16 color) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    // Script colours have 16-bit components; the high byte is the 8-bit one.
    painter->fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()),
                      QColor(color.r >> 8, color.g >> 8, color.b >> 8));
}

#include "script/qt/CTextWriter.h"

#include <QPainter>
#include <cstdlib>

#include "script/qt/TavShiftJis.h"
#include "view/qt/CDrawInfo.h"

namespace {

// Drawing uses the high byte of each 16-bit channel.
QColor ToColor(CTavTextWriter::Rgb16 color) {
    return QColor(color.r >> 8, color.g >> 8, color.b >> 8);
}

Qt::Alignment ToAlignment(CTavTextWriter::HAlign h, CTavTextWriter::VAlign v) {
    Qt::Alignment alignment;
    switch (h) {
    case CTavTextWriter::HAlign::Left:
        alignment |= Qt::AlignLeft;
        break;
    case CTavTextWriter::HAlign::Center:
        alignment |= Qt::AlignHCenter;
        break;
    case CTavTextWriter::HAlign::Right:
        alignment |= Qt::AlignRight;
        break;
    }
    switch (v) {
    case CTavTextWriter::VAlign::Top:
        alignment |= Qt::AlignTop;
        break;
    case CTavTextWriter::VAlign::Center:
        alignment |= Qt::AlignVCenter;
        break;
    case CTavTextWriter::VAlign::Bottom:
        alignment |= Qt::AlignBottom;
        break;
    }
    return alignment;
}

} // namespace

bool CTextWriter::CreateFont() {
    // The face name is kept whole: QFont has no length limit, and a face that is not
    // installed falls back through fontconfig.
    m_font = QFont();
    if (!FaceName().empty())
        m_font.setFamily(TavDecodeShiftJis(FaceName()));
    // Character height in pixels; a negative height asks for the same size.
    const int pixels = std::abs(Height());
    if (pixels > 0)
        m_font.setPixelSize(pixels);
    m_font.setWeight(QFont::Normal);
    m_font.setItalic(false);
    m_font.setUnderline(false);
    m_font.setStrikeOut(false);
    m_font.setStyleStrategy(QFont::PreferOutline);
    return true;
}

void CTextWriter::DrawText(CTavDrawInfo& info, const TavRect& rect, const std::string& text) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || rect.IsEmpty())
        return;
    const QRect target(rect.left, rect.top, rect.Width(), rect.Height());
    painter->save();
    painter->setClipRect(target, Qt::IntersectClip);
    if (Opaque())
        painter->fillRect(target, ToColor(BackgroundColor()));
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setFont(m_font);
    painter->setPen(ToColor(FontColor()));
    QRect layout = target;
    if (Vertical()) {
        // Turned 90 degrees counter-clockwise about the rectangle's bottom-left corner: the
        // line runs upwards and its height lies across the rectangle's width.
        painter->translate(rect.left, rect.bottom);
        painter->rotate(-90);
        layout = QRect(0, 0, rect.Height(), rect.Width());
    }
    painter->drawText(layout,
                      int(ToAlignment(HorizontalAlignment(), VerticalAlignment())) | Qt::TextSingleLine,
                      TavDecodeShiftJis(text));
    painter->restore();
}

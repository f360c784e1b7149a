#include "script/qt/CGraphDrawer.h"

#include <QPainter>
#include <QPolygon>

#include "view/qt/CDrawInfo.h"

namespace {

// Script colours have 16-bit components; the high byte is the 8-bit one.
QColor ToQColor(CTavGraphDrawer::Rgb16 color) {
    return QColor(color.r >> 8, color.g >> 8, color.b >> 8);
}

Qt::PenStyle ToPenStyle(int32_t style) {
    switch (style) {
    case CTavGraphDrawer::kDashed:
        return Qt::DashLine;
    case CTavGraphDrawer::kDotted:
        return Qt::DotLine;
    default:
        return Qt::SolidLine;
    }
}

// A pen no thinner than one pixel. Wide pens get round ends and joins, so a thick curve
// has no spikes at its corners.
QPen MakePen(CTavGraphDrawer::Rgb16 color, int32_t width, Qt::PenStyle style) {
    const int pixels = width < 1 ? 1 : width;
    return QPen(ToQColor(color), pixels, style, pixels > 1 ? Qt::RoundCap : Qt::FlatCap,
                pixels > 1 ? Qt::RoundJoin : Qt::MiterJoin);
}

QPolygon ToPolygon(const std::vector<TavPoint>& points) {
    QPolygon polygon(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        polygon.setPoint(static_cast<int>(i), points[i].x, points[i].y);
    return polygon;
}

// Saves the painter's state and switches antialiasing off for one operation.
class CPainterState {
public:
    explicit CPainterState(QPainter& painter) : m_painter(painter) {
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing, false);
    }
    ~CPainterState() { m_painter.restore(); }
    CPainterState(const CPainterState&) = delete;
    CPainterState& operator=(const CPainterState&) = delete;

private:
    QPainter& m_painter;
};

} // namespace

void CGraphDrawer::FillRect(CTavDrawInfo& info, const TavRect& rect, Rgb16 color) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    painter->fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(color));
}

void CGraphDrawer::Polyline(CTavDrawInfo& info, const std::vector<TavPoint>& points, int32_t penWidth,
                            Rgb16 color) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || points.empty())
        return;
    CPainterState state(*painter);
    painter->setPen(MakePen(color, penWidth, Qt::SolidLine));
    if (points.size() > 1)
        painter->drawPolyline(ToPolygon(points));
    painter->drawPoint(points.back().x, points.back().y);
}

void CGraphDrawer::MoveTo(CTavDrawInfo& info, TavPoint point) {
    CTavGraphDrawer::MoveTo(info, point);
}

void CGraphDrawer::LineTo(CTavDrawInfo& info, TavPoint point, int32_t penWidth, Rgb16 color) {
    const TavPoint from = m_current;
    m_current = point;
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter)
        return;
    CPainterState state(*painter);
    painter->setPen(MakePen(color, penWidth, ToPenStyle(GetLineStyle())));
    painter->drawLine(from.x, from.y, point.x, point.y);
    painter->drawPoint(point.x, point.y);
}

void CGraphDrawer::FillPolygon(CTavDrawInfo& info, const std::vector<TavPoint>& points, Rgb16 color) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || points.empty())
        return;
    CPainterState state(*painter);
    painter->setPen(MakePen(color, 1, Qt::SolidLine));
    painter->setBrush(ToQColor(color));
    painter->drawPolygon(ToPolygon(points));
}

void CGraphDrawer::BeginClip(CTavDrawInfo& info, const TavRect& rect) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter)
        return;
    painter->save();
    ++m_clipDepth;
    const QRect clip(rect.left, rect.top, rect.Width() > 0 ? rect.Width() : 0,
                     rect.Height() > 0 ? rect.Height() : 0);
    painter->setClipRect(clip, painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void CGraphDrawer::EndClip(CTavDrawInfo& info) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || m_clipDepth == 0)
        return;
    --m_clipDepth;
    painter->restore();
}

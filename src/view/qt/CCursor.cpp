#include "view/qt/CCursor.h"

#include <QWidget>

#include "view/CTavView.h"

Qt::CursorShape CCursor::ShapeOfKind(int kind) {
    switch (kind) {
    case 1:
        return Qt::SizeHorCursor;
    case 3:
        return Qt::SizeVerCursor;
    case 4:
        return Qt::SplitHCursor;
    case 5:
        return Qt::SplitVCursor;
    case 6:
        return Qt::SizeAllCursor;
    case 7:
        return Qt::CrossCursor;
    case 8:
        return Qt::OpenHandCursor;
    case 9:
        return Qt::ClosedHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void CCursor::ApplyTo(QWidget& window, TavPoint clientPoint) {
    // HitTest is true while the owner holds the capture, so a drag keeps its cursor.
    if (CTavView* owner = Owner(); owner && !owner->HitTest(clientPoint))
        Reset();
    if (Owner())
        window.setCursor(QCursor(Shape()));
    else
        window.unsetCursor();
}

#pragma once
// The cursor service on Qt. The application's own cursor images are not shipped, so each
// kind is shown as a standard Qt shape:
//   0 arrow               Qt::ArrowCursor
//   1 horizontal resize   Qt::SizeHorCursor
//   3 vertical resize     Qt::SizeVerCursor
//   4 horizontal split    Qt::SplitHCursor
//   5 vertical split      Qt::SplitVCursor
//   6 move                Qt::SizeAllCursor
//   7 cross hair          Qt::CrossCursor
//   8 open hand           Qt::OpenHandCursor
//   9 closed hand         Qt::ClosedHandCursor

#include <QCursor>

#include "view/CTavCursor.h"
#include "view/TavViewTypes.h"

class QWidget;

class CCursor : public CTavCursor {
public:
    static Qt::CursorShape ShapeOfKind(int kind);

    // What a root window does whenever its cursor has to be chosen (the mouse moved over
    // it): when the owner's HitTest misses the point (client coordinates) the cursor is
    // reset; while an owner remains, the window shows its cursor, otherwise the window's
    // own cursor applies again.
    void ApplyTo(QWidget& window, TavPoint clientPoint);

    Qt::CursorShape Shape() const { return ShapeOfKind(CurrentKind()); }
};

#pragma once
// The Qt drawing target of one paint: the painter of the back buffer. Bitmaps and text
// writers of the Qt layer draw through it.

#include <QPainter>

#include "view/TavViewTypes.h"

class CDrawInfo : public CTavDrawInfo {
public:
    explicit CDrawInfo(QPainter* painter = nullptr) : painter(painter) {}

    // The painter of the target; resources draw nothing without one.
    static QPainter* PainterOf(CTavDrawInfo& info) { return static_cast<CDrawInfo&>(info).painter; }

    void Dim(const TavRect& rect) override {
        if (painter)
            painter->fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                              QColor(43, 50, 59, 170));
    }

    QPainter* painter = nullptr;
};

#pragma once
// Draws lines and shapes with the painter of the draw info: aliased, in the high bytes of
// the script's 16-bit colour components, each operation leaving the painter's pen and
// brush as it found them.

#include "script/ITavResourceFactory.h"

class CGraphDrawer : public CTavGraphDrawer {
public:
    void FillRect(CTavDrawInfo& info, const TavRect& rect, Rgb16 color) override;
    void Polyline(CTavDrawInfo& info, const std::vector<TavPoint>& points, int32_t penWidth,
                  Rgb16 color) override;
    void MoveTo(CTavDrawInfo& info, TavPoint point) override;
    void LineTo(CTavDrawInfo& info, TavPoint point, int32_t penWidth, Rgb16 color) override;
    void FillPolygon(CTavDrawInfo& info, const std::vector<TavPoint>& points, Rgb16 color) override;
    void BeginClip(CTavDrawInfo& info, const TavRect& rect) override;
    void EndClip(CTavDrawInfo& info) override;

private:
    // BeginClip calls not yet ended, so an EndClip without its BeginClip restores nothing.
    int m_clipDepth = 0;
};

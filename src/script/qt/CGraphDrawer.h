#pragma once
// Draws lines and shapes with the painter of the draw info; the drawing controls add their
// operations here.

#include "script/ITavResourceFactory.h"

class CGraphDrawer : public CTavGraphDrawer {
public:
    void FillRect(CTavDrawInfo& info, const TavRect& rect, CTavTextWriter::Rgb16 color) override;
};

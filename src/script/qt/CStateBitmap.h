#pragma once
// A multi-state bitmap on a QImage.

#include <QImage>

#include "script/ITavResourceFactory.h"

class CStateBitmap : public CTavStateBitmap {
public:
    // Copies the state's rectangle to 'at'; with the mask in use only the pixels the mask
    // marks as drawn are copied. A state outside [0, state count) draws nothing.
    void DrawState(CTavDrawInfo& info, TavPoint at, int32_t state) override;
    // Copies the image's rectangle at source, as large as destination; what lies outside
    // the image is left alone.
    void DrawPart(CTavDrawInfo& info, const TavRect& destination, TavPoint source) override;

protected:
    bool LoadImage(const std::string& path, int32_t& width, int32_t& height) override;
    void ReleaseImage() override;

private:
    // The states' pictures, opaque without a mask; with one, the mask part made the alpha
    // channel (mask black: drawn, white: transparent).
    QImage m_pictures;
};

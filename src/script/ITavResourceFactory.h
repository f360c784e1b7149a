#pragma once
// Makes the resources that draw: the platform supplies the factory, so the core knows
// bitmaps and text writers only through these bases.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/CTavElementDefinition.h"
#include "view/TavViewTypes.h"

class CTavTextOut;

// Image files larger than this are refused before they are read.
inline constexpr uint64_t kTavMaxBitmapFileSize = 64u << 20;

// A multi-state bitmap drawn from one image file "<name>.bmp" in the image folder. A
// platform that draws at a higher pixel density may also load "<name>@2x.bmp", the same
// picture at twice the size; sizes and positions stay in units of the 1x image.
class CTavStateBitmap {
public:
    virtual ~CTavStateBitmap() = default;

    // Takes name, stateCount, direction and mask out of items; false with the message.
    bool Convert(TavItems& items, CTavTextOut* errors);

    const std::string& Name() const { return m_name; }
    int32_t StateCount() const { return m_stateCount; }
    int32_t Direction() const { return m_direction; } // 0 vertical, 1 horizontal
    bool UsesMask() const { return m_mask != 0; }
    int32_t StateWidth() const { return m_stateWidth; }
    int32_t StateHeight() const { return m_stateHeight; }
    int32_t UseCount() const { return m_useCount; }

    // Loads the image at the first acquisition and works out the state size; counts uses.
    // A failed load writes the path it tried to the error output.
    bool Acquire();
    // Frees the image when the last use goes.
    void Release();
    // Draws state 'state' with its top-left corner at 'at'.
    virtual void DrawState(CTavDrawInfo& info, TavPoint at, int32_t state) = 0;
    // Draws the part of the image that starts at source, as large as destination, into
    // destination (through the mask when one is used). Bitmaps that draw nothing ignore it.
    virtual void DrawPart(CTavDrawInfo&, const TavRect& /*destination*/, TavPoint /*source*/) {}

    // Where state 'state' starts in the image: s state heights down (vertical) or s state
    // widths across (horizontal).
    TavPoint StateOrigin(int32_t state) const;
    // From a state's picture to its mask: one state width right (vertical) or one state
    // height down (horizontal).
    TavPoint MaskOffset() const;

    void SetImageFolder(std::string folder) { m_imageFolder = std::move(folder); }
    void SetErrorOutput(CTavTextOut* errors) { m_errors = errors; }
    std::string ImagePath() const { return m_imageFolder + m_name + ".bmp"; }
    std::string ImagePath2x() const { return m_imageFolder + m_name + "@2x.bmp"; }

protected:
    CTavTextOut* ErrorOutput() const { return m_errors; }
    // Loads the image file; false when it cannot be read. width and height of the whole image.
    virtual bool LoadImage(const std::string& path, int32_t& width, int32_t& height) = 0;
    virtual void ReleaseImage() = 0;

private:
    std::string m_name;
    std::string m_imageFolder;
    CTavTextOut* m_errors = nullptr;
    int32_t m_stateCount = 1;
    int32_t m_direction = 0;
    int32_t m_mask = 0;
    int32_t m_stateWidth = 0;
    int32_t m_stateHeight = 0;
    int32_t m_useCount = 0;
};

// A font and how text is placed in a rectangle.
class CTavTextWriter {
public:
    enum class HAlign { Left, Center, Right };
    enum class VAlign { Top, Center, Bottom };
    struct Rgb16 {
        uint16_t r = 0, g = 0, b = 0;
        bool operator==(const Rgb16&) const = default;
    };

    virtual ~CTavTextWriter() = default;

    // Takes the text writer's items out of items and creates the font; false with the message.
    bool Convert(TavItems& items, CTavTextOut* errors);

    const std::string& Name() const { return m_name; }
    const std::string& FaceName() const { return m_faceName; }
    int32_t Height() const { return m_height; }
    Rgb16 FontColor() const { return m_fontColor; }
    Rgb16 BackgroundColor() const { return m_backgroundColor; }
    bool Vertical() const { return m_vertical; }
    HAlign HorizontalAlignment() const { return m_hAlign; }
    VAlign VerticalAlignment() const { return m_vAlign; }
    bool Opaque() const { return m_opaque; }

    // Draws one line of text (Shift_JIS bytes) into the rectangle.
    virtual void DrawText(CTavDrawInfo& info, const TavRect& rect, const std::string& text) = 0;

protected:
    // Creates the platform font from the fields; false when that fails.
    virtual bool CreateFont() = 0;

private:
    std::string m_name;
    std::string m_faceName;
    int32_t m_height = 10;
    Rgb16 m_fontColor{0, 0, 0};
    Rgb16 m_backgroundColor{65280, 65280, 65280};
    bool m_vertical = false;
    HAlign m_hAlign = HAlign::Left;
    VAlign m_vAlign = VAlign::Center;
    bool m_opaque = true;
};

// Draws lines and shapes for the drawing controls. The base draws nothing (no target), so
// the headless factory hands it out as it is. Points are in root client coordinates.
class CTavGraphDrawer {
public:
    using Rgb16 = CTavTextWriter::Rgb16;
    // Pen styles of MoveTo/LineTo.
    enum LineStyle : int32_t { kSolid = 0, kDashed = 1, kDotted = 2 };

    virtual ~CTavGraphDrawer() = default;
    // Fills the rectangle in a colour of 16-bit components.
    virtual void FillRect(CTavDrawInfo& info, const TavRect& rect, Rgb16 color);
    // A solid line through the points, the last point's pixel included.
    virtual void Polyline(CTavDrawInfo& info, const std::vector<TavPoint>& points, int32_t penWidth,
                          Rgb16 color);
    // Sets the start of the next LineTo.
    virtual void MoveTo(CTavDrawInfo& info, TavPoint point);
    // A line in the drawer's line style from the current point to this one, the end pixel
    // included; the end becomes the current point.
    virtual void LineTo(CTavDrawInfo& info, TavPoint point, int32_t penWidth, Rgb16 color);
    // The polygon filled and outlined (1 pixel) in the colour.
    virtual void FillPolygon(CTavDrawInfo& info, const std::vector<TavPoint>& points, Rgb16 color);
    // Saves the drawing state and narrows the clip to the rectangle; EndClip restores it.
    // Pairs nest.
    virtual void BeginClip(CTavDrawInfo& info, const TavRect& rect);
    virtual void EndClip(CTavDrawInfo& info);

    // 0 solid, 1 dashed, 2 dotted; anything else draws solid.
    void SetLineStyle(int32_t style) { m_lineStyle = style; }
    int32_t GetLineStyle() const { return m_lineStyle; }

protected:
    TavPoint m_current;

private:
    int32_t m_lineStyle = kSolid;
};

// Makes the platform's bitmaps, text writers and graph drawers.
class ITavResourceFactory {
public:
    virtual ~ITavResourceFactory() = default;
    virtual std::unique_ptr<CTavStateBitmap> CreateBitmap() = 0;
    virtual std::unique_ptr<CTavTextWriter> CreateTextWriter() = 0;
    virtual std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() = 0;
};

#pragma once
// Controls that only show a value: static text (the value as text through a text writer),
// static text with picture (text, except for the top values of the range, which show as
// frames of a bitmap) and picture (one frame of a bitmap chosen by the value).

#include <cstdint>
#include <string>

#include "view/CTavControl.h"

class CTavStateBitmap;
class CTavStringTable;
class CTavTextWriter;

// How a value reads as text: with a string table the entry at the value's index (limited
// to the table); otherwise the decimal of the value's integer plus the offset, followed by
// the unit. A string value shows its text followed by the unit.
struct CTavValueTextFormat {
    CTavTextWriter* textWriter = nullptr;
    const CTavStringTable* stringTable = nullptr;
    int32_t offsetValue = 0;
    std::string unit;

    std::string TextOf(const CTavValue* value) const;

    // The messages of a kind for the attributes below; textOnly for a format that names
    // the attribute text alone, otherwise it names the view, then the text.
    struct CMessages {
        const char* textWriter;
        const char* stringTable;
        const char* offsetValue;
        bool textOnly;
    };
    // Takes "textWriterRef", "stringTableRef", "offsetValue" and "unit" out of items;
    // false with the kind's message.
    bool Configure(TavItems& items, CTavView& view, const CMessages& messages);
};

class CTavStaticTextControl : public CTavControl {
public:
    std::string_view GetKind() const override { return "staticText"; }
    // "textWriterRef", "stringTableRef", "offsetValue" and "unit".
    bool Configure(TavItems& items) override;
    // A value reference and a text writer are required.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    void Draw(CTavDrawInfo& info) override;

    const std::string& Text() const { return m_text; }
    const CTavValueTextFormat& Format() const { return m_format; }
    // Static text showing the text.
    void Describe(CTavControlDescription& description) const override;

private:
    CTavValueTextFormat m_format;
    std::string m_text;
};

class CTavStaticTextPictureControl : public CTavControl {
public:
    CTavStaticTextPictureControl();
    ~CTavStaticTextPictureControl() override;

    std::string_view GetKind() const override { return "staticTextPicture"; }
    // The static text's attributes and "bitmapRef".
    bool Configure(TavItems& items) override;
    // A value reference, a text writer and a bitmap are required; the bitmap is loaded.
    bool Associate(CTavPanel* parent) override;
    // With N frames, the top N indexes of the range show frames 0 ... N - 1, the others
    // show the text.
    void Refresh() override;
    // The text, or the frame right-aligned in the rectangle and centred vertically.
    void Draw(CTavDrawInfo& info) override;

    const std::string& Text() const { return m_text; }
    // The frame shown; -1 while the text is.
    int32_t Frame() const { return m_frame; }
    // Static text: the text, or the value's text for a frame.
    void Describe(CTavControlDescription& description) const override;

protected:
    const CTavValueTextFormat& Format() const { return m_format; }
    // The bitmap's frames; 0 before it is loaded.
    int32_t FrameCount() const;
    // What Draw shows: the text while frame is -1, otherwise that frame.
    void Show(std::string text, int32_t frame) {
        m_text = std::move(text);
        m_frame = frame;
    }

private:
    CTavValueTextFormat m_format;
    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    std::string m_text;
    int32_t m_frame = -1;
};

class CTavPictureControl : public CTavControl {
public:
    CTavPictureControl();
    ~CTavPictureControl() override;

    std::string_view GetKind() const override { return "picture"; }
    // "bitmapRef" and "offsetIndex".
    bool Configure(TavItems& items) override;
    // A value reference and a bitmap are required; the bitmap is loaded. A control without
    // a size takes the size of one frame.
    bool Associate(CTavPanel* parent) override;
    // The frame is the value's index plus the offset index, limited to the frames.
    void Refresh() override;
    // The frame at the top-left corner.
    void Draw(CTavDrawInfo& info) override;

    int32_t Frame() const { return m_frame; }
    // An indicator: the value's place in its range.
    void Describe(CTavControlDescription& description) const override;

private:
    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    int32_t m_offsetIndex = 0;
    int32_t m_frame = 0;
};

// Conversion of bitmap and text writer definitions, and the image use count of bitmaps.

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "app/CTavTextOut.h"
#include "script/CTavTable.h"
#include "script/ITavResourceFactory.h"

namespace {

// Three 16-bit channels "r,g,b"; blanks may precede each number.
bool ParseColor(std::string_view text, CTavTextWriter::Rgb16& color) {
    uint16_t channels[3] = {};
    for (int i = 0; i < 3; ++i) {
        const size_t comma = i < 2 ? text.find(',') : std::string_view::npos;
        if (i < 2 && comma == std::string_view::npos)
            return false;
        int32_t value = 0;
        if (!TavParseDecimal(text.substr(0, comma), value) || value < 0 || value > 0xFFFF)
            return false;
        channels[i] = static_cast<uint16_t>(value);
        if (comma != std::string_view::npos)
            text.remove_prefix(comma + 1);
    }
    color = {channels[0], channels[1], channels[2]};
    return true;
}

std::string_view Trim(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Finds the keyword among the choices; its index, or -1.
int Keyword(std::string_view text, std::initializer_list<std::string_view> choices) {
    const std::string lower = Lower(text);
    int index = 0;
    for (std::string_view choice : choices) {
        if (lower == choice)
            return index;
        ++index;
    }
    return -1;
}

} // namespace

// --- Bitmaps -----------------------------------------------------------------------------

bool CTavStateBitmap::Convert(TavItems& items, CTavTextOut* errors) {
    m_name = TavTakeName(items);
    const char* name = m_name.c_str();
    for (auto it = items.begin(); it != items.end();) {
        const std::string& tag = it->first;
        const char* text = it->second.c_str();
        int32_t value = 0;
        if (tag == "stateCount") {
            if (!TavParseDecimal(it->second, value)) {
                if (errors)
                    errors->Printf("Bitmap %s state count is invalid. : %s\n", name, text);
                return false;
            }
            if (value <= 0) {
                if (errors)
                    errors->Printf("Bitmap %s state count must be greater than 0.\n", name);
                return false;
            }
            m_stateCount = value;
        } else if (tag == "direction") {
            if (!TavParseDecimal(it->second, value)) {
                if (errors)
                    errors->Printf("Bitmap %s direction is invalid : %s\n", name, text);
                return false;
            }
            if (value != 0 && value != 1) {
                if (errors)
                    errors->Printf("Bitmap %s direction must be 0 (vertical) or 1 (horizontal).\n", name);
                return false;
            }
            m_direction = value;
        } else if (tag == "mask") {
            if (!TavParseDecimal(it->second, value)) {
                if (errors)
                    errors->Printf("Bitmap %s mask is invalid. : %s\n", name, text);
                return false;
            }
            if (value != 0 && value != 1) {
                if (errors)
                    errors->Printf("Bitmap %s mask must be 0 (do not use) or 1 (use).\n", name);
                return false;
            }
            m_mask = value;
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

bool CTavStateBitmap::Acquire() {
    if (m_useCount == 0) {
        int32_t width = 0;
        int32_t height = 0;
        const std::string path = ImagePath();
        if (!LoadImage(path, width, height)) {
            if (m_errors)
                m_errors->Printf("Unable to load the image of bitmap %s. : %s\n", m_name.c_str(), path.c_str());
            return false;
        }
        const int32_t parts = UsesMask() ? 2 : 1;
        if (m_direction == 0) {
            m_stateHeight = height / m_stateCount;
            m_stateWidth = width / parts;
        } else {
            m_stateWidth = width / m_stateCount;
            m_stateHeight = height / parts;
        }
    }
    ++m_useCount;
    return true;
}

void CTavStateBitmap::Release() {
    if (m_useCount <= 0)
        return;
    if (--m_useCount == 0)
        ReleaseImage();
}

TavPoint CTavStateBitmap::StateOrigin(int32_t state) const {
    return m_direction == 0 ? TavPoint{0, state * m_stateHeight} : TavPoint{state * m_stateWidth, 0};
}

TavPoint CTavStateBitmap::MaskOffset() const {
    return m_direction == 0 ? TavPoint{m_stateWidth, 0} : TavPoint{0, m_stateHeight};
}

// --- Text writers ------------------------------------------------------------------------

bool CTavTextWriter::Convert(TavItems& items, CTavTextOut* errors) {
    m_name = TavTakeName(items);
    const char* name = m_name.c_str();
    for (auto it = items.begin(); it != items.end();) {
        const std::string& tag = it->first;
        const std::string_view text = Trim(it->second);
        // Every item needs at least two characters.
        const bool usable = text.size() >= 2;
        bool valid = usable;
        const char* field = nullptr;
        if (tag == "fontFaceName") {
            if (usable)
                m_faceName = std::string(text);
            else if (errors)
                errors->Printf("TextWriter %s fontFaceName is invalid. : %s\n", name,
                               std::string(text).c_str());
            it = items.erase(it);
            continue;
        } else if (tag == "fontHeight") {
            field = "fontHeight";
            valid = valid && TavParseDecimal(text, m_height);
        } else if (tag == "fontColor") {
            field = "fontColor";
            valid = valid && ParseColor(text, m_fontColor);
        } else if (tag == "backgroundColor") {
            field = "backgroundColor";
            valid = valid && ParseColor(text, m_backgroundColor);
        } else if (tag == "verticalFont") {
            field = "verticalFont";
            const int keyword = usable ? Keyword(text, {"false", "true"}) : -1;
            valid = keyword >= 0;
            if (valid)
                m_vertical = keyword == 1;
        } else if (tag == "textAlignmentHorizontal" || tag == "textAlignment") {
            field = "textAlignmentHorizontal";
            const int keyword = usable ? Keyword(text, {"left", "center", "right"}) : -1;
            valid = keyword >= 0;
            if (valid)
                m_hAlign = static_cast<HAlign>(keyword);
        } else if (tag == "textAlignmentVertical") {
            field = "textAlignmentVertical";
            const int keyword = usable ? Keyword(text, {"top", "center", "bottom"}) : -1;
            valid = keyword >= 0;
            if (valid)
                m_vAlign = static_cast<VAlign>(keyword);
        } else if (tag == "backgroundMode") {
            field = "backgroundMode";
            const int keyword = usable ? Keyword(text, {"transparent", "opaque"}) : -1;
            valid = keyword >= 0;
            if (valid)
                m_opaque = keyword == 1;
        } else {
            ++it;
            continue;
        }
        if (!valid) {
            if (errors)
                errors->Printf("TextWriter %s %s is invalid. : %s\n", name, field, std::string(text).c_str());
            return false;
        }
        it = items.erase(it);
    }
    return CreateFont();
}

void CTavGraphDrawer::FillRect(CTavDrawInfo&, const TavRect&, Rgb16) {}
void CTavGraphDrawer::Polyline(CTavDrawInfo&, const std::vector<TavPoint>&, int32_t, Rgb16) {}
void CTavGraphDrawer::MoveTo(CTavDrawInfo&, TavPoint point) {
    m_current = point;
}
void CTavGraphDrawer::LineTo(CTavDrawInfo&, TavPoint point, int32_t, Rgb16) {
    m_current = point;
}
void CTavGraphDrawer::FillPolygon(CTavDrawInfo&, const std::vector<TavPoint>&, Rgb16) {}
void CTavGraphDrawer::BeginClip(CTavDrawInfo&, const TavRect&) {}
void CTavGraphDrawer::EndClip(CTavDrawInfo&) {}

#include "model/TavAddress.h"

#include <cstdio>

namespace {

uint32_t HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<uint32_t>(c - 'A' + 10);
    return 0;
}

// Blanks, tabs and line breaks separate bytes, so a list may be laid out over lines.
bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

int32_t TavParseHexBytes(std::string_view text) {
    uint32_t value = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (IsSeparator(text[i])) {
            ++i;
            continue;
        }
        uint32_t byte = HexDigit(text[i++]);
        if (i < text.size() && !IsSeparator(text[i]))
            byte = byte * 16 + HexDigit(text[i++]);
        value = value * 128 + byte;
    }
    return static_cast<int32_t>(value);
}

std::string TavFormatAddress(int32_t address, int count) {
    std::string text;
    for (int i = count - 1; i >= 0; --i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned>((address >> (7 * i)) & 0x7F));
        if (!text.empty())
            text += ' ';
        text += byte;
    }
    return text;
}

#include "script/CTavTable.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "app/CTavTextOut.h"

namespace {

// Removes the items with this tag and returns their texts in order.
std::vector<std::string> Take(TavItems& items, std::string_view tag) {
    std::vector<std::string> texts;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == tag) {
            texts.push_back(std::move(it->second));
            it = items.erase(it);
        } else {
            ++it;
        }
    }
    return texts;
}

std::string_view TrimControls(std::string_view piece) {
    while (!piece.empty() && static_cast<unsigned char>(piece.front()) < '!')
        piece.remove_prefix(1);
    while (!piece.empty() && static_cast<unsigned char>(piece.back()) < '!')
        piece.remove_suffix(1);
    return piece;
}

std::string Unescape(std::string_view piece) {
    std::string text;
    for (size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] == '\\' && i + 1 < piece.size() && (piece[i + 1] == '\\' || piece[i + 1] == 'c')) {
            text += piece[i + 1] == 'c' ? ',' : '\\';
            ++i;
        } else {
            text += piece[i];
        }
    }
    return text;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        pieces.push_back(
            text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return pieces;
        start = comma + 1;
    }
}

} // namespace

bool TavParseDecimal(std::string_view piece, int32_t& value) {
    const std::string text(piece);
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        return false;
    // Trailing blanks are tolerated as leading ones are; anything else is not a number.
    for (const char* p = end; *p; ++p)
        if (static_cast<unsigned char>(*p) >= '!')
            return false;
    value = static_cast<int32_t>(number);
    return true;
}

bool CTavStringTable::Convert(TavItems& items, CTavTextOut* errors) {
    SetName(TavTakeName(items));
    for (auto& item : items)
        item.second = TavDecodeEntities(item.second);
    for (const std::string& text : Take(items, "table")) {
        for (std::string_view piece : SplitCommas(text)) {
            piece = TrimControls(piece);
            if (!piece.empty())
                Elements().push_back(Unescape(piece));
        }
    }
    if (Elements().empty()) {
        if (errors)
            errors->Printf("String table %s has no element.\n", Name().c_str());
        return false;
    }
    return true;
}

TavItems CTavStringTable::ToItems() const {
    std::string table;
    for (const std::string& element : Elements()) {
        if (!table.empty())
            table += ", ";
        for (char c : element) {
            if (c == '\\')
                table += "\\\\";
            else if (c == ',')
                table += "\\c";
            else
                table += c;
        }
    }
    return {{"name", Name()}, {"table", table}};
}

bool CTavIntegerTable::Convert(TavItems& items, CTavTextOut* errors) {
    SetName(TavTakeName(items));
    for (const std::string& text : Take(items, "table")) {
        for (std::string_view piece : SplitCommas(text)) {
            int32_t value = 0;
            if (!TavParseDecimal(piece, value)) {
                if (errors)
                    errors->Printf("Number table has invalid element. : %s\n", TavShownText(text).c_str());
                return false;
            }
            Elements().push_back(value);
        }
    }
    if (Elements().empty()) {
        if (errors)
            errors->Printf("Number table %s has no element.\n", Name().c_str());
        return false;
    }
    return true;
}

TavItems CTavIntegerTable::ToItems() const {
    std::string table;
    for (int32_t number : Elements()) {
        if (!table.empty())
            table += ',';
        table += std::to_string(number);
    }
    return {{"name", Name()}, {"table", table}};
}

#include "view/TavValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "script/CTavTable.h"

namespace {

constexpr int64_t kMagnitudeLimit = int64_t{1} << 62;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
    if (text.size() - at < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = text[at + i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != word[i])
            return false;
    }
    return true;
}

// Skips blanks and one sign; at is left on the first character after them.
bool SkipBlanksAndSign(std::string_view text, size_t& at) {
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    return negative;
}

// A limit that holds even when a hostile range has its ends the wrong way round.
int32_t Limit(int64_t number, int32_t minimum, int32_t maximum) {
    return static_cast<int32_t>(std::max<int64_t>(minimum, std::min<int64_t>(number, maximum)));
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t at = 0; at < a.size(); ++at)
        if (AsciiLower(a[at]) != AsciiLower(b[at]))
            return false;
    return true;
}

} // namespace

std::string TavNumberText(int64_t number, std::string_view unit) {
    std::string text = std::to_string(number);
    text += unit;
    return text;
}

std::string TavTableText(const CTavStringTable& table, int32_t index) {
    if (table.Count() <= 0)
        return {};
    return table.ElementAt(std::clamp(index, 0, table.Count() - 1));
}

std::string TavQuotientText(int64_t number, int32_t division, int32_t precision) {
    const double quotient = static_cast<double>(number) / static_cast<double>(division > 0 ? division : 1);
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, quotient, std::chars_format::fixed,
                                      std::clamp(precision, 0, 15));
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

bool TavReadLeadingDecimal(std::string_view text, int64_t& number) {
    size_t at = 0;
    const bool negative = SkipBlanksAndSign(text, at);
    int64_t magnitude = 0;
    bool read = false;
    for (; at < text.size() && DigitValue(text[at]) < 10; ++at) {
        read = true;
        const int digit = DigitValue(text[at]);
        magnitude = magnitude > (kMagnitudeLimit - digit) / 10 ? kMagnitudeLimit : magnitude * 10 + digit;
    }
    if (read)
        number = negative ? -magnitude : magnitude;
    return read;
}

bool TavReadLeadingDouble(std::string_view text, double& number) {
    size_t at = 0;
    const bool negative = SkipBlanksAndSign(text, at);
    if (at >= text.size())
        return false;
    const char* begin = text.data() + at;
    const char* end = text.data() + text.size();
    double magnitude = 0;
    if (StartsWithNoCase(text, at, "inf")) {
        magnitude = std::numeric_limits<double>::infinity();
    } else if (text[at] == '0' && at + 1 < text.size() && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        // Without hexadecimal digits after it the zero alone reads.
        if (std::from_chars(begin + 2, end, magnitude, std::chars_format::hex).ec != std::errc())
            magnitude = 0;
    } else if (DigitValue(text[at]) < 10 || text[at] == '.') {
        const auto result = std::from_chars(begin, end, magnitude, std::chars_format::general);
        if (result.ec == std::errc::result_out_of_range) {
            // Too large or too small for a double: infinity, or zero for a negative exponent.
            const std::string_view read(begin, static_cast<size_t>(result.ptr - begin));
            const size_t exponent = read.find_first_of("eE");
            const bool tiny =
                exponent != std::string_view::npos && exponent + 1 < read.size() && read[exponent + 1] == '-';
            magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        } else if (result.ec != std::errc()) {
            return false;
        }
    } else {
        // Another sign, a letter or "nan": nothing a value can take.
        return false;
    }
    number = negative ? -magnitude : magnitude;
    return true;
}

int32_t TavTypedInteger(std::string_view text, int32_t offset, int32_t minimum, int32_t maximum) {
    int64_t number = 0;
    if (!TavReadLeadingDecimal(text, number))
        return Limit(minimum, minimum, maximum);
    return Limit(number - offset, minimum, maximum);
}

int32_t TavTypedQuotient(std::string_view text, int32_t division, int32_t offset, int32_t minimum,
                         int32_t maximum) {
    double number = 0;
    if (!TavReadLeadingDouble(text, number))
        return Limit(minimum, minimum, maximum);
    const double product = number * static_cast<double>(division);
    if (std::isnan(product)) // infinity times a zero division
        return Limit(minimum, minimum, maximum);
    double whole = std::trunc(product);
    const double nearest = std::round(product);
    if (std::isfinite(product) && std::fabs(product - nearest) <= 1e-9 * std::max(1.0, std::fabs(product)))
        whole = nearest;
    const double shifted = whole - static_cast<double>(offset);
    if (shifted <= static_cast<double>(minimum))
        return Limit(minimum, minimum, maximum);
    if (shifted >= static_cast<double>(maximum))
        return Limit(maximum, minimum, maximum);
    return static_cast<int32_t>(shifted);
}

std::optional<int32_t> TavTypedIntegerIfRead(std::string_view text, int32_t offset, int32_t minimum,
                                             int32_t maximum) {
    int64_t number = 0;
    if (!TavReadLeadingDecimal(text, number))
        return std::nullopt;
    return Limit(number - offset, minimum, maximum);
}

std::optional<int32_t> TavTypedTableEntry(std::string_view text, const CTavStringTable& table) {
    for (int32_t index = 0; index < table.Count(); ++index)
        if (table.ElementAt(index) == text)
            return index;
    const std::string_view typed = TrimBlanks(text);
    for (int32_t index = 0; index < table.Count(); ++index)
        if (EqualIgnoringCase(TrimBlanks(table.ElementAt(index)), typed))
            return index;
    return std::nullopt;
}

std::string TavTypedString(std::string_view text, size_t length) {
    std::string typed;
    typed.reserve(length);
    size_t continuation = 0; // bytes still expected in the current UTF-8 sequence
    for (size_t at = 0; at < text.size() && typed.size() < length; ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x80 && byte < 0xC0 && continuation > 0) {
            --continuation;
            continue;
        }
        continuation = 0;
        if (byte >= 0xC0) {
            continuation = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
            typed += '?';
        } else if (byte >= 0x80) {
            typed += '?';
        } else if (byte < 32 || byte == 0x7F) {
            typed += ' ';
        } else {
            typed += static_cast<char>(byte);
        }
    }
    typed.resize(length, ' ');
    return typed;
}

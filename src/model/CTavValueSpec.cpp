#include "model/CTavValueSpec.h"

#include <algorithm>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <tuple>

#include "app/CTavTextOut.h"
#include "model/TavValueTypes.h"
#include "script/CTavResourceManager.h"
#include "script/CTavTable.h"

bool CTavStructSpec::operator<(const CTavStructSpec& other) const {
    return std::tie(name, begin, end) < std::tie(other.name, other.begin, other.end);
}

bool CTavValueSpec::operator<(const CTavValueSpec& other) const {
    return std::tie(name, begin, end, type, minimum, maximum, defaultValue, defaultText, numberTable) <
           std::tie(other.name, other.begin, other.end, other.type, other.minimum, other.maximum, other.defaultValue,
                    other.defaultText, other.numberTable);
}

int32_t CTavValueSpec::RawOfPosition(int32_t position) const {
    if (numberTable) {
        if (position < 0 || position >= numberTable->Count())
            return minimum;
        return numberTable->ElementAt(position);
    }
    return position + minimum;
}

int32_t CTavValueSpec::PositionOfRaw(int32_t raw) const {
    return numberTable ? numberTable->PositionOf(raw) : raw - minimum;
}

namespace {

// Reads one decimal number with an optional sign after optional leading white space, and
// an optional signed-value mark 'S' directly after it. Advances pos past what it read.
bool ReadNumber(std::string_view text, size_t& pos, long& number, bool& signedMark) {
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
    size_t digitsStart = pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    const size_t firstDigit = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    if (pos == firstDigit)
        return false;
    const std::string digits(text.substr(digitsStart, pos - digitsStart));
    errno = 0;
    number = std::strtol(digits.c_str(), nullptr, 10);
    if (errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        return false;
    signedMark = pos < text.size() && text[pos] == 'S';
    if (signedMark)
        ++pos;
    return true;
}

int32_t Apply(long number, bool signedMark, int type) {
    return static_cast<int32_t>(signedMark ? number + TavSignedOffset(type) : number);
}

bool ParseRange(std::string_view text, int type, int32_t& minimum, int32_t& maximum) {
    size_t pos = 0;
    long low = 0, high = 0;
    bool lowSigned = false, highSigned = false;
    if (!ReadNumber(text, pos, low, lowSigned) || pos >= text.size() || text[pos] != ',')
        return false;
    ++pos;
    if (!ReadNumber(text, pos, high, highSigned) || pos != text.size())
        return false;
    minimum = Apply(low, lowSigned, type);
    maximum = Apply(high, highSigned, type);
    return true;
}

bool ParseDefault(std::string_view text, int type, int32_t& value) {
    size_t pos = 0;
    long number = 0;
    bool signedMark = false;
    if (!ReadNumber(text, pos, number, signedMark) || pos != text.size())
        return false;
    value = Apply(number, signedMark, type);
    return true;
}

} // namespace

bool TavConvertValueSpec(TavItems& items, std::string_view typeText, int32_t runningAddress,
                         const CTavResourceManager* resources, CTavTextOut* errors, CTavValueSpec& spec) {
    auto report = [errors](auto... args) {
        if (errors)
            errors->Printf(args...);
        return false;
    };
    spec = CTavValueSpec();
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->first == "name") {
            spec.name = it->second;
            items.erase(it);
            break;
        }
    }
    const std::string typeString(typeText);
    const auto type = TavValueTypeFromText(typeText);
    if (!type)
        return report("Value type is unknown. : %s : %s\n", spec.name.c_str(), typeString.c_str());
    spec.type = *type;
    const int32_t expectedSize = TavValueTypeSize(spec.type);
    int32_t address = runningAddress;
    int32_t size = expectedSize;
    bool rangeRead = false;
    bool defaultRead = false;

    for (auto it = items.begin(); it != items.end();) {
        const std::string& tag = it->first;
        const std::string& text = it->second;
        if (tag == "address") {
            address = TavParseHexBytes(text);
        } else if (tag == "size") {
            size = TavParseHexBytes(text);
            if (spec.type != kTavString && size != expectedSize)
                return report("Value size must be %02X. : %s : %s\n", static_cast<unsigned>(expectedSize),
                              spec.name.c_str(), text.c_str());
        } else if (tag == "range") {
            if (!ParseRange(text, spec.type, spec.minimum, spec.maximum))
                return report("Value range is invalid. : %s : %s\n", spec.name.c_str(), text.c_str());
            rangeRead = true;
            if (defaultRead && (spec.defaultValue < spec.minimum || spec.defaultValue > spec.maximum))
                return report("Value default %ld is out of range [%d,%d]. : %s : %s\n",
                              static_cast<long>(spec.defaultValue), spec.minimum, spec.maximum, spec.name.c_str(),
                              text.c_str());
        } else if (tag == "default") {
            if (spec.type == kTavString) {
                // Text values go to the device and into data files byte for byte, where a
                // byte above 7F would be a status byte and the file could not be read back.
                const auto high = std::find_if(text.begin(), text.end(),
                                               [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
                if (high != text.end())
                    return report("Value default holds the byte %02X, which a text value cannot hold. : %s : %s\n",
                                  static_cast<unsigned>(static_cast<unsigned char>(*high)), spec.name.c_str(),
                                  text.c_str());
                spec.defaultText = text;
            } else {
                if (!ParseDefault(text, spec.type, spec.defaultValue))
                    return report("Value default is invalid. : %s : %s\n", spec.name.c_str(), text.c_str());
                defaultRead = true;
                if (rangeRead && (spec.defaultValue < spec.minimum || spec.defaultValue > spec.maximum))
                    return report("Value default %ld is out of range [%d,%d]. : %s : %s\n",
                                  static_cast<long>(spec.defaultValue), spec.minimum, spec.maximum,
                                  spec.name.c_str(), text.c_str());
            }
        } else if (tag == "numberTableRef") {
            spec.numberTable = resources ? resources->FindNumberTable(text) : nullptr;
            if (!spec.numberTable)
                return report("Unable to find number table. : %s : %s.\n", spec.name.c_str(), text.c_str());
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    const int64_t end = int64_t{address} + size;
    if (address < 0 || size < 0 || end > INT32_MAX)
        return report("Value address range is invalid. : %s\n", spec.name.c_str());
    spec.begin = address;
    spec.end = static_cast<int32_t>(end);
    return true;
}

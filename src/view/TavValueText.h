#pragma once
// Values as the text controls show them, and text typed into an edit box turned back into
// a value. Pure functions on plain numbers and texts, so they are tested and fuzzed alone.
// Typed text is hostile: any length, any bytes (UTF-8 from the edit box); every function
// answers a value inside the bounds it is given and never reads past the text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CTavStringTable;

// The decimal of number followed by the unit ("%d%s" with a number that cannot overflow).
std::string TavNumberText(int64_t number, std::string_view unit = {});

// The entry of the table at index, limited to 0 ... entries - 1; empty for an empty table.
std::string TavTableText(const CTavStringTable& table, int32_t index);

// The decimal of number / division with precision digits after the point ("%.*lf",
// independent of the locale). division must be positive; precision is limited to 0 ... 15.
std::string TavQuotientText(int64_t number, int32_t division, int32_t precision);

// The leading decimal integer of text: blanks, an optional sign, then decimal digits. A
// typed number is decimal whatever its leading zeros ("010" is ten), and "0x1F" reads as
// the zero before the letter. Magnitudes beyond 2^62 are held at 2^62, so the result never
// overflows. False when no digit reads.
bool TavReadLeadingDecimal(std::string_view text, int64_t& number);

// The leading floating-point number of text as "%lf" reads it, with '.' as the point
// whatever the locale: blanks, an optional sign, digits with an optional point and
// exponent, hexadecimal "0x..." or "inf". False when nothing reads (and for "nan").
bool TavReadLeadingDouble(std::string_view text, double& number);

// Typed text for an integer value: the leading decimal integer minus the offset, limited
// to minimum ... maximum. Text that does not read counts as minimum + offset.
int32_t TavTypedInteger(std::string_view text, int32_t offset, int32_t minimum, int32_t maximum);

// Typed text for an integer shown divided by division: the leading number times division,
// truncated toward zero, minus the offset, limited to minimum ... maximum. A product within
// a billionth of an integer counts as that integer, so "0.29" times 100 gives 29 although
// the binary product lies just below it. Text that does not read counts as minimum + offset.
int32_t TavTypedQuotient(std::string_view text, int32_t division, int32_t offset, int32_t minimum,
                         int32_t maximum);

// Typed text for a knob or slider, where nothing written is better than a guess: the
// leading decimal integer minus the offset, limited to minimum ... maximum; nothing when
// no digit reads.
std::optional<int32_t> TavTypedIntegerIfRead(std::string_view text, int32_t offset, int32_t minimum,
                                             int32_t maximum);

// The position of the table entry text names (an edit, knob or slider over a string
// table): the first equal entry, else the first equal to it with blanks around either
// trimmed and ASCII letters compared without case; nothing when no entry matches, and the
// value is then kept.
std::optional<int32_t> TavTypedTableEntry(std::string_view text, const CTavStringTable& table);

// Typed text for a string value of length bytes: cut or padded with blanks to the length;
// control characters (below 32, and 127) become blanks and every character outside 7-bit
// ASCII (a UTF-8 sequence, or a stray byte of 128 and above) one '?', so the value holds
// only bytes the device's framing carries.
std::string TavTypedString(std::string_view text, size_t length);

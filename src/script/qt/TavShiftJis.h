#pragma once
// Decoding of the script's Shift_JIS text for display.

#include <QString>
#include <string_view>

// Decodes Shift_JIS bytes (the Windows code page 932 variant, so 0x5C stays a backslash).
// A byte that starts no valid character becomes U+FFFD and decoding goes on after it.
QString TavDecodeShiftJis(std::string_view bytes);

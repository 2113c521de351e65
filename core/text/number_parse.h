#pragma once

#include <cstdint>
#include <string_view>

namespace gestalon::core {

// Decimal text to integer like the C library's conversion: leading blanks (space, tab, CR, LF,
// VT, FF) and one sign accepted, digits up to the first other character; no digits gives 0.
// Values beyond the 32-bit range saturate at INT32_MIN / INT32_MAX.
std::int32_t ParseDecimal(std::u16string_view text);

// Decimal floating-point text read through the ANSI code page, locale-independent: leading
// blanks and a sign accepted, the longest valid prefix is used ("1.5x" -> 1.5), none gives 0.
double ParseFloat(std::u16string_view text);

// The first four characters as hexadecimal digits of either case (locale identifiers such as
// "0411"). Fewer than four characters, or a non-digit among the four, gives 0.
std::uint16_t ParseHex4(std::u16string_view text);

// Leading blanks and tabs skipped, then hexadecimal digits of either case accumulated (modulo
// 2^32) up to the first other character (normally a blank, tab, CR, LF or the end). Empty: 0.
std::uint32_t ParseHexText(std::u16string_view text);

// Number of a variable definition: characters are skipped up to the first hexadecimal digit,
// sign or point; then an optional sign; "0x"/"0X" introduces hexadecimal (ParseHexText),
// otherwise decimal (ParseDecimal); a '-' negates. Empty or no number: 0.
std::int32_t ParseNumberText(std::u16string_view text);

}  // namespace gestalon::core

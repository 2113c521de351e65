#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gestalon::core {

// The constant and variable fields of the branch and calculation dialogs: what a typed constant
// means, whether it fits the variable it goes with, and how the fields show their values.

// Full-width digits, a-f, A-F, x and X become their ASCII forms; every other character stays.
std::u16string NormalizeFullWidthNumber(std::u16string_view text);

enum class ConstantTextKind { kInvalid, kDecimal, kHexadecimal };

// A text of at least 3 characters starting with "0x" is hexadecimal and may hold only digits,
// a-f (lower case), '.', '+', blank and '-' after the prefix; any other text is decimal and may
// hold only digits, '.', '+', blank and '-' (an empty text is decimal). Anything else is invalid.
ConstantTextKind ClassifyConstantText(std::u16string_view text);

// Reads the constant field for a first variable of `varSize` bytes into `value`: normalised,
// classified, decimal read as a signed integer, hexadecimal as an unsigned one (both saturating
// at the 32-bit limits). Size 1 takes -128..255, size 2 -32768..65535, other sizes are not
// checked. Empty when accepted; otherwise the message to show, `value` unchanged.
std::u16string CheckBlockConstant(std::u16string_view text, std::uint32_t varSize,
                                  std::int32_t& value);

// The constant as its field shows it: "%d", or with `hexadecimal` "0x%02x", "0x%04x" or
// "0x%08x" by `varSize` 1, 2 or other, of the 32-bit value (so -1 reads "0xffffffff" whatever
// the width, which OK then refuses for 1 and 2 bytes rather than store another number).
std::u16string BlockConstantText(std::int32_t value, std::uint32_t varSize, bool hexadecimal);

}  // namespace gestalon::core

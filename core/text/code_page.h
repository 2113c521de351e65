#pragma once

#include <string>
#include <string_view>

namespace gestalon::core {

// Code page of the "ANSI" texts in files and board memory: 932 (Japanese Shift_JIS with the
// Microsoft extensions) everywhere, except that on Windows the user's system code page rules.
unsigned SystemAnsiCodePage();

// UTF-16 -> code page bytes. A character the code page cannot represent (or a lone surrogate)
// becomes one '?', as the system converter's default character does. On POSIX systems code page
// 932 takes the look-alikes U+301C, U+2016, U+2212 and U+2014 (what input methods there
// type for a wave dash or a minus) as their full-width forms and U+203E as 0x7E, so that such a
// text stays readable.
// (Windows' own converter also gives a best-fit letter for some accented letters, e.g. 'e' for
// U+00E9, and one '?' per half of a surrogate pair.)
std::string ToAnsi(std::u16string_view text, unsigned codePage = SystemAnsiCodePage());

// Code page bytes -> UTF-16. Each byte that starts no valid character (stray trail byte,
// unassigned code, lead byte cut off at the end) becomes U+30FB, the default character the
// system converter uses for code page 932; decoding resumes at the next byte. Code page 932 maps
// the single bytes 0x80, 0xA0 and 0xFD to 0xFF to U+0080, U+F8F0 and U+F8F1 to U+F8F3 (and back),
// as the system converter does.
std::u16string FromAnsi(std::string_view bytes, unsigned codePage = SystemAnsiCodePage());

inline constexpr char16_t kAnsiDecodeDefault = u'\u30FB';

}  // namespace gestalon::core

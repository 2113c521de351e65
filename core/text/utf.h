#pragma once

#include <string>
#include <string_view>

namespace gestalon::core {

// UTF-16 <-> UTF-8. Ill-formed input (lone surrogates, bad UTF-8 sequences) becomes U+FFFD,
// one replacement per offending code unit or byte, so a conversion never fails.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// For texts that are plain ASCII by construction (settings keys, printf formats).
std::u16string FromAscii(std::string_view text);

}  // namespace gestalon::core

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gestalon::core {

// The text cut to at most `maxChars` UTF-16 units; a surrogate pair that the cut would split is
// dropped whole.
inline std::u16string TruncateText(std::u16string_view text, std::size_t maxChars) {
  if (text.size() <= maxChars) {
    return std::u16string(text);
  }
  std::size_t length = maxChars;
  if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) {
    --length;
  }
  return std::u16string(text.substr(0, length));
}

}  // namespace gestalon::core

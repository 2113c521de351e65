#include "flowchart/condition_texts.h"

namespace gestalon::core {

std::u16string PressedButtonsText(std::uint32_t mask,
                                  const std::array<std::u16string, kPadButtonCount>& names,
                                  std::u16string_view separator, std::u16string_view suffix,
                                  std::u16string_view none) {
  std::u16string text;
  for (std::size_t bit = 0; bit < names.size(); ++bit) {
    if (mask & (1u << bit)) {
      if (!text.empty()) {
        text += separator;
      }
      text += names[bit];
    }
  }
  if (text.empty()) {
    return std::u16string(none);
  }
  return text + std::u16string(suffix);
}

}  // namespace gestalon::core

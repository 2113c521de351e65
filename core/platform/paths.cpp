#include "platform/paths.h"

namespace gestalon::core {

std::filesystem::path PathFromText(std::u16string_view text) {
  std::u16string copy(text);
#ifndef _WIN32
  for (char16_t& c : copy) {
    if (c == u'\\') {
      c = u'/';
    }
  }
#endif
  return std::filesystem::path(copy);
}

std::u16string TextFromPath(const std::filesystem::path& path) {
  return path.u16string();
}

std::filesystem::path ResolveInFolder(const std::filesystem::path& folder,
                                      std::u16string_view name) {
  return folder / PathFromText(name);
}

}  // namespace gestalon::core

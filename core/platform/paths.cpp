#include "platform/paths.h"

#include "text/utf.h"

namespace gestalon::core {

// On POSIX systems a path is bytes, taken as UTF-8: texts from files may hold lone surrogates
// and names on disk may not be UTF-8, and the standard conversions throw on both. The program's
// own conversions replace what does not convert instead.
std::filesystem::path PathFromText(std::u16string_view text) {
#ifdef _WIN32
  // Windows names are UTF-16 code units as they are: copied, never converted.
  return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
  std::string bytes = ToUtf8(text);
  for (char& c : bytes) {
    if (c == '\\') {
      c = '/';
    }
  }
  return std::filesystem::path(std::move(bytes));
#endif
}

std::u16string TextFromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring& units = path.native();
  return std::u16string(units.begin(), units.end());
#else
  return FromUtf8(path.native());
#endif
}

std::filesystem::path ResolveInFolder(const std::filesystem::path& folder,
                                      std::u16string_view name) {
  return folder / PathFromText(name);
}

}  // namespace gestalon::core

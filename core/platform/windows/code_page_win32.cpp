// Code page conversion through the Windows converter.
#include <windows.h>

#include <string>

#include "text/code_page.h"

namespace gestalon::core {

unsigned SystemAnsiCodePage() {
  return GetACP();
}

std::string ToAnsi(std::u16string_view text, unsigned codePage) {
  if (text.empty()) {
    return {};
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // No default character of our own: UTF-8 (the system code page under Windows' "use Unicode
  // UTF-8" setting) refuses any, and the code page's own default is '?' anyway.
  const int needed = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
  if (needed > 0) {
    WideCharToMultiByte(codePage, 0, wide, length, out.data(), needed, nullptr, nullptr);
  }
  return out;
}

std::u16string FromAnsi(std::string_view bytes, unsigned codePage) {
  if (bytes.empty()) {
    return {};
  }
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  std::u16string out(static_cast<std::size_t>(needed > 0 ? needed : 0), u'\0');
  if (needed > 0) {
    MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()),
                        needed);
  }
  return out;
}

}  // namespace gestalon::core

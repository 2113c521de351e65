#pragma once

#include <cstdint>
#include <string_view>

namespace gestalon::core {

// Windows locale identifier of a POSIX locale name such as "ja_JP.UTF-8" or "en_US"
// (ja_JP -> 0x0411, en_US -> 0x0409). A language without its country maps to the language's
// main country; "C", "POSIX" and unknown names give 0x0409.
std::uint16_t LocaleIdFromPosixName(std::string_view name);

// The user's default locale identifier: GetUserDefaultLCID on Windows; on Linux the locale named
// by LC_ALL, LC_MESSAGES or LANG (the first that is set and not empty).
std::uint16_t UserDefaultLocaleId();

}  // namespace gestalon::core

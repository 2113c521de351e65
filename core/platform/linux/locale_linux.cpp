#include <cstdlib>

#include "platform/locale_id.h"

namespace gestalon::core {

std::uint16_t UserDefaultLocaleId() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) {
      return LocaleIdFromPosixName(value);
    }
  }
  return LocaleIdFromPosixName("C");
}

}  // namespace gestalon::core

#include <windows.h>

#include "platform/locale_id.h"

namespace gestalon::core {

std::uint16_t UserDefaultLocaleId() {
  return static_cast<std::uint16_t>(GetUserDefaultLCID());
}

}  // namespace gestalon::core

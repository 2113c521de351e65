#include "board/variable_value.h"

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {

std::u16string VariableValueText(const BoardMirror& mirror, std::uint32_t address,
                                 std::int32_t size, bool hexadecimal) {
  std::uint32_t raw = 0;
  std::int32_t value = 0;
  int hexFormat = TextId::kFmtHex32;
  switch (size) {
    case 1:
      raw = MirrorByte(mirror, address);
      value = static_cast<std::int8_t>(raw);
      hexFormat = TextId::kFmtHex8;
      break;
    case 2:
      raw = MirrorWord(mirror, address);
      value = static_cast<std::int16_t>(raw);
      hexFormat = TextId::kFmtHex16;
      break;
    case 4:
      raw = MirrorLong(mirror, address);
      value = static_cast<std::int32_t>(raw);
      break;
    default:
      return {};
  }
  return hexadecimal ? Format(LoadText(hexFormat), raw) : Format(u"%d", value);
}

}  // namespace gestalon::core

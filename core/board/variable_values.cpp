#include "board/variable_values.h"

#include <algorithm>

#include "board/board_memory.h"
#include "text/format.h"

namespace gestalon::core {

std::u16string VariableValueText(const BoardMirror& mirror, std::uint16_t address,
                                 std::int32_t size, bool hexadecimal) {
  switch (size) {
    case 1: {
      const std::uint8_t raw = MirrorByte(mirror, address);
      return hexadecimal ? Format(u"0x%02x", raw) : Format(u"%d", static_cast<std::int8_t>(raw));
    }
    case 2: {
      const std::uint16_t raw = MirrorWord(mirror, address);
      return hexadecimal ? Format(u"0x%04x", raw) : Format(u"%d", static_cast<std::int16_t>(raw));
    }
    case 4: {
      const std::uint32_t raw = MirrorLong(mirror, address);
      return hexadecimal ? Format(u"0x%08x", raw) : Format(u"%d", static_cast<std::int32_t>(raw));
    }
    default:
      return {};
  }
}

std::size_t RequestVariableReads(BoardLink& link, const std::vector<VariableDef>& defs,
                                 std::size_t cursor) {
  if (defs.empty() || link.Flags().online.load() == 0) {
    return cursor;
  }
  cursor %= defs.size();
  const std::size_t count = std::min(kVariableReadsPerTick, defs.size());
  for (std::size_t n = 0; n < count; ++n) {
    const VariableDef& def = defs[cursor];
    if (def.size > 0 && !TryRequestBoardRefresh(link, def.address, def.size)) {
      break;
    }
    cursor = (cursor + 1) % defs.size();
  }
  return cursor;
}

}  // namespace gestalon::core

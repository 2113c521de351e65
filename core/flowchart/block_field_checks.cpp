#include "flowchart/block_field_checks.h"

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace gestalon::core {

std::u16string CheckBlockPosition(std::u16string_view xText, std::u16string_view yText,
                                  std::int32_t& x, std::int32_t& y) {
  const std::int32_t readX = ParseDecimal(xText);
  const std::int32_t readY = ParseDecimal(yText);
  for (const auto& [axis, value] : {std::pair{u"X", readX}, std::pair{u"Y", readY}}) {
    if (value < 0 || value > kBlockPositionMax) {
      return Format(LoadText(TextId::kMsgPositionRange), std::u16string(axis), 0,
                    kBlockPositionMax);
    }
  }
  x = readX;
  y = readY;
  return {};
}

std::u16string BlockNameFromField(std::u16string_view text) {
  return std::u16string(text.substr(0, kBlockDialogNameChars));
}

std::uint16_t BlockTimeFromField(std::u16string_view text) {
  return static_cast<std::uint16_t>(static_cast<std::uint32_t>(ParseDecimal(text)) & 0xFFFFu);
}

std::u16string BlockCommentFromField(std::u16string_view text) {
  return std::u16string(text.substr(0, kBlockCommentChars));
}

void SetPadComparison(MotionBlock& block) {
  constexpr std::uint16_t kControllerButtons = 0x0EE4;
  block.varAddr = kControllerButtons;
  block.op = BranchOp::kEqual;
  block.useConst = 1;
  block.varSize = 2;
  block.refSize = 2;
}

}  // namespace gestalon::core

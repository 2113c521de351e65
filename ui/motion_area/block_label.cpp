#include "motion_area/block_label.h"

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::LoadText;
namespace TextId = core::TextId;

std::u16string CutBeforeParenthesis(std::u16string text) {
  const std::size_t cut = text.find_first_of(u"(（");
  if (cut != std::u16string::npos) {
    text.resize(cut);
  }
  while (!text.empty() && text.back() == u' ') {  // "All (ID2-21, LED)" labels as "All"
    text.pop_back();
  }
  return text;
}

template <std::size_t N>
std::u16string Pick(const std::array<std::u16string, N>& texts, std::size_t index) {
  return index < N ? texts[index] : std::u16string();
}

std::u16string Expression(const core::MotionBlock& block, const core::LoadedProject& project,
                          const BlockLabelTexts& texts, const std::u16string& op) {
  const std::u16string first =
      core::VariableLabel(project, block.varAddr, static_cast<std::int32_t>(block.varSize));
  if (block.useConst == 0) {
    return core::Format(
        texts.exprVar, first, op,
        core::VariableLabel(project, block.refAddr, static_cast<std::int32_t>(block.refSize)));
  }
  if (!project.hexadecimalDisplay) {
    return core::Format(texts.exprConst, first, op, block.constValue);
  }
  // The constant is shown in the width of the variable it is compared with or assigned to.
  const auto value = static_cast<std::uint32_t>(block.constValue);
  switch (block.varSize) {
    case 1:
      return core::Format(texts.exprHex8, first, op, value & 0xFFu);
    case 2:
      return core::Format(texts.exprHex16, first, op, value & 0xFFFFu);
    default:
      return core::Format(texts.exprHex32, first, op, value);
  }
}

}  // namespace

BlockLabelTexts::BlockLabelTexts()
    : timeFormat(LoadText(TextId::kFmtBlockTime)),
      calcOps{LoadText(TextId::kCalcOpAssign),   LoadText(TextId::kCalcOpAdd),
              LoadText(TextId::kCalcOpSub),      LoadText(TextId::kCalcOpMul),
              LoadText(TextId::kCalcOpDiv),      LoadText(TextId::kBlockCalcOpMod),
              LoadText(TextId::kBlockCalcOpAnd), LoadText(TextId::kBlockCalcOpOr),
              LoadText(TextId::kBlockCalcOpXor), LoadText(TextId::kBlockCalcOpNot)},
      exprVar(LoadText(TextId::kFmtBlockExprVar)),
      exprConst(LoadText(TextId::kFmtBlockExprConst)),
      exprHex8(LoadText(TextId::kFmtBlockExprHex8)),
      exprHex16(LoadText(TextId::kFmtBlockExprHex16)),
      exprHex32(LoadText(TextId::kFmtBlockExprHex32)),
      opOnly(LoadText(TextId::kFmtBlockOpOnly)),
      start(LoadText(TextId::kBlockStart)),
      end(LoadText(TextId::kBlockEnd)),
      soundStop(LoadText(TextId::kBlockLabelSoundStop)),
      cancelConstPrefix(LoadText(TextId::kBlockLabelCancelConstPrefix)),
      cancelNoFile(LoadText(TextId::kBlockLabelCancelNoFile)),
      interpFormat(LoadText(TextId::kFmtBlockInterpChange)),
      interpGroups{CutBeforeParenthesis(LoadText(TextId::kInterpGroupAll)),
                   CutBeforeParenthesis(LoadText(TextId::kInterpGroupEyes)),
                   CutBeforeParenthesis(LoadText(TextId::kInterpGroupNeckYaw)),
                   CutBeforeParenthesis(LoadText(TextId::kInterpGroupBodyExceptHead)),
                   CutBeforeParenthesis(LoadText(TextId::kInterpGroupLowerBody))},
      padNone(LoadText(TextId::kBlockLabelPadNone)),
      padSeparator(LoadText(TextId::kBlockLabelPadSeparator)),
      padSuffix(LoadText(TextId::kPadInputSuffix)) {
  for (std::size_t i = 0; i < branchOps.size(); ++i) {
    branchOps[i] = LoadText(core::kBranchOperatorTextIds[i]);
  }
  for (std::size_t bit = 0; bit < padButtons.size(); ++bit) {
    padButtons[bit] = LoadText(core::kPadButtonTextIds[bit]);
  }
}

std::u16string BlockLabel(const core::MotionBlock& block, const core::LoadedProject& project,
                          const BlockLabelTexts& texts) {
  switch (block.kind()) {
    case BlockKind::Pose:
    case BlockKind::Wait:
      return core::Format(texts.timeFormat, block.time);
    case BlockKind::If: {
      const std::u16string op = Pick(texts.branchOps, block.op);
      if (block.op == core::BranchOp::kAlways || block.op == core::BranchOp::kNever) {
        return core::Format(texts.opOnly, op);
      }
      return Expression(block, project, texts, op);
    }
    case BlockKind::Calc:
      return Expression(block, project, texts, Pick(texts.calcOps, block.op));
    case BlockKind::Start:
      return texts.start;
    case BlockKind::End:
      return texts.end;
    case BlockKind::SubRoutine:
    case BlockKind::FileRead:
    case BlockKind::FileWrite:
      return block.fileName;
    case BlockKind::Sound:
      return block.noFile ? texts.soundStop : block.fileName;
    case BlockKind::Cancel:
      return (block.useConst ? texts.cancelConstPrefix : std::u16string()) +
             (block.noFile ? texts.cancelNoFile : block.fileName);
    case BlockKind::InterpChange:
      return core::Format(texts.interpFormat, Pick(texts.interpGroups, block.varAddr),
                          block.refAddr);
    case BlockKind::PadIf:
      return core::PressedButtonsText(static_cast<std::uint32_t>(block.constValue),
                                      texts.padButtons, texts.padSeparator, texts.padSuffix,
                                      texts.padNone);
    case BlockKind::Comment:
      return block.comment;
  }
  return {};
}

std::u16string BlockLabel(const core::MotionBlock& block, const core::LoadedProject& project) {
  return BlockLabel(block, project, BlockLabelTexts());
}

}  // namespace gestalon::ui

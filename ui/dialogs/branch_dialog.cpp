#include "dialogs/branch_dialog.h"

#include <QGridLayout>
#include <array>

#include "dialogs/operands_panel.h"
#include "flowchart/condition_texts.h"
#include "strings/text_id.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

// Calculation operator combo entries in `op` order.
constexpr std::array kCalcOperators = {
    TextId::kCalcOpAssign, TextId::kCalcOpAdd, TextId::kCalcOpSub, TextId::kCalcOpMul,
    TextId::kCalcOpDiv,    TextId::kCalcOpMod, TextId::kCalcOpAnd, TextId::kCalcOpOr,
    TextId::kCalcOpXor,    TextId::kCalcOpNot};

}  // namespace

BranchDialog::BranchDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent)
    : BlockDialog(session, block,
                  block.Is(core::BlockKind::If) ? TextId::kDlgBranchTitle : TextId::kDlgCalcTitle,
                  parent) {
  const bool branch = block.Is(core::BlockKind::If);
  setObjectName(QString::number(branch ? 183 : 169));
  operands_ = new OperandsPanel(session, Copy(),
                                branch ? std::span<const int>(core::kBranchOperatorTextIds)
                                       : std::span<const int>(kCalcOperators),
                                this);
  Body()->addWidget(operands_, 0, 0);
}

std::u16string BranchDialog::CheckAndStore(core::MotionBlock& copy) {
  return operands_->CheckAndStore(copy);
}

}  // namespace gestalon::ui

#include "dialogs/branch_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "board/board_memory.h"
#include "board/variable_values.h"
#include "dialogs/variable_dialog.h"
#include "flowchart/operand_checks.h"
#include "main_window/editor_session.h"
#include "project/project_loader.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr int kLiveValueIntervalMs = 100;

// Operator combo entries in `op` order.
constexpr std::array kBranchOperators = {
    TextId::kOpEqual,     TextId::kOpNotEqual, TextId::kOpGreaterEqual, TextId::kOpGreater,
    TextId::kOpLessEqual, TextId::kOpLess,     TextId::kOpMod,          TextId::kOpAnd,
    TextId::kOpXor,       TextId::kOpTrue,     TextId::kOpFalse};
constexpr std::array kCalcOperators = {
    TextId::kCalcOpAssign, TextId::kCalcOpAdd, TextId::kCalcOpSub, TextId::kCalcOpMul,
    TextId::kCalcOpDiv,    TextId::kCalcOpMod, TextId::kCalcOpAnd, TextId::kCalcOpOr,
    TextId::kCalcOpXor,    TextId::kCalcOpNot};

QString SizeText(std::uint32_t size) {
  return ToQString(core::Format(core::LoadText(TextId::kFmtByteSize), size));
}

}  // namespace

BranchDialog::BranchDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent)
    : BlockDialog(session, block,
                  block.Is(core::BlockKind::If) ? TextId::kDlgBranchTitle : TextId::kDlgCalcTitle,
                  parent) {
  const bool branch = block.Is(core::BlockKind::If);
  setObjectName(QString::number(branch ? 183 : 169));
  QGridLayout* body = Body();

  first_ = AddVariableRow(0, TextId::kLabelFirstVariable, 40630, 40634, 1005, 1199, false);

  body->addWidget(new QLabel(Text(TextId::kLabelOperator), this), 1, 0);
  operator_ = Named(new QComboBox(this), 1227);
  if (branch) {
    for (const int id : kBranchOperators) {
      operator_->addItem(Text(id));
    }
  } else {
    for (const int id : kCalcOperators) {
      operator_->addItem(Text(id));
    }
  }
  operator_->setCurrentIndex(block.op < operator_->count() ? block.op : -1);
  body->addWidget(operator_, 1, 1, Qt::AlignLeft);

  body->addWidget(new QLabel(Text(TextId::kLabelSecondOperand), this), 2, 0);
  auto* modes = new QHBoxLayout;
  constMode_ = Named(new QRadioButton(Text(TextId::kRadioConst), this), 1228);
  variableMode_ = Named(new QRadioButton(Text(TextId::kRadioVariable), this), 1229);
  modes->addWidget(constMode_);
  modes->addWidget(variableMode_);
  modes->addStretch(1);
  body->addLayout(modes, 2, 1, 1, 5);

  constantLabel_ = new QLabel(Text(TextId::kLabelConstantValue), this);
  body->addWidget(constantLabel_, 3, 0);
  constant_ =
      Named(new QLineEdit(ToQString(core::BlockConstantText(block.constValue, block.varSize,
                                                            session.project.hexadecimalDisplay)),
                          this),
            1230);
  body->addWidget(constant_, 3, 1);

  second_ = AddVariableRow(4, TextId::kLabelSecondVariable, 40632, 40637, 1031, 1200, true);

  hexadecimal_ = Named(new QCheckBox(Text(TextId::kCheckHexDisplay), this), 40002);
  hexadecimal_->setChecked(session.project.hexadecimalDisplay);
  body->addWidget(hexadecimal_, 5, 0, 1, 6);
  body->setColumnStretch(1, 1);

  (block.useConst != 0 ? constMode_ : variableMode_)->setChecked(true);
  ShowVariables();
  ApplyOperandMode();
  ShowLiveValues();

  connect(constMode_, &QRadioButton::toggled, this, &BranchDialog::ApplyOperandMode);
  connect(hexadecimal_, &QCheckBox::toggled, this, [this](bool on) {
    Session().SetHexadecimalDisplay(on);
    ShowVariables();
  });
  liveValues_.setInterval(kLiveValueIntervalMs);
  connect(&liveValues_, &QTimer::timeout, this, &BranchDialog::ShowLiveValues);
}

BranchDialog::VariableRow BranchDialog::AddVariableRow(int row, int labelTextId, int fieldId,
                                                       int pickerId, int sizeId, int valueId,
                                                       bool second) {
  VariableRow controls;
  auto* label = new QLabel(Text(labelTextId), this);
  controls.field = Named(new QLineEdit(this), fieldId);
  controls.field->setReadOnly(true);
  controls.field->setMinimumWidth(controls.field->fontMetrics().horizontalAdvance(u'0') * 24);
  auto* picker = Named(
      new QPushButton(Text(second ? TextId::kBtnPickVariable2 : TextId::kBtnPickVariable1), this),
      pickerId);
  picker->setFixedWidth(picker->fontMetrics().horizontalAdvance(picker->text()) * 3);
  connect(picker, &QPushButton::clicked, this, [this, second] { PickVariable(second); });
  controls.size = Named(new QLabel(this), sizeId);
  auto* valueLabel = new QLabel(Text(TextId::kLabelCurrentValue), this);
  controls.value = Named(new QLabel(this), valueId);
  controls.value->setFrameShape(QFrame::Panel);
  controls.value->setFrameShadow(QFrame::Sunken);
  controls.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  controls.value->setMinimumWidth(
      controls.value->fontMetrics().horizontalAdvance(QStringLiteral("-2147483648")) + 8);
  controls.all = {label, controls.field, picker, controls.size, valueLabel, controls.value};
  for (int column = 0; column < static_cast<int>(controls.all.size()); ++column) {
    Body()->addWidget(controls.all[static_cast<std::size_t>(column)], row, column);
  }
  return controls;
}

void BranchDialog::ShowVariables() {
  const core::MotionBlock& copy = Edited();
  const core::LoadedProject& project = Session().project;
  first_.field->setText(ToQString(
      core::VariableLabel(project, copy.varAddr, static_cast<std::int32_t>(copy.varSize))));
  first_.size->setText(SizeText(copy.varSize));
  second_.field->setText(ToQString(
      core::VariableLabel(project, copy.refAddr, static_cast<std::int32_t>(copy.refSize))));
  second_.size->setText(SizeText(copy.refSize));
}

void BranchDialog::ApplyOperandMode() {
  const bool constant = constMode_->isChecked();
  constantLabel_->setEnabled(constant);
  constant_->setEnabled(constant);
  for (QWidget* control : second_.all) {
    control->setEnabled(!constant);
  }
}

void BranchDialog::PickVariable(bool second) {
  core::MotionBlock& copy = Copy();
  std::uint16_t& address = second ? copy.refAddr : copy.varAddr;
  std::uint32_t& size = second ? copy.refSize : copy.varSize;
  std::uint16_t chosenAddress = address;
  auto chosenSize = static_cast<std::int32_t>(size);
  if (SelectVariable(Session(), this, address, &chosenAddress, &chosenSize) == 1) {
    address = chosenAddress;
    size = static_cast<std::uint32_t>(chosenSize);
    ShowVariables();
  }
}

void BranchDialog::ShowLiveValues() {
  core::BoardLink& link = Session().link;
  const bool online = link.Flags().online.load() != 0;
  const bool hexadecimal = Session().project.hexadecimalDisplay;
  const core::MotionBlock& copy = Edited();
  // The fields show the copy's addresses (changed only through the pickers).
  const struct {
    VariableRow* row;
    std::uint16_t address;
    std::uint32_t size;
  } operands[] = {{&first_, copy.varAddr, copy.varSize}, {&second_, copy.refAddr, copy.refSize}};
  for (const auto& [row, address, size] : operands) {
    if (!online) {
      row->value->setText(Text(TextId::kLabelValueOffline));
      continue;
    }
    if (address >= core::kBoardMemorySize) {
      row->value->setText(Text(TextId::kLabelValueOutOfRange));
      continue;
    }
    core::TryRequestBoardRefresh(link, address, static_cast<std::int32_t>(size));
    // The mirror belongs to whoever holds the board: a tick that finds it taken keeps the value
    // it showed last, the next one reads again.
    if (link.TryTakeBoard()) {
      const std::u16string value = core::VariableValueText(
          link.Mirror(), address, static_cast<std::int32_t>(size), hexadecimal);
      link.ReleaseBoard();
      row->value->setText(ToQString(value));
    }
  }
}

void BranchDialog::showEvent(QShowEvent* event) {
  BlockDialog::showEvent(event);
  liveValues_.start();
}

void BranchDialog::hideEvent(QHideEvent* event) {
  liveValues_.stop();
  BlockDialog::hideEvent(event);
}

std::u16string BranchDialog::CheckAndStore(core::MotionBlock& copy) {
  std::int32_t value = copy.constValue;
  std::u16string problem = core::CheckBlockConstant(ToU16(constant_->text()), copy.varSize, value);
  if (!problem.empty()) {
    return problem;
  }
  copy.constValue = value;
  copy.useConst = constMode_->isChecked() ? 1 : 0;
  copy.op = static_cast<std::uint16_t>(operator_->currentIndex() & 0xFF);
  return {};
}

}  // namespace gestalon::ui

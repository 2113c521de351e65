#include "dialogs/operands_panel.h"

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

QString SizeText(std::uint32_t size) {
  return ToQString(core::Format(core::LoadText(TextId::kFmtByteSize), size));
}

}  // namespace

OperandsPanel::OperandsPanel(EditorSession& session, core::MotionBlock& block,
                             std::span<const int> operatorTextIds, QWidget* parent)
    : QWidget(parent), session_(session), block_(block) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);

  first_ = AddVariableRow(0, TextId::kLabelFirstVariable, 40630, 40634, 1005, 1199, false);

  grid->addWidget(new QLabel(Text(TextId::kLabelOperator), this), 1, 0);
  operator_ = Named(new QComboBox(this), 1227);
  for (const int id : operatorTextIds) {
    operator_->addItem(Text(id));
  }
  operator_->setCurrentIndex(block.op < operator_->count() ? block.op : -1);
  grid->addWidget(operator_, 1, 1, Qt::AlignLeft);

  grid->addWidget(new QLabel(Text(TextId::kLabelSecondOperand), this), 2, 0);
  auto* modes = new QHBoxLayout;
  constMode_ = Named(new QRadioButton(Text(TextId::kRadioConst), this), 1228);
  variableMode_ = Named(new QRadioButton(Text(TextId::kRadioVariable), this), 1229);
  modes->addWidget(constMode_);
  modes->addWidget(variableMode_);
  modes->addStretch(1);
  grid->addLayout(modes, 2, 1, 1, 5);

  constantLabel_ = new QLabel(Text(TextId::kLabelConstantValue), this);
  grid->addWidget(constantLabel_, 3, 0);
  constant_ =
      Named(new QLineEdit(ToQString(core::BlockConstantText(block.constValue, block.varSize,
                                                            session.project.hexadecimalDisplay)),
                          this),
            1230);
  grid->addWidget(constant_, 3, 1);

  second_ = AddVariableRow(4, TextId::kLabelSecondVariable, 40632, 40637, 1031, 1200, true);

  hexadecimal_ = Named(new QCheckBox(Text(TextId::kCheckHexDisplay), this), 40002);
  hexadecimal_->setChecked(session.project.hexadecimalDisplay);
  grid->addWidget(hexadecimal_, 5, 0, 1, 6);
  grid->setColumnStretch(1, 1);

  (block.useConst != 0 ? constMode_ : variableMode_)->setChecked(true);
  ShowVariables();
  ApplyOperandMode();
  ShowLiveValues();

  connect(constMode_, &QRadioButton::toggled, this, &OperandsPanel::ApplyOperandMode);
  connect(hexadecimal_, &QCheckBox::toggled, this, [this](bool on) {
    session_.SetHexadecimalDisplay(on);
    ShowVariables();
  });
  liveValues_.setInterval(kLiveValueIntervalMs);
  connect(&liveValues_, &QTimer::timeout, this, &OperandsPanel::ShowLiveValues);
}

OperandsPanel::VariableRow OperandsPanel::AddVariableRow(int row, int labelTextId, int fieldId,
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
  auto* grid = static_cast<QGridLayout*>(layout());
  for (int column = 0; column < static_cast<int>(controls.all.size()); ++column) {
    grid->addWidget(controls.all[static_cast<std::size_t>(column)], row, column);
  }
  return controls;
}

void OperandsPanel::ShowVariables() {
  const core::LoadedProject& project = session_.project;
  first_.field->setText(ToQString(
      core::VariableLabel(project, block_.varAddr, static_cast<std::int32_t>(block_.varSize))));
  first_.size->setText(SizeText(block_.varSize));
  second_.field->setText(ToQString(
      core::VariableLabel(project, block_.refAddr, static_cast<std::int32_t>(block_.refSize))));
  second_.size->setText(SizeText(block_.refSize));
}

void OperandsPanel::ApplyOperandMode() {
  const bool constant = constMode_->isChecked();
  constantLabel_->setEnabled(constant);
  constant_->setEnabled(constant);
  for (QWidget* control : second_.all) {
    control->setEnabled(!constant);
  }
}

void OperandsPanel::PickVariable(bool second) {
  std::uint16_t& address = second ? block_.refAddr : block_.varAddr;
  std::uint32_t& size = second ? block_.refSize : block_.varSize;
  std::uint16_t chosenAddress = address;
  auto chosenSize = static_cast<std::int32_t>(size);
  if (SelectVariable(session_, window(), address, &chosenAddress, &chosenSize) == 1) {
    address = chosenAddress;
    size = static_cast<std::uint32_t>(chosenSize);
    ShowVariables();
  }
}

void OperandsPanel::ShowLiveValues() {
  core::BoardLink& link = session_.link;
  const bool online = link.Flags().online.load() != 0;
  const bool hexadecimal = session_.project.hexadecimalDisplay;
  // The fields show the block's addresses (changed only through the pickers).
  const struct {
    VariableRow* row;
    std::uint16_t address;
    std::uint32_t size;
  } operands[] = {{&first_, block_.varAddr, block_.varSize},
                  {&second_, block_.refAddr, block_.refSize}};
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

void OperandsPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  liveValues_.start();
}

void OperandsPanel::hideEvent(QHideEvent* event) {
  liveValues_.stop();
  QWidget::hideEvent(event);
}

std::u16string OperandsPanel::CheckAndStore(core::MotionBlock& copy) const {
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

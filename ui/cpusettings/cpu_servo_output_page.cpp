#include "cpusettings/cpu_servo_output_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "cpusettings/cpu_settings_checks.h"
#include "cpusettings/cpu_variable_field.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

// The controls of the four terms, in term order.
struct TermIds {
  int coefficient, variableA, pickerA, variableB, pickerB, condition;
};
constexpr std::array<TermIds, 4> kTerms{{
    {1239, 40580, 40619, 40583, 40610, 1152},
    {1133, 40585, 40621, 40587, 40612, 1153},
    {1241, 40589, 40623, 40591, 40614, 1155},
    {1245, 40593, 40625, 40595, 40616, 1157},
}};
constexpr int kConditionTexts[] = {TextId::kTermCondAlways, TextId::kTermCondNonNegative,
                                   TextId::kTermCondNonPositive};
constexpr int kMotorNameChars = static_cast<int>(core::kMotorNameChars);

QLabel* Caption(int textId, QWidget* parent) {
  return new QLabel(Text(textId), parent);
}

QLineEdit* NumberField(int id, QWidget* parent) {
  auto* field = Named(new QLineEdit(parent), id);
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-000000")) + 12);
  field->setAlignment(Qt::AlignRight);
  return field;
}

QString MotorEntry(int k, const core::MotorRecord& motor) {
  return ToQString(core::Format(core::LoadText(TextId::kFmtMotorListEntry), k, motor.name));
}

}  // namespace

CpuServoOutputPage::CpuServoOutputPage(EditorSession& session, core::CpuSettings& copy,
                                       QWidget* parent)
    : QWidget(parent), session_(session), copy_(copy) {
  setObjectName(QStringLiteral("166"));
  motors_ = Named(new QListWidget(this), 1122);
  motors_->setFixedWidth(motors_->fontMetrics().horizontalAdvance(QStringLiteral("(00):")) +
                         motors_->fontMetrics().horizontalAdvance(u'M') * 12);
  const auto variable = [this](int fieldId, int pickerId, std::size_t word) {
    variables_.push_back(std::make_unique<CpuVariableField>(
        session_, this, fieldId, pickerId,
        [this, word]() -> std::uint16_t& { return Word(word); }));
    return variables_.back().get();
  };

  // Name and soft start.
  name_ = Named(new QLineEdit(this), 1169);
  name_->setMaxLength(kMotorNameChars);
  softStart_ = Named(new QSpinBox(this), 1168);
  softStart_->setRange(0, 255);
  auto* top = new QGridLayout;
  top->addWidget(Caption(TextId::kLabelMotorName, this), 0, 0);
  top->addWidget(name_, 0, 1, 1, 2);
  top->addWidget(Caption(TextId::kLabelSoftStart, this), 1, 0);
  top->addWidget(softStart_, 1, 1);
  top->addWidget(Caption(TextId::kLabelCycles, this), 1, 2);
  top->setColumnStretch(3, 1);

  // The output value, one operand per column so that the terms line up under each other.
  auto* output = new QGroupBox(Text(TextId::kLabelOutputValue), this);
  auto* formula = new QGridLayout(output);
  enum Column {
    kSign,
    kCoefficient,
    kTimes,
    kFieldA,
    kPickerA,
    kDivA,
    kFieldB,
    kPickerB,
    kDivB,
    kCondition
  };
  CpuVariableField* correction = variable(1004, 40628, core::MotorWord::kAdr0);
  formula->addWidget(Caption(TextId::kLabelXEquals, output), 0, kSign, Qt::AlignRight);
  formula->addWidget(correction->Field(), 0, kCoefficient, 1, 3);
  formula->addWidget(correction->Picker(), 0, kPickerA);
  formula->addWidget(Caption(TextId::kLabelPlus, output), 0, kDivA, Qt::AlignRight);
  base_ = NumberField(1132, this);
  formula->addWidget(base_, 0, kFieldB, Qt::AlignLeft);
  formula->addWidget(Caption(TextId::kLabelPositionCorrection, output), 1, kCoefficient, 1, 3);
  formula->addWidget(Caption(TextId::kLabelTermCondition, output), 1, kCondition);
  for (std::size_t t = 0; t < kTerms.size(); ++t) {
    const TermIds& ids = kTerms[t];
    const int row = 2 + static_cast<int>(t);
    const int term = static_cast<int>(t);
    coefficients_[t] = NumberField(ids.coefficient, this);
    CpuVariableField* a = variable(ids.variableA, ids.pickerA, core::TermVariableAWord(term));
    CpuVariableField* b = variable(ids.variableB, ids.pickerB, core::TermVariableBWord(term));
    conditions_[t] = Named(new QComboBox(this), ids.condition);
    for (const int id : kConditionTexts) {
      conditions_[t]->addItem(Text(id));
    }
    formula->addWidget(Caption(TextId::kLabelPlus, output), row, kSign, Qt::AlignRight);
    formula->addWidget(coefficients_[t], row, kCoefficient);
    formula->addWidget(Caption(TextId::kLabelTimes, output), row, kTimes);
    formula->addWidget(a->Field(), row, kFieldA);
    formula->addWidget(a->Picker(), row, kPickerA);
    formula->addWidget(Caption(TextId::kLabelDiv256Times, output), row, kDivA);
    formula->addWidget(b->Field(), row, kFieldB);
    formula->addWidget(b->Picker(), row, kPickerB);
    formula->addWidget(Caption(TextId::kLabelDiv256, output), row, kDivB);
    formula->addWidget(conditions_[t], row, kCondition);
  }
  formula->setColumnStretch(kFieldA, 1);
  formula->setColumnStretch(kFieldB, 1);

  // The range limit and the two variables read back from the board.
  auto* range = new QGroupBox(Text(TextId::kLabelOutputRangeLimit), this);
  lower_ = NumberField(1134, this);
  upper_ = NumberField(1136, this);
  auto* rangeRow = new QHBoxLayout(range);
  rangeRow->addWidget(lower_);
  rangeRow->addWidget(Caption(TextId::kLabelLeqXLeq, range));
  rangeRow->addWidget(upper_);
  rangeRow->addStretch(1);
  CpuVariableField* capture = variable(1037, 1045, core::MotorWord::kAdrRdp);
  CpuVariableField* gain = variable(1011, 1047, core::MotorWord::kAdrEn);
  auto* readBack = new QGridLayout;
  readBack->addWidget(Caption(TextId::kLabelCaptureVariable, this), 0, 0);
  readBack->addWidget(capture->Field(), 0, 1);
  readBack->addWidget(capture->Picker(), 0, 2);
  readBack->addWidget(Caption(TextId::kLabelGainReferenceVariable, this), 1, 0);
  readBack->addWidget(gain->Field(), 1, 1);
  readBack->addWidget(gain->Picker(), 1, 2);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(range, 0, Qt::AlignTop);
  bottom->addSpacing(12);
  bottom->addLayout(readBack, 1);

  auto* fields = new QVBoxLayout;
  fields->addLayout(top);
  fields->addWidget(output);
  fields->addLayout(bottom);
  fields->addStretch(1);
  auto* page = new QHBoxLayout(this);
  page->addWidget(motors_);
  page->addLayout(fields, 1);

  connect(motors_, &QListWidget::currentRowChanged, this, &CpuServoOutputPage::ChooseMotor);
}

CpuServoOutputPage::~CpuServoOutputPage() = default;

std::uint16_t& CpuServoOutputPage::Word(std::size_t word) {
  return copy_.motors[static_cast<std::size_t>(session_.dialogs.cpuSettingsMotor)].words[word];
}

void CpuServoOutputPage::Show() {
  const QSignalBlocker blocker(motors_);
  motors_->clear();
  for (int k = 0; k < core::kMotorCount; ++k) {
    motors_->addItem(MotorEntry(k, copy_.motors[static_cast<std::size_t>(k)]));
  }
  motors_->setCurrentRow(session_.dialogs.cpuSettingsMotor);
  ShowMotor();
}

void CpuServoOutputPage::ShowMotor() {
  const core::MotorRecord& motor =
      copy_.motors[static_cast<std::size_t>(session_.dialogs.cpuSettingsMotor)];
  const auto signedText = [&](std::size_t word) {
    return QString::number(static_cast<std::int16_t>(motor.words[word]));
  };
  name_->setText(ToQString(motor.name));
  softStart_->setValue(motor.words[core::kSoftStartWord]);
  base_->setText(signedText(core::MotorWord::kOfs));
  const std::array<int, 4> conditions = core::UnpackTermConditions(motor.word20B);
  for (std::size_t t = 0; t < coefficients_.size(); ++t) {
    coefficients_[t]->setText(signedText(core::TermCoefficientWord(static_cast<int>(t))));
    conditions_[t]->setCurrentIndex(conditions[t]);
  }
  lower_->setText(signedText(core::MotorWord::kLimL));
  upper_->setText(signedText(core::MotorWord::kLimH));
  for (const auto& variable : variables_) {
    variable->Show();
  }
}

bool CpuServoOutputPage::StoreShownMotor(core::CpuSettings& edited) {
  core::MotorRecord& motor =
      edited.motors[static_cast<std::size_t>(session_.dialogs.cpuSettingsMotor)];
  // In the order the check reads them (MotorField).
  const std::array<QLineEdit*, 7> order = {
      base_, coefficients_[0], coefficients_[1], coefficients_[2], coefficients_[3], lower_,
      upper_};
  std::array<std::u16string, 7> values;
  for (std::size_t i = 0; i < order.size(); ++i) {
    values[i] = ToU16(order[i]->text());
  }
  const core::MotorFieldTexts fields{
      values[0], {values[1], values[2], values[3], values[4]}, values[5], values[6]};
  const core::MotorCheck check = core::CheckAndStoreMotor(fields, motor);
  if (!check.message.empty()) {
    QLineEdit* refused = order[static_cast<std::size_t>(check.field)];
    refused->setFocus();
    refused->selectAll();
    if (session_.context.prompter) {
      session_.context.prompter->Show(core::PromptIcon::kWarning, check.message);
    }
    return false;
  }
  motor.name = ToU16(name_->text().left(kMotorNameChars));
  motor.words[core::kSoftStartWord] = static_cast<std::uint16_t>(softStart_->value());
  std::array<int, 4> conditions{};
  for (std::size_t t = 0; t < conditions.size(); ++t) {
    conditions[t] = std::max(conditions_[t]->currentIndex(), 0);
  }
  motor.word20B = core::PackTermConditions(conditions);
  return true;
}

void CpuServoOutputPage::ChooseMotor(int row) {
  const int shown = session_.dialogs.cpuSettingsMotor;
  if (row < 0 || row == shown) {
    return;
  }
  // The shown motor's texts must pass before another is shown; a refused one stays in view.
  if (!StoreShownMotor(copy_)) {
    const QSignalBlocker blocker(motors_);
    motors_->setCurrentRow(shown);
    return;
  }
  motors_->item(shown)->setText(MotorEntry(shown, copy_.motors[static_cast<std::size_t>(shown)]));
  session_.dialogs.cpuSettingsMotor = row;
  ShowMotor();
}

}  // namespace gestalon::ui

#include "cpusettings/cpu_extension_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "cpusettings/cpu_settings_checks.h"
#include "cpusettings/cpu_variable_field.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;
using namespace CpuExtensionId;

// The controller buttons by bit of the cancel word.
constexpr std::array<int, 16> kButtonTexts = {TextId::kPadSelect,
                                              TextId::kCheckPadCancelL3,
                                              TextId::kCheckPadCancelR3,
                                              TextId::kPadStart,
                                              TextId::kPadUp,
                                              TextId::kPadRight,
                                              TextId::kPadDown,
                                              TextId::kPadLeft,
                                              TextId::kPadL2,
                                              TextId::kPadR2,
                                              TextId::kPadL1,
                                              TextId::kPadR1,
                                              TextId::kPadTriangle,
                                              TextId::kPadCircle,
                                              TextId::kPadCross,
                                              TextId::kPadSquare};
constexpr int kButtonColumns = 4;

// A click on a switch of the page stores it into the working copy as 1 or 0.
void Bind(QCheckBox* box, std::uint32_t& value) {
  QObject::connect(box, &QCheckBox::clicked, box, [&value](bool on) { value = on ? 1 : 0; });
}

}  // namespace

CpuExtensionPage::CpuExtensionPage(EditorSession& session, core::CpuSettings& copy, QWidget* parent)
    : QWidget(parent), session_(session), copy_(copy) {
  setObjectName(QStringLiteral("216"));
  led_ = Named(new QCheckBox(Text(TextId::kCheckLed), this), 1106);
  controller_ = Named(new QCheckBox(Text(TextId::kCheckGamepad), this), 1102);
  sensor_ = Named(new QCheckBox(Text(TextId::kCheckSixAxisSensor), this), 1104);
  auto* switches = new QHBoxLayout;
  switches->addWidget(led_);
  switches->addWidget(controller_);
  switches->addWidget(sensor_);
  switches->addStretch(1);

  auto* leds = new QGridLayout;
  for (int i = 0; i < core::kLedCount; ++i) {
    const auto entry = static_cast<std::size_t>(i);
    variables_.push_back(std::make_unique<CpuVariableField>(
        session, this, kLedReference + i, kLedReferencePicker + i,
        [this, entry]() -> std::uint16_t& { return copy_.leds[entry].first; }));
    CpuVariableField* reference = variables_.back().get();
    variables_.push_back(std::make_unique<CpuVariableField>(
        session, this, kLedVariable + i, kLedVariablePicker + i,
        [this, entry]() -> std::uint16_t& { return copy_.leds[entry].third; }));
    CpuVariableField* variable = variables_.back().get();
    coefficients_[entry] = Named(new QLineEdit(this), kLedCoefficient + i);
    coefficients_[entry]->setFixedWidth(
        coefficients_[entry]->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    coefficients_[entry]->setAlignment(Qt::AlignRight);
    int column = 0;
    leds->addWidget(new QLabel(Text(TextId::kLabelLedCh0 + i), this), i, column++);
    leds->addWidget(reference->Field(), i, column++);
    leds->addWidget(reference->Picker(), i, column++);
    leds->addWidget(new QLabel(Text(TextId::kLabelPlus), this), i, column++);
    leds->addWidget(coefficients_[entry], i, column++);
    leds->addWidget(new QLabel(Text(TextId::kLabelTimes), this), i, column++);
    leds->addWidget(variable->Field(), i, column++);
    leds->addWidget(variable->Picker(), i, column++);
    leds->addWidget(new QLabel(Text(TextId::kLabelDiv4096), this), i, column++);
  }
  leds->setColumnStretch(1, 1);
  leds->setColumnStretch(6, 1);

  auto* buttons = new QGroupBox(Text(TextId::kLabelCancelButtons), this);
  auto* buttonGrid = new QGridLayout(buttons);
  for (int bit = 0; bit < static_cast<int>(cancel_.size()); ++bit) {
    auto* box = Named(new QCheckBox(Text(kButtonTexts[static_cast<std::size_t>(bit)]), buttons),
                      kCancelButton + bit);
    cancel_[static_cast<std::size_t>(bit)] = box;
    buttonGrid->addWidget(box, bit / kButtonColumns, bit % kButtonColumns);
  }

  auto* page = new QVBoxLayout(this);
  page->addLayout(switches);
  page->addLayout(leds);
  page->addWidget(buttons);
  page->addStretch(1);

  Bind(led_, copy_.ledEnable);
  Bind(controller_, copy_.controllerEnable);
  Bind(sensor_, copy_.thirdEnable);
}

CpuExtensionPage::~CpuExtensionPage() = default;

void CpuExtensionPage::Show() {
  led_->setChecked((copy_.ledEnable & 0xFFu) != 0);
  controller_->setChecked((copy_.controllerEnable & 0xFFu) != 0);
  sensor_->setChecked((copy_.thirdEnable & 0xFFu) != 0);
  for (std::size_t i = 0; i < coefficients_.size(); ++i) {
    coefficients_[i]->setText(QString::number(copy_.leds[i].second));
  }
  for (const auto& variable : variables_) {
    variable->Show();
  }
  for (std::size_t bit = 0; bit < cancel_.size(); ++bit) {
    cancel_[bit]->setChecked(((copy_.controllerCancelBits >> bit) & 1u) != 0);
  }
}

bool CpuExtensionPage::StoreLedCoefficients(core::CpuSettings& edited) {
  for (std::size_t i = 0; i < coefficients_.size(); ++i) {
    const std::u16string problem = core::CheckLedCoefficient(
        static_cast<int>(i), ToU16(coefficients_[i]->text()), edited.leds[i].second);
    if (!problem.empty()) {
      coefficients_[i]->setFocus();
      coefficients_[i]->selectAll();
      if (session_.context.prompter) {
        session_.context.prompter->Show(core::PromptIcon::kError, problem);
      }
      return false;
    }
  }
  return true;
}

void CpuExtensionPage::StoreCancelBits(core::CpuSettings& edited) const {
  std::uint16_t bits = 0;
  for (std::size_t bit = 0; bit < cancel_.size(); ++bit) {
    bits |= cancel_[bit]->isChecked() ? static_cast<std::uint16_t>(1u << bit) : 0;
  }
  edited.controllerCancelBits = bits;
}

}  // namespace gestalon::ui

#include "cpusettings/cpu_basic_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "cpusettings/cpu_settings_checks.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr int kRobotNameChars = 32;
constexpr int kMethodTexts[] = {TextId::kInterpMethodNone, TextId::kInterpMethodCubic,
                                TextId::kInterpMethodLinear, TextId::kInterpMethodSyncBefore,
                                TextId::kInterpMethodSyncAfter};

}  // namespace

CpuBasicPage::CpuBasicPage(EditorSession& session, core::CpuSettings& copy, QWidget* parent)
    : QWidget(parent), session_(session), copy_(copy) {
  setObjectName(QStringLiteral("140"));
  name_ = Named(new QLineEdit(this), 1019);
  name_->setMaxLength(kRobotNameChars);
  cycle_ = Named(new QLineEdit(this), 1170);
  cycle_->setMaximumWidth(cycle_->fontMetrics().horizontalAdvance(u'0') * 10);
  volume_ = Named(new QSpinBox(this), 1171);
  volume_->setRange(0, 7);
  version_ = Named(new QLabel(this), 1192);
  subVersion_ = Named(new QLabel(this), 1198);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Text(TextId::kCpuLabelRobotName), this), 0, 0);
  grid->addWidget(name_, 0, 1, 1, 3);
  grid->addWidget(new QLabel(Text(TextId::kLabelCpuBasicCycle), this), 1, 0);
  grid->addWidget(cycle_, 1, 1);
  grid->addWidget(new QLabel(Text(TextId::kLabelUsec), this), 1, 2);
  grid->addWidget(new QLabel(Text(TextId::kLabelVolume), this), 2, 0);
  grid->addWidget(volume_, 2, 1, Qt::AlignLeft);
  grid->addWidget(new QLabel(Text(TextId::kLabelFirmwareVersion), this), 3, 0);
  auto* versions = new QHBoxLayout;
  versions->addWidget(version_);
  versions->addWidget(subVersion_);
  versions->addStretch(1);
  grid->addLayout(versions, 3, 1, 1, 3);
  grid->setColumnStretch(3, 1);

  auto* interpolation = new QGroupBox(Text(TextId::kLabelInterpMethod), this);
  sliders_ = Named(new QComboBox(interpolation), 40638);
  const core::SliderTable& table = session.project.sliders;
  for (int k = 0; k < core::kInterpolationCount; ++k) {
    sliders_->addItem(ToQString(core::Format(core::LoadText(TextId::kFmtSliderComboEntry), k,
                                             table[static_cast<std::size_t>(k)].axisName)));
  }
  sliders_->setMaxVisibleItems(20);
  methods_ = Named(new QComboBox(interpolation), 1172);
  for (const int id : kMethodTexts) {
    methods_->addItem(Text(id));
  }
  auto* row = new QHBoxLayout(interpolation);
  row->addWidget(sliders_, 1);
  row->addWidget(methods_, 1);

  auto* page = new QVBoxLayout(this);
  page->addLayout(grid);
  page->addSpacing(8);
  page->addWidget(interpolation);
  page->addStretch(1);

  sliders_->setCurrentIndex(session.dialogs.cpuSettingsSlider);
  connect(sliders_, &QComboBox::currentIndexChanged, this, [this](int index) {
    session_.dialogs.cpuSettingsSlider = std::max(index, 0);
    ShowMethod();
  });
  connect(methods_, &QComboBox::activated, this, [this](int method) {
    copy_.interpolationMethods[static_cast<std::size_t>(session_.dialogs.cpuSettingsSlider)] =
        static_cast<std::uint8_t>(method);
  });
}

void CpuBasicPage::Show() {
  name_->setText(ToQString(core::RobotName(copy_)));
  cycle_->setText(QString::number(copy_.basicControlCycle));
  volume_->setValue(core::VolumeFromAttenuator(copy_.voiceAttenuator));
  version_->setText(ToQString(
      core::Format(core::LoadText(TextId::kFmtFirmwareVersion), copy_.firmwareVersion / 256.0)));
  subVersion_->setText(ToQString(
      core::Format(core::LoadText(TextId::kFmtFirmwareSubVersion), copy_.settingsWord92)));
  ShowMethod();
}

void CpuBasicPage::ShowMethod() {
  const std::uint8_t method =
      copy_.interpolationMethods[static_cast<std::size_t>(session_.dialogs.cpuSettingsSlider)];
  methods_->setCurrentIndex(method < methods_->count() ? method : -1);
}

bool CpuBasicPage::StoreControlCycle(core::CpuSettings& edited) {
  const std::u16string problem =
      core::CheckControlCycle(ToU16(cycle_->text()), edited.basicControlCycle);
  if (problem.empty()) {
    return true;
  }
  cycle_->setFocus();
  cycle_->selectAll();
  if (session_.context.prompter) {
    session_.context.prompter->Show(core::PromptIcon::kWarning, problem);
  }
  return false;
}

void CpuBasicPage::StoreVolumeAndName(core::CpuSettings& edited) const {
  edited.voiceAttenuator = core::AttenuatorFromVolume(volume_->value());
  core::SetRobotName(edited, ToU16(name_->text()));
}

}  // namespace gestalon::ui

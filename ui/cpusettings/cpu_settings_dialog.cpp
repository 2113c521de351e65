#include "cpusettings/cpu_settings_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "board/cpu_settings_apply.h"
#include "cpusettings/cpu_basic_page.h"
#include "cpusettings/cpu_extension_page.h"
#include "cpusettings/cpu_servo_id_page.h"
#include "cpusettings/cpu_servo_output_page.h"
#include "main_window/editor_session.h"
#include "pose/dialog_prompts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

}  // namespace

CpuSettingsDialog::CpuSettingsDialog(EditorSession& session, CpuSettingsHooks hooks,
                                     QWidget* parent)
    : QDialog(parent), session_(session), hooks_(std::move(hooks)), copy_(session.project.cpu) {
  setObjectName(QStringLiteral("139"));
  setWindowTitle(Text(TextId::kCpuDlgTabBasic));
  tabs_ = Named(new QTabWidget(this), 1098);
  basic_ = new CpuBasicPage(session, copy_);
  servoOutput_ = new CpuServoOutputPage(session, copy_);
  servoIds_ = new CpuServoIdPage(session, copy_);
  extension_ = new CpuExtensionPage(session, copy_);
  tabs_->addTab(basic_, Text(TextId::kCpuDlgTabBasic));
  tabs_->addTab(servoOutput_, Text(TextId::kCpuDlgTabServoOutput));
  tabs_->addTab(servoIds_, Text(TextId::kCpuDlgTabMotorId));
  tabs_->addTab(extension_, Text(TextId::kCpuDlgTabExtension));
  tabs_->setCurrentIndex(session.dialogs.cpuSettingsPage);

  auto* servo = Named(new QPushButton(Text(TextId::kCpuDlgServoOnOff), this), 1117);
  servo->setAutoDefault(false);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = Named(buttons->addButton(Text(TextId::kButtonOk), QDialogButtonBox::AcceptRole), 1);
  Named(buttons->addButton(Text(TextId::kButtonCancel), QDialogButtonBox::RejectRole), 2);
  auto* apply =
      Named(buttons->addButton(Text(TextId::kButtonApply), QDialogButtonBox::ApplyRole), 1000);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (Apply()) {
      accept();
    }
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(apply, &QPushButton::clicked, this, &CpuSettingsDialog::Apply);
  connect(servo, &QPushButton::clicked, this, [this] {
    if (hooks_.toggleServo) {
      hooks_.toggleServo();
    }
  });

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(servo);
  bottom->addStretch(1);
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addLayout(bottom);
  ShowPages();
  if (session.dialogs.cpuSettingsPosition) {
    move(*session.dialogs.cpuSettingsPosition);
  }
}

CpuSettingsDialog::~CpuSettingsDialog() = default;

void CpuSettingsDialog::ShowPages() {
  basic_->Show();
  servoOutput_->Show();
  servoIds_->Show();
  extension_->Show();
}

bool CpuSettingsDialog::Apply() {
  core::Prompter* prompter = session_.context.prompter;
  if (!core::AskYesNo(prompter, TextId::kMsgConfirmApplySettings)) {
    return false;
  }
  // The checks work on a copy: a refused field leaves the working copy as it was.
  core::CpuSettings edited = copy_;
  // Each page checks while it is the one shown, so that a refused field is seen, selected, as
  // its message comes up; the page shown before comes back when all pass.
  const int shownPage = tabs_->currentIndex();
  const auto passes = [this](QWidget* page, const std::function<bool()>& check) {
    tabs_->setCurrentWidget(page);
    return check();
  };
  if (!passes(basic_, [&] { return basic_->StoreControlCycle(edited); }) ||
      !passes(extension_, [&] { return extension_->StoreLedCoefficients(edited); }) ||
      !passes(servoOutput_, [&] { return servoOutput_->StoreShownMotor(edited); })) {
    return false;
  }
  tabs_->setCurrentIndex(shownPage);
  basic_->StoreVolumeAndName(edited);
  extension_->StoreCancelBits(edited);
  copy_ = edited;

  core::CpuSettingsApplyTarget target{session_.project,       session_.link,
                                      &session_.sessionMutex, prompter,
                                      hooks_.recentProjects,  hooks_.recentLog};
  const core::CpuSettingsApplyResult result = core::ApplyCpuSettings(copy_, target);
  ShowPages();
  if (session_.context.views) {
    session_.context.views->Relayout(core::Pane::kPose);  // the servo channels may have moved
  }
  if (result.messageId != 0 && prompter) {
    prompter->Show(result.icon, core::LoadText(result.messageId));
  }
  if (hooks_.applied) {
    hooks_.applied();
  }
  return true;
}

void CpuSettingsDialog::done(int result) {
  session_.dialogs.cpuSettingsPage = tabs_->currentIndex();
  session_.dialogs.cpuSettingsPosition = pos();
  QDialog::done(result);
}

void RunCpuSettingsDialog(EditorSession& session, QWidget* owner, CpuSettingsHooks hooks) {
  CpuSettingsDialog dialog(session, std::move(hooks), owner);
  const PrompterOwnerScope ownerScope(session.context.prompter, &dialog);
  dialog.exec();
}

}  // namespace gestalon::ui

#include "display/display_settings_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <mutex>

#include "display/display_other_page.h"
#include "display/display_skin_page.h"
#include "display/display_toolbar_page.h"
#include "main_window/editor_session.h"
#include "platform/paths.h"
#include "pose/dialog_prompts.h"
#include "project/display_options.h"
#include "project/robot_project.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

}  // namespace

DisplaySettingsDialog::DisplaySettingsDialog(EditorSession& session, DisplaySettingsHooks hooks,
                                             QWidget* parent)
    : QDialog(parent), session_(session), hooks_(std::move(hooks)), copy_(session.project.system) {
  setObjectName(QStringLiteral("132"));
  setWindowTitle(Text(TextId::kDisplaySettingsTitle));
  for (core::SkinImage& skin : copy_.skins) {
    skin.bitmap.reset();
  }
  const core::DisplayOptions options = core::DisplayOptionsOf(session.systemFlags.load());
  tabs_ = Named(new QTabWidget(this), 1098);
  toolbar_ = new DisplayToolbarPage(copy_, options);
  skins_ = new DisplaySkinPage(session, copy_, hooks_.programFolder, options);
  other_ = new DisplayOtherPage(session, copy_, options);
  tabs_->addTab(toolbar_, Text(TextId::kTabToolbar));
  tabs_->addTab(skins_, Text(TextId::kTabSkin));
  tabs_->addTab(other_, Text(TextId::kTabOther));
  tabs_->setCurrentIndex(session.dialogs.displaySettingsPage);

  auto* buttons = new QDialogButtonBox(this);
  auto* apply =
      Named(buttons->addButton(Text(TextId::kButtonApply), QDialogButtonBox::ApplyRole), 1);
  Named(buttons->addButton(Text(TextId::kBtnClose), QDialogButtonBox::RejectRole), 2);
  apply->setDefault(true);
  connect(apply, &QPushButton::clicked, this, &DisplaySettingsDialog::Apply);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addWidget(buttons);
  if (session.dialogs.displaySettingsPosition) {
    move(*session.dialogs.displaySettingsPosition);
  }
}

DisplaySettingsDialog::~DisplaySettingsDialog() = default;

bool DisplaySettingsDialog::Apply() {
  core::Prompter* prompter = session_.context.prompter;
  if (!core::AskYesNo(prompter, TextId::kMsgConfirmApplySettings)) {
    return false;
  }
  other_->StoreGrid();
  toolbar_->StoreButtons(copy_);
  core::DisplayOptions options = core::DisplayOptionsOf(session_.systemFlags.load());
  toolbar_->StoreOptions(options);
  skins_->StoreOptions(options);
  other_->StoreOptions(options);

  // The images load into entries of their own; the panes see them only once they are all
  // swapped in, and both panes paint on this thread, so no paint meets a half-loaded set.
  core::LoadedProject& project = session_.project;
  auto skins = copy_.skins;
  core::LoadSkinImages(skins, core::PathFromText(project.project.folder), hooks_.programFolder);
  {
    std::lock_guard lock(session_.sessionMutex);
    core::SystemSettings next = copy_;
    next.skins = std::move(skins);
    // What others keep in the record while the dialog is open stays theirs.
    next.statusWindowX = project.system.statusWindowX;
    next.statusWindowY = project.system.statusWindowY;
    next.boardDrive = project.system.boardDrive;
    next.systemFlags = core::WithDisplayOptions(project.system.systemFlags, options);
    project.system = std::move(next);
  }
  std::uint32_t live = session_.systemFlags.load();
  while (
      !session_.systemFlags.compare_exchange_weak(live, core::WithDisplayOptions(live, options))) {
  }

  if (hooks_.applied) {
    hooks_.applied();
  }
  if (session_.context.views) {
    session_.context.views->Relayout(core::Pane::kPose);
    session_.context.views->Relayout(core::Pane::kMotion);
  }
  core::ReportUnsavedFile(
      core::WriteSystemSettings(core::ProjectFilePath(project.project, project.project.SYSINI),
                                project.system),
      prompter);
  return true;
}

void DisplaySettingsDialog::done(int result) {
  session_.dialogs.displaySettingsPage = tabs_->currentIndex();
  session_.dialogs.displaySettingsPosition = pos();
  QDialog::done(result);
}

void RunDisplaySettingsDialog(EditorSession& session, QWidget* owner, DisplaySettingsHooks hooks) {
  DisplaySettingsDialog dialog(session, std::move(hooks), owner);
  const PrompterOwnerScope ownerScope(session.context.prompter, &dialog);
  dialog.exec();
}

}  // namespace gestalon::ui

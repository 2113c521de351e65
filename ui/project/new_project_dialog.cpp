#include "project/new_project_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <system_error>

#include "board/board_write_dialog.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

using namespace core::TextId;

// Control ids of the dialog.
constexpr int kKindCombo = 1123, kNameField = 1142, kFolderField = 1189, kBrowseButton = 1110;
constexpr int kInitialiseCheck = 1100, kCreateButton = 1111, kCancelButton = 2;

}  // namespace

NewProjectDialog::NewProjectDialog(const ProjectStartContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setObjectName(QStringLiteral("150"));
  setWindowTitle(Text(kDlgNewProjectTitle));
  kind_ = Named(new QComboBox, kKindCombo);
  name_ = Named(new QLineEdit(ToQString(context_.proposedRobotName)), kNameField);
  folder_ = Named(new QLineEdit, kFolderField);
  initialiseBoard_ = Named(new QCheckBox(Text(kCheckInitCpuBoard)), kInitialiseCheck);
  auto* browse = Named(new QPushButton(Text(kBtnBrowse)), kBrowseButton);
  folder_->setMaxLength(259);
  folder_->setMinimumWidth(360);
  initialiseBoard_->setChecked(true);

  // The first robot of the list is the template for a robot of the user's own design.
  robots_ = core::ReadDefaultRobots(context_.programFolder /
                                    std::filesystem::path(core::kDefaultRobotListName));
  for (std::size_t i = 0; i < robots_.size(); ++i) {
    kind_->addItem(i == 0 ? Text(kComboOriginalRobot) : ToQString(robots_[i].robotName));
  }
  kind_->setCurrentIndex(robots_.empty() ? -1 : 0);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(Text(kLabelRobotKind)), 0, 0);
  fields->addWidget(kind_, 0, 1, 1, 2);
  fields->addWidget(new QLabel(Text(kLabelRobotName)), 1, 0);
  fields->addWidget(name_, 1, 1, 1, 2);
  fields->addWidget(new QLabel(Text(kLabelProjectFolder)), 2, 0);
  fields->addWidget(folder_, 2, 1);
  fields->addWidget(browse, 2, 2);
  fields->addWidget(initialiseBoard_, 3, 1, 1, 2);
  fields->setColumnStretch(1, 1);

  auto* create = Named(new QPushButton(Text(kBtnCreateProject)), kCreateButton);
  auto* cancel = Named(new QPushButton(Text(kButtonCancel)), kCancelButton);
  create->setDefault(true);
  create->setEnabled(!robots_.empty());  // without the list there is nothing to copy
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(create);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addSpacing(8);
  layout->addLayout(buttons);

  connect(browse, &QPushButton::clicked, this, &NewProjectDialog::Browse);
  connect(create, &QPushButton::clicked, this, &NewProjectDialog::Create);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void NewProjectDialog::Browse() {
  const QString chosen = context_.pickFolder(this, Text(kTitleProjectLocationBrowse),
                                             ToQString(context_.projectFolder));
  if (!chosen.isEmpty()) {
    folder_->setText(ToQString(core::ProposedProjectFolder(ToU16(chosen), ToU16(name_->text()))));
  }
}

void NewProjectDialog::Create() {
  core::Prompter& prompter = *context_.prompter;
  const std::u16string name = ToU16(name_->text());
  const std::u16string folderText = ToU16(folder_->text());
  if (const core::NewProjectCheck check = core::CheckNewProject(name, folderText);
      !check.message.empty()) {
    prompter.Show(check.icon, check.message);
    return;
  }
  std::error_code error;
  std::filesystem::path folder = core::PathFromText(folderText);
  folder = std::filesystem::absolute(folder, error);
  if (std::filesystem::exists(folder, error) &&
      prompter.Ask(core::PromptIcon::kWarning, core::LoadText(kMsgProjectFolderExists),
                   core::PromptButtons::kYesNo) != core::PromptAnswer::kYes) {
    return;
  }
  const int kind = kind_->currentIndex();
  if (kind < 0 || kind >= std::ssize(robots_)) {
    return;
  }
  const core::CreatedProject made = core::CreateRobotProject(
      core::ResolveInFolder(context_.programFolder,
                            robots_[static_cast<std::size_t>(kind)].templateFolder),
      folder, name);
  if (!made.created) {
    prompter.Show(core::PromptIcon::kError, made.message);
    return;
  }
  if (initialiseBoard_->isChecked() &&
      prompter.Ask(core::PromptIcon::kNone, core::LoadText(kMsgInitCpuBoardConfirm),
                   core::PromptButtons::kOkCancel) == core::PromptAnswer::kOk) {
    InitialiseBoard(made);
  }
  // The project is made whatever the board said; the program opens it in an instance of its own.
  context_.startInstance(core::TextFromPath(made.projectFile), context_.passedOnOptions);
  accept();
}

void NewProjectDialog::InitialiseBoard(const core::CreatedProject& made) {
  if (!context_.link) {
    return;
  }
  // Written as the new project: its folder, its CPU settings file and the settings just made.
  core::LoadedProject written;
  written.project.folder = core::TextFromPath(made.projectFile.parent_path() / "");
  written.project.ROMINI = core::kTemplateCpuSettingsName;
  written.cpu = made.cpu;
  WriteToBoardWithProgress(
      *context_.link, written,
      context_.driveCandidates ? context_.driveCandidates() : std::vector<core::BoardDrive>{},
      context_.prompter, this, made.cpu, true);
}

int RunNewProjectDialog(const ProjectStartContext& context, QWidget* owner) {
  NewProjectDialog dialog(context, owner);
  const PrompterOwnerScope scope(context.prompter, &dialog);
  return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace gestalon::ui

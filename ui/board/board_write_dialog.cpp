#include "board/board_write_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <atomic>
#include <mutex>
#include <thread>

#include "board/board_progress_dialog.h"
#include "board/board_write.h"
#include "board/drive_label_text.h"
#include "board/drive_selection_dialog.h"
#include "controlmap/control_map_editor.h"
#include "main_window/editor_session.h"
#include "platform/board_drives.h"
#include "platform/paths.h"
#include "project/project_folder_rule.h"
#include "project/robot_project.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/project_file_chooser.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

using namespace core::TextId;

// Control ids of the dialog.
constexpr int kStartupField = 1002, kNewMap = 1033, kEditMap = 1025, kOpenMotion = 1009;
constexpr int kVoiceField = 40007, kOpenVoice = 40012, kWriteVoice = 40018, kDriveCombo = 40025;
constexpr int kWriteButton = 1117, kCancelButton = 2;

QPushButton* Button(int textId, int id) {
  return Named(new QPushButton(Text(textId)), id);
}

}  // namespace

BoardWriteDialog::BoardWriteDialog(EditorSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("149"));
  setWindowTitle(Text(kWriteDialogTitle));
  {
    const std::lock_guard lock(session_.sessionMutex);
    settings_ = session_.project.cpu;
  }
  startupMotion_ = Named(new QLineEdit(ToQString(settings_.startupMotion)), kStartupField);
  voiceFile_ = Named(new QLineEdit(ToQString(settings_.extraFile)), kVoiceField);
  writeVoice_ = Named(new QCheckBox(Text(kWriteDlgWriteVoice)), kWriteVoice);
  writeVoice_->setChecked(session_.dialogs.writeVoiceFile);
  drive_ = Named(new QComboBox, kDriveCombo);
  startupMotion_->setMinimumWidth(320);
  for (QLineEdit* field : {startupMotion_, voiceFile_}) {
    field->setMaxLength(static_cast<int>(core::kFileNameChars));
  }

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Text(kWriteDlgStartupLabel)), 0, 0);
  grid->addWidget(startupMotion_, 0, 1);
  auto* mapButtons = new QHBoxLayout;
  auto* newMap = Button(kButtonNewEllipsis, kNewMap);
  auto* editMap = Button(kButtonEditEllipsis, kEditMap);
  auto* openMotion = Button(kButtonOpenFile, kOpenMotion);
  for (QPushButton* button : {newMap, editMap, openMotion}) {
    mapButtons->addWidget(button);
  }
  grid->addLayout(mapButtons, 0, 2);
  grid->addWidget(new QLabel(Text(kWriteDlgVoiceLabel)), 1, 0);
  grid->addWidget(voiceFile_, 1, 1);
  auto* voiceButtons = new QHBoxLayout;
  auto* openVoice = Button(kButtonOpenFile, kOpenVoice);
  voiceButtons->addWidget(writeVoice_);
  voiceButtons->addWidget(openVoice);
  voiceButtons->addStretch();
  grid->addLayout(voiceButtons, 1, 2);
  grid->addWidget(new QLabel(Text(kWriteDlgDriveLabel)), 2, 0);
  grid->addWidget(drive_, 2, 1);

  auto* buttons = new QHBoxLayout;
  auto* write = Button(kButtonWrite, kWriteButton);
  auto* cancel = Button(kButtonCancel, kCancelButton);
  write->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(write);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addLayout(buttons);

  connect(newMap, &QPushButton::clicked, this, &BoardWriteDialog::NewControlMap);
  connect(editMap, &QPushButton::clicked, this, &BoardWriteDialog::EditControlMap);
  connect(openMotion, &QPushButton::clicked, this, &BoardWriteDialog::ChooseStartupMotion);
  connect(openVoice, &QPushButton::clicked, this, &BoardWriteDialog::ChooseVoiceFile);
  connect(writeVoice_, &QCheckBox::toggled, voiceFile_, &QWidget::setEnabled);
  connect(writeVoice_, &QCheckBox::toggled, openVoice, &QWidget::setEnabled);
  connect(write, &QPushButton::clicked, this, &BoardWriteDialog::Write);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  voiceFile_->setEnabled(writeVoice_->isChecked());
  openVoice->setEnabled(writeVoice_->isChecked());
  ListDrives();
}

void BoardWriteDialog::ListDrives() {
  // While online the board is the connected one: the write goes to its drive.
  const bool online = session_.link.Flags().online.load() != 0;
  const core::BoardDrive current = session_.link.CurrentDrive();
  int selected = -1;
  // The drives a user may write to: removable drives and CPU boards. The current board drive is
  // preselected, else the first board.
  for (core::BoardDrive& drive : session_.DriveCandidates()) {
    core::DriveDescriptor descriptor;
    if (!drive.queryDescriptor || !drive.queryDescriptor(descriptor)) {
      continue;
    }
    const bool board = core::IsBoardDescriptor(descriptor);
    if (descriptor.removable == 0 && !board) {
      continue;
    }
    const bool isCurrent = !current.root.empty() && drive.root == current.root;
    if (isCurrent || (selected < 0 && board)) {
      selected = static_cast<int>(drives_.size());
    }
    drive_->addItem(ToQString(core::DriveEntryText(drive)));
    drives_.push_back(std::move(drive));
  }
  drive_->setCurrentIndex(selected);
  drive_->setEnabled(!online);
}

QString BoardWriteDialog::ProjectRelative(const std::filesystem::path& file) const {
  const std::u16string full = core::TextFromPath(file);
  const auto inside = core::NameInProjectFolder(session_.project.project.folder, full);
  return ToQString(inside ? *inside : full);
}

void BoardWriteDialog::NewControlMap() {
  std::filesystem::path saved;
  if (ui::EditControlMap(session_, this, std::nullopt, &saved) == 1) {
    startupMotion_->setText(ProjectRelative(saved));
  }
}

void BoardWriteDialog::EditControlMap() {
  const std::u16string name = ToU16(startupMotion_->text());
  std::optional<std::filesystem::path> file;
  if (!name.empty()) {
    file = core::ProjectFilePath(session_.project.project, name);
  }
  std::filesystem::path saved;
  if (ui::EditControlMap(session_, this, file, &saved) == 1) {
    startupMotion_->setText(ProjectRelative(saved));
  }
}

void BoardWriteDialog::ChooseStartupMotion() {
  ChooseInto(startupMotion_, FileFilter(kFilterMotionDesc, kFilterMotionPattern),
             Text(kFilterMotionDesc));
}

void BoardWriteDialog::ChooseVoiceFile() {
  ChooseInto(voiceFile_, FileFilter(kFilterWavName, kFilterWavPattern), Text(kFilterWav));
}

void BoardWriteDialog::ChooseInto(QLineEdit* field, const QString& filter, const QString& suffix) {
  FileChoice choice;
  choice.title = Text(kTitleOpenMotion);
  choice.filters = {filter, FileFilter(kFilterAll, kFilterAll)};
  choice.defaultSuffix = suffix;
  if (!session_.context.prompter) {
    return;
  }
  if (const auto name =
          ChooseProjectFile(this, *session_.context.prompter, session_.dialogs.pickFile,
                            core::PathFromText(session_.project.project.folder), choice)) {
    field->setText(*name);
  }
}

void BoardWriteDialog::Write() {
  core::Prompter* prompter = session_.context.prompter;
  if (prompter &&
      prompter->Ask(core::PromptIcon::kQuestion, core::LoadText(kMsgConfirmApplySettings),
                    core::PromptButtons::kYesNo) == core::PromptAnswer::kNo) {
    return;
  }
  settings_.startupMotion = ToU16(startupMotion_->text());
  settings_.extraFile = ToU16(voiceFile_->text());
  {
    const std::lock_guard lock(session_.sessionMutex);
    session_.project.cpu = settings_;
  }
  core::CpuSettings written = settings_;
  if (!writeVoice_->isChecked()) {
    written.extraFile.clear();
  }
  std::optional<core::BoardDrive> drive;
  if (const int index = drive_->currentIndex(); index >= 0 && index < std::ssize(drives_)) {
    drive = drives_[static_cast<std::size_t>(index)];
  }
  if (WriteToBoardWithProgress(session_, this, written, drive, false) == 1) {
    accept();
  }
}

void BoardWriteDialog::done(int result) {
  session_.dialogs.writeVoiceFile = writeVoice_->isChecked();
  QDialog::done(result);
}

int RunBoardWriteDialog(EditorSession& session, QWidget* owner) {
  BoardWriteDialog dialog(session, owner);
  const PrompterOwnerScope scope(session.context.prompter, &dialog);
  return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int WriteToBoardWithProgress(EditorSession& session, QWidget* owner,
                             const core::CpuSettings& settings,
                             const std::optional<core::BoardDrive>& drive, bool warnWithoutMotion) {
  return WriteToBoardWithProgress(
      session.link, session.project,
      drive ? std::vector<core::BoardDrive>{*drive} : session.DriveCandidates(),
      session.context.prompter, owner, settings, warnWithoutMotion);
}

int WriteToBoardWithProgress(core::BoardLink& link, const core::LoadedProject& project,
                             std::vector<core::BoardDrive> candidates, core::Prompter* prompter,
                             QWidget* owner, const core::CpuSettings& settings,
                             bool warnWithoutMotion) {
  std::atomic<bool> cancel{false};
  BoardProgressDialog progress(&cancel, owner);
  ProgressForwarder forwarder;
  forwarder.Attach(&progress);
  const PrompterOwnerScope scope(prompter, &progress);

  core::BoardWriteTask task;
  task.link = &link;
  task.project = &project;
  task.settings = settings;
  task.candidates = std::move(candidates);
  task.chooseBoard = MakeBoardChooser(&progress, dynamic_cast<QtPrompter*>(prompter));
  task.warnWithoutMotion = warnWithoutMotion;
  task.progress = &forwarder;
  task.prompter = prompter;
  task.cancelRequest = &cancel;
  int result = 0;
  std::thread worker([&] { result = core::WriteToBoard(task); });
  progress.exec();
  worker.join();
  return result;
}

}  // namespace gestalon::ui

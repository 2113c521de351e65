// The command dispatcher: every menu item, accelerator and toolbar button id and the operation
// it runs.
#include <QCursor>
#include <QFileDialog>

#include "board/board_progress_dialog.h"
#include "board/board_scan.h"
#include "board/board_write_dialog.h"
#include "board/drive_label_text.h"
#include "board/drive_selection_dialog.h"
#include "board/firmware_update_dialog.h"
#include "board/servo_position_correction.h"
#include "board/status_window.h"
#include "board/virtual_controller.h"
#include "cpusettings/cpu_settings_dialog.h"
#include "dialogs/block_dialogs.h"
#include "dialogs/variable_dialog.h"
#include "display/display_settings_dialog.h"
#include "flowchart/block_clipboard.h"
#include "flowchart/block_commands.h"
#include "flowchart/block_delete.h"
#include "flowchart/block_properties.h"
#include "flowchart/block_selection.h"
#include "flowchart/current_block.h"
#include "flowchart/motion_import.h"
#include "flowchart/pose_block_settings.h"
#include "main_window/about_box.h"
#include "main_window/command_actions.h"
#include "main_window/command_ids.h"
#include "main_window/file_hand_over.h"
#include "main_window/main_toolbar.h"
#include "main_window/main_window.h"
#include "main_window/program_arguments.h"
#include "main_window/split_pane.h"
#include "motion_area/motion_area.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "pose/base_pose_dialog.h"
#include "pose/base_pose_editing.h"
#include "pose/batch_offset_dialog.h"
#include "pose/offset_dialog.h"
#include "pose/pose_operations.h"
#include "pose/pose_store.h"
#include "pose/slider_properties_dialog.h"
#include "pose_area/pose_area.h"
#include "preview/preview_player.h"
#include "preview/preview_window.h"
#include "project/language_list.h"
#include "project/new_project_dialog.h"
#include "project/project_start.h"
#include "project/relaunch.h"
#include "project/robot_project.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_prompter.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

using namespace CommandId;

core::BlockKind KindOfAddCommand(int id) {
  switch (id) {
    case kAddPose:
      return core::BlockKind::Pose;
    case kAddCalc:
      return core::BlockKind::Calc;
    case kAddBranch:
      return core::BlockKind::If;
    case kAddGamepad:
      return core::BlockKind::PadIf;
    case kAddEnd:
      return core::BlockKind::End;
    case kAddSound:
      return core::BlockKind::Sound;
    case kAddSubRoutine:
      return core::BlockKind::SubRoutine;
    case kAddFileWrite:
      return core::BlockKind::FileWrite;
    case kAddFileRead:
      return core::BlockKind::FileRead;
    case kAddWait:
      return core::BlockKind::Wait;
    case kAddComment:
      return core::BlockKind::Comment;
    case kAddCancel:
      return core::BlockKind::Cancel;
    default:
      return core::BlockKind::InterpChange;
  }
}

bool IsAddCommand(int id) {
  for (const int add :
       {kAddPose, kAddCalc, kAddBranch, kAddGamepad, kAddEnd, kAddSound, kAddSubRoutine,
        kAddFileWrite, kAddFileRead, kAddWait, kAddComment, kAddCancel, kAddInterpChange}) {
    if (id == add) {
      return true;
    }
  }
  return false;
}

QString MotionFilter() {
  return QStringLiteral("KX4 (*.KX4 *.kx4)");
}

}  // namespace

bool MainWindow::CanRunWhilePlaying(int id) const {
  for (const int allowed :
       {kStop, kPlayFromHere, kServoOn, kSpaceServoOff, kOnline, kAbout, kExit, kPreviewWindow}) {
    if (id == allowed) {
      return true;
    }
  }
  return false;
}

bool MainWindow::CursorOverMotionArea() const {
  return split_->OverRightPane(split_->mapFromGlobal(QCursor::pos()).x());
}

void MainWindow::RunCommand(int id) {
  core::EditContext& context = session_->context;
  if (session_->MotionLocked() && !CanRunWhilePlaying(id)) {
    return;  // the motion being played must not change under the board
  }
  if (const std::int32_t basePose = core::BasePoseFromMenuId(id); basePose >= 0) {
    core::ChooseBasePose(context, basePose);
    return;
  }
  if (id >= kRecentProjectFirst && id <= kRecentProjectLast) {
    OpenRecentProject(id - kRecentProjectFirst);
    return;
  }
  if (id >= kRecentMotionFirst && id <= kRecentMotionLast) {
    OpenRecentMotion(id - kRecentMotionFirst);
    return;
  }
  if (IsAddCommand(id)) {
    core::AddBlockCommand(context, KindOfAddCommand(id));
    return;
  }
  switch (id) {
    case kNew:
      NewMotion();
      return;
    case kOpen:
      OpenMotion();
      return;
    case kSave:
      SaveMotion(false);
      return;
    case kSaveAs:
      SaveMotion(true);
      return;
    case kOpenProject:
      OpenProject();
      return;
    case kImportMotion:
      ImportMotion();
      return;
    case kExit:
      exitWithoutAsking_ = true;
      close();
      return;
    case kOnline:
      ToggleOnline();
      return;
    case kServoOn:
      ToggleServo();
      return;
    case kSpaceServoOff:
      SpaceServoOff();
      return;
    case kPlay:
      Play(false);
      return;
    case kPlayFromHere:
      Play(true);
      return;
    case kStop:
      if (previewPlayer_->Playing()) {
        previewPlayer_->Stop();
      } else {
        session_->playback->StopMotion();
      }
      return;
    case kPreviewWindow:
      ShowPreview(!(previewWindow_ && previewWindow_->isVisible()));
      return;
    case kPlayInPreview:
      PlayInPreview(false);
      return;
    case kPlayInPreviewFromHere:
      PlayInPreview(true);
      return;
    case kServoCorrection:
      ServoCorrection();
      return;
    case kFirmwareUpdate:
      UpdateFirmware(*session_, programFolder_, this);
      return;
    case kVirtualController:
      if (session_->VirtualBoard()) {
        ShowVirtualController(*session_->VirtualBoard(), this);
      }
      return;
    case kAbout:
      ShowAbout();
      return;
    case kSwitchLanguage:
      SwitchLanguage();
      return;
    case kRegisterBasePose:
      RunBasePoseDialog(*session_, this);
      return;
    case kRegisterOffset:
      RunOffsetDialog(*session_, this, [this] {
        toolbar_->FillOffsetSelector(core::FillOffsetSelector(session_->project.offsets));
      });
      return;
    case kCpuSettings:
      OpenCpuSettings();
      return;
    case kDisplaySettings:
      OpenDisplaySettings();
      return;
    case kApplyOverride:
      ApplyOverride();
      return;
    case kBlockProperties:
      BlockProperties();
      return;
    case kBatchOffset:
      BatchOffset();
      return;
    case kSelectAll:
      if (CursorOverMotionArea()) {
        core::SelectAllBlocks(context);
      } else {
        core::SelectAllSliders(context);
      }
      return;
    case kCopyByPosition:
      RunCommand(CursorOverMotionArea() ? kCopyBlocks : kCopyJointValues);
      return;
    case kPasteByPosition:
      RunCommand(CursorOverMotionArea() ? kPasteBlocks : kPasteJointValues);
      return;
    case kMemoryMap:
      // The memory map has no outputs of its own: it opens at the last chosen address.
      SelectVariable(*session_, this, session_->dialogs.lastVariableAddress, nullptr, nullptr);
      return;
    case kWriteToBoard:
      RunBoardWriteDialog(*session_, this);
      RefreshMenuChecks();
      return;
    case kNewProject:
      RunNewProjectDialog(ProjectStart(u""), this);
      return;
    case kSliderProperties:
      SliderProperties();
      return;
    case kBackspace:
    case kCtrlR:
      return;
    default:
      EditingCommand(id);
      return;
  }
}

// Commands that are one core operation on the editing context.
void MainWindow::EditingCommand(int id) {
  core::EditContext& context = session_->context;
  switch (id) {
    case kUndo:
      session_->undo.Undo();
      break;
    case kRedo:
      session_->undo.Redo();
      break;
    case kCopyJointValues:
      core::CopyJointValues(context);
      break;
    case kPasteJointValues:
      core::PasteJointValues(context);
      break;
    case kCopyLeftToRight:
      core::CopyHalf(context, true);
      break;
    case kCopyRightToLeft:
      core::CopyHalf(context, false);
      break;
    case kMirror:
      core::MirrorCurrentPose(context);
      break;
    case kCapturePose: {
      std::lock_guard lock(session_->sessionMutex);  // the robot readings come from the worker
      core::CapturePose(context);
      break;
    }
    case kBasePoseButton:
      core::ApplyBasePose(context, -1);
      break;
    case kInvertSliderDisplay:
      core::ToggleDisplayInversion(context);
      break;
    case kCutBlocks:
      core::CutBlocks(context);
      break;
    case kCopyBlocks:
      core::CopyBlocks(context);
      break;
    case kPasteBlocks:
      core::PasteBlocks(context);
      break;
    case kDeleteBlocks:
    case kDeletePose:
      core::DeleteBlocks(context);
      break;
    case kMirrorSelectedPoses:
      core::MirrorSelectedPoseBlocks(context);
      break;
    case kInterpWaitOn:
      core::SetInterpWait(context, true);
      break;
    case kInterpWaitOff:
      core::SetInterpWait(context, false);
      break;
    case kToggleInterpWait:
      core::ToggleInterpWait(context);
      break;
    case kSplitPose:
      core::SplitPose(context);
      break;
    case kDuplicatePose:
      core::DuplicatePose(context);
      break;
    case kNextPose:
      core::MakeCurrentByStep(context, false);
      break;
    case kNextPoseBranch:
      core::MakeCurrentByStep(context, true);
      break;
    case kPreviousPose:
      core::PreviousPose(context);
      break;
    case kFirstPose:
      core::FirstPose(context);
      break;
    default:
      break;
  }
}

void MainWindow::ApplyOverride() {
  session_->state.overridePercent = toolbar_->OverridePercent();
  core::ApplyPlaybackOverride(session_->context);
  toolbar_->SetOverridePercent(session_->state.overridePercent);
}

void MainWindow::BlockProperties() {
  if (core::MotionBlock* block = core::BlockForProperties(session_->context)) {
    EditBlock(*block);
  }
}

void MainWindow::EditBlock(core::MotionBlock& block) {
  core::FinishBlockProperties(session_->context, block,
                              RunBlockDialog(*session_, block, motionArea_));
}

void MainWindow::BatchOffset() {
  RunBatchOffsetDialog(*session_, this);
}

void MainWindow::SliderProperties() {
  // The dialog writes the slider definition file, which holds the window's geometry too.
  StoreWindowLayout();
  RunSliderPropertiesDialog(*session_, this);
}

// ---- Files.

void MainWindow::NewMotion() {
  if (ConfirmSaveChanges() == core::PromptAnswer::kCancel) {
    return;
  }
  core::NewMotionCommand(session_->context);
  session_->motion.path.clear();
  core::UpdateTitle(session_->context, u"");
  session_->undo.ResetUndoHistory();
  motionArea_->RequestFullRedraw();
}

bool MainWindow::OpenMotionFile(const std::filesystem::path& file) {
  core::NewMotionLayout layout = session_->state.motionLayout;
  if (!core::OpenMotion(session_->motion, file, session_->project, &prompter_, layout)) {
    prompter_.Show(core::PromptIcon::kError,
                   core::Format(core::LoadText(core::TextId::kFmtMsgCannotOpenFile),
                                core::TextFromPath(file)));
    return false;
  }
  core::EditContext& context = session_->context;
  if (core::MotionBlock* current = context.document.current) {
    core::SetCurrentPose(context, *current, current->time);
  }
  core::UpdateTitle(context, session_->motion.path);
  session_->undo.ResetUndoHistory();
  actions_->FillRecentMotions(core::RecentMotionMenu(session_->motion.recent));
  motionArea_->RequestFullRedraw();
  poseArea_->RequestRelayout();
  return true;
}

void MainWindow::OpenMotion() {
  if (ConfirmSaveChanges() == core::PromptAnswer::kCancel) {
    return;
  }
  const QString file =
      QFileDialog::getOpenFileName(this, Text(core::TextId::kTitleOpenMotion),
                                   ToQString(session_->project.project.folder), MotionFilter());
  if (!file.isEmpty()) {
    OpenMotionFile(core::PathFromText(ToU16(file)));
  }
}

bool MainWindow::SaveMotion(bool askForName) {
  std::u16string path = session_->motion.path;
  if (askForName || path.empty()) {
    const QString start =
        path.empty() ? ToQString(session_->project.project.folder) : ToQString(path);
    const QString file = QFileDialog::getSaveFileName(this, Text(core::TextId::kTitleSaveMotion),
                                                      start, MotionFilter());
    if (file.isEmpty()) {
      return false;
    }
    path = ToU16(file);
  }
  if (!core::SaveMotion(session_->motion, core::PathFromText(path), session_->project,
                        &prompter_)) {
    return false;
  }
  core::UpdateTitle(session_->context, session_->motion.path);
  // The file now holds the motion as shown: an undo from here would give a motion that the
  // cleared modified bit says is saved.
  session_->undo.ResetUndoHistory();
  actions_->FillRecentMotions(core::RecentMotionMenu(session_->motion.recent));
  return true;
}

void MainWindow::OpenRecentMotion(int slot) {
  const auto file =
      core::RecentMotionPath(session_->motion.recent, session_->project.project.folder, slot);
  if (file && ConfirmSaveChanges() != core::PromptAnswer::kCancel) {
    OpenMotionFile(*file);
  }
}

void MainWindow::ImportMotion() {
  const QString file =
      QFileDialog::getOpenFileName(this, Text(core::TextId::kDlgImportMotionTitle),
                                   ToQString(session_->project.project.folder), MotionFilter());
  if (!file.isEmpty()) {
    core::ImportMotion(session_->context, core::PathFromText(ToU16(file)));
    motionArea_->RequestFullRedraw();
  }
}

void MainWindow::OpenProject() {
  const QString file = QFileDialog::getOpenFileName(
      this, Text(core::TextId::kMenuFileOpenProject).section(QLatin1Char('\t'), 0, 0),
      ToQString(session_->project.project.folder), QStringLiteral("KJZ (*.KJZ *.kjz)"));
  if (!file.isEmpty()) {
    core::RelaunchWithProject(ToU16(file), passedOnOptions_);
  }
}

ProjectStartContext MainWindow::ProjectStart(std::u16string proposedRobotName) {
  ProjectStartContext context;
  context.programFolder = programFolder_;
  context.recentLog = core::AppDataFolder() / core::kRecentProjectLogName;
  context.prompter = &prompter_;
  context.proposedRobotName = std::move(proposedRobotName);
  context.projectFolder = session_->project.project.folder;
  context.passedOnOptions = passedOnOptions_;
  context.link = &session_->link;
  context.driveCandidates = [this] { return session_->DriveCandidates(); };
  context.pickFile = session_->dialogs.pickFile;
  context.pickFolder = session_->dialogs.pickFolder;
  context.startInstance = session_->dialogs.startInstance;
  return context;
}

void MainWindow::OpenRecentProject(int index) {
  if (index < 0 || index >= core::kRecentProjectCount) {
    return;
  }
  const core::RecentProject& entry = recentProjects_.entries[static_cast<std::size_t>(index)];
  if (entry.valid) {
    core::RelaunchWithProject(entry.path, passedOnOptions_);
  }
}

void MainWindow::DroppedFile(const QString& path) {
  if (session_->MotionLocked()) {
    return;
  }
  const QString upper = path.toUpper();
  if (upper.contains(QStringLiteral("KX4"))) {
    if (ConfirmSaveChanges() != core::PromptAnswer::kCancel) {
      OpenMotionFile(core::PathFromText(ToU16(path)));
    }
  } else if (upper.contains(QStringLiteral(".KJZ"))) {
    core::RelaunchWithProject(ToU16(path), passedOnOptions_);
  } else {
    prompter_.Show(core::PromptIcon::kError, core::LoadText(core::TextId::kUnsupportedDroppedFile));
  }
}

void MainWindow::ServeHandedOverFiles(const QString& serverName) {
  auto* listener = new FileHandOverListener(serverName, this);
  connect(listener, &FileHandOverListener::Received, this, [this](const QString& path) {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
    DroppedFile(path);
  });
}

// ---- The robot.

void MainWindow::ToggleOnline() {
  EditorSession& session = *session_;
  // A click has already flipped the checkable button: it shows the connection, not the click.
  RefreshMenuChecks();
  // Going online makes every loaded pose go to the robot: the preview stops playing first.
  previewPlayer_->Stop();
  if (session.playback->Active()) {
    prompter_.Show(core::PromptIcon::kWarning,
                   core::LoadText(core::TextId::kMsgCannotDisconnectWhilePlaying));
    RefreshMenuChecks();
    return;
  }
  if (session.online->WorkerRunning() || session.link.Flags().online.load() != 0) {
    if (session.online->StopOnline() == 0) {
      prompter_.Show(core::PromptIcon::kError, core::LoadText(core::TextId::kMsgDisconnectFailed));
    }
    RefreshMenuChecks();
    return;
  }
  const core::BoardScanResult scan = core::ScanBoardDrives(session.link, session.DriveCandidates(),
                                                           core::RobotName(session.project.cpu));
  if (scan.listed.empty()) {
    prompter_.Show(core::PromptIcon::kWarning, core::LoadText(core::TextId::kMsgRobotNotConnected));
    session.systemFlags.fetch_and(~core::SystemFlag::kOnline);
    RefreshMenuChecks();
    return;
  }
  if (!scan.singleMatch && !ChooseBoardDrive(session.link, scan, this, qtPrompter_)) {
    session.systemFlags.fetch_and(~core::SystemFlag::kOnline);
    RefreshMenuChecks();
    return;
  }
  session.systemFlags.fetch_or(core::SystemFlag::kOnline);
  // The robot check takes up to a few seconds: the window stays responsive meanwhile.
  session.online->StartOnlineAsync([this](int result) {
    QMetaObject::invokeMethod(
        this, [this, result] { OnlineStarted(result); }, Qt::QueuedConnection);
  });
}

void MainWindow::OnlineStarted(int result) {
  if (result == 0) {
    const std::u16string text =
        core::Format(core::DriveLabelFormat(core::LoadText(core::TextId::kMsgConnectFailed)),
                     core::DriveLabelText(session_->link.CurrentDrive()));
    prompter_.Show(core::PromptIcon::kError, text);
  }
  RefreshMenuChecks();
  poseArea_->RequestRelayout();
}

void MainWindow::ToggleServo() {
  EditorSession& session = *session_;
  if (session.link.Flags().online.load() == 0) {
    prompter_.Show(core::PromptIcon::kError, core::LoadText(core::TextId::kMsgNotOnline));
    session.systemFlags.fetch_and(~core::SystemFlag::kServoOn);
  } else if (!session.playback->Playing()) {
    session.systemFlags.fetch_xor(core::SystemFlag::kServoOn);
    session.link.Flags().posePending.store(1);
  }
  RefreshMenuChecks();
}

void MainWindow::SpaceServoOff() {
  if ((session_->systemFlags.load() & core::SystemFlag::kSpaceServoOff) != 0 &&
      !session_->playback->Playing()) {
    session_->systemFlags.fetch_and(~core::SystemFlag::kServoOn);
    session_->link.Flags().posePending.store(1);
    RefreshMenuChecks();
  }
}

void MainWindow::Play(bool fromHere) {
  EditorSession& session = *session_;
  if (previewPlayer_->Playing()) {
    // P while the preview plays stops it, as it stops a board's playback.
    if (fromHere) {
      previewPlayer_->Stop();
    }
    return;
  }
  if (session.link.Flags().online.load() == 0) {
    prompter_.Show(core::PromptIcon::kWarning, core::LoadText(core::TextId::kMsgNotOnline));
    return;
  }
  if (session.playback->Active()) {
    if (fromHere) {
      session.playback->StopMotion();
    }
    return;
  }
  // A drag or a held button in a pane ends before the motion is written out, so that what plays
  // is what is shown and no pane edits it once it is locked.
  poseArea_->EndInteraction();
  motionArea_->EndDrag();
  BoardProgressDialog dialog(&playbackCancel_, this);
  playbackCancel_.store(false);
  progress_->Attach(&dialog);
  const int started = session.playback->PlayMotion(
      session.motion.document, fromHere ? session.motion.document.current : nullptr,
      static_cast<std::uint32_t>(toolbar_->OverridePercent()));
  if (started == 1) {
    dialog.exec();
  }
  progress_->Attach(nullptr);
}

void MainWindow::ShowPreview(bool show) {
  if (!previewWindow_) {
    if (!show) {
      return;
    }
    previewWindow_ = new PreviewWindow(*session_, *previewPlayer_, this);
    connect(previewWindow_, &PreviewWindow::closed, this, [this] {
      previewWanted_ = false;
      RefreshMenuChecks();
    });
    const core::WindowLayout& layout = session_->project.layout;
    if (layout.previewWidth > 0) {
      previewWindow_->resize(layout.previewWidth, layout.previewHeight);
      previewWindow_->move(layout.previewLeft, layout.previewTop);
    } else {
      // First time: over the motion area's right side, clear of the sliders.
      const QRect frame = frameGeometry();
      previewWindow_->move(frame.right() - previewWindow_->width() - 24, frame.top() + 120);
    }
  }
  previewWindow_->setVisible(show);
  previewWanted_ = show;
  RefreshMenuChecks();
}

void MainWindow::PlayInPreview(bool fromHere) {
  if (!previewWindow_ || !previewWindow_->isVisible()) {
    ShowPreview(true);
  }
  if (!previewWindow_->View()->HasRobot()) {
    prompter_.Show(core::PromptIcon::kWarning, core::LoadText(core::TextId::kMsgPreviewMissing));
    return;
  }
  poseArea_->EndInteraction();
  motionArea_->EndDrag();
  previewPlayer_->Start(fromHere ? session_->motion.document.current : nullptr,
                        toolbar_->OverridePercent());
}

void MainWindow::ServoCorrection() {
  core::ServoCorrectionOptions options;
  options.sessionMutex = &session_->sessionMutex;
  options.playing = session_->playback->Playing();
  core::ServoPositionCorrection(session_->context, session_->link, options);
  RefreshMenuChecks();
}

void MainWindow::OpenCpuSettings() {
  CpuSettingsHooks hooks;
  hooks.toggleServo = [this] { RunCommand(kServoOn); };
  hooks.recentProjects = &recentProjects_;
  if (const std::filesystem::path appData = core::AppDataFolder(); !appData.empty()) {
    hooks.recentLog = appData / core::kRecentProjectLogName;
  }
  hooks.applied = [this] {
    session_->online->SetRobotName(core::RobotName(session_->project.cpu));
    // The title takes the robot name; a changed motion stays marked as changed.
    const bool modified = (session_->systemFlags.load() & core::SystemFlag::kModified) != 0;
    core::UpdateTitle(session_->context, session_->motion.path);
    if (modified) {
      core::MarkModified(session_->context);
    }
  };
  RunCpuSettingsDialog(*session_, this, std::move(hooks));
}

void MainWindow::OpenDisplaySettings() {
  DisplaySettingsHooks hooks;
  hooks.programFolder = programFolder_;
  hooks.applied = [this] {
    const std::uint32_t flags = session_->systemFlags.load();
    toolbar_->Build(session_->project.system);
    toolbar_->FillOffsetSelector(core::FillOffsetSelector(session_->project.offsets));
    toolbar_->SetOverridePercent(session_->state.overridePercent);
    toolbar_->setVisible((flags & core::SystemFlag::kToolbar) != 0);
    if ((flags & core::SystemFlag::kStatusWindow) != 0 && session_->online->WorkerRunning()) {
      statusWindow_->Open();
    }
  };
  RunDisplaySettingsDialog(*session_, this, std::move(hooks));
}

void MainWindow::SwitchLanguage() {
  if (prompter_.Ask(core::PromptIcon::kQuestion,
                    core::LoadText(core::TextId::kMsgConfirmLanguageRestart),
                    core::PromptButtons::kYesNo) != core::PromptAnswer::kYes ||
      ConfirmSaveChanges() == core::PromptAnswer::kCancel) {
    return;
  }
  SessionOptions next = sessionOptions_;
  next.language = ToU16(Text(core::TextId::kOtherInterfaceLanguage).trimmed());
  const std::filesystem::path projectFile =
      core::FindProjectFile(core::PathFromText(session_->project.project.folder));
  // Remembered for the starts without the option; the new instance gets it on its command line
  // as well, so that a failed write still switches.
  core::WriteLanguageChoice(core::AppDataFolder(), next.language);
  if (projectFile.empty() ||
      !session_->dialogs.startInstance(core::TextFromPath(projectFile), PassedOnOptions(next))) {
    prompter_.Show(core::PromptIcon::kError, core::LoadText(core::TextId::kMsgRestartFailed));
    return;
  }
  exitWithoutAsking_ = true;
  close();
}

void MainWindow::ShowAbout() {
  AboutBox about(this);
  const PrompterOwnerScope owner(&prompter_, &about);
  about.exec();
}

}  // namespace gestalon::ui

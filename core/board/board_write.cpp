#include "board/board_write.h"

#include "board/board_settings.h"
#include "board/copy_list.h"
#include "board/image_builder.h"
#include "cpusettings/cpu_settings_file.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

void Show(Prompter* prompter, PromptIcon icon, int textId) {
  if (prompter) {
    prompter->Show(icon, LoadText(textId));
  }
}

// Closes or reopens the online connection's DEVMEM while holding the board, so the worker is
// never in the middle of a transfer when its port goes away or comes back.
void WithBoard(BoardLink& link, const std::function<void()>& action) {
  const int taken = link.TakeBoard();
  action();
  if (taken != 0) {
    link.ReleaseBoard();
  }
}

bool SettleDrive(BoardWriteTask& task) {
  BoardLink& link = *task.link;
  const BoardScanResult scan =
      ScanBoardDrives(link, task.candidates, ProjectRobotName(*task.project));
  if (scan.count == 0 || scan.listed.empty()) {
    Show(task.prompter, PromptIcon::kWarning, TextId::kMsgRobotNotConnected);
    return false;
  }
  return scan.singleMatch || (task.chooseBoard && task.chooseBoard(link, scan));
}

}  // namespace

int WriteToBoard(BoardWriteTask& task) {
  BoardLink& link = *task.link;
  const LoadedProject& project = *task.project;
  const bool online = link.Flags().online.load() != 0;
  const std::filesystem::path folder = PathFromText(project.project.folder);

  if (!online && !SettleDrive(task)) {
    return 0;
  }
  WriteCpuSettingsFile(ProjectFilePath(project.project, project.project.ROMINI), task.settings);
  if (online) {
    WithBoard(link, [&] { link.CloseBoard(); });
  }
  if (task.settings.startupMotion.empty() && task.warnWithoutMotion) {
    Show(task.prompter, PromptIcon::kWarning, TextId::kMsgNoMotionSettingsOnly);
  }

  CopyList copyList;
  ImageBuildContext build;
  build.projectFolder = folder;
  build.sliders = &project.sliders;
  build.cpu = &task.settings;
  build.progress = task.progress;
  build.prompter = task.prompter;
  const auto image = BuildStartupImage(build, copyList);
  const BoardDrive drive = link.CurrentDrive();
  auto reopen = [&] {
    if (online) {
      WithBoard(link, [&] { link.OpenBoard(drive); });
    }
  };
  if (!image || !WriteImageFile(folder / "STARTUP.BIN", *image)) {
    reopen();
    return 0;
  }

  CopyListAdd(copyList, u"STARTUP.XML", CopyKind::kFile);
  if (!task.settings.extraFile.empty()) {
    CopyListAdd(copyList, task.settings.extraFile, CopyKind::kFirstWriteFile);
  }
  CopyListAdd(copyList, u"STARTUP.BIN", CopyKind::kFile);
  CopyContext copy{.projectFolder = folder,
                   .drive = drive,
                   .firstWrite = true,
                   .progress = task.progress,
                   .prompter = task.prompter,
                   .cancelRequest = task.cancelRequest};
  CopyListToDrive(copyList, copy);
  const bool flushed = FlushDriveCache(drive, task.prompter) == 1;
  reopen();

  if (flushed) {
    Show(task.prompter, PromptIcon::kNone, TextId::kMsgWriteDone);
  } else {
    Show(task.prompter, PromptIcon::kWarning, TextId::kMsgWriteMaybeFailed);
  }
  if (online) {
    WriteBoardSettings(link, task.settings, task.prompter);
  } else {
    WriteBoardSettingsOffline(link, task.settings, task.prompter);
  }
  return 1;
}

}  // namespace gestalon::core

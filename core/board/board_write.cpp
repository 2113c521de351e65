#include "board/board_write.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

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

constexpr auto kBoardRetryPause = std::chrono::milliseconds(1);

// Closes or reopens the online connection's DEVMEM while holding the board, so the worker is
// never in the middle of a transfer when its port goes away or comes back. WaitBoardIdle gives up
// while the communication-error flag is set, but the worker still lets go of the board between
// its cycles, so this waits for the board as long as the system is online. False, with nothing
// done, once the connection has ended: the worker has closed its port itself.
bool WithBoard(BoardLink& link, const std::function<void()>& action) {
  const auto online = [&] { return link.Flags().online.load() != 0; };
  while (!link.TryTakeBoard()) {
    if (!online()) {
      return false;
    }
    std::this_thread::sleep_for(kBoardRetryPause);
  }
  const bool stillOnline = online();
  if (stillOnline) {
    action();
  }
  link.ReleaseBoard();
  return stillOnline;
}

bool SettleDrive(BoardWriteTask& task) {
  BoardLink& link = *task.link;
  if (task.namedDrive) {
    std::error_code ec;
    if (!std::filesystem::is_directory(task.namedDrive->root, ec)) {
      Show(task.prompter, PromptIcon::kWarning, TextId::kMsgRobotNotConnected);
      return false;
    }
    link.SetCurrentDrive(*task.namedDrive);
    return true;
  }
  const BoardScanResult scan =
      ScanBoardDrives(link, task.candidates, ProjectRobotName(*task.project));
  if (scan.count == 0 || scan.listed.empty()) {
    Show(task.prompter, PromptIcon::kWarning, TextId::kMsgRobotNotConnected);
    return false;
  }
  return scan.singleMatch || (task.chooseBoard && task.chooseBoard(link, scan));
}

// A file before it is rewritten: its bytes and time, when it exists.
struct FileStamp {
  std::optional<std::string> bytes;
  std::filesystem::file_time_type time;
};

FileStamp TakeStamp(const std::filesystem::path& file) {
  FileStamp stamp;
  std::error_code ec;
  stamp.time = std::filesystem::last_write_time(file, ec);
  // A folder in the file's place opens as a stream whose reads throw: it has no bytes to keep.
  if (ec || !std::filesystem::is_regular_file(file, ec)) {
    return stamp;
  }
  std::ifstream in(file, std::ios::binary);
  if (in) {
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.bad()) {
      stamp.bytes = std::move(bytes);
    }
  }
  return stamp;
}

// Puts the old time back on a rewritten file whose bytes did not change. The copy to the card
// compares times only, so an unchanged file then stays up to date on the card.
void KeepTimeIfSame(const std::filesystem::path& file, const FileStamp& before) {
  if (!before.bytes) {
    return;
  }
  const FileStamp after = TakeStamp(file);
  if (after.bytes == before.bytes) {
    std::error_code ec;
    std::filesystem::last_write_time(file, before.time, ec);
  }
}

int Finish(const BoardWriteTask& task, int result) {
  if (task.progress) {
    task.progress->Finish(result);
  }
  return result;
}

}  // namespace

int WriteToBoard(BoardWriteTask& task) {
  BoardLink& link = *task.link;
  const LoadedProject& project = *task.project;
  const bool online = link.Flags().online.load() != 0;
  const std::filesystem::path folder = PathFromText(project.project.folder);
  task.flushed = false;
  task.settingsLoaded = false;

  if (!online && !SettleDrive(task)) {
    return Finish(task, 0);
  }
  // The card gets the settings file as STARTUP.XML: a settings file that cannot be written would
  // leave the card with settings that differ from the image built below.
  const std::filesystem::path settingsFile =
      ProjectFilePath(project.project, project.project.ROMINI);
  const FileStamp settingsBefore = TakeStamp(settingsFile);
  if (!WriteCpuSettingsFile(settingsFile, task.settings)) {
    Show(task.prompter, PromptIcon::kError, TextId::kFileSaveFailed);
    return Finish(task, 0);
  }
  KeepTimeIfSame(settingsFile, settingsBefore);
  // Reopened below only when it was closed here.
  const bool closed = online && WithBoard(link, [&] { link.CloseBoard(); });
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
    if (closed) {
      WithBoard(link, [&] { link.OpenBoard(drive); });
    }
  };
  if (!image) {
    reopen();
    return Finish(task, 0);
  }
  const std::filesystem::path imageFile = folder / "STARTUP.BIN";
  const FileStamp imageBefore = TakeStamp(imageFile);
  if (!WriteImageFile(imageFile, *image)) {
    Show(task.prompter, PromptIcon::kError, TextId::kFileSaveFailed);
    reopen();
    return Finish(task, 0);
  }
  KeepTimeIfSame(imageFile, imageBefore);

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
  const bool copied = CopyListToDrive(copyList, copy) == 1;
  task.flushed = FlushDriveCache(drive, task.prompter) == 1 && copied;
  reopen();

  if (task.flushed) {
    Show(task.prompter, PromptIcon::kNone, TextId::kMsgWriteDone);
  } else {
    Show(task.prompter, PromptIcon::kWarning, TextId::kMsgWriteMaybeFailed);
  }
  task.settingsLoaded =
      (online ? WriteBoardSettings(link, task.settings, task.prompter)
              : WriteBoardSettingsOffline(link, task.settings, task.prompter)) == 1;
  return Finish(task, 1);
}

}  // namespace gestalon::core

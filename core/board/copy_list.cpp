#include "board/copy_list.h"

#include <thread>

#include "platform/devmem_file.h"
#include "platform/file_copy.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

constexpr int kAskFromAttempt = 21;

void SetText(const CopyContext& context, int controlId, std::u16string_view text) {
  if (context.progress) {
    context.progress->SetText(controlId, text);
  }
}

// Asks whether to stop when the user pressed Escape. True when the copy must stop.
bool StopRequested(const CopyContext& context) {
  if (!context.cancelRequest || !context.cancelRequest->exchange(false)) {
    return false;
  }
  if (!context.prompter) {
    return true;
  }
  if (context.prompter->Ask(PromptIcon::kQuestion, LoadText(TextId::kMsgConfirmAbort),
                            PromptButtons::kYesNo) != PromptAnswer::kYes) {
    return false;
  }
  context.prompter->Show(PromptIcon::kNone, LoadText(TextId::kMsgAborted));
  return true;
}

// Why a file could not be copied onto the card, in the user's words.
std::u16string CopyFailureReason(const std::filesystem::path& target, std::error_code error) {
  std::error_code ec;
  if (std::filesystem::is_directory(target, ec)) {
    return LoadText(TextId::kMsgCopyReasonFolder);
  }
  if (error == std::errc::no_space_on_device || error == std::errc::file_too_large) {
    return LoadText(TextId::kMsgCopyReasonNoSpace);
  }
  if (error == std::errc::read_only_file_system || error == std::errc::permission_denied ||
      error == std::errc::operation_not_permitted) {
    return LoadText(TextId::kMsgCopyReasonWriteProtected);
  }
  return Format(LoadText(TextId::kFmtMsgCopyReasonOther), error.value());
}

std::filesystem::path SourceOf(const CopyContext& context, const std::u16string& name) {
  return name.find(u':') != std::u16string::npos ? PathFromText(name)
                                                 : ResolveInFolder(context.projectFolder, name);
}

}  // namespace

void CopyListAdd(CopyList& list, std::u16string_view name, int kind, std::int32_t spare) {
  list.entries.push_back({std::u16string(name), kind, spare});
}

std::filesystem::file_time_type CardFileTime(std::filesystem::file_time_type time) {
  using namespace std::chrono;
  const auto whole = floor<seconds>(time);
  auto rounded = whole == time ? whole : whole + seconds(1);
  // Past the 59th second the next minute is simply the next second: no time is refused.
  const auto count = rounded.time_since_epoch().count();
  if (count % 2 != 0) {
    rounded += seconds(1);
  }
  return rounded;
}

int CopyListToDrive(CopyList& list, const CopyContext& context) {
  SetText(context, WriteDialogText::kPhase, LoadText(TextId::kWriteDlgPhaseCopy));
  SetText(context, WriteDialogText::kStep, u"");
  int remaining = static_cast<int>(list.entries.size());
  bool complete = true;
  for (const CopyEntry& entry : list.entries) {
    SetText(context, WriteDialogText::kCurrentFile, entry.name);
    SetText(context, WriteDialogText::kCounts,
            Format(LoadText(TextId::kFmtWriteDlgRemaining), remaining));
    if (StopRequested(context)) {
      complete = false;
      break;
    }
    const bool copied = entry.kind == CopyKind::kFile ||
                        (entry.kind == CopyKind::kFirstWriteFile && context.firstWrite);
    if (!copied) {
      continue;
    }
    const std::filesystem::path source = SourceOf(context, entry.name);
    std::error_code ec;
    const auto sourceTime = std::filesystem::last_write_time(source, ec);
    if (ec) {
      if (context.prompter) {
        context.prompter->Show(PromptIcon::kWarning,
                               Format(LoadText(TextId::kFmtMsgFileNotFound), TextFromPath(source)));
      }
      complete = false;
      --remaining;
      continue;
    }
    const auto cardTime = CardFileTime(sourceTime);
    const std::filesystem::path target = ResolveInFolder(context.drive.root, entry.name);
    const auto targetTime = std::filesystem::last_write_time(target, ec);
    // A folder of the file's name is never up to date, whatever its time.
    if (!ec && targetTime == cardTime && std::filesystem::is_regular_file(target, ec)) {
      continue;  // up to date
    }
    std::filesystem::create_directories(target.parent_path(), ec);
    if (CopyFileReplacing(source, target, ec)) {
      // The card keeps whole, even seconds; storing that time makes the next comparison exact
      // on any file system.
      std::filesystem::last_write_time(target, cardTime, ec);
    } else {
      complete = false;
      if (context.prompter) {
        context.prompter->Show(PromptIcon::kError,
                               Format(LoadText(TextId::kFmtMsgCopyToBoardFailed),
                                      TextFromPath(target), CopyFailureReason(target, ec)));
      }
    }
    --remaining;
  }
  list.entries.clear();
  return complete ? 1 : 0;
}

int FlushDriveCache(const BoardDrive& drive, Prompter* prompter, int maxAttempts,
                    std::chrono::milliseconds pause) {
  int otherFailures = 0;
  for (int attempt = 1;; ++attempt) {
    std::this_thread::sleep_for(pause);
    switch (drive.flushOnce ? drive.flushOnce() : FlushDriveOnce(drive.root)) {
      case DriveFlushResult::kFlushed:
        return 1;
      case DriveFlushResult::kDriveMissing:
        if (prompter) {
          prompter->Show(PromptIcon::kError, LoadText(TextId::kMsgBoardDriveNotFound));
        }
        return 0;
      case DriveFlushResult::kAccessDenied:
        // The user decides from the 21st attempt on; until then it may just be a short lock.
        if (attempt >= kAskFromAttempt &&
            (!prompter ||
             prompter->Ask(PromptIcon::kWarning, LoadText(TextId::kMsgFilesOpenElsewhere),
                           PromptButtons::kOkCancel) == PromptAnswer::kCancel)) {
          return 0;
        }
        break;
      case DriveFlushResult::kFailed:
        if (++otherFailures >= maxAttempts) {
          if (prompter) {
            prompter->Show(PromptIcon::kError, Format(LoadText(TextId::kFmtMsgFlushGaveUp),
                                                      TextFromPath(drive.root), otherFailures));
          }
          return 0;
        }
        break;
    }
  }
}

}  // namespace gestalon::core

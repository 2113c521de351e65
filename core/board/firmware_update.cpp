#include "board/firmware_update.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <optional>
#include <thread>

#include "board/board_addresses.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

constexpr std::uint32_t kFlashCommandDone = 0;
constexpr std::uint32_t kFlashCommandWrite = 2;
constexpr std::uint32_t kFlashCommandRunUpdater = 3;
constexpr auto kOfflineCheckInterval = std::chrono::milliseconds(1);

TransferRange Range(std::uint32_t address, std::uint32_t length) {
  return {static_cast<std::int32_t>(address), static_cast<std::int32_t>(length)};
}

// A write that goes out whether or not the connection-active flag is set; a failed flush still
// marks the communication error.
bool SendAlways(BoardLink& link, std::initializer_list<TransferRange> ranges) {
  link.ClearWriteList();
  for (const TransferRange& range : ranges) {
    link.AppendWrite(range.address, range.length);
  }
  link.MergeList(TransferListId::kWrite);
  if (!link.FlushWriteList()) {
    link.Flags().communicationError.store(1);
    return false;
  }
  return true;
}

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load();
}

// Waits until the board has written the piece: command word 0. The word stays 2 while the board
// works; anything else is a failure.
bool WaitForFlashWrite(BoardLink& link, std::atomic<bool>* cancel, const FlashTiming& timing) {
  const auto deadline = std::chrono::steady_clock::now() + timing.pollLimit;
  for (;;) {
    if (Cancelled(cancel)) {
      return false;
    }
    link.AdvanceTag();
    std::this_thread::sleep_for(timing.pollDelay);
    if (!link.ReadTransaction({Range(BoardAddress::kFlashCommand, 4)})) {
      return false;
    }
    const std::uint32_t command = MirrorLong(link.Mirror(), BoardAddress::kFlashCommand);
    if (command == kFlashCommandDone) {
      return true;
    }
    if (command != kFlashCommandWrite || std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(timing.pollGap);
  }
}

// The whole file, or none when it cannot be read. Reading stops after `maxBytes` + 1 bytes, so
// an oversized file is recognised without reading it all.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  char buffer[4096];
  while (bytes.size() <= maxBytes) {
    in.read(buffer, sizeof buffer);
    const std::streamsize got = in.gcount();
    bytes.insert(bytes.end(), buffer, buffer + got);
    if (!in) {
      break;
    }
  }
  if (in.bad()) {
    return std::nullopt;
  }
  return bytes;
}

// Holds the board and its DEVMEM for the transfers; both go back when the update ends.
class BoardSession {
 public:
  explicit BoardSession(BoardLink& link) : link_(link) {}
  ~BoardSession() {
    if (open_) {
      link_.CloseBoard();
    }
    if (taken_) {
      link_.ReleaseBoard();
    }
  }
  BoardSession(const BoardSession&) = delete;
  BoardSession& operator=(const BoardSession&) = delete;

  bool Open() {
    open_ = link_.OpenBoard(link_.CurrentDrive());
    return open_;
  }
  bool Take() {
    taken_ = link_.TakeBoard() != 0;
    return taken_;
  }

 private:
  BoardLink& link_;
  bool open_ = false;
  bool taken_ = false;
};

class UpdateReporter {
 public:
  explicit UpdateReporter(const FirmwareUpdateRequest& request) : request_(request) {}

  void Status(int textId) const {
    if (request_.progress) {
      request_.progress->SetText(kFirmwareStatusTextControl, LoadText(textId));
    }
  }
  void Message(PromptIcon icon, int textId) const {
    if (request_.prompter) {
      request_.prompter->Show(icon, LoadText(textId));
    }
  }
  int Finish(int result) const {
    if (request_.progress) {
      request_.progress->Finish(result);
    }
    return result;
  }

 private:
  const FirmwareUpdateRequest& request_;
};

// Stops the online connection and waits until the system is offline and the worker has ended.
// False, with a message, when it stays up (a motion playing keeps it).
bool GoOffline(BoardLink& link, const FirmwareUpdateRequest& request,
               const UpdateReporter& report) {
  BoardFlags& flags = link.Flags();
  // A worker still connecting holds DEVMEM too, though it is not online yet.
  const auto connected = [&] {
    return flags.online.load() != 0 || (request.online && request.online->WorkerRunning());
  };
  if (!connected()) {
    return true;
  }
  if (request.online) {
    request.online->StopOnline();
  }
  const auto deadline = std::chrono::steady_clock::now() + request.offlineLimit;
  while (connected()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      report.Message(PromptIcon::kError, flags.playbackActive.load() != 0
                                             ? TextId::kMsgCannotDisconnectWhilePlaying
                                             : TextId::kMsgDisconnectFailed);
      return false;
    }
    std::this_thread::sleep_for(kOfflineCheckInterval);
  }
  return true;
}

int RunUpdate(BoardLink& link, const FirmwareUpdateRequest& request, const UpdateReporter& report) {
  report.Status(TextId::kFwStatusLoadingFiles);
  const auto firmware = ReadWholeFile(request.firmwareFile, kMaxFirmwareBytes);
  if (!firmware || firmware->empty()) {
    report.Message(PromptIcon::kError, TextId::kMsgFirmwareFileOpenFailed);
    return 0;
  }
  const auto updater = ReadWholeFile(UpdaterPath(request.programFolder),
                                     std::numeric_limits<std::size_t>::max() - 1);
  if (!updater || updater->empty()) {
    report.Message(PromptIcon::kError, TextId::kMsgUpdaterFileOpenFailed);
    return 0;
  }
  // A larger firmware would run into the updater's flash and be installed cut.
  if (firmware->size() > kMaxFirmwareBytes) {
    report.Message(PromptIcon::kError, TextId::kMsgFirmwareTransferFailed);
    return 0;
  }

  report.Status(TextId::kFwStatusStartingComm);
  if (!GoOffline(link, request, report)) {
    return 0;
  }
  const BoardScanResult scan = ScanBoardDrives(link, request.candidates, request.robotName);
  if (scan.count == 0) {
    report.Message(PromptIcon::kWarning, TextId::kMsgRobotNotConnected);
    return 0;
  }
  if (!scan.singleMatch && (!request.chooseBoard || !request.chooseBoard(scan))) {
    return 0;
  }
  BoardSession session(link);
  if (!session.Open() || !session.Take()) {
    return 0;
  }

  report.Status(TextId::kFwStatusTransferFirmware);
  bool ok = TransferToFlash(link, *firmware, kFirmwareFlashAddress, request.progress,
                            request.cancel, request.timing) != 0;
  if (ok) {
    report.Status(TextId::kFwStatusTransferUpdater);
    ok = TransferToFlash(link, *updater, kUpdaterFlashAddress, request.progress, request.cancel,
                         request.timing) != 0;
  }
  if (ok) {
    report.Status(TextId::kFwStatusRunningUpdate);
    StoreMirrorLong(link.Mirror(), BoardAddress::kFlashTarget, kUpdaterFlashAddress);
    StoreMirrorLong(link.Mirror(), BoardAddress::kFlashCommand, kFlashCommandRunUpdater);
    // Sent like the transfer itself: no online connection is active during the update.
    ok = SendAlways(link,
                    {Range(BoardAddress::kFlashTarget, 4), Range(BoardAddress::kFlashCommand, 4)});
  }
  if (ok) {
    report.Message(PromptIcon::kNone, TextId::kMsgFirmwareUpdateDone);
  } else {
    report.Message(PromptIcon::kError, TextId::kMsgFirmwareTransferFailed);
  }
  return ok ? 1 : 0;
}

}  // namespace

int TransferToFlash(BoardLink& link, std::span<const std::uint8_t> data, std::uint32_t flashAddress,
                    ProgressSink* progress, std::atomic<bool>* cancel, const FlashTiming& timing) {
  const int maximum = std::max(1, static_cast<int>(data.size() / kFlashPieceSize));
  int position = 0;
  if (progress) {
    progress->SetProgress(position, maximum);
  }
  BoardMirror& mirror = link.Mirror();
  std::uint32_t address = flashAddress;
  for (std::size_t offset = 0; offset < data.size(); offset += kFlashPieceSize) {
    if (Cancelled(cancel)) {
      return 0;
    }
    const std::size_t count = std::min<std::size_t>(kFlashPieceSize, data.size() - offset);
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(offset), count,
                mirror.begin() + BoardAddress::kFlashBuffer);
    if (!SendAlways(link, {Range(BoardAddress::kFlashBuffer, kFlashPieceSize)})) {
      return 0;
    }
    StoreMirrorLong(mirror, BoardAddress::kFlashTarget, address);
    StoreMirrorLong(mirror, BoardAddress::kFlashLength, kFlashPieceSize);
    StoreMirrorLong(mirror, BoardAddress::kFlashSource, BoardAddress::kFlashBuffer);
    if (!SendAlways(link,
                    {Range(BoardAddress::kFlashTarget, 4), Range(BoardAddress::kFlashLength, 4),
                     Range(BoardAddress::kFlashSource, 4)})) {
      return 0;
    }
    StoreMirrorLong(mirror, BoardAddress::kFlashCommand, kFlashCommandWrite);
    if (!SendAlways(link, {Range(BoardAddress::kFlashCommand, 4)}) ||
        !WaitForFlashWrite(link, cancel, timing)) {
      return 0;
    }
    address += kFlashPieceSize;
    position = std::min(position + 1, maximum);
    if (progress) {
      progress->SetProgress(position, maximum);
    }
  }
  return 1;
}

std::filesystem::path UpdaterPath(const std::filesystem::path& programFolder) {
  return programFolder / "firm" / "zupdater.bin";
}

int RunFirmwareUpdate(BoardLink& link, const FirmwareUpdateRequest& request) {
  const UpdateReporter report(request);
  int result = 0;
  try {
    result = RunUpdate(link, request, report);
  } catch (...) {
    result = 0;
  }
  return report.Finish(result);
}

}  // namespace gestalon::core

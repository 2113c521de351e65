#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "board/board_drive.h"
#include "board/board_link.h"
#include "board/board_scan.h"
#include "board/online_connection.h"
#include "ui_port/progress_sink.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// Where the firmware and its updater go in the board's flash.
inline constexpr std::uint32_t kFirmwareFlashAddress = 0x08020000;
inline constexpr std::uint32_t kUpdaterFlashAddress = 0x0803F000;
// The largest firmware that fits below the updater.
inline constexpr std::uint32_t kMaxFirmwareBytes = kUpdaterFlashAddress - kFirmwareFlashAddress;
// Bytes sent to flash per piece (the board's transfer buffer at 0x0F00).
inline constexpr std::uint32_t kFlashPieceSize = 128;
// Control id of the progress dialog's status text.
inline constexpr int kFirmwareStatusTextControl = 1020;

struct FlashTiming {
  std::chrono::milliseconds pollDelay{33};  // before each read of the board's command word
  std::chrono::milliseconds pollGap{1};     // further pause between two reads
  // A board still busy with one piece after this long fails the transfer.
  std::chrono::milliseconds pollLimit{10000};
};

// Copies `data` into the board's flash from `flashAddress` on, in 128-byte pieces through the
// transfer buffer at 0x0F00; the whole buffer goes out also for a shorter last piece, its tail
// holding the previous piece's bytes. For each piece it waits until the board reports the write
// done (command word 0); any other answer, a failed write or read, the poll limit or `cancel`
// fails the transfer at once. The writes go out whether or not the connection-active flag is
// set. `progress` (may be null) gets the range 0 .. size / 128 first (at least 0 .. 1), then one
// step per piece. DEVMEM must be open and the caller holds the board. 1 = all written (also for
// no data), 0 = failed.
int TransferToFlash(BoardLink& link, std::span<const std::uint8_t> data, std::uint32_t flashAddress,
                    ProgressSink* progress, std::atomic<bool>* cancel = nullptr,
                    const FlashTiming& timing = {});

// The updater that ships with the program: <programFolder>/firm/zupdater.bin.
std::filesystem::path UpdaterPath(const std::filesystem::path& programFolder);

struct FirmwareUpdateRequest {
  std::filesystem::path firmwareFile;
  std::filesystem::path programFolder;  // holds firm/zupdater.bin
  std::vector<BoardDrive> candidates;   // the drives to look for boards on
  std::u16string robotName;             // the project's robot name, to pick the board
  OnlineConnection* online = nullptr;   // stopped first when online
  Prompter* prompter = nullptr;         // null: quiet
  ProgressSink* progress = nullptr;     // status text 1020, the bar, and Finish with the result
  // Stands for the drive-selection dialog when not exactly one board carries the robot's name:
  // it makes its choice the current board drive (ChooseBoard) and returns true, or false when
  // cancelled. Empty: cancelled.
  std::function<bool(const BoardScanResult&)> chooseBoard;
  std::atomic<bool>* cancel = nullptr;  // checked between pieces and polls
  FlashTiming timing;
  // How long to wait for the online connection to end.
  std::chrono::milliseconds offlineLimit{5000};
};

// The firmware update: reads the firmware and the updater, stops the online connection, finds
// the board, sends the firmware to 0x08020000 and the updater to 0x0803F000, and tells the board
// to run the updater. Messages go through the prompter: a file that cannot be read (or is empty;
// a firmware larger than kMaxFirmwareBytes is refused before the board is touched), no board,
// the connection that would not end, and at the end completion or failure. Every way out calls
// progress->Finish with the result. Runs on a worker thread; DEVMEM is opened and closed here and
// the board is held from the first transfer to the end. 1 = the board runs the updater, 0 = not.
int RunFirmwareUpdate(BoardLink& link, const FirmwareUpdateRequest& request);

}  // namespace gestalon::core

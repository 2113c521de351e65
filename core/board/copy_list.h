#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "board/board_drive.h"
#include "ui_port/progress_sink.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// What a copy-list entry is: motions compiled into the image (not copied), files copied on the
// first write only, and files copied every time they changed.
namespace CopyKind {
inline constexpr int kUsedMotion = 0;
inline constexpr int kMainMotion = 1;
inline constexpr int kFirstWriteFile = 2;
inline constexpr int kFile = 3;
}  // namespace CopyKind

struct CopyEntry {
  std::u16string name;  // relative to the project folder, or a full path when it has a colon
  int kind = CopyKind::kFile;
  std::int32_t spare = 0;
};

// Files to put onto the board drive, in order.
struct CopyList {
  std::vector<CopyEntry> entries;
};

void CopyListAdd(CopyList& list, std::u16string_view name, int kind, std::int32_t spare = 0);

// Control ids of the writing dialog's texts.
namespace WriteDialogText {
inline constexpr int kPhase = 40005;
inline constexpr int kStep = 40011;
inline constexpr int kCurrentFile = 40019;
inline constexpr int kCounts = 40026;
inline constexpr int kSize = 40033;
}  // namespace WriteDialogText

struct CopyContext {
  std::filesystem::path projectFolder;
  BoardDrive drive;
  bool firstWrite = false;
  ProgressSink* progress = nullptr;
  Prompter* prompter = nullptr;
  // Set by the front end when the user presses Escape; the copy asks whether to stop.
  std::atomic<bool>* cancelRequest = nullptr;
};

// The time a card keeps for a file written at `time`: whole seconds rounded up to an even number
// (a time with a fraction of a second first goes up to the next second).
std::filesystem::file_time_type CardFileTime(std::filesystem::file_time_type time);

// Copies the listed files to the drive and empties the list. A file whose copy on the card has
// the card time of the source is up to date and skipped; a copied file gets that card time, so a
// second write copies nothing. Missing sources are reported and skipped. 1 when every file is on
// the card; 0 when a source was missing, a copy failed (reported with the file and the reason) or
// the user stopped the copy.
int CopyListToDrive(CopyList& list, const CopyContext& context);

// Attempts of a cache flush that fails for reasons other than a missing or busy drive.
inline constexpr int kFlushAttempts = 100;

// Flushes the drive's cache to the card, retrying: a missing drive fails with a message; a drive
// in use elsewhere asks from the 21st attempt on whether to go on; other errors are retried up to
// `maxAttempts` attempts in all (the user decides about a drive in use), then reported. 1 when
// flushed, 0 when failed or given up.
int FlushDriveCache(const BoardDrive& drive, Prompter* prompter, int maxAttempts = kFlushAttempts,
                    std::chrono::milliseconds pause = std::chrono::milliseconds(100));

}  // namespace gestalon::core

#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

#include "board/board_link.h"
#include "board/board_scan.h"
#include "cpusettings/cpu_settings.h"
#include "project/project_loader.h"
#include "ui_port/progress_sink.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// Everything writing to the board uses. The task runs on a worker thread while the writing
// dialog is shown; texts and the end go to `progress`, questions and messages to `prompter`.
struct BoardWriteTask {
  BoardLink* link = nullptr;
  const LoadedProject* project = nullptr;  // folder, the CPU settings file name, sliders
  CpuSettings settings;                    // the scratch settings to write
  std::vector<BoardDrive> candidates;      // drives to scan when offline
  // A board drive the user named (on the command line): taken as the board drive while offline,
  // without the scan and its identification query. Its root folder must exist.
  std::optional<BoardDrive> namedDrive;
  // Stands for the drive-selection dialog when the scan found no single matching board; false
  // when the user cancelled.
  std::function<bool(BoardLink&, const BoardScanResult&)> chooseBoard;
  bool warnWithoutMotion = false;  // say so when no start-up motion is set
  ProgressSink* progress = nullptr;
  Prompter* prompter = nullptr;
  std::atomic<bool>* cancelRequest = nullptr;  // Escape during the copy

  // Filled in by the task.
  bool flushed = false;         // the drive's cache reached the card after the copy
  bool settingsLoaded = false;  // the settings reached the board's memory
};

// Writes the robot to the board: the CPU settings file, STARTUP.BIN (settings program, start-up
// motion and every motion it uses), the copy of the files onto the board drive, the cache flush,
// and the settings into the board's memory. While online the connection stays up; its DEVMEM is
// closed during the copy and opened again afterwards. 1 when the files were written (the final
// message says whether the flush succeeded), 0 when nothing or not all could be written; the
// result also goes to progress->Finish.
//
// The CPU settings file and STARTUP.BIN are rewritten in the project folder every time; when
// their bytes did not change they keep their old time, so that a repeated write finds the card
// up to date and copies nothing.
int WriteToBoard(BoardWriteTask& task);

}  // namespace gestalon::core

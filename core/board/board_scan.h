#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "board/board_drive.h"
#include "board/board_link.h"

namespace gestalon::core {

struct BoardScanResult {
  int count = 0;                           // board drives found, listed or not
  std::vector<BoardDrive> listed;          // boards whose DEVMEM opened, in candidate order
  std::vector<std::u16string> modelNames;  // model name each listed board reported
  bool singleMatch = false;                // exactly one listed board carries the robot's name
};

// Looks for CPU boards among `candidates` (in their order): a drive counts when its
// identification texts are the board's; a board whose DEVMEM cannot be opened is counted but not
// listed. Each listed board's model name is read and compared with `robotName` (its first 32
// characters). When exactly one matches, it becomes the current board drive; otherwise the
// current drive stays. The link's drive list is replaced by the listed boards. Run only while
// offline: it opens and closes each board's DEVMEM.
BoardScanResult ScanBoardDrives(BoardLink& link, const std::vector<BoardDrive>& candidates,
                                std::u16string_view robotName);

// The entries of the drive-selection list: "<model name> (<label>ドライブ)" per listed board.
std::vector<std::u16string> BoardChoiceTexts(const BoardScanResult& scan);

// The entry to select when the selection list opens: the listed board on the current drive's
// root, else 0.
int CurrentBoardChoice(const BoardLink& link, const BoardScanResult& scan);

// The user's choice: a valid index makes that board the current drive; any other keeps it.
void ChooseBoard(BoardLink& link, const BoardScanResult& scan, int index);

// The drives a scan looks at: the system's drives first, then the virtual boards (when the
// program offers any).
std::vector<BoardDrive> BoardDriveCandidates(const std::vector<BoardDrive>& virtualBoards);

}  // namespace gestalon::core

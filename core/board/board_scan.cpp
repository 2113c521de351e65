#include "board/board_scan.h"

#include <cstddef>
#include <optional>
#include <utility>

#include "board/board_settings.h"
#include "board/drive_label_text.h"
#include "cpusettings/cpu_settings.h"
#include "platform/board_drives.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

constexpr std::size_t kRobotNameMaxChars = 32;

bool IsBoardDrive(const BoardDrive& drive) {
  DriveDescriptor descriptor;
  if (!drive.queryDescriptor || !drive.queryDescriptor(descriptor)) {
    return false;
  }
  return descriptor.product == kBoardProduct && descriptor.vendor == kBoardVendor;
}

}  // namespace

BoardScanResult ScanBoardDrives(BoardLink& link, const std::vector<BoardDrive>& candidates,
                                std::u16string_view robotName) {
  BoardScanResult scan;
  const std::u16string_view wanted = robotName.substr(0, kRobotNameMaxChars);
  int matches = 0;
  std::optional<std::size_t> matching;
  for (const BoardDrive& drive : candidates) {
    if (!IsBoardDrive(drive)) {
      continue;
    }
    ++scan.count;
    if (!link.OpenBoard(drive)) {
      continue;
    }
    CpuSettings scratch{};
    std::u16string modelName;
    ReadBoardSettings(link, scratch, &modelName);
    if (modelName == wanted) {
      ++matches;
      matching = scan.listed.size();
    }
    link.CloseBoard();
    scan.listed.push_back(drive);
    scan.modelNames.push_back(std::move(modelName));
  }
  scan.singleMatch = matches == 1;
  if (scan.singleMatch) {
    link.SetCurrentDrive(scan.listed[*matching]);
  }
  link.SetDriveList({scan.listed, scan.modelNames});
  return scan;
}

std::vector<std::u16string> BoardChoiceTexts(const BoardScanResult& scan) {
  const std::u16string format = DriveLabelFormat(LoadText(TextId::kFmtBoardDriveComboEntry));
  std::vector<std::u16string> texts;
  for (std::size_t i = 0; i < scan.listed.size() && i < scan.modelNames.size(); ++i) {
    texts.push_back(Format(format, scan.modelNames[i], DriveLabelText(scan.listed[i])));
  }
  return texts;
}

int CurrentBoardChoice(const BoardLink& link, const BoardScanResult& scan) {
  const BoardDrive current = link.CurrentDrive();
  for (std::size_t i = 0; i < scan.listed.size(); ++i) {
    if (scan.listed[i].root == current.root) {
      return static_cast<int>(i);
    }
  }
  return 0;
}

void ChooseBoard(BoardLink& link, const BoardScanResult& scan, int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < scan.listed.size()) {
    link.SetCurrentDrive(scan.listed[static_cast<std::size_t>(index)]);
  }
}

std::vector<BoardDrive> BoardDriveCandidates(const std::vector<BoardDrive>& virtualBoards) {
  std::vector<BoardDrive> drives = EnumerateDrives();
  drives.insert(drives.end(), virtualBoards.begin(), virtualBoards.end());
  return drives;
}

}  // namespace gestalon::core

#include "project/project_start.h"

#include <memory>
#include <system_error>

#include "board/board_scan.h"
#include "main_window/program_arguments.h"
#include "platform/folders.h"
#include "project/new_project_dialog.h"
#include "project/recent_projects.h"
#include "project/start_selection_dialog.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "virtual_board.h"
#include "virtual_drive.h"

namespace gestalon::ui {

void RunProjectChoice(const ProjectStartContext& context, QWidget* owner) {
  if (RunStartSelectionDialog(context, owner) == 1) {
    RunNewProjectDialog(context, owner);
  }
}

void RunStartupProjectChoice(const std::filesystem::path& programFolder, core::Prompter& prompter,
                             const SessionOptions& options, InstanceStarter startInstance) {
  prompter.Show(core::PromptIcon::kNone, core::LoadText(core::TextId::kMsgNoProjectFound));

  // No session exists: the board a new project may be written to is set up here. A virtual
  // board needs no clock for that: its memory takes DEVMEM records as they come.
  core::BoardLink link;
  std::unique_ptr<sim::VirtualBoard> virtualBoard;
  std::vector<core::BoardDrive> virtualDrives;
  if (options.virtualBoardFolder) {
    std::error_code error;
    std::filesystem::create_directories(*options.virtualBoardFolder, error);
    virtualBoard = std::make_unique<sim::VirtualBoard>(*options.virtualBoardFolder);
    virtualBoard->PowerOn();
    virtualDrives.push_back(sim::VirtualBoardDrive(*virtualBoard, u"VIRTUAL"));
  }

  ProjectStartContext context;
  context.programFolder = programFolder;
  context.recentLog = core::AppDataFolder() / core::kRecentProjectLogName;
  context.prompter = &prompter;
  context.passedOnOptions = PassedOnOptions(options);
  context.link = &link;
  context.driveCandidates = [&virtualDrives] { return core::BoardDriveCandidates(virtualDrives); };
  context.startInstance = std::move(startInstance);
  RunProjectChoice(context, nullptr);
}

}  // namespace gestalon::ui

#include "main_window/editor_session.h"

#include <system_error>

#include "board/board_addresses.h"
#include "board/board_scan.h"
#include "board/image_builder.h"
#include "cpusettings/cpu_settings_file.h"
#include "realtime_driver.h"
#include "virtual_board.h"
#include "virtual_drive.h"

namespace gestalon::ui {
namespace {

// Control cycles a new virtual board gets to run its start-up image before anyone looks at it.
constexpr int kStartupUnits = 200;

// Bits of SystemFlags that describe this run rather than the settings file.
constexpr std::uint32_t kRunTimeFlags =
    core::SystemFlag::kOnline | core::SystemFlag::kServoOn | core::SystemFlag::kModified;

// A new virtual card gets the project's board settings as its start-up image and settings file
// (without a start-up motion), so that the board answers with the robot's name.
void PrepareVirtualCard(const std::filesystem::path& folder, const core::LoadedProject& project) {
  std::error_code error;
  if (std::filesystem::exists(folder, error) || !core::CreateFolders(folder)) {
    return;
  }
  core::CpuSettings settings = project.cpu;
  settings.startupMotion.clear();
  settings.secondMotion.clear();
  core::ImageBuildContext build;
  build.projectFolder = std::filesystem::path(project.project.folder);
  build.sliders = &project.sliders;
  build.cpu = &settings;
  core::CopyList unused;
  if (const auto image = core::BuildStartupImage(build, unused)) {
    core::WriteImageFile(folder / "STARTUP.BIN", *image);
  }
  core::WriteCpuSettingsFile(folder / "STARTUP.XML", settings);
}

}  // namespace

EditorSession::EditorSession(core::LoadedProject loaded, core::Prompter* prompter,
                             core::ViewNotifier* views, SessionHooks hooks, SessionOptions options)
    : project(std::move(loaded)),
      systemFlags(project.system.systemFlags & ~kRunTimeFlags),
      context{project, motion.document, systemFlags, state},
      undo(context) {
  context.undo = &undo;
  context.views = views;
  context.prompter = prompter;
  context.handOverPose = [this](const core::MotionBlock& pose, std::uint16_t time) {
    core::HandOverPose(outgoingPose, link, pose, time);
  };

  if (options.virtualBoardFolder) {
    PrepareVirtualCard(*options.virtualBoardFolder, project);
    virtualBoard_ = std::make_unique<sim::VirtualBoard>(*options.virtualBoardFolder);
    virtualBoard_->PowerOn();
    // The start-up image puts the board's settings and model name in place within its first
    // control cycles: run those at once, so that a scan made right away finds the robot's name.
    for (int unit = 0;
         unit < kStartupUnits && virtualBoard_->Byte(core::BoardAddress::kModelName) == 0; ++unit) {
      virtualBoard_->Advance(sim::VirtualBoard::kDefaultControlCycle);
    }
    virtualBoardDriver_ = std::make_unique<sim::RealTimeDriver>(*virtualBoard_);
    virtualDrives_.push_back(sim::VirtualBoardDrive(*virtualBoard_, u"VIRTUAL"));
  }

  core::OnlineContext onlineContext{project.sliders, project.cpu, systemFlags,
                                    core::RobotName(project.cpu), outgoingPose};
  onlineContext.sessionMutex = &sessionMutex;
  onlineContext.prompter = prompter;
  onlineContext.views = views;
  onlineContext.requestProjectChoice = hooks.requestProjectChoice;
  onlineContext.startStatusWindow = hooks.startStatusWindow;
  online = std::make_unique<core::OnlineConnection>(link, std::move(onlineContext));

  core::PlaybackContext playbackContext{project};
  playbackContext.sessionMutex = &sessionMutex;
  playbackContext.views = views;
  playbackContext.prompter = prompter;
  playbackContext.progress = hooks.playbackProgress;
  playbackContext.cancelRequest = hooks.playbackCancel;
  playbackContext.loadPose = hooks.loadPose;
  playback = std::make_unique<core::MotionPlayback>(link, std::move(playbackContext));
}

EditorSession::~EditorSession() {
  playback.reset();
  online.reset();
  virtualBoardDriver_.reset();
}

void EditorSession::SetHexadecimalDisplay(bool on) {
  project.hexadecimalDisplay = on;
  if (context.views) {
    context.views->Relayout(core::Pane::kMotion);
  }
}

std::vector<core::BoardDrive> EditorSession::DriveCandidates() const {
  return core::BoardDriveCandidates(virtualDrives_);
}

}  // namespace gestalon::ui

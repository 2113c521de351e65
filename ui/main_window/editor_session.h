#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "board/board_drive.h"
#include "board/board_link.h"
#include "board/online_connection.h"
#include "board/outgoing_pose.h"
#include "board/playback.h"
#include "motion/motion_files.h"
#include "pose/edit_context.h"
#include "project/project_loader.h"
#include "undo/undo_history.h"
#include "widgets/dialog_memory.h"

namespace gestalon::sim {
class VirtualBoard;
class RealTimeDriver;
}  // namespace gestalon::sim

namespace gestalon::ui {

struct SessionOptions {
  // Card folder of a virtual CPU board offered next to the real drives; none: no virtual board.
  // A folder that does not exist yet is created with the project's board settings on its card.
  std::optional<std::filesystem::path> virtualBoardFolder;
  // The folder came with the option (else it is the default one in the application data folder).
  bool virtualBoardFolderGiven = false;
  // The interface language asked for on the command line; empty: the one chosen in the Help
  // menu, else the user's locale.
  std::u16string language;
};

// What the session's workers ask of the front end. Each is called on a worker thread; the front
// end carries the work over to the user-interface thread. Any may be empty.
struct SessionHooks {
  std::function<void()> startStatusWindow;
  std::function<void(std::u16string boardName)> requestProjectChoice;
  // Playback reached a pose block: make it current as a click on it would.
  std::function<void(core::MotionBlock& poseBlock)> loadPose;
  core::ProgressSink* playbackProgress = nullptr;
  std::atomic<bool>* playbackCancel = nullptr;
};

// Everything one editing session owns: the loaded robot project, the open motion, the live
// SystemFlags, the editing state and undo history, and the board link with its online
// connection and playback (and a virtual board when asked for). The main window owns one.
//
// The project, the motion and the sliders are shared with the board workers under
// `sessionMutex`; the user-interface thread takes it while it reads them during a connection.
class EditorSession {
 public:
  EditorSession(core::LoadedProject loaded, core::Prompter* prompter, core::ViewNotifier* views,
                SessionHooks hooks = {}, SessionOptions options = {});
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  // The drives the Online command scans: the system's drives, then the virtual board's.
  std::vector<core::BoardDrive> DriveCandidates() const;
  // The virtual board, when the session has one.
  sim::VirtualBoard* VirtualBoard() const { return virtualBoard_.get(); }
  // The motion is locked while it plays: from the start of a playback's preparation until its
  // playback thread has let go of the blocks, the board workers walk them and nothing may change
  // or replace the document (commands, drops, the panes' mouse and wheel). Read on the
  // user-interface thread before any such change; the menus' greying follows later, queued.
  bool MotionLocked() const { return playback->Active() || previewPlaying.load(); }

  // Turns the hexadecimal display of addresses and constants on or off for every view at once
  // (dialogs, motion area labels, control map lists).
  void SetHexadecimalDisplay(bool on);

  core::LoadedProject project;
  core::MotionSession motion;
  std::atomic<std::uint32_t> systemFlags{0};
  core::EditState state;
  core::EditContext context;
  core::UndoHistory undo;
  std::mutex sessionMutex;
  core::BoardLink link;
  core::OutgoingPoseSlot outgoingPose;
  DialogMemory dialogs;
  // The robot preview plays the motion on a board of its own (ui/preview): it is locked as for a
  // board's playback.
  std::atomic<bool> previewPlaying{false};

 private:
  std::unique_ptr<sim::VirtualBoard> virtualBoard_;
  std::unique_ptr<sim::RealTimeDriver> virtualBoardDriver_;
  std::vector<core::BoardDrive> virtualDrives_;

 public:
  // Last, so that they stop before anything they use goes away.
  std::unique_ptr<core::OnlineConnection> online;
  std::unique_ptr<core::MotionPlayback> playback;
};

}  // namespace gestalon::ui

#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "board/board_link.h"
#include "board/copy_list.h"
#include "cpusettings/cpu_settings.h"
#include "motion/motion_document.h"
#include "project/project_loader.h"
#include "project/slider_defs.h"
#include "ui_port/progress_sink.h"
#include "ui_port/prompter.h"
#include "ui_port/view_notifier.h"

namespace gestalon::core {

// The temporary motion file and its image, in the project folder (the image also on the card).
inline constexpr char16_t kPlaybackMotionName[] = u"TEMP.KX4";
inline constexpr char16_t kPlaybackImageName[] = u"TEMP.BIN";

struct PlaybackTiming {
  // Pause between two turns of following the board; 0 only yields the processor.
  std::chrono::milliseconds followPause{0};
  // Wait before the playing and playback-active flags are cleared at the very end.
  std::chrono::milliseconds endPause{100};
  // FlushDriveCache's pause before each attempt, and its limit of plain failures.
  std::chrono::milliseconds flushPause{100};
  int flushAttempts = kFlushAttempts;
};

// What playback needs of the session. Everything referenced must outlive the MotionPlayback.
struct PlaybackContext {
  // The project: its folder (TEMP.KX4 and TEMP.BIN go there; relative names resolve against it),
  // its sliders (servo-channel companions for writing and compiling; readings of the status
  // poll) and its CPU settings (the scratch copy for the image and the extra file).
  LoadedProject& project;
  // Held by the playback threads whenever they use `project` or the blocks of the motion being
  // played (marks and code ranges); the user-interface thread holds it too while it draws the
  // motion area or reads the sliders during playback. Null: no locking. Must not be held by the
  // caller of PlayMotion / StopMotion.
  std::mutex* sessionMutex = nullptr;
  // Repaints of both panes and the playback lock, from the playback thread. May be null.
  ViewNotifier* views = nullptr;
  // Messages of the preparation (compile, copy, flush) and the time-out. Null: quiet.
  Prompter* prompter = nullptr;
  // Texts of the preparation dialog (the writing dialog's controls); Finish(result) ends it.
  // Called from the preparation thread. May be null.
  ProgressSink* progress = nullptr;
  // Set by the front end when the user presses Escape during the preparation's copy.
  std::atomic<bool>* cancelRequest = nullptr;
  // Loads a pose block into the pose area, as making the block current does (SetCurrentPose with
  // the block's own time). Called from the playback thread, without `sessionMutex` held, each time
  // the board reaches another pose block of the played motion; the block stays valid while the
  // motion is not edited. May be empty.
  std::function<void(MotionBlock& poseBlock)> loadPose{};
  PlaybackTiming timing{};
};

// If the motion's first block is not its Start block, brings the first Start block in list order
// to the front by exchanging the two blocks' contents while both keep their places in the list;
// every arrow (and `current`) that pointed at either block then points where that content is now.
// Returns where the content of `follow` is afterwards (null stays null).
MotionBlock* MoveStartBlockToFront(MotionDocument& motion, MotionBlock* follow);

// What marking the executed block found.
struct ExecutedBlockMark {
  bool newMark = false;               // another block than before is marked
  bool byBlockAddress = false;        // the code address lay outside the motion: 0x0FFC's was used
  MotionBlock* poseToLoad = nullptr;  // the newly marked block, when it is a pose block
};

// Marks the block a board executes: the one whose code range holds `codeAddress` (0x01FC) when
// that lies in [first, last), else the one holding `blockAddress` (0x0FFC). That block gets the
// selection and redraw bits, every other block loses its selection bit and gets the redraw bit.
// `markedIndex` (list position of the block marked last, -1 = none) is updated. The caller holds
// whatever guards the motion's blocks.
ExecutedBlockMark MarkExecutedBlock(MotionDocument& motion, std::uint32_t codeAddress,
                                    std::uint32_t blockAddress, std::uint32_t first,
                                    std::uint32_t last, int& markedIndex);

// Playing the edited motion on the robot while online: the motion is written to TEMP.KX4 in the
// project folder, compiled into TEMP.BIN (scaled by the playback override), copied to the board
// drive, and played; a playback thread follows the board and marks the block it executes (the
// selection bit, and a pose-area load for pose blocks) until the board reports the end or the
// user stops.
//
// Threads: PlayMotion, StopMotion and the destructor belong to one thread (the user-interface
// thread); Playing and Active may be called from any thread. The preparation (compile, copy,
// flush) runs on a preparation thread and the playback on a playback thread, both owned here;
// the destructor stops a playing motion and waits for both. While Active(), the motion passed to
// PlayMotion must be neither edited nor destroyed: the front end's playback lock (and the modal
// preparation dialog) keep the user away from it. `link` must outlive this object.
class MotionPlayback {
 public:
  MotionPlayback(BoardLink& link, PlaybackContext context);
  ~MotionPlayback();
  MotionPlayback(const MotionPlayback&) = delete;
  MotionPlayback& operator=(const MotionPlayback&) = delete;

  // Starts playing `motion`: from its start, or with `selectedBlock` (a block of `motion`) taken
  // as the Start block's next when given. `overridePercent` (1..999) scales every pose time of
  // the motion and of the motions it calls, once.
  //
  // Runs on the caller's thread only as far as the checks, the Start block's move to the front,
  // taking the board (which may wait for the online worker's current cycle) and writing TEMP.KX4;
  // then it starts the preparation thread and returns without waiting for it. The front end shows
  // the preparation dialog on a 1; the dialog ends with progress->Finish(result): 1 when the new
  // image is on the card and flushed, 0 when it could not be built, written, copied or flushed
  // (nothing plays then, so the board never plays an image left from an earlier playback; every
  // such failure is reported through the prompter, naming the file or drive and why). On a 1
  // the playback thread starts; it calls views->SetPlaybackLock(true) first (the front end also
  // disables the pose area then) and SetPlaybackLock(false) when it has let go of the board.
  //
  // 1 when the preparation started. 0 when offline, while an earlier playback is still active,
  // when the Start block has no next (a warning says so), when the board cannot be taken, or when
  // TEMP.KX4 cannot be written (reported).
  int PlayMotion(MotionDocument& motion, MotionBlock* selectedBlock, std::uint32_t overridePercent);

  // While playing: asks the playback thread to stop the board; it then resets interpolation
  // buffer 0 as well. While the motion is being prepared: it will not start playing. Otherwise
  // empties all three interpolation buffers of the board (which may show the time-out message).
  // Never waits for the playback threads.
  void StopMotion();

  // The playing flag: from the start of the playback thread until the board ended the motion or
  // the user stopped it.
  bool Playing() const;
  // A preparation or playback is under way (from PlayMotion's 1 until the playback thread ends).
  bool Active() const;

 private:
  void RunPreparation() noexcept;
  int Prepare();
  void RunPlayback() noexcept;
  void Play();
  bool StartBoard();
  void FollowBoard();
  void EndBoard();
  void MarkExecutedBlock();
  void PollStatus();
  void Repaint(Pane pane);
  std::unique_lock<std::mutex> LockSession();

  BoardLink& link_;
  PlaybackContext context_;

  std::atomic<bool> active_{false};
  std::atomic<bool> playing_{false};
  std::atomic<bool> stopRequest_{false};
  std::atomic<bool> shuttingDown_{false};
  // Guards the hand-over between StopMotion and the start of the playback thread, so that a stop
  // made while the motion is being prepared is never lost.
  std::mutex stateMutex_;
  bool cancelPending_ = false;  // a stop arrived before playing began

  // Set by PlayMotion before the preparation thread starts; used by the threads afterwards.
  MotionDocument* motion_ = nullptr;
  std::uint32_t overridePercent_ = 100;
  CpuSettings scratchCpu_{};
  SliderTable scratchSliders_{};

  // Used by the playback thread only.
  std::uint32_t firstAddress_ = 0;
  std::uint32_t lastAddress_ = 0;
  int markedIndex_ = -1;
  SliderTable pollSliders_{};

  // preparation_ is started and joined by the owner's thread only; playback_ is started by the
  // preparation thread and joined by the owner's thread after preparation_.
  std::thread preparation_;
  std::thread playback_;
};

}  // namespace gestalon::core

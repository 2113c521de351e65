#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "board/board_link.h"
#include "board/outgoing_pose.h"
#include "cpusettings/cpu_settings.h"
#include "project/slider_defs.h"
#include "ui_port/prompter.h"
#include "ui_port/view_notifier.h"

namespace gestalon::core {

// Transition time, in board steps, of the pose sent when the connection comes up.
inline constexpr std::uint16_t kConnectPoseTime = 18;

struct OnlineTiming {
  std::chrono::milliseconds cyclePeriod{32};    // pause after every worker cycle
  std::chrono::milliseconds startLimit{15000};  // StartOnline's wait for the board's answer
  std::chrono::milliseconds stopGrace{100};     // StopOnline's first wait
  std::chrono::milliseconds stopPollInterval{1};
  int stopPolls = 1001;  // further checks of the worker-finished flag after the grace
};

// What the online worker needs of the session. Everything referenced must outlive the
// OnlineConnection.
struct OnlineContext {
  // The project's pose sliders: the worker reads flags2 / channel / companion, writes `reading`
  // every cycle and re-derives the servo channels when it adopts the board's settings.
  SliderTable& sliders;
  // The project's board settings, replaced by the board's own when the robot check passes.
  CpuSettings& cpu;
  // The session's SystemFlags word. SystemSettings::systemFlags is a plain word in a file
  // record, so the session keeps this atomic copy as the live value, shared with the workers,
  // and stores it back into the record when the settings are written. The worker clears 0x1 when
  // a connection fails, reads 0x8 (servo power) and
  // 0x2000 (status window) and clears 0x8 when the connection ends. The interpolation-busy bits
  // of the status poll (BoardStatusBit, the same bits in SystemFlags) follow the board; buffer 0
  // busy holds back the next pose.
  std::atomic<std::uint32_t>& systemFlags;
  // The project's robot name; the board's model name is compared with its first 32 characters.
  std::u16string robotName;
  OutgoingPoseSlot& outgoingPose;
  // Held by the worker whenever it reads or writes `sliders` or `cpu`; the user-interface thread
  // holds it too while it uses them during a connection. Null: no locking.
  std::mutex* sessionMutex = nullptr;
  // The robot-name question and the settings write's time-out message, asked from the worker
  // thread. Null: quiet; the question then counts as Cancel.
  Prompter* prompter = nullptr;
  // Pose-area repaints and menu-check refreshes, requested from the worker thread. May be null.
  ViewNotifier* views = nullptr;
  // Called on the worker thread when the user answers Yes to the robot-name question: the
  // connection ends and the main window runs its project selection for `boardName`.
  std::function<void(std::u16string boardName)> requestProjectChoice{};
  // Called on the worker thread when the connection is up and SystemFlags has 0x2000.
  std::function<void()> startStatusWindow{};
  // Called on the worker thread once the connection is up: a copy of the current pose, sent
  // with kConnectPoseTime. Empty: the pose already in `outgoingPose` is sent again.
  std::function<OutgoingPose()> currentPose{};
  OnlineTiming timing{};
};

// The live connection to the CPU board: a worker thread that holds DEVMEM open on the current
// board drive, sends the outgoing pose and the servo power word and polls the board's status
// every cycle. The state is in BoardLink::Flags(): connectionActive, online, workerFinished,
// startupPending, posePending, communicationError. The last error and the status snapshot the
// worker reads are BoardLink::LastError() and BoardLink::Status().
//
// StartOnline / StartOnlineAsync / StopOnline may be called from any thread; the context's
// callbacks run on the worker thread and must not start a connection or destroy this object.
// The destructor stops a running worker and
// waits for it (and for a pending asynchronous start); a worker waiting for the robot-name answer
// ends once the prompter returns. `link` must outlive the connection.
class OnlineConnection {
 public:
  OnlineConnection(BoardLink& link, OnlineContext context);
  ~OnlineConnection();
  OnlineConnection(const OnlineConnection&) = delete;
  OnlineConnection& operator=(const OnlineConnection&) = delete;

  // Starts the worker and blocks until the board has answered the robot check's settings read
  // (1) or the start limit has passed (0: SystemFlags 0x1 and the connection-active flag are
  // cleared). 0 at once while a connection is active or a worker still runs. A 1 means the board
  // answered: the robot-name question may still end the connection, so Online() tells the rest.
  int StartOnline();
  // StartOnline on a helper thread; `done` receives its result on that thread (it must not
  // destroy this object). False, with `done` never called, while an earlier start still waits.
  bool StartOnlineAsync(std::function<void(int)> done);
  // Asks the worker to stop and waits for it a little (the grace, then up to `stopPolls` checks).
  // 0 when no connection was active, else 1, even when the worker still runs (a motion playing
  // keeps the connection up).
  int StopOnline();

  // The worker runs and the robot check has passed.
  bool Online() const;
  // A worker thread exists and has not yet ended (also while it connects).
  bool WorkerRunning() const;
  // When the last worker started; none before the first start.
  std::optional<std::chrono::system_clock::time_point> ConnectionStartTime() const;
  // The robot was renamed: later connections check the board's model name against `name`.
  void SetRobotName(std::u16string name);

 private:
  void Run() noexcept;
  bool Connect();
  int CheckRobot();
  void RunCycles();
  void RunCycle(bool firstCycle);
  bool SendOutgoingPose(const OutgoingPose& pose);
  std::uint32_t PollStatus();
  void EndFailedConnection();
  void EndConnection();
  void ChangeSystemFlags(std::uint32_t set, std::uint32_t clear);
  void RefreshMenuChecks();
  void RepaintPoseArea();
  std::unique_lock<std::mutex> LockSession();

  BoardLink& link_;
  OnlineContext context_;

  std::atomic<bool> shuttingDown_{false};
  std::atomic<bool> workerExited_{true};
  std::atomic<bool> starterDone_{true};
  std::atomic<bool> hasStartTime_{false};
  std::atomic<std::chrono::system_clock::rep> startTime_{0};

  // Used by the worker thread only.
  bool boardOpened_ = false;
  bool onlineReached_ = false;
  SliderTable pollSliders_{};

  std::mutex threadMutex_;  // guards worker_ and starter_
  std::thread worker_;
  std::thread starter_;
};

}  // namespace gestalon::core

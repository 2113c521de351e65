#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>

#include "motion/motion_block.h"
#include "ui_port/prompter.h"

namespace gestalon::sim {
class VirtualBoard;
}

namespace gestalon::ui {

class EditorSession;

// Plays the edited motion on a virtual CPU board of its own, with no card and no drive, at real
// speed, so that the preview can show it without a robot: the motion is compiled as for the
// robot (from a temporary file), the board gets the project's CPU settings, starts from the
// pose being edited and runs the image; every tick the board advances by the time that passed,
// the preview takes its interpolated servo values and the executed block is marked in the motion
// area (pose blocks loaded into the pose area) as a real board's playback does. The controller
// input of the session's virtual board, when it has one, is passed on to this board.
//
// While playing, the session's motion is locked (EditorSession::previewPlaying). UI thread only.
class PreviewPlayer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kTickMs = 16;

  PreviewPlayer(EditorSession& session, core::Prompter& prompter, QObject* parent = nullptr);
  ~PreviewPlayer() override;

  // Starts playing the motion from its start, or from `selectedBlock` (a block of the motion).
  // `overridePercent` (1..999) scales the pose times. False, with a message, when offline play
  // is not possible: while online, when the Start block leads nowhere, or when the motion cannot
  // be written or compiled.
  bool Start(core::MotionBlock* selectedBlock, int overridePercent);
  // Ends playing; the robot stays where it is. Playing ends by itself once the board has ended
  // the motion and finished its last move.
  void Stop();
  bool Playing() const { return board_ != nullptr; }
  // The slot values the board drives now (the last values while stopped).
  const std::array<std::int16_t, core::kPoseSlotCount>& Values() const { return values_; }
  // Runs the board `microseconds` further and follows it. The timer calls it with the time that
  // really passed; tests call it directly.
  void Advance(std::uint32_t microseconds);
  // When set, every tick uses this instead of the real time (tests).
  void SetFixedTick(std::uint32_t microseconds) { fixedTickUs_ = microseconds; }
  // The board while playing (null otherwise).
  sim::VirtualBoard* Board() const { return board_.get(); }

 Q_SIGNALS:
  void playingChanged(bool playing);

 private:
  void Tick();
  void Finish();

  EditorSession& session_;
  core::Prompter& prompter_;
  std::unique_ptr<sim::VirtualBoard> board_;
  QTimer timer_;
  QElapsedTimer clock_;
  std::int64_t lastNs_ = 0;
  std::uint32_t fixedTickUs_ = 0;
  std::uint32_t firstAddress_ = 0;
  std::uint32_t lastAddress_ = 0;
  int markedIndex_ = -1;
  std::array<std::int16_t, core::kPoseSlotCount> values_{};
};

}  // namespace gestalon::ui

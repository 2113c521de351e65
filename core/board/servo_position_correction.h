#pragma once

#include <chrono>
#include <functional>
#include <mutex>

#include "board/board_link.h"
#include "pose/edit_context.h"

namespace gestalon::core {

struct ServoCorrectionOptions {
  // Held while the CPU settings and the sliders are changed (the online worker reads them).
  // Null: no locking.
  std::mutex* sessionMutex = nullptr;
  // A motion plays on the robot: the servos are not switched back on afterwards.
  bool playing = false;
  // The pause after switching the servos off; empty: a real 500 ms sleep.
  std::function<void(std::chrono::milliseconds)> pause{};
};

// Moves the difference between the current pose and the current base pose into the servo
// channels' trim offsets: each channel's first servo slider adds (pose value - base value) to the
// channel's offset word in the CPU settings. The servos are switched off for the change (after a
// warning), the base pose is applied to the sliders, the settings go to the board's memory and
// into the project's CPU settings file. Asks first; reports being offline or having no
// registered base pose. 1 when the correction reached the board, else 0 (a board that did not
// take the settings is reported; the project's settings keep the correction).
int ServoPositionCorrection(EditContext& context, BoardLink& link,
                            const ServoCorrectionOptions& options = {});

}  // namespace gestalon::core

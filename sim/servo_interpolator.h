#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "board_addresses.h"

namespace gestalon::sim {

using ServoValues = std::array<std::int16_t, kServoSlotCount>;
using InterpolationMethods = std::array<std::uint8_t, kServoSlotCount>;

// Interpolation method of a slot: how its value travels from the start of a move to the target.
enum InterpolationMethod : std::uint8_t {
  kInterpolationJump = 0,    // the target at the first time unit
  kInterpolationCubic = 1,   // ease in and out
  kInterpolationLinear = 2,  // equal steps; 3, 4 and unknown values behave the same
};

// One move: every slot travels to its target over `time` time units (0 = at once).
struct ServoMove {
  std::uint16_t time = 0;
  ServoValues targets{};
};

// Value of a slot `elapsed` time units into a move of `time` units from `start` to `target`.
// Reaches `target` exactly at `elapsed` >= `time`; the cubic curve never overshoots.
std::int16_t InterpolatedValue(std::uint8_t method, std::int16_t start, std::int16_t target,
                               std::uint32_t elapsed, std::uint32_t time);

// Interpolation buffer 0: a queue of moves executed one after the other, one time unit per Step.
// Not thread-safe: the board that owns it serialises the calls.
class ServoInterpolator {
 public:
  // Moves the buffer holds, the executing one included. Compiled motions wait while more than 5
  // are queued, so they never fill it.
  static constexpr std::size_t kDepth = 8;
  static_assert(kDepth >= 2, "a full buffer replaces a waiting move, never the executing one");

  // Appends a move. When the buffer is idle the move starts at once from `current` (a move of
  // time 0 sets `current` to its targets right away). When the buffer is full the move replaces
  // the last waiting one, so the latest targets are still reached.
  void Queue(const ServoMove& move, ServoValues& current);
  // Drops every move, the executing one included; `current` values stay where they are.
  void Reset();
  // Advances the executing move by one time unit, writing the slots' new values into `current`;
  // a finished move makes way for the next. Does nothing while idle.
  void Step(const InterpolationMethods& methods, ServoValues& current);

  // Moves in the buffer, the executing one included.
  std::size_t Count() const { return moves_.size(); }
  bool Busy() const { return !moves_.empty(); }

 private:
  struct Running {
    ServoMove move;
    ServoValues start{};
    std::uint32_t elapsed = 0;
  };

  // Starts the move at the front: from `current`, finishing moves of time 0 at once.
  void StartFront(ServoValues& current);

  std::deque<Running> moves_;
};

}  // namespace gestalon::sim

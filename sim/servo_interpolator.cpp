#include "servo_interpolator.h"

#include <cmath>
#include <cstdint>

namespace gestalon::sim {

std::int16_t InterpolatedValue(std::uint8_t method, std::int16_t start, std::int16_t target,
                               std::uint32_t elapsed, std::uint32_t time) {
  if (method == kInterpolationJump || elapsed >= time) {
    return target;
  }
  const std::int64_t delta = std::int64_t{target} - std::int64_t{start};
  std::int64_t offset = 0;
  if (method == kInterpolationCubic) {
    // 3r^2 - 2r^3: flat at both ends, monotone in between; rounding keeps it monotone.
    const double r = static_cast<double>(elapsed) / static_cast<double>(time);
    offset = std::llround(static_cast<double>(delta) * r * r * (3.0 - 2.0 * r));
  } else {
    offset = delta * std::int64_t{elapsed} / std::int64_t{time};
  }
  return static_cast<std::int16_t>(std::int64_t{start} + offset);
}

void ServoInterpolator::Queue(const ServoMove& move, ServoValues& current) {
  if (moves_.size() >= kDepth) {
    moves_.back() = Running{move, {}, 0};
    return;
  }
  moves_.push_back(Running{move, {}, 0});
  if (moves_.size() == 1) {
    StartFront(current);
  }
}

void ServoInterpolator::Reset() {
  moves_.clear();
}

void ServoInterpolator::Step(const InterpolationMethods& methods, ServoValues& current) {
  if (moves_.empty()) {
    return;
  }
  Running& running = moves_.front();
  ++running.elapsed;
  for (std::size_t i = 0; i < kServoSlotCount; ++i) {
    current[i] = InterpolatedValue(methods[i], running.start[i], running.move.targets[i],
                                   running.elapsed, running.move.time);
  }
  if (running.elapsed >= running.move.time) {
    moves_.pop_front();
    StartFront(current);
  }
}

void ServoInterpolator::StartFront(ServoValues& current) {
  while (!moves_.empty()) {
    Running& running = moves_.front();
    if (running.move.time != 0) {
      running.start = current;
      running.elapsed = 0;
      return;
    }
    current = running.move.targets;
    moves_.pop_front();
  }
}

}  // namespace gestalon::sim

#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "motion/motion_document.h"
#include "project/slider_defs.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// What a block asks the image to hold besides its own code. The numbers are the copy-list kinds
// of the same files (board/copy_list.h).
namespace CompileKind {
inline constexpr int kMotion = 0;      // a motion the image calls
inline constexpr int kMainMotion = 1;  // the motion the image is built for
inline constexpr int kSoundFile = 2;
inline constexpr int kDataFile = 3;
}  // namespace CompileKind

// The image builder's list of motions and files; the compiler reports every called motion and
// every used file through it.
class CompileListPort {
 public:
  virtual ~CompileListPort() = default;
  // Adds `fileName` with `kind` (CompileKind) unless an entry of that name exists (letter case
  // ignored), and returns the code address of the entry: 0 while it is not yet placed, and for
  // files.
  virtual std::uint32_t CompileListAdd(std::u16string_view fileName, int kind) = 0;
};

// One compile run.
struct CompileOptions {
  std::uint32_t overridePercent = 100;  // pose times are scaled by overridePercent / 100
  std::uint32_t baseAddress = 0;        // code address of the motion's first byte
  std::uint16_t controllerCancelBits = 0;
  // Servo-channel companions (flags2 kServoCompanion, channel) for the servo-enable masks of
  // poses; null: no slider is a companion.
  const SliderTable* sliders = nullptr;
  // Receives the called motions and used files; null: calls go to code address 0.
  CompileListPort* compileList = nullptr;
  // When given, fileStart / fileEnd of its block at each list position receive the code range of
  // the compiled motion's block at that position (playback follows the board with them). May be
  // the compiled motion itself.
  MotionDocument* copyRangesTo = nullptr;
  // Reports a file name that a board instruction cannot hold; null: quiet.
  Prompter* prompter = nullptr;
};

// Longest file name, in ANSI bytes without the terminating zero, that sound and file blocks can
// hand to the board.
inline constexpr std::size_t kBoardFileNameMaxBytes = 254;

// Compiles one motion into board byte code placed at options.baseAddress. Blocks are compiled in
// list order, one piece of code each; execution follows the links. Every compiled motion holds
// at least one end instruction (one is appended when it has neither a Start nor an End block).
// None, with a message naming the file, when a sound or file block names a file longer than
// kBoardFileNameMaxBytes in the ANSI code page; none also when the code cannot be allocated.
std::optional<std::vector<std::uint8_t>> CompileMotion(const MotionDocument& motion,
                                                       const CompileOptions& options);

// The pose time sent to the board: trunc(time x override / 100) in single precision, at most
// 65535.
std::uint16_t ScaledPoseTime(std::uint16_t time, std::uint32_t overridePercent);

}  // namespace gestalon::core

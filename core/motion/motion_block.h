#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace gestalon::core {

// Kind of a flowchart block; the same codes stand in memory and in the motion file.
enum class BlockKind : std::int32_t {
  Pose = 0,
  If = 1,
  Calc = 2,
  Start = 3,
  End = 4,
  SubRoutine = 5,
  Sound = 6,
  FileRead = 7,
  FileWrite = 8,
  Comment = 9,
  Wait = 10,
  Cancel = 11,
  InterpChange = 12,
  PadIf = 13,
};

inline constexpr int kBlockKindCount = 14;
inline constexpr int kPoseSlotCount = 128;
inline constexpr std::size_t kBlockNameChars = 31;
inline constexpr std::size_t kBlockFileNameChars = 259;
inline constexpr std::size_t kBlockCommentChars = 255;

// Operators of calculation blocks (`op`).
namespace CalcOp {
inline constexpr std::uint16_t kAssign = 0, kAdd = 1, kSub = 2, kMul = 3, kDiv = 4, kMod = 5,
                               kAnd = 6, kOr = 7, kXor = 8, kNot = 9;
}
// Conditions of branch blocks (`op`): the red arrow is taken when the condition holds.
namespace BranchOp {
inline constexpr std::uint16_t kEqual = 0, kNotEqual = 1, kGreaterEqual = 2, kGreater = 3,
                               kLessEqual = 4, kLess = 5, kDivisible = 6, kBitMatch = 7,
                               kXorZero = 8, kAlways = 9, kNever = 10;
}

// `selFlags` bits: selected in the motion area; the others are the views' own marks.
inline constexpr std::uint32_t kBlockSelected = 0x1;
inline constexpr std::uint32_t kBlockRedraw = 0x2;    // the motion area draws the block again
inline constexpr std::uint32_t kBlockBlueDrag = 0x4;  // its blue arrow is being dragged
inline constexpr std::uint32_t kBlockRedDrag = 0x8;   // its red arrow is being dragged
inline constexpr std::uint32_t kBlockInBand = 0x10;   // inside the rubber band being dragged

// One flowchart block. Links are references to blocks of the same document; the document owns
// every block and never moves one in memory while it is in the list.
struct MotionBlock {
  std::u16string name;     // caption, at most 31 characters
  std::u16string label;    // label line computed by the motion area; never stored
  std::uint16_t time = 0;  // pose: transition time in steps; wait: wait time in steps
  std::array<std::int16_t, kPoseSlotCount> slots{};  // pose: slot i goes to 0x0A00 + 2i
  std::int16_t nextIndex = 0;    // list position of `next` inside an undo snapshot, -1 none
  std::int16_t branchIndex = 0;  // list position of `branch` inside an undo snapshot, -1 none
  // Pose: bit p replaces the value of servo channel p's companion slider by 0 on the board.
  std::uint64_t servoEnableMask = 0;
  std::int32_t poseConst = 0;  // pose: the vconst value as read, written back unchanged
  bool interpWait = false;     // pose: wait until the interpolation has finished
  std::uint32_t selFlags = 0;
  MotionBlock* prev = nullptr;         // list order
  MotionBlock* nextInList = nullptr;   // list order
  std::int32_t xpos = 0;               // motion area position of the left edge
  std::int32_t ypos = 0;               // and of the top edge
  std::array<std::int32_t, 4> rect{};  // right, bottom, dragged arrow end x, y (motion area)
  std::int32_t bluearrow = 0;          // routing offsets of the arrows in pixels
  std::int32_t redarrow = 0;
  MotionBlock* next = nullptr;    // blue arrow; none: the motion ends after this block
  MotionBlock* branch = nullptr;  // red arrow of branching kinds
  std::int32_t type = 0;          // BlockKind code; other values are kept and written as they are
  std::uint16_t varAddr = 0;      // calc/branch: first variable; interpolation change: group
  std::uint16_t refAddr = 0;      // calc/branch: second variable; interpolation change: channel
  std::uint16_t op = 0;
  std::int32_t constValue = 0;
  std::uint32_t useConst = 0;   // calc/branch: constant operand; sound: ignore pose sync;
                                // cancel: clear the cancel-button flag
  std::uint32_t varSize = 0;    // bytes of the variable at varAddr (1 or 2)
  std::uint32_t refSize = 0;    // bytes of the variable at refAddr
  std::u16string fileName;      // at most 259 characters
  bool fileFound = false;       // set by the block dialogs; never stored
  bool noFile = false;          // sound: stop the sound; cancel: call no subroutine
  bool asJump = false;          // subroutine: go without returning
  std::uint16_t fileAddr = 0;   // file read/write: first variable
  std::u16string comment;       // comment kind: at most 255 characters; line breaks are LF
  std::uint32_t fileStart = 0;  // offset of the block's text in the file last written or read,
                                // or the start of its code after compiling
  std::uint32_t fileEnd = 0;    // offset past the block's text, or the end of its code

  BlockKind kind() const { return static_cast<BlockKind>(type); }
  bool Is(BlockKind k) const { return type == static_cast<std::int32_t>(k); }
  bool Selected() const { return (selFlags & kBlockSelected) != 0; }
};

}  // namespace gestalon::core

#include "board/motion_compiler.h"

#include <array>
#include <new>
#include <string>
#include <unordered_map>

#include "board/board_addresses.h"
#include "board/byte_code.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/code_page.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

constexpr std::uint32_t kQueueWaitSize = 25;
constexpr std::uint32_t kQueuedPosesAllowed = 5;
constexpr std::uint32_t kPoseBytesSent = 255;  // the high byte of slot 127 does not fit
constexpr int kMaskedChannels = 32;
constexpr std::uint8_t kFileRead = 1, kFileWrite = 2, kSoundPlay = 1;

// Byte width of a variable: 1, 2 or 4 (any other size is taken as a word, the usual size).
int VariableWidth(std::uint32_t size) {
  return size == 1 ? 1 : size == 4 ? 4 : 2;
}

std::uint32_t SignExtended(std::int32_t value, int width) {
  if (width == 1) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(value)));
  }
  if (width == 2) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int16_t>(value)));
  }
  return static_cast<std::uint32_t>(value);
}

// Emits code into `out` (never past `capacity`), or only counts its bytes when there is no
// output.
class CodeWriter {
 public:
  CodeWriter(std::uint8_t* out, std::uint32_t capacity) : out_(out), capacity_(capacity) {}

  bool Emitting() const { return out_ != nullptr; }
  std::uint32_t Offset() const { return offset_; }

  void Byte(std::uint8_t value) {
    if (out_ && offset_ < capacity_) {
      out_[offset_] = value;
    }
    ++offset_;
  }
  void Word(std::uint16_t value) {
    Byte(static_cast<std::uint8_t>(value));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Long(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
      Byte(static_cast<std::uint8_t>(value >> shift));
    }
  }
  void WithAddress(std::uint8_t opcode, std::uint32_t address) {
    Byte(opcode);
    Long(address);
  }
  // A memory write of `length` data bytes; the caller emits the data.
  void WriteHeader(std::uint32_t address, std::uint32_t length) {
    WithAddress(Opcode::kWrite, address);
    Byte(static_cast<std::uint8_t>(length));
  }
  void Skip(std::uint32_t count) { offset_ += count; }

 private:
  std::uint8_t* out_;
  std::uint32_t capacity_;
  std::uint32_t offset_ = 0;
};

class MotionCompiler {
 public:
  MotionCompiler(const MotionDocument& motion, const CompileOptions& options) : options_(options) {
    blocks_.reserve(static_cast<std::size_t>(motion.count()));
    for (const MotionBlock& block : motion) {
      index_.emplace(&block, blocks_.size());
      blocks_.push_back(&block);
    }
    starts_.assign(blocks_.size(), 0);
    ends_.assign(blocks_.size(), 0);
    if (options.sliders) {
      for (std::size_t k = 0; k < options.sliders->size(); ++k) {
        const SliderDef& slider = (*options.sliders)[k];
        if ((slider.flags2 & SliderFlag2::kServoCompanion) != 0 && slider.channel >= 0 &&
            slider.channel < kMaskedChannels) {
          companions_[static_cast<std::size_t>(slider.channel)].push_back(k);
        }
      }
    }
  }

  // Converts the file names the board receives; false (after the message) when one is too long.
  bool PrepareFileNames() {
    boardNames_.assign(blocks_.size(), std::string());
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
      const MotionBlock& block = *blocks_[i];
      const bool sendsName = block.Is(BlockKind::FileRead) || block.Is(BlockKind::FileWrite) ||
                             (block.Is(BlockKind::Sound) && !block.noFile);
      if (!sendsName) {
        continue;
      }
      const std::u16string_view name =
          std::u16string_view(block.fileName).substr(0, kBlockFileNameChars);
      boardNames_[i] = ToAnsi(name);
      if (boardNames_[i].size() > kBoardFileNameMaxBytes) {
        if (options_.prompter) {
          options_.prompter->Show(PromptIcon::kError,
                                  Format(LoadText(TextId::kMsgFileNameTooLong), name));
        }
        return false;
      }
    }
    return true;
  }

  // Measuring pass: block ranges and the code size.
  std::uint32_t Measure() {
    CodeWriter writer(nullptr, 0);
    CompileBlocks(writer, true);
    appendEnd_ = !hasEndInstruction_;
    if (appendEnd_) {
      endAddress_ = options_.baseAddress + writer.Offset();
      writer.Byte(Opcode::kEnd);
    }
    return writer.Offset();
  }

  // Emitting pass, with every block's address known from the measuring pass. The end address
  // starts as the measuring pass left it, so blocks before the first Start or End already branch
  // to the motion's end.
  std::uint32_t Emit(std::uint8_t* out, std::uint32_t capacity) {
    CodeWriter writer(out, capacity);
    CompileBlocks(writer, false);
    if (appendEnd_) {
      writer.Byte(Opcode::kEnd);
    }
    return writer.Offset();
  }

  void CopyRanges(MotionDocument& target) const {
    std::size_t i = 0;
    for (MotionBlock& block : target) {
      if (i >= blocks_.size()) {
        break;
      }
      block.fileStart = starts_[i];
      block.fileEnd = ends_[i];
      ++i;
    }
  }

 private:
  void CompileBlocks(CodeWriter& writer, bool measuring) {
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
      const std::uint32_t start = options_.baseAddress + writer.Offset();
      CompileBlock(writer, i, start);
      if (measuring) {
        starts_[i] = start;
        ends_[i] = options_.baseAddress + writer.Offset();
      }
    }
  }

  // List position of a link target; -1 for none (or a block of another document).
  std::ptrdiff_t Target(const MotionBlock* block) const {
    if (!block) {
      return -1;
    }
    const auto found = index_.find(block);
    return found == index_.end() ? -1 : static_cast<std::ptrdiff_t>(found->second);
  }

  // End when there is no link, otherwise jump.
  void JumpOrEnd(CodeWriter& writer, const MotionBlock* link) const {
    const std::ptrdiff_t target = Target(link);
    if (target < 0) {
      writer.Byte(Opcode::kEnd);
    } else {
      writer.WithAddress(Opcode::kJump, starts_[static_cast<std::size_t>(target)]);
    }
  }

  // After block i: as JumpOrEnd, but nothing when the link goes to the block that follows in
  // the list (its code comes next).
  void GoTo(CodeWriter& writer, std::size_t i, const MotionBlock* link) const {
    const std::ptrdiff_t target = Target(link);
    if (target < 0 || static_cast<std::size_t>(target) != i + 1) {
      JumpOrEnd(writer, link);
    }
  }

  // Code address of a link target, or the motion's end when there is none.
  std::uint32_t TargetOrEnd(const MotionBlock* link) const {
    const std::ptrdiff_t target = Target(link);
    return target < 0 ? endAddress_ : starts_[static_cast<std::size_t>(target)];
  }

  std::uint32_t Listed(CodeWriter& writer, const std::u16string& fileName, int kind) const {
    if (!writer.Emitting() || !options_.compileList) {
      return 0;
    }
    return options_.compileList->CompileListAdd(fileName, kind);
  }

  static void Push(CodeWriter& writer, std::uint32_t size, std::uint16_t address) {
    const int width = VariableWidth(size);
    writer.WithAddress(width == 1   ? Opcode::kPush1
                       : width == 2 ? Opcode::kPush2
                                    : Opcode::kPush4,
                       address);
  }
  static void Pop(CodeWriter& writer, std::uint32_t size, std::uint16_t address) {
    const int width = VariableWidth(size);
    writer.WithAddress(width == 1   ? Opcode::kPop1
                       : width == 2 ? Opcode::kPop2
                                    : Opcode::kPop4,
                       address);
  }
  static void WriteLong(CodeWriter& writer, std::uint32_t address, std::uint32_t value) {
    writer.WriteHeader(address, 4);
    writer.Long(value);
  }
  static void WriteByte(CodeWriter& writer, std::uint32_t address, std::uint8_t value) {
    writer.WriteHeader(address, 1);
    writer.Byte(value);
  }
  static void WriteName(CodeWriter& writer, const std::string& name) {
    writer.WriteHeader(BoardAddress::kFileName, static_cast<std::uint32_t>(name.size() + 1));
    for (char c : name) {
      writer.Byte(static_cast<std::uint8_t>(c));
    }
    writer.Byte(0);
  }

  void CompileBlock(CodeWriter& writer, std::size_t i, std::uint32_t start) {
    const MotionBlock& block = *blocks_[i];
    switch (block.kind()) {
      case BlockKind::Start:
        JumpOrEnd(writer, block.next);
        endAddress_ = options_.baseAddress + writer.Offset();
        hasEndInstruction_ = true;
        writer.Byte(Opcode::kEnd);
        break;
      case BlockKind::Comment:
        JumpOrEnd(writer, block.next);
        break;
      case BlockKind::End:
        endAddress_ = start;
        hasEndInstruction_ = true;
        writer.Byte(Opcode::kEnd);
        break;
      case BlockKind::Wait:
        if (block.time < 256) {
          writer.Byte(Opcode::kWait8);
          writer.Byte(static_cast<std::uint8_t>(block.time));
        } else {
          writer.Byte(Opcode::kWait16);
          writer.Word(block.time);
        }
        GoTo(writer, i, block.next);
        break;
      case BlockKind::Pose:
        Pose(writer, i, start);
        break;
      case BlockKind::Calc:
        Calc(writer, block);
        GoTo(writer, i, block.next);
        break;
      case BlockKind::If:
      case BlockKind::PadIf:
        Branch(writer, i);
        break;
      case BlockKind::SubRoutine:
        WriteLong(writer, BoardAddress::kBlockCodeAddress, start);
        writer.WithAddress(Opcode::kCall, Listed(writer, block.fileName, CompileKind::kMotion));
        GoTo(writer, i, block.next);
        break;
      case BlockKind::Sound:
        if (block.useConst == 0) {
          writer.WithAddress(Opcode::kWaitZero, BoardAddress::kBufferBusy[0]);
        }
        WriteName(writer, boardNames_[i]);
        if (!boardNames_[i].empty()) {
          Listed(writer, block.fileName, CompileKind::kSoundFile);
        }
        WriteByte(writer, BoardAddress::kSoundCommand, kSoundPlay);
        GoTo(writer, i, block.next);
        break;
      case BlockKind::FileRead:
      case BlockKind::FileWrite:
        WriteName(writer, boardNames_[i]);
        if (!boardNames_[i].empty()) {
          Listed(writer, block.fileName, CompileKind::kDataFile);
        }
        WriteLong(writer, BoardAddress::kFileDataAddress, block.fileAddr);
        WriteByte(writer, BoardAddress::kFileCommand,
                  block.Is(BlockKind::FileRead) ? kFileRead : kFileWrite);
        GoTo(writer, i, block.next);
        break;
      case BlockKind::Cancel:
        Cancel(writer, block, start);
        break;
      default:  // interpolation change and unknown kinds have no code
        break;
    }
  }

  void Pose(CodeWriter& writer, std::size_t i, std::uint32_t start) {
    const MotionBlock& block = *blocks_[i];
    if (!block.interpWait) {
      // Waits one time unit at a time while more poses than allowed are queued.
      writer.Byte(Opcode::kExpression);
      writer.WithAddress(Opcode::kPush1, BoardAddress::kFillCount);
      writer.WithAddress(Opcode::kPushConst, kQueuedPosesAllowed);
      writer.Byte(Opcode::kSub);
      writer.Byte(Opcode::kTestNotPositive);
      writer.WithAddress(Opcode::kJumpIfTest, start + kQueueWaitSize);
      writer.Byte(Opcode::kWait8);
      writer.Byte(1);
      writer.WithAddress(Opcode::kJump, start);
    }
    writer.WriteHeader(BoardAddress::kServoTarget, kPoseBytesSent);
    if (writer.Emitting()) {
      std::array<std::int16_t, kPoseSlotCount> values = block.slots;
      if (block.servoEnableMask != 0) {
        for (int n = 0; n < kMaskedChannels; ++n) {
          if ((block.servoEnableMask >> n) & 1U) {
            for (std::size_t k : companions_[static_cast<std::size_t>(n)]) {
              values[k] = 0;
            }
          }
        }
      }
      for (std::uint32_t b = 0; b < kPoseBytesSent; ++b) {
        const auto value = static_cast<std::uint16_t>(values[b / 2]);
        writer.Byte(static_cast<std::uint8_t>(b % 2 == 0 ? value : value >> 8));
      }
    } else {
      writer.Skip(kPoseBytesSent);
    }
    writer.WriteHeader(BoardAddress::kMoveTime, 2);
    writer.Word(ScaledPoseTime(block.time, options_.overridePercent));
    if (block.interpWait) {
      writer.WithAddress(Opcode::kWaitZero, BoardAddress::kBufferBusy[0]);
    }
    GoTo(writer, i, block.next);
  }

  static void Calc(CodeWriter& writer, const MotionBlock& block) {
    // Unknown operators store the second operand, as an assignment does.
    const std::uint16_t op = block.op <= CalcOp::kNot ? block.op : CalcOp::kAssign;
    writer.Byte(Opcode::kExpression);
    if (op != CalcOp::kAssign && op != CalcOp::kNot) {
      Push(writer, block.varSize, block.varAddr);
    }
    if (block.useConst != 0) {
      writer.WithAddress(Opcode::kPushConst, static_cast<std::uint32_t>(block.constValue));
    } else {
      Push(writer, block.refSize, block.refAddr);
    }
    if (op != CalcOp::kAssign) {
      writer.Byte(static_cast<std::uint8_t>(Opcode::kAdd + (op - 1)));
    }
    Pop(writer, block.varSize, block.varAddr);
  }

  void Branch(CodeWriter& writer, std::size_t i) {
    const MotionBlock& block = *blocks_[i];
    if (block.op == BranchOp::kAlways) {
      GoTo(writer, i, block.branch);
      return;
    }
    if (block.op > BranchOp::kXorZero) {  // never, and unknown conditions
      GoTo(writer, i, block.next);
      return;
    }
    static constexpr std::array<std::array<std::uint8_t, 2>, 9> kConditions{{
        {Opcode::kSub, Opcode::kTestZero},
        {Opcode::kSub, Opcode::kTestNonZero},
        {Opcode::kSub, Opcode::kTestNotNegative},
        {Opcode::kSub, Opcode::kTestPositive},
        {Opcode::kSub, Opcode::kTestNotPositive},
        {Opcode::kSub, Opcode::kTestNegative},
        {Opcode::kMod, Opcode::kTestZero},
        {Opcode::kAnd, Opcode::kTestNonZero},
        {Opcode::kXor, Opcode::kTestZero},
    }};
    writer.Byte(Opcode::kExpression);
    Push(writer, block.varSize, block.varAddr);
    if (block.useConst != 0) {
      writer.WithAddress(Opcode::kPushConst,
                         SignExtended(block.constValue, VariableWidth(block.varSize)));
    } else {
      Push(writer, block.refSize, block.refAddr);
    }
    writer.Byte(kConditions[block.op][0]);
    writer.Byte(kConditions[block.op][1]);
    writer.WithAddress(Opcode::kJumpIfTest, TargetOrEnd(block.branch));
    GoTo(writer, i, block.next);
  }

  void Cancel(CodeWriter& writer, const MotionBlock& block, std::uint32_t start) {
    const std::uint32_t bits = options_.controllerCancelBits;
    // Goes on to the next block unless every cancel bit is set; clears the cancel word either way.
    writer.Byte(Opcode::kExpression);
    writer.WithAddress(Opcode::kPush2, BoardAddress::kControllerCancel);
    writer.WithAddress(Opcode::kPushConst, bits);
    writer.Byte(Opcode::kAnd);
    writer.WithAddress(Opcode::kPushConst, bits);
    writer.Byte(Opcode::kSub);
    writer.Byte(Opcode::kTestNonZero);
    writer.WriteHeader(BoardAddress::kControllerCancel, 2);
    writer.Word(0);
    writer.WithAddress(Opcode::kJumpIfTest, TargetOrEnd(block.next));
    if (!block.noFile) {
      WriteLong(writer, BoardAddress::kBlockCodeAddress, start);
      writer.WithAddress(Opcode::kCall, Listed(writer, block.fileName, CompileKind::kMotion));
    }
    writer.Byte(Opcode::kEnd);
  }

  const CompileOptions& options_;
  std::vector<const MotionBlock*> blocks_;
  std::unordered_map<const MotionBlock*, std::size_t> index_;
  std::vector<std::uint32_t> starts_, ends_;
  std::vector<std::string> boardNames_;
  std::array<std::vector<std::size_t>, kMaskedChannels> companions_;
  std::uint32_t endAddress_ = 0;
  bool hasEndInstruction_ = false;
  bool appendEnd_ = false;
};

}  // namespace

std::uint16_t ScaledPoseTime(std::uint16_t time, std::uint32_t overridePercent) {
  const float factor = static_cast<float>(overridePercent) / 100.0f;
  const float scaled = static_cast<float>(time) * factor;
  // Beyond 16 bits the longest time is sent rather than a short one wrapped round.
  if (!(scaled < 65535.0f)) {
    return 65535;
  }
  return static_cast<std::uint16_t>(scaled);
}

std::optional<std::vector<std::uint8_t>> CompileMotion(const MotionDocument& motion,
                                                       const CompileOptions& options) {
  MotionCompiler compiler(motion, options);
  if (!compiler.PrepareFileNames()) {
    return std::nullopt;
  }
  const std::uint32_t size = compiler.Measure();
  if (options.copyRangesTo) {
    compiler.CopyRanges(*options.copyRangesTo);
  }
  std::vector<std::uint8_t> code;
  try {
    code.resize(size);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  if (compiler.Emit(code.data(), size) != size) {
    return std::nullopt;  // the passes disagree: no code rather than wrong addresses
  }
  return code;
}

}  // namespace gestalon::core

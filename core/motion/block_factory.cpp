#include "motion/block_factory.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace gestalon::core {
namespace {

constexpr std::uint16_t kDefaultTime = 50;
constexpr std::int32_t kArrowOffset = 6;
constexpr std::int32_t kLeft = 50;
constexpr std::int32_t kStartTop = 10;

struct KindDefaults {
  int captionId;  // 0: no caption
  std::int32_t bluearrow, redarrow;
};

KindDefaults DefaultsOf(BlockKind kind) {
  switch (kind) {
    case BlockKind::Pose:
      return {0, 6, 6};
    case BlockKind::If:
      return {TextId::kBlockIf, 16, 46};
    case BlockKind::Calc:
      return {TextId::kBlockCalc, 6, 6};
    case BlockKind::Start:
      return {0, 6, 0};
    case BlockKind::End:
      return {TextId::kBlockEnd, 16, 46};
    case BlockKind::SubRoutine:
      return {TextId::kBlockSubRoutine, 6, 6};
    case BlockKind::Sound:
      return {TextId::kBlockSound, 6, 6};
    case BlockKind::FileRead:
      return {TextId::kBlockFileRead, 6, 6};
    case BlockKind::FileWrite:
      return {TextId::kBlockFileWrite, 6, 6};
    case BlockKind::Comment:
      return {TextId::kBlockComment, 16, 46};
    case BlockKind::Wait:
      return {TextId::kBlockWait, 6, 6};
    case BlockKind::Cancel:
      return {TextId::kBlockCancel, 6, 6};
    case BlockKind::InterpChange:
      return {TextId::kBlockInterpChange, 6, 6};
    case BlockKind::PadIf:
      return {TextId::kBlockIf, 16, 46};
  }
  return {0, kArrowOffset, kArrowOffset};
}

// Variables the calculation and branch blocks start with: the general work area.
constexpr std::uint16_t kWorkVariable = 0x0F00;
constexpr std::uint16_t kControllerWord = 0x0EE4;
constexpr std::uint16_t kFileWriteSource = 0x0E00;

void ApplyKindDefaults(MotionBlock& block, BlockKind kind) {
  const KindDefaults d = DefaultsOf(kind);
  block.bluearrow = d.bluearrow;
  block.redarrow = d.redarrow;
  switch (kind) {
    case BlockKind::If:
    case BlockKind::Calc:
      block.varAddr = block.refAddr = kWorkVariable;
      block.varSize = block.refSize = 2;
      break;
    case BlockKind::PadIf:
      block.varAddr = kControllerWord;
      block.refAddr = 0;
      block.varSize = block.refSize = 2;
      block.useConst = 1;
      block.op = BranchOp::kEqual;
      break;
    case BlockKind::FileRead:
      block.fileAddr = kWorkVariable;
      break;
    case BlockKind::FileWrite:
      block.fileAddr = kFileWriteSource;
      break;
    case BlockKind::Wait:
      block.time = kDefaultTime;
      break;
    case BlockKind::Cancel:
      block.noFile = true;
      block.useConst = 1;
      break;
    case BlockKind::InterpChange:
      block.varAddr = block.refAddr = 0;
      break;
    default:
      break;
  }
}

}  // namespace

void FillFromBasePose(MotionBlock& block, const BasePoseTable& basePoses) {
  block.slots.fill(0);
  block.servoEnableMask = 0;
  const std::int32_t number = basePoses.current;
  if (number < 0 || number >= kBasePoseCount) {
    return;
  }
  const BasePose& base = basePoses.entries[static_cast<std::size_t>(number)];
  for (int i = 0; i < kPoseSlotCount; ++i) {
    if (base.axisEnable[i]) {
      block.slots[i] = base.values[i];
    }
  }
  block.servoEnableMask = base.servoEnableMask;
}

MotionBlock& CreateBlock(MotionDocument& document, BlockKind kind, const MotionBlock* source,
                         std::optional<BlockPosition> position, const BasePoseTable& basePoses) {
  MotionBlock record;
  if (source) {
    record = *source;
  } else {
    FillFromBasePose(record, basePoses);
    record.time = kDefaultTime;
  }
  record.interpWait = false;
  record.type = static_cast<std::int32_t>(kind);
  record.bluearrow = record.redarrow = kArrowOffset;
  if (position) {
    record.xpos = position->x;
    record.ypos = position->y;
  }
  return document.Append(record);
}

MotionBlock& AddBlock(MotionDocument& document, BlockKind kind, BlockPosition position,
                      const BasePoseTable& basePoses) {
  const std::u16string poseCaption = kind == BlockKind::Pose ? NewPoseCaption(document) : u"";
  MotionBlock& block = CreateBlock(document, kind, nullptr, position, basePoses);
  ApplyKindDefaults(block, kind);
  const int captionId = DefaultsOf(kind).captionId;
  block.name = kind == BlockKind::Pose ? poseCaption : captionId ? LoadText(captionId) : u"";
  return block;
}

int NextFreePoseNumber(const MotionDocument& document) {
  const std::u16string prefix = LoadText(TextId::kBlockPose);
  std::vector<int> numbers;
  for (const MotionBlock& block : document) {
    if (!block.Is(BlockKind::Pose) || prefix.empty()) {
      continue;
    }
    const std::size_t at = block.name.find(prefix);
    if (at != std::u16string::npos) {
      numbers.push_back(ParseDecimal(std::u16string_view(block.name).substr(at + prefix.size())));
    }
  }
  // With n numbers found, one of 0..n is free: marking only those keeps the table small even
  // for a caption such as "P 2000000000", and gives the same answer as marking up to the largest.
  std::vector<bool> used(numbers.size() + 1, false);
  for (int n : numbers) {
    if (n >= 0 && static_cast<std::size_t>(n) < used.size()) {
      used[static_cast<std::size_t>(n)] = true;
    }
  }
  const auto free = std::find(used.begin(), used.end(), false);
  return static_cast<int>(free - used.begin());
}

std::u16string NewPoseCaption(const MotionDocument& document) {
  return Format(u"%s %d", LoadText(TextId::kBlockPose), NextFreePoseNumber(document));
}

void NewMotion(MotionDocument& document, const BasePoseTable& basePoses,
               const NewMotionLayout& layout) {
  document.Clear();
  MotionBlock& start = AddBlock(document, BlockKind::Start, {kLeft, kStartTop}, basePoses);
  MotionBlock& pose = AddBlock(document, BlockKind::Pose,
                               {kLeft, std::abs(layout.fontHeight) * 3 + kStartTop}, basePoses);
  pose.nextIndex = pose.branchIndex = -1;
  const std::int32_t endTop =
      layout.clientHeight < 0 ? 574 : std::min<std::int32_t>(600, layout.clientHeight - 36);
  MotionBlock& end = AddBlock(document, BlockKind::End, {kLeft, endTop}, basePoses);
  start.next = &pose;
  pose.next = &end;
  document.current = &pose;
}

}  // namespace gestalon::core

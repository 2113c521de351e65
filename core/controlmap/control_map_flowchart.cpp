#include "controlmap/control_map_flowchart.h"

#include <string_view>

#include "motion/block_factory.h"
#include "motion/motion_reader.h"
#include "motion/motion_writer.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

// Layout: one row per block in list order, columns by role.
constexpr std::int32_t kRowHeight = 60;
constexpr std::int32_t kArrowOffset = 20;
constexpr std::int32_t kMainX = 10;
constexpr std::int32_t kHeadX = 60;
constexpr std::int32_t kConditionX = 210;
constexpr std::int32_t kCommentX = 260;
constexpr std::int32_t kActionX = 310;
constexpr std::int32_t kRootBottomShift = 100;  // right of the first map head

// The word that marks the comment closing a map; part of the file's shape, never translated.
constexpr std::u16string_view kBottomWord = u"Bottom";

const BasePoseTable& NoBasePose() {
  static const BasePoseTable table{};
  return table;
}

MotionBlock& Add(MotionDocument& document, BlockKind kind, std::int32_t x,
                 std::u16string_view name) {
  MotionBlock& block = AddBlock(document, kind, {x, 0}, NoBasePose());
  block.name = TruncateText(name, kBlockNameChars);
  return block;
}

// A calculation block setting the 2-byte variable at `address` to `value`.
MotionBlock& AddSetting(MotionDocument& document, std::u16string_view name, std::uint16_t address,
                        std::int32_t value, std::int32_t x) {
  MotionBlock& block = Add(document, BlockKind::Calc, x, name);
  block.varAddr = address;
  block.op = CalcOp::kAssign;
  block.useConst = 1;
  block.constValue = value;
  block.varSize = block.refSize = 2;
  return block;
}

MotionBlock& AddComment(MotionDocument& document, std::u16string_view text, std::int32_t x) {
  MotionBlock& block = AddBlock(document, BlockKind::Comment, {x, 0}, NoBasePose());
  block.comment = TruncateText(text, kBlockCommentChars);
  return block;
}

MotionBlock& AddCall(MotionDocument& document, int captionId, const std::u16string& motion,
                     std::int32_t x) {
  MotionBlock& block = Add(document, BlockKind::SubRoutine, x, LoadText(captionId));
  block.fileName = TruncateText(motion, kBlockFileNameChars);
  return block;
}

// Map m's head and everything it leads to; every path ends at `rootBottom`.
MotionBlock& AddMap(MotionDocument& document, const ControlMap::Map& map, int m,
                    MotionBlock& rootBottom) {
  MotionBlock& head = Add(document, BlockKind::If, kHeadX, map.name);
  head.varAddr = kMapNumberAddr;
  head.op = BranchOp::kEqual;
  head.useConst = 1;
  head.constValue = m;
  head.varSize = 2;
  MotionBlock& top =
      AddComment(document, Format(LoadText(TextId::kCmapMapTopFmt), m + 1, map.name), kCommentX);
  head.branch = &top;
  MotionBlock& bottom =
      AddComment(document, Format(LoadText(TextId::kCmapMapBottomFmt), m + 1, map.name), kCommentX);
  bottom.next = &rootBottom;

  MotionBlock* last = &top;
  int k = 1;
  for (const MapEntry& entry : map.entries) {
    MotionBlock& condition = CreateBlock(document, entry.condition.kind(), &entry.condition,
                                         BlockPosition{kConditionX, 0}, NoBasePose());
    condition.name = Format(LoadText(TextId::kCmapEntryNameFmt), m, k);
    last->next = &condition;
    last = &condition;
    MotionBlock& motionNumber = AddSetting(document, Format(LoadText(TextId::kCmapMotionNumFmt), k),
                                           kMotionNumberAddr, k, kActionX);
    condition.branch = &motionNumber;
    MotionBlock& call =
        AddCall(document, TextId::kCmapEntryMotionCaption, entry.condition.fileName, kActionX);
    motionNumber.next = &call;
    MotionBlock& target =
        AddSetting(document, Format(LoadText(TextId::kCmapMapNumFmt), entry.targetMap),
                   kMapNumberAddr, entry.targetMap, kActionX);
    call.next = &target;
    target.next = &bottom;
    ++k;
  }
  if (!map.idlingMotion.empty()) {
    MotionBlock& idling =
        AddCall(document, TextId::kCmapIdlingMotionCaption, map.idlingMotion, kCommentX);
    last->next = &idling;
    last = &idling;
  }
  last->next = &bottom;
  return head;
}

bool IsSetting(const MotionBlock* block, std::uint16_t address) {
  return block && block->Is(BlockKind::Calc) && block->useConst != 0 &&
         block->op == CalcOp::kAssign && block->varAddr == address;
}

// A test of the map number whose red arrow does not start a motion call (an entry may test the
// map number too).
bool IsMapHead(const MotionBlock& block) {
  return block.Is(BlockKind::If) && block.varAddr == kMapNumberAddr &&
         block.op == BranchOp::kEqual && block.useConst != 0 &&
         !IsSetting(block.branch, kMotionNumberAddr);
}

// The entry that `condition` of map `map` starts, and the block its path ends at (the map's
// bottom). False when its red arrow does not lead to a motion call or the target is no map.
bool ReadEntry(const MotionBlock& condition, int map, MapEntry& entry, const MotionBlock*& end) {
  const MotionBlock* motionNumber = condition.branch;
  if (!IsSetting(motionNumber, kMotionNumberAddr)) {
    return false;
  }
  const MotionBlock* call = motionNumber->next;
  if (!call || !call->Is(BlockKind::SubRoutine)) {
    return false;
  }
  entry.condition = condition;
  entry.condition.prev = entry.condition.nextInList = nullptr;
  entry.condition.next = entry.condition.branch = nullptr;
  entry.condition.fileName = call->fileName;
  entry.targetMap = static_cast<std::uint8_t>(map);
  end = call->next;
  if (IsSetting(call->next, kMapNumberAddr)) {
    const std::int32_t target = call->next->constValue;
    if (target < 0 || target >= kControlMapCount) {
      return false;
    }
    entry.targetMap = static_cast<std::uint8_t>(target);
    end = call->next->next;
  }
  return true;
}

// Follows map m's path from its head: entries, then the idling call or the map's bottom comment.
// The bottom is the comment the entries' paths end at, or one naming the map and "Bottom"; the
// top comment is passed first, so no map name can end the map early. A path longer than the
// document (a loop) or an unrecognised condition is a format error.
bool ReadMapBody(const MotionDocument& document, const MotionBlock& head, int m,
                 ControlMap::Map& map) {
  const MotionBlock* block = head.branch;
  if (block && block->Is(BlockKind::Comment)) {
    block = block->next;
  }
  const MotionBlock* bottom = nullptr;
  for (int steps = 0; block; block = block->next) {
    if (++steps > document.count()) {
      return false;
    }
    if (block->Is(BlockKind::If) || block->Is(BlockKind::PadIf)) {
      MapEntry entry;
      if (!ReadEntry(*block, m, entry, bottom)) {
        return false;
      }
      map.entries.push_back(std::move(entry));
    } else if (block->Is(BlockKind::SubRoutine)) {
      map.idlingMotion = block->fileName;
      break;
    } else if (block->Is(BlockKind::Comment) &&
               (block == bottom || (block->comment.find(map.name) != std::u16string::npos &&
                                    block->comment.find(kBottomWord) != std::u16string::npos))) {
      break;
    }
  }
  return true;
}

}  // namespace

void BuildControlMapFlowchart(const ControlMap& controlMap, MotionDocument& document) {
  document.Clear();
  MotionBlock& start = Add(document, BlockKind::Start, kMainX, u"");
  Add(document, BlockKind::Pose, kMainX, LoadText(TextId::kCmapMarkerBlockName));
  MotionBlock& mapZero =
      AddSetting(document, LoadText(TextId::kCmapMapNumZero), kMapNumberAddr, 0, kMainX);
  start.next = &mapZero;
  MotionBlock* last = &mapZero;
  if (!controlMap.bootMotion.empty()) {
    last->next = &AddCall(document, TextId::kCmapBootMotion, controlMap.bootMotion, kMainX);
    last = last->next;
  }
  MotionBlock& loopTop =
      AddSetting(document, LoadText(TextId::kCmapMotionNumZero), kMotionNumberAddr, 0, kMainX);
  last->next = &loopTop;
  MotionBlock& rootBottom = AddComment(document, LoadText(TextId::kCmapRootBottom), kMainX);
  rootBottom.next = &loopTop;

  last = &loopTop;
  MotionBlock* firstHead = nullptr;
  for (int m = 0; m < kControlMapCount; ++m) {
    const ControlMap::Map& map = controlMap.maps[m];
    MotionBlock& head = AddMap(document, map, m, rootBottom);
    firstHead = firstHead ? firstHead : &head;
    if (map.used) {
      last->next = &head;
      last = &head;
    }
  }
  last->next = &rootBottom;

  std::int32_t y = 0;
  for (MotionBlock& block : document) {
    block.ypos = y;
    block.rect[1] = y;
    block.bluearrow = block.redarrow = kArrowOffset;
    y += kRowHeight;
  }
  rootBottom.xpos = firstHead->xpos + kRootBottomShift;
}

bool WriteControlMapFile(const std::filesystem::path& path, const ControlMap& controlMap,
                         const SliderTable& sliders) {
  MotionDocument document;
  BuildControlMapFlowchart(controlMap, document);
  return WriteMotionFile(path, document, sliders, 100, nullptr);
}

bool RecognizeControlMap(const MotionDocument& document, ControlMap& out) {
  ControlMap read;
  std::array<const MotionBlock*, kControlMapCount> heads{};
  bool headSeen = false;
  bool bootSeen = false;
  for (const MotionBlock& block : document) {
    if (block.Is(BlockKind::SubRoutine) && !headSeen && !bootSeen) {
      read.bootMotion = block.fileName;
      bootSeen = true;
    }
    if (!IsMapHead(block)) {
      continue;
    }
    headSeen = true;
    const std::int32_t m = block.constValue;
    if (m < 0 || m >= kControlMapCount || heads[m]) {
      return false;
    }
    heads[m] = &block;
    read.maps[m].name = TruncateText(block.name, kMapNameChars);
    if (!ReadMapBody(document, block, m, read.maps[m])) {
      return false;
    }
  }
  for (int m = 0; m < kControlMapCount; ++m) {
    if (!heads[m]) {
      return false;
    }
    for (const MotionBlock& block : document) {
      read.maps[m].used = read.maps[m].used || (block.next == heads[m] && &block != heads[m]);
    }
  }
  out = std::move(read);
  return true;
}

bool ReadControlMapFile(const std::filesystem::path& path, ControlMap& out) {
  const std::optional<MotionDocument> document = ReadMotionFile(path, SliderTable{}, nullptr);
  return document && RecognizeControlMap(*document, out);
}

}  // namespace gestalon::core

// The control map model, its start-up flowchart and the recognition of that flowchart.
#include "controlmap/control_map.h"

#include <gtest/gtest.h>

#include "controlmap/control_map_flowchart.h"
#include "controlmap/map_entry_text.h"
#include "golden_files.h"
#include "motion_block_setup.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::SetOperands;
using testing::TempDir;

MapEntry Entry(BlockKind kind, std::u16string motion, int target) {
  MapEntry entry;
  entry.condition.type = static_cast<std::int32_t>(kind);
  entry.condition.fileName = std::move(motion);
  entry.condition.varSize = entry.condition.refSize = 2;
  entry.targetMap = static_cast<std::uint8_t>(target);
  return entry;
}

// Four maps with every kind of condition, targets, idling motions and a boot motion; map 2 is
// not used.
ControlMap Sample() {
  ControlMap cm = NewControlMap();
  cm.bootMotion = u"boot\\立ち上がり.KX4";
  SetMapName(cm, 0, u"歩行");
  MapEntry constant = Entry(BlockKind::If, u"walk.KX4", 0);
  SetOperands(constant.condition, BranchOp::kGreater, 1, 0x0F20, 2, 0, 1, -5);
  MapEntry variable = Entry(BlockKind::If, u"turn.KX4", 3);
  SetOperands(variable.condition, BranchOp::kBitMatch, 2, 0x0F22, 1, 0x0F24, 0, 0);
  MapEntry pad = Entry(BlockKind::PadIf, u"kick.KX4", 1);
  SetOperands(pad.condition, BranchOp::kEqual, 2, kControllerWordAddr, 2, 0, 1, 0x0120);
  cm.maps[0].entries = {constant, variable, pad};
  cm.maps[0].idlingMotion = u"idle0.KX4";
  cm.maps[1].entries = {NewMapEntry(1)};
  cm.maps[1].entries[0].condition.fileName = u"one.KX4";
  cm.maps[2].used = false;
  cm.maps[2].entries = {Entry(BlockKind::PadIf, u"two.KX4", 2)};
  cm.maps[2].idlingMotion = u"idle2.KX4";
  cm.maps[3].idlingMotion = u"idle3.KX4";
  return cm;
}

MotionBlock* MapHead(const MotionDocument& d, int m) {
  for (MotionBlock& block : d) {
    if (block.Is(BlockKind::If) && block.varAddr == kMapNumberAddr && block.constValue == m) {
      return &block;
    }
  }
  return nullptr;
}

// The whole start-up flowchart as the file holds it: the map heads chained to the root bottom and
// back to the loop top, entries that run their motion and set the next map, an unused map written
// but not chained, the idling motions and the boot motion; and it reads back the same.
TEST(ControlMapFile, WrittenFlowchartIsTheGoldenAndReadsBackAndAMissingFileIsAnError) {
  ControlMap unused = NewControlMap();
  for (ControlMap::Map& map : unused.maps) {
    map.used = false;
  }
  // Names that are empty or look like the comments' own words must not end a map early.
  ControlMap markers = Sample();
  SetMapName(markers, 0, u"");
  SetMapName(markers, 1, u"Bottom");
  SetMapName(markers, 2, u"x' Top");
  SetMapName(markers, 3, u"1:'' Bottom");
  markers.maps[3].entries = {Entry(BlockKind::PadIf, u"three.KX4", 0)};
  // An entry may itself test the map number; it is no map head.
  ControlMap mapTest = Sample();
  MapEntry entry = Entry(BlockKind::If, u"map.KX4", 1);
  SetOperands(entry.condition, BranchOp::kEqual, 2, kMapNumberAddr, 2, 0, 1, 2);
  mapTest.maps[1].entries.push_back(entry);

  const std::pair<ControlMap, const char*> cases[] = {{NewControlMap(), "control_map_new.kx4"},
                                                      {Sample(), "control_map_sample.kx4"},
                                                      {unused, ""},
                                                      {markers, ""},
                                                      {mapTest, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    const auto& [cm, golden] = c;
    TempDir dir;
    ASSERT_TRUE(WriteControlMapFile(dir / "map.KX4", cm, SliderTable{}));
    const std::string written = testing::ReadBytes(dir / "map.KX4");
    if (*golden) {
      EXPECT_EQ(written, testing::CoreGolden(golden));
    }
    ControlMap read;
    EXPECT_TRUE(ReadControlMapFile(dir / "map.KX4", read));
    ASSERT_TRUE(WriteControlMapFile(dir / "again.KX4", read, SliderTable{}));
    EXPECT_EQ(testing::ReadBytes(dir / "again.KX4"), written);
  }
  TempDir dir;
  ControlMap out;
  out.bootMotion = u"untouched";
  EXPECT_FALSE(ReadControlMapFile(dir / "missing.KX4", out));
  EXPECT_EQ(out.bootMotion, u"untouched");
}

// A map ends at the comment its entries lead to, whatever that comment says; a broken flowchart
// is a format error.
TEST(ControlMapFormat, BottomIsWhereTheEntriesEndAndBrokenFlowchartsAreErrors) {
  MotionDocument d;
  BuildControlMapFlowchart(Sample(), d);
  MotionBlock* condition = MapHead(d, 1)->branch->next;
  ASSERT_TRUE(condition->next->Is(BlockKind::Comment));
  condition->next->comment = u"end";
  ControlMap out;
  ASSERT_TRUE(RecognizeControlMap(d, out));
  EXPECT_EQ(out.maps[1].entries.size(), 1u);
  EXPECT_TRUE(out.maps[1].idlingMotion.empty());

  // Each of these changes makes the recogniser fail and leave its output alone.
  const struct {
    const char* what;
    void (*spoil)(MotionDocument& d);
  } cases[] = {
      {"missing map head", [](MotionDocument& d) { MapHead(d, 3)->varAddr = 0x0F00; }},
      {"map head outside the four maps", [](MotionDocument& d) { MapHead(d, 3)->constValue = 4; }},
      {"condition that is no entry",
       [](MotionDocument& d) {
         MotionBlock* top = MapHead(d, 1)->branch;
         MotionBlock stray;
         stray.type = static_cast<std::int32_t>(BlockKind::If);
         stray.next = stray.branch = top->next;
         top->next = &d.Append(stray);
       }},
      {"target outside the four maps",
       [](MotionDocument& d) { MapHead(d, 0)->branch->next->branch->next->next->constValue = 7; }},
      {"loop inside a map",
       [](MotionDocument& d) {
         MotionBlock* top = MapHead(d, 3)->branch;
         ASSERT_TRUE(top->next->Is(BlockKind::SubRoutine));
         top->next->type = static_cast<std::int32_t>(BlockKind::Calc);  // passed over, never ending
         top->next->next = top;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MotionDocument d;
    BuildControlMapFlowchart(Sample(), d);
    c.spoil(d);
    ControlMap out;
    out.bootMotion = u"untouched";
    EXPECT_FALSE(RecognizeControlMap(d, out));
    EXPECT_EQ(out.bootMotion, u"untouched");
    EXPECT_TRUE(out.maps[0].name.empty());
  }
}

// The rows carry their motion names so that the order can be read off.
std::vector<MapEntry> Rows(std::initializer_list<const char16_t*> names) {
  std::vector<MapEntry> rows;
  for (const char16_t* name : names) {
    rows.push_back(Entry(BlockKind::PadIf, name, 0));
  }
  return rows;
}

std::u16string Order(const std::vector<MapEntry>& rows) {
  std::u16string order;
  for (const MapEntry& row : rows) {
    order += row.condition.fileName;
  }
  return order;
}

TEST(ControlMapEntries, InsertDeleteAndMoveKeepTheOrder) {
  std::vector<MapEntry> rows = Rows({u"a", u"b"});
  EXPECT_EQ(InsertEntry(rows, Rows({u"x"})[0], 1), 1);   // before the selection
  EXPECT_EQ(InsertEntry(rows, Rows({u"y"})[0], -1), 3);  // none: at the end
  EXPECT_EQ(InsertEntry(rows, Rows({u"z"})[0], 9), 4);
  EXPECT_EQ(Order(rows), u"axbyz");
  DeleteEntries(rows, {3, 0, 7});
  EXPECT_EQ(Order(rows), u"xbz");

  rows = Rows({u"a", u"b", u"c", u"d"});
  const struct {
    std::vector<int> selected;
    int step;
    std::vector<int> moved;
    std::u16string order;
  } moves[] = {
      {{3}, 1, {3}, u"abcd"},  // stops at the edge
      {{0, 1}, 1, {1, 2}, u"cabd"},
      {{0, 1, 3}, -1, {0, 1, 2}, u"cadb"},
  };
  for (const auto& m : moves) {
    EXPECT_EQ(MoveEntries(rows, m.selected, m.step), m.moved);
    EXPECT_EQ(Order(rows), m.order);
  }
}

// The play condition column: the controller word as its pressed buttons, anything else as the
// operator with the second variable or the constant in the number style.
TEST(ControlMapTexts, ConditionAndTargetTexts) {
  const std::vector<VariableDef> variables = {{2, u"PAD", kControllerWordAddr}, {1, u"B", 0x0F22}};
  struct Row {
    std::uint16_t varAddr;
    std::uint16_t op;
    std::uint8_t useConst;
    std::int32_t constValue;
    std::uint32_t varSize;
    bool hexadecimal;
    std::u16string expected;
  };
  const Row rows[] = {
      {kControllerWordAddr, BranchOp::kEqual, 1, 0x1011, 2, false, u"SELECT,前,△を入力"},
      {kControllerWordAddr, BranchOp::kEqual, 1, 0x10000, 2, true, u"何も押さない"},
      {kControllerWordAddr, BranchOp::kNotEqual, 1, 5, 2, false, u"!= 5"},
      {0x0F20, BranchOp::kGreater, 0, 5, 2, false, u"> 3874:B"},
      {0x0F20, BranchOp::kEqual, 1, -5, 1, false, u"== -5"},
      {0x0F20, BranchOp::kEqual, 1, -5, 4, true, u"== 0xfffffffb"},
  };
  for (const Row& row : rows) {
    MotionBlock condition;
    condition.type = static_cast<std::int32_t>(BlockKind::If);
    SetOperands(condition, row.op, row.varSize, row.varAddr, 1, 0x0F22, row.useConst,
                row.constValue);
    EXPECT_EQ(EntryConditionText(condition, variables, row.hexadecimal), row.expected)
        << row.varAddr << " op " << row.op << " const " << row.constValue;
  }
  // The target column names another map only.
  ControlMap cm = NewControlMap();
  SetMapName(cm, 2, u"走行");
  MapEntry entry = NewMapEntry(1);
  EXPECT_EQ(TargetMapText(cm, 1, entry), u"移行しない");
  entry.targetMap = 2;
  EXPECT_EQ(TargetMapText(cm, 1, entry), u"2:走行");
}

}  // namespace
}  // namespace gestalon::core

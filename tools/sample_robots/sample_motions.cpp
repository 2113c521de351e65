#include "sample_motions.h"

#include <initializer_list>
#include <utility>

#include "motion/block_factory.h"
#include "motion/motion_writer.h"

namespace {

using namespace gestalon::core;

// Slider numbers of the humanoid.
enum Joint : int {
  kHead = 0,
  kWaist = 1,
  kRShoulderPitch = 2,
  kLShoulderPitch = 3,
  kRShoulderRoll = 4,
  kLShoulderRoll = 5,
  kRElbow = 6,
  kLElbow = 7,
  kRHipRoll = 10,
  kLHipRoll = 11,
  kRHipPitch = 12,
  kLHipPitch = 13,
  kRKnee = 14,
  kLKnee = 15,
  kRAnklePitch = 16,
  kLAnklePitch = 17,
  kRAnkleRoll = 18,
  kLAnkleRoll = 19,
};

constexpr std::uint16_t kUpButton = 0x0010;
constexpr std::uint16_t kStepCounter = 0x0F82;
constexpr int kColumn = 50;
constexpr int kRowPitch = 60;

// Builds a motion top to bottom: each Add places the block one row lower and links it after the
// previous one.
class MotionBuilder {
 public:
  explicit MotionBuilder(const BasePoseTable& basePoses) : basePoses_(basePoses) {
    start_ = &AddBlock(document_, BlockKind::Start, {kColumn, y_}, basePoses_);
    last_ = start_;
  }

  MotionBlock& Add(BlockKind kind) {
    y_ += kRowPitch;
    MotionBlock& block = AddBlock(document_, kind, {kColumn, y_}, basePoses_);
    last_->next = &block;
    last_ = &block;
    return block;
  }

  // A block beside the chain, linked to nothing.
  MotionBlock& Aside(BlockKind kind, int x, int y) {
    return AddBlock(document_, kind, {x, y}, basePoses_);
  }

  // A pose: the base pose with the given slots changed (degrees x 100), reached in `time` steps.
  MotionBlock& Pose(std::uint16_t time, std::initializer_list<std::pair<int, int>> joints) {
    MotionBlock& pose = Add(BlockKind::Pose);
    pose.time = time;
    for (const auto& [joint, value] : joints) {
      pose.slots[joint] = static_cast<std::int16_t>(value);
    }
    return pose;
  }

  // Ends the chain with an End block; the first pose becomes the one to edit. Block references
  // stay valid in the returned document.
  MotionDocument Finish() {
    end_ = &Add(BlockKind::End);
    for (MotionBlock& block : document_) {
      if (block.Is(BlockKind::Pose)) {
        document_.current = &block;
        break;
      }
    }
    return std::move(document_);
  }

  MotionBlock* end() const { return end_; }

 private:
  const BasePoseTable& basePoses_;
  MotionDocument document_;
  int y_ = 10;
  MotionBlock* start_ = nullptr;
  MotionBlock* last_ = nullptr;
  MotionBlock* end_ = nullptr;
};

MotionDocument Wave(const BasePoseTable& base) {
  MotionBuilder m(base);
  m.Pose(30, {});
  m.Pose(40, {{kRShoulderRoll, 9000}, {kRElbow, -5000}, {kHead, -1500}});
  for (int i = 0; i < 2; ++i) {
    m.Pose(15, {{kRShoulderRoll, 9000}, {kRElbow, -2500}, {kHead, -1500}});
    m.Pose(15, {{kRShoulderRoll, 9000}, {kRElbow, -7500}, {kHead, -1500}});
  }
  m.Pose(40, {});
  return m.Finish();
}

MotionDocument Bow(const BasePoseTable& base) {
  MotionBuilder m(base);
  m.Pose(30, {});
  m.Pose(45, {{kRHipPitch, -4500},
              {kLHipPitch, 4500},
              {kHead, 0},
              {kRShoulderPitch, -1000},
              {kLShoulderPitch, -1000}});
  m.Add(BlockKind::Wait).time = 60;
  m.Pose(45, {});
  return m.Finish();
}

// Walks four steps forward while the up button is held at the start.
MotionDocument Walk(const BasePoseTable& base) {
  MotionBuilder m(base);
  m.Aside(BlockKind::Comment, 200, 10).comment =
      u"前ボタンを押している間に始めると\n4歩前に進みます";
  m.Pose(30, {});
  MotionBlock& pad = m.Add(BlockKind::PadIf);
  pad.constValue = kUpButton;
  pad.op = BranchOp::kNotEqual;  // not pressed: straight to the end

  MotionBlock& reset = m.Add(BlockKind::Calc);
  reset.varAddr = kStepCounter;
  reset.op = CalcOp::kAssign;
  reset.useConst = 1;
  reset.constValue = 0;
  // One step: shift the weight, swing a leg, put it down; then the other side.
  MotionBlock& loop =
      m.Pose(20, {{kRHipRoll, 800}, {kLHipRoll, -800}, {kRAnkleRoll, -800}, {kLAnkleRoll, 800}});
  m.Pose(20, {{kRHipRoll, 800},
              {kLHipRoll, -800},
              {kRAnkleRoll, -800},
              {kLAnkleRoll, 800},
              {kLHipPitch, 3000},
              {kLKnee, 5000},
              {kLAnklePitch, 2000}});
  m.Pose(20, {{kLHipPitch, 1500}, {kRHipPitch, 1500}, {kRKnee, 3000}, {kLKnee, 3000}});
  m.Pose(20, {{kRHipRoll, -800},
              {kLHipRoll, 800},
              {kRAnkleRoll, 800},
              {kLAnkleRoll, -800},
              {kRHipPitch, -3000},
              {kRKnee, 5000},
              {kRAnklePitch, -2000}});
  m.Pose(20, {{kRHipPitch, -1500}, {kLHipPitch, -1500}, {kRKnee, 3000}, {kLKnee, 3000}});
  MotionBlock& count = m.Add(BlockKind::Calc);
  count.varAddr = kStepCounter;
  count.op = CalcOp::kAdd;
  count.useConst = 1;
  count.constValue = 1;
  MotionBlock& again = m.Add(BlockKind::If);
  again.varAddr = kStepCounter;
  again.op = BranchOp::kLess;
  again.useConst = 1;
  again.constValue = 4;
  again.branch = &loop;  // red arrow: more steps to go
  m.Pose(40, {});
  MotionDocument document = m.Finish();
  pad.branch = m.end();
  return document;
}

// Waves, then bows: both as subroutines.
MotionDocument Greeting(const BasePoseTable& base) {
  MotionBuilder m(base);
  m.Add(BlockKind::SubRoutine).fileName = u"wave.KX4";
  MotionBlock& sound = m.Add(BlockKind::Sound);
  sound.noFile = true;  // silence any sound still playing
  m.Add(BlockKind::SubRoutine).fileName = u"bow.KX4";
  return m.Finish();
}

}  // namespace

bool WriteSampleMotions(const std::filesystem::path& folder, const SliderTable& sliders,
                        const BasePoseTable& basePoses) {
  const std::pair<const char*, MotionDocument> motions[] = {
      {"wave.KX4", Wave(basePoses)},
      {"bow.KX4", Bow(basePoses)},
      {"walk.KX4", Walk(basePoses)},
      {"greeting.KX4", Greeting(basePoses)},
  };
  for (const auto& [name, document] : motions) {
    if (!WriteMotionFile(folder / name, document, sliders, 100, nullptr)) {
      return false;
    }
  }
  return true;
}

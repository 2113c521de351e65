#include "pose/pose_operations.h"

#include <gtest/gtest.h>

#include <atomic>
#include <tuple>
#include <utility>
#include <vector>

#include "motion/block_factory.h"
#include "platform/paths.h"
#include "pose/base_pose_editing.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::RecordingPrompter;
using testing::RecordingViewNotifier;
using testing::TempDir;

// Sliders of the test robot.
constexpr int kWaist = 0;           // centre, base-relative
constexpr int kRightArm = 1;        // right, partner kLeftArm, step 30
constexpr int kLeftArm = 2;         // left
constexpr int kRightLeg = 3;        // right servo channel 3, companion kRightLegTorque
constexpr int kLeftLeg = 4;         // left servo channel 4, companion kLeftLegTorque
constexpr int kRightLegTorque = 5;  // companion of channel 3
constexpr int kLeftLegTorque = 6;   // companion of channel 4, disabled
constexpr int kHead = 7;            // none, disabled
constexpr int kAbsolute = 8;        // none, absolute values
constexpr int kLoneServo = 9;       // servo channel 9 without a companion

constexpr std::uint64_t kBit3 = std::uint64_t{1} << 3;
constexpr std::uint64_t kBit4 = std::uint64_t{1} << 4;

class RecordingUndo : public UndoRecorder {
 public:
  explicit RecordingUndo(const MotionDocument& document) : document_(document) {}
  void RecordUndo() override {
    snapshots.push_back(document_.current ? document_.current->slots[kRightArm] : -1);
  }
  std::vector<int> snapshots;  // kRightArm's stored value at each step

 private:
  const MotionDocument& document_;
};

SliderDef MakeSlider(std::int32_t pairMode, std::int32_t partner, std::uint32_t flags2,
                     std::uint16_t step = 10) {
  SliderDef slider;
  slider.pairMode = pairMode;
  slider.partner = partner;
  slider.flags2 = flags2;
  slider.minimum = -2000;
  slider.maximum = 2000;
  slider.step = step;
  return slider;
}

void MakeServo(SliderTable& sliders, int slider, int companion, int channel) {
  sliders[slider].flags2 |= SliderFlag2::kServoChannel;
  sliders[slider].channel = channel;
  if (companion >= 0) {
    sliders[slider].companion = companion;
    sliders[companion].flags2 |= SliderFlag2::kServoCompanion;
    sliders[companion].channel = channel;
    sliders[companion].companion = slider;
  }
}

class PoseFixture : public ::testing::Test {
 protected:
  PoseFixture() {
    SliderTable& sliders = project.sliders;
    for (SliderDef& slider : sliders) {
      slider = MakeSlider(0, 0, SliderFlag2::kDisabled);
      slider.minimum = -32768;
      slider.maximum = 32767;
    }
    sliders[kWaist] = MakeSlider(1, 0, 0);
    sliders[kRightArm] = MakeSlider(2, kLeftArm, SliderFlag2::kSignInverted, 30);
    sliders[kLeftArm] = MakeSlider(3, kRightArm, SliderFlag2::kSignInverted);
    sliders[kRightLeg] = MakeSlider(2, kLeftLeg, 0);
    sliders[kLeftLeg] = MakeSlider(3, kRightLeg, SliderFlag2::kSignInverted);
    sliders[kRightLegTorque] = MakeSlider(0, 0, 0, 7);
    sliders[kLeftLegTorque] = MakeSlider(0, 0, SliderFlag2::kDisabled);
    sliders[kHead] = MakeSlider(0, 0, SliderFlag2::kDisabled);
    sliders[kAbsolute] = MakeSlider(0, 0, SliderFlag2::kAbsolute);
    sliders[kLoneServo] = MakeSlider(0, 0, 0);
    MakeServo(sliders, kRightLeg, kRightLegTorque, 3);
    MakeServo(sliders, kLeftLeg, kLeftLegTorque, 4);
    MakeServo(sliders, kLoneServo, -1, 9);
    BasePose& base = project.basePoses.entries[0];
    base.name = u"stand";
    base.registered = true;
    // Base values of sliders 0..9; every axis is enabled but kHead's and kLoneServo's.
    const std::int16_t values[] = {500, 10, -10, 300, -300, 11, 22, 0, 77, 99};
    for (int k = 0; k <= kLoneServo; ++k) {
      base.axisEnable[k] = k != kHead && k != kLoneServo;
      base.values[k] = values[k];
    }
    base.servoEnableMask = kBit3;
    project.basePoses.current = 0;
    NewMotion(document, project.basePoses);
    context.handOverPose = [this](const MotionBlock& pose, std::uint16_t time) {
      handed.emplace_back(pose.slots, time);
    };
  }

  MotionBlock& Pose() { return *document.current; }
  std::int16_t Value(int k) { return Pose().slots[k]; }
  void Set(std::initializer_list<std::pair<int, int>> values) {
    for (const auto& [k, v] : values) {
      Pose().slots[k] = static_cast<std::int16_t>(v);
    }
  }
  // The current pose's values of `sliders`, in order.
  std::vector<int> Values(std::initializer_list<int> sliders) {
    std::vector<int> values;
    for (const int k : sliders) {
      values.push_back(Value(k));
    }
    return values;
  }
  // Exactly one pose handed over since the last ForgetCalls, with `time`, and one undo step.
  void ExpectOneStore(std::uint16_t time) {
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0].second, time);
    EXPECT_EQ(undo.snapshots.size(), 1u);
  }
  void Select(std::initializer_list<int> indexes) {
    for (int k : indexes) {
      project.sliders[k].flags1 |= SliderFlag1::kSelected;
    }
  }
  void ForgetCalls() {
    handed.clear();
    undo.snapshots.clear();
    views.events.clear();
  }

  LoadedProject project;
  MotionDocument document;
  std::atomic<std::uint32_t> flags{0};
  EditState state;
  RecordingUndo undo{document};
  RecordingViewNotifier views;
  RecordingPrompter prompter;
  std::vector<std::pair<std::array<std::int16_t, kSliderCount>, std::uint16_t>> handed;
  EditContext context{project, document, flags, state, {}, &undo, &views, &prompter};
};

using PoseValueRules = PoseFixture;

TEST_F(PoseValueRules, BaseRelativeNeedsRegisteredBaseEnabledAxisAndRelativeFlag) {
  EXPECT_TRUE(IsBaseRelative(project, kWaist));
  EXPECT_FALSE(IsBaseRelative(project, kAbsolute));   // bit 0x10
  EXPECT_FALSE(IsBaseRelative(project, kLoneServo));  // axis not enabled
  EXPECT_FALSE(IsBaseRelative(project, kSliderCount));
  EXPECT_EQ(BaseValue(project, kWaist), 500);
  EXPECT_EQ(BaseValue(project, -1), 0);
  project.basePoses.entries[0].registered = false;
  EXPECT_FALSE(IsBaseRelative(project, kWaist));
  EXPECT_EQ(BaseValue(project, kWaist), 0);
}

TEST_F(PoseValueRules, SnapCountsFromBaseValueAndTruncatesTowardZero) {
  EXPECT_EQ(SnapValue(project, kRightArm, 75, 30), 70);    // 10 + 2 x 30
  EXPECT_EQ(SnapValue(project, kRightArm, -45, 30), -20);  // (-55 / 30) x 30 + 10
  EXPECT_EQ(SnapValue(project, kAbsolute, 47, 0), 47);     // unit 0 counts as 1
  EXPECT_EQ(ClampValue(project.sliders[kWaist], 2001), 2000);
  EXPECT_EQ(ClampValue(project.sliders[kWaist], 2000), 2000);
  EXPECT_EQ(ClampValue(project.sliders[kWaist], -70000), -2000);
}

TEST_F(PoseValueRules, ChangeSliderValueSnapsClampsAndStoresWithSliderTime) {
  ChangeSliderValue(context, kRightArm, 75, 30, false);
  EXPECT_EQ(Value(kRightArm), 70);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].second, kSliderChangeTime);

  EXPECT_TRUE(undo.snapshots.empty());
  ChangeSliderValue(context, kRightArm, 30000, 1, true);
  EXPECT_EQ(Value(kRightArm), 2000);
  EXPECT_EQ(undo.snapshots, std::vector<int>{2000});
}

TEST_F(PoseValueRules, ChannelZeroAndSliderZeroAreAServoChannelAndACompanion) {
  MakeServo(project.sliders, kLoneServo, kWaist, 0);
  EXPECT_EQ(CompanionSlider(project.sliders, kLoneServo), kWaist);
  EXPECT_EQ(CompanionSlider(project.sliders, kWaist), -1) << "a companion drives nothing";
  EXPECT_EQ(CompanionSlider(project.sliders, -1), -1);
  EXPECT_EQ(CompanionSlider(project.sliders, kSliderCount), -1);
  const std::uint64_t mask = Pose().servoEnableMask;
  ToggleServoEnable(context, kLoneServo);
  EXPECT_EQ(Pose().servoEnableMask, mask ^ 1u);
  Set({{kLoneServo, 40}, {kWaist, 7}});
  Select({kLoneServo});
  CopyJointValues(context);
  Set({{kLoneServo, 0}, {kWaist, 0}});
  PasteJointValues(context);
  EXPECT_EQ(Values({kLoneServo, kWaist}), (std::vector<int>{40, 7}));
  project.sliders[kLoneServo].channel = 64;  // no channel: no bit
  ToggleServoEnable(context, kLoneServo);
  EXPECT_EQ(Pose().servoEnableMask, mask ^ 1u);
}

TEST_F(PoseValueRules, NothingHappensWithoutCurrentPose) {
  document.current = nullptr;
  Select({kRightArm});
  CopyJointValues(context);
  PasteJointValues(context);
  CopyHalf(context, true);
  MirrorCurrentPose(context);
  flags = SystemFlag::kOnline;
  CapturePose(context);
  StepSelectedSliders(context, 1, {});
  ChangeSliderValue(context, kRightArm, 100, 1, true);
  ToggleServoEnable(context, kRightLeg);
  ApplyBasePose(context, 0);
  EXPECT_TRUE(handed.empty());
  EXPECT_TRUE(undo.snapshots.empty());
}

using PoseClipboardOps = PoseFixture;

TEST_F(PoseClipboardOps, PasteTakesTheCopiedSlidersThatAreSelected) {
  // Copied with a selection, pasted without: exactly the copied sliders.
  Set({{kWaist, 100}, {kRightArm, 200}, {kLeftArm, 300}});
  Select({kWaist, kLeftArm});
  CopyJointValues(context);
  Set({{kWaist, 0}, {kRightArm, 0}, {kLeftArm, 0}});
  ClearSliderSelection(project.sliders);
  PasteJointValues(context);
  EXPECT_EQ(Values({kWaist, kRightArm, kLeftArm}), (std::vector<int>{100, 0, 300}));
  ExpectOneStore(kPoseCommandTime);
}

TEST_F(PoseClipboardOps, ServoSliderBringsItsEnableBitAndCompanionClampedIntoRange) {
  Set({{kRightLeg, 40}, {kRightLegTorque, 7}, {kWaist, 5}, {kRightArm, 1500}});
  Pose().servoEnableMask = kBit3;
  Select({kRightLeg, kRightArm});
  CopyJointValues(context);
  Set({{kRightLeg, 0}, {kRightLegTorque, 0}, {kWaist, 0}});
  Pose().servoEnableMask = kBit4;
  project.sliders[kRightArm].maximum = 1000;
  PasteJointValues(context);
  EXPECT_EQ(Values({kRightLeg, kRightLegTorque, kWaist, kRightArm}),
            (std::vector<int>{40, 7, 0, 1000}));
  EXPECT_EQ(Pose().servoEnableMask, kBit3 | kBit4);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].first[kRightArm], 1000);
}

TEST_F(PoseClipboardOps, ServoWithoutCompanionLeavesSliderZeroAlone) {
  Set({{kLoneServo, 40}});
  Select({kLoneServo});
  CopyJointValues(context);
  Set({{kWaist, 123}});  // slider 0 is what an unset companion link names
  PasteJointValues(context);
  EXPECT_EQ(Values({kWaist, kLoneServo}), (std::vector<int>{123, 40}));
}

using PoseMirror = PoseFixture;

TEST_F(PoseMirror, OneSelectedMemberSwapsTheWholePairNegatedOnlyWithTheSameSignInversion) {
  Set({{kLeftArm, 100}, {kRightArm, -40}, {kRightLeg, 5}, {kLeftLeg, 6}, {kWaist, 520}});
  Select({kRightArm});
  MirrorCurrentPose(context);
  EXPECT_EQ(Values({kLeftArm, kRightArm, kRightLeg, kLeftLeg, kWaist}),
            (std::vector<int>{40, -100, 5, 6, 520}));
  ExpectOneStore(kPoseCommandTime);
  EXPECT_EQ(undo.snapshots, std::vector<int>{-100});
}

TEST_F(PoseMirror, ResultsSaturateToSixteenBits) {
  // The waist's base value, its value and the mirrored one (2 x base - value, saturated).
  for (const auto& [base, value, mirrored] :
       {std::tuple{0, -32768, 32767}, {-30000, 30000, -32768}}) {
    project.basePoses.entries[0].values[kWaist] = static_cast<std::int16_t>(base);
    MotionBlock pose;
    pose.slots[kWaist] = static_cast<std::int16_t>(value);
    pose.slots[kLeftArm] = -32768;
    MirrorPose(project, pose);
    EXPECT_EQ(pose.slots[kWaist], mirrored) << base << " " << value;
    EXPECT_EQ(pose.slots[kRightArm], 32767);
    EXPECT_EQ(pose.slots[kLeftArm], 0);
  }
}

TEST_F(PoseMirror, ServoPairsSwapCompanionsAndEnableBitsAndDisabledSlidersStay) {
  project.sliders[kRightArm].flags2 |= SliderFlag2::kDisabled;
  project.sliders[kLeftArm].flags2 |= SliderFlag2::kDisabled;
  MotionBlock pose;
  for (const int k : {kRightArm, kLeftArm, kRightLeg, kLeftLeg, kRightLegTorque, kLeftLegTorque}) {
    pose.slots[k] = static_cast<std::int16_t>(k);
  }
  pose.servoEnableMask = kBit3;
  MirrorPose(project, pose);
  const std::vector<int> mirrored{kRightArm, kLeftArm,       kLeftLeg,
                                  kRightLeg, kLeftLegTorque, kRightLegTorque};
  EXPECT_EQ(std::vector<int>(pose.slots.begin() + kRightArm, pose.slots.begin() + kHead), mirrored);
  EXPECT_EQ(pose.servoEnableMask, kBit4);

  // A companion at slider 0 swaps as well, on either side of the pair.
  project.sliders[0].pairMode = 0;
  for (const int side : {kRightLeg, kLeftLeg}) {
    MakeServo(project.sliders, kRightLeg, side == kRightLeg ? 0 : kRightLegTorque, 3);
    MakeServo(project.sliders, kLeftLeg, side == kLeftLeg ? 0 : kLeftLegTorque, 4);
    pose.slots[0] = 100;
    pose.slots[side == kRightLeg ? kLeftLegTorque : kRightLegTorque] = 200;
    MirrorPose(project, pose);
    EXPECT_EQ(pose.slots[0], 200) << side;
  }
}

TEST_F(PoseMirror, SelectedPoseBlocksMirrorInPlaceWithOneUndoAndNothingSent) {
  MotionBlock* current = document.current;
  current->slots[kRightArm] = 30;
  current->selFlags = kBlockSelected;
  MotionBlock other;
  other.type = static_cast<std::int32_t>(BlockKind::Pose);
  other.slots[kRightArm] = 50;
  MotionBlock& unselected = document.Append(other);
  other.selFlags = kBlockSelected;
  MotionBlock& selected = document.Append(other);
  other.type = static_cast<std::int32_t>(BlockKind::Wait);
  MotionBlock& wait = document.Append(other);
  MirrorSelectedPoseBlocks(context);
  EXPECT_EQ(current->slots[kLeftArm], -30);
  EXPECT_EQ(selected.slots[kLeftArm], -50);
  EXPECT_EQ(unselected.slots[kLeftArm] + wait.slots[kLeftArm], 0);
  EXPECT_TRUE(handed.empty());
  EXPECT_EQ(undo.snapshots.size(), 1u);
  EXPECT_EQ(views.events, (std::vector<std::string>{"repaint motion", "repaint pose"}));
}

using PoseCopyHalf = PoseFixture;

TEST_F(PoseCopyHalf, WritesOnlyTheTargetSideNegatedWithTheSameSignInversion) {
  const std::initializer_list<int> sliders{kRightArm, kLeftArm, kRightLeg, kLeftLeg, kWaist};
  Set({{kRightArm, 1}, {kLeftArm, 100}, {kRightLeg, 2}, {kLeftLeg, 200}, {kWaist, 520}});
  CopyHalf(context, true);
  EXPECT_EQ(Values(sliders), (std::vector<int>{-100, 100, 200, 200, 520}));
  ExpectOneStore(kPoseCommandTime);
  Set({{kRightArm, 1}, {kLeftArm, 100}, {kRightLeg, 2}, {kLeftLeg, 200}});
  CopyHalf(context, false);
  EXPECT_EQ(Values(sliders), (std::vector<int>{1, -1, 2, 2, 520}));
}

using PoseCapture = PoseFixture;

TEST_F(PoseCapture, OnlineTakesServoReadingsBelow32000InMagnitude) {
  project.sliders[kRightLeg].reading = -1999;
  project.sliders[kLeftLeg].reading = 32000;
  project.sliders[kLoneServo].reading = -32000;
  project.sliders[kWaist].reading = 7;  // not a servo channel
  CapturePose(context);
  EXPECT_EQ(Value(kRightLeg), 300) << "offline: nothing";
  EXPECT_TRUE(handed.empty());
  flags = SystemFlag::kOnline;
  CapturePose(context);
  EXPECT_EQ(Values({kRightLeg, kLeftLeg, kLoneServo, kWaist}),
            (std::vector<int>{-1999, -300, 0, 500}));
  ExpectOneStore(kPoseCommandTime);
  EXPECT_EQ(views.events.back(), "relayout pose");
}

using PoseBasePose = PoseFixture;

TEST_F(PoseBasePose, AppliesEnabledAxesAndZeroesTheOthers) {
  project.basePoses.entries[1] = project.basePoses.entries[0];
  BasePose& base = project.basePoses.entries[1];
  base.axisEnable[kRightArm] = false;
  base.values[kWaist] = 321;
  base.servoEnableMask = kBit4;
  Set({{kRightArm, 99}, {kLeftLegTorque, 1}, {kRightLegTorque, 1}});
  Pose().servoEnableMask = kBit3;
  ApplyBasePose(context, 1);
  EXPECT_EQ(Values({kWaist, kRightArm, kLeftLegTorque, kRightLegTorque}),
            (std::vector<int>{321, 0, 22, 11}));
  EXPECT_EQ(Pose().servoEnableMask, kBit4);
  EXPECT_EQ(project.basePoses.current, 1);
  ExpectOneStore(kBasePoseTime);
  EXPECT_EQ(views.events,
            (std::vector<std::string>{"menu checks", "repaint pose", "relayout pose"}));
}

TEST_F(PoseBasePose, MinusOneMeansCurrentOutOfRangeDoesNothingAndSelectedOnlyIsHeeded) {
  Set({{kWaist, 0}});
  ApplyBasePose(context, 36);
  ApplyBasePose(context, -2);
  EXPECT_EQ(Value(kWaist), 0);
  EXPECT_TRUE(handed.empty());
  ApplyBasePose(context, -1);
  EXPECT_EQ(Value(kWaist), 500);

  // With the selected-only option just the selected enabled sliders change.
  flags = SystemFlag::kBasePoseSelectedOnly;
  Set({{kWaist, 1}, {kRightArm, 2}});
  Select({kRightArm});
  ApplyBasePose(context, 0);
  EXPECT_EQ(Values({kWaist, kRightArm}), (std::vector<int>{1, 10}));
}

TEST_F(PoseBasePose, ChoosingWritesTheBasePoseFileAndAFailedWriteIsReported) {
  TempDir dir;
  project.project.folder = TextFromPath(dir.Path()) + u"/";
  project.project.DEFPOSINI = u"defpos.ini";
  project.basePoses.entries[1] = project.basePoses.entries[0];
  EXPECT_FALSE(ChooseBasePose(context, 36));
  EXPECT_FALSE(ChooseBasePose(context, -1));
  EXPECT_FALSE(std::filesystem::exists(dir / "defpos.ini"));
  EXPECT_TRUE(ChooseBasePose(context, 1));
  BasePoseTable read;
  ASSERT_TRUE(ReadBasePoses(dir / "defpos.ini", read));
  EXPECT_EQ(read.current, 1);
  EXPECT_TRUE(prompter.Calls().empty());
  project.project.folder = TextFromPath(dir / "missing") + u"/";
  EXPECT_FALSE(ChooseBasePose(context, 0));
  const auto calls = prompter.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].icon, PromptIcon::kError);
  EXPECT_EQ(calls[0].text, LoadText(TextId::kFileSaveFailed));
}

using PoseSelection = PoseFixture;

TEST_F(PoseSelection, RectangleSelectsOverlappingBodiesIncludingDisabled) {
  const SliderBodySize size{100, 20, 40};  // body 120 wide, 20 high around y
  for (SliderDef& slider : project.sliders) {
    slider.pos = {1000, 1000};
  }
  project.sliders[kWaist].pos = {10, 100};  // x 10..130, y 90..110
  project.sliders[kHead].pos = {10, 200};   // disabled: y 190..210
  project.sliders[kRightArm].pos = {130, 100};
  SelectSlidersInRect(project.sliders, 0, 105, 130, 195, size);
  EXPECT_TRUE(SliderSelected(project.sliders[kWaist]));
  EXPECT_TRUE(SliderSelected(project.sliders[kHead]));
  EXPECT_FALSE(SliderSelected(project.sliders[kRightArm]));  // only touches at x 130
  ClearSliderSelection(project.sliders);
  SelectSlidersInRect(project.sliders, 0, 110, 500, 190, size);  // touches both, overlaps none
  EXPECT_FALSE(AnyEnabledSliderSelected(project.sliders) || SliderSelected(project.sliders[kHead]));
}

TEST_F(PoseSelection, SelectAllTakesEnabledSlidersAndDisplayInversionNeedsOne) {
  SelectAllSliders(context);
  EXPECT_TRUE(SliderSelected(project.sliders[kWaist]));
  EXPECT_FALSE(SliderSelected(project.sliders[kHead]));
  ClearSliderSelection(project.sliders);
  Select({kHead});
  ToggleDisplayInversion(context);
  EXPECT_EQ(project.sliders[kHead].flags1 & SliderFlag1::kInverted, 0u);
  Select({kWaist});
  ToggleDisplayInversion(context);
  EXPECT_NE(project.sliders[kHead].flags1 & SliderFlag1::kInverted, 0u);
  EXPECT_NE(project.sliders[kWaist].flags1 & SliderFlag1::kInverted, 0u);
  EXPECT_EQ(project.sliders[kRightArm].flags1 & SliderFlag1::kInverted, 0u);
}

using PoseWheel = PoseFixture;

TEST_F(PoseWheel, StepSnapsRelativeToBaseValueAndDisplayInversionTurnsIt) {
  Set({{kRightArm, 45}});
  Select({kRightArm});
  StepSelectedSliders(context, 1, {});
  EXPECT_EQ(Value(kRightArm), 70);
  ExpectOneStore(kSliderChangeTime);
  StepSelectedSliders(context, -1, {});
  EXPECT_EQ(Value(kRightArm), 40);
  Set({{kRightArm, 45}});

  project.sliders[kRightArm].flags1 |= SliderFlag1::kInverted;
  StepSelectedSliders(context, 1, {});
  EXPECT_EQ(Value(kRightArm), 10);  // 15 snapped toward the base value
}

TEST_F(PoseWheel, ShiftCtrlStepsTheCompanionAndSkipsOthers) {
  Set({{kRightLegTorque, 20}, {kWaist, 520}});
  Select({kRightLeg, kWaist});
  StepSelectedSliders(context, 1, {.shift = true, .ctrl = true});
  // 27 snapped to base 11 + 2 x 7
  EXPECT_EQ(Values({kRightLegTorque, kRightLeg, kWaist}), (std::vector<int>{25, 300, 520}));
  ForgetCalls();
  ClearSliderSelection(project.sliders);
  Select({kWaist, kLoneServo});
  StepSelectedSliders(context, 1, {.shift = true, .ctrl = true});
  EXPECT_TRUE(handed.empty());
  EXPECT_TRUE(undo.snapshots.empty());
}

TEST_F(PoseWheel, OffsetMovesEveryEnabledSliderWhateverTheSelection) {
  ValueOffsetSet& set = project.offsets.entries[2];
  set.registered = true;
  set.offsets[kWaist] = 5;
  set.offsets[kRightArm] = 1500;
  set.offsets[kHead] = 9;
  project.offsets.current = 2;
  Select({kLeftArm});
  Set({{kRightArm, 1000}, {kHead, 0}});
  StepSelectedSliders(context, -1, {});
  EXPECT_EQ(Values({kWaist, kRightArm, kHead}), (std::vector<int>{495, -500, 0}));
  StepSelectedSliders(context, 1, {});
  StepSelectedSliders(context, 1, {});
  EXPECT_EQ(Value(kRightArm), 2000);          // clamped
  project.offsets.current = kOffsetSetCount;  // past the table: the selection steps instead
  StepSelectedSliders(context, 1, {});
  EXPECT_EQ(Values({kWaist, kRightArm, kLeftArm}), (std::vector<int>{505, 2000, 0}));
}

}  // namespace
}  // namespace gestalon::core

#include "pose/pose_operations.h"

#include <gtest/gtest.h>

#include <atomic>
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

SliderDef MakeSlider(std::int32_t pairMode, std::int32_t partner, std::uint32_t flags2) {
  SliderDef slider;
  slider.pairMode = pairMode;
  slider.partner = partner;
  slider.flags2 = flags2;
  slider.minimum = -2000;
  slider.maximum = 2000;
  slider.step = 10;
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
    sliders[kRightArm] = MakeSlider(2, kLeftArm, SliderFlag2::kSignInverted);
    sliders[kRightArm].step = 30;
    sliders[kLeftArm] = MakeSlider(3, kRightArm, SliderFlag2::kSignInverted);
    sliders[kRightLeg] = MakeSlider(2, kLeftLeg, 0);
    sliders[kLeftLeg] = MakeSlider(3, kRightLeg, SliderFlag2::kSignInverted);
    sliders[kRightLegTorque] = MakeSlider(0, 0, 0);
    sliders[kRightLegTorque].step = 7;
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
    for (int k : {kWaist, kRightArm, kLeftArm, kRightLeg, kLeftLeg, kRightLegTorque, kLeftLegTorque,
                  kAbsolute}) {
      base.axisEnable[k] = true;
    }
    base.values[kWaist] = 500;
    base.values[kRightArm] = 10;
    base.values[kLeftArm] = -10;
    base.values[kRightLeg] = 300;
    base.values[kLeftLeg] = -300;
    base.values[kRightLegTorque] = 11;
    base.values[kLeftLegTorque] = 22;
    base.values[kAbsolute] = 77;
    base.values[kLoneServo] = 99;  // axis not enabled
    base.servoEnableMask = kBit3;
    project.basePoses.current = 0;

    NewMotion(document, project.basePoses);
    context.handOverPose = [this](const MotionBlock& pose, std::uint16_t time) {
      handed.emplace_back(pose.slots, time);
    };
  }

  MotionBlock& Pose() { return *document.current; }
  std::int16_t Value(int k) { return Pose().slots[k]; }
  void SetValue(int k, std::int16_t v) { Pose().slots[k] = v; }
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

// --- value rules ---

using PoseValueRules = PoseFixture;

TEST_F(PoseValueRules, BaseRelativeNeedsRegisteredBaseEnabledAxisAndRelativeFlag) {
  EXPECT_TRUE(IsBaseRelative(project, kWaist));
  EXPECT_FALSE(IsBaseRelative(project, kAbsolute));   // bit 0x10
  EXPECT_FALSE(IsBaseRelative(project, kLoneServo));  // axis not enabled
  EXPECT_FALSE(IsBaseRelative(project, -1));
  EXPECT_FALSE(IsBaseRelative(project, kSliderCount));
  project.basePoses.entries[0].registered = false;
  EXPECT_FALSE(IsBaseRelative(project, kWaist));
  EXPECT_EQ(BaseValue(project, kWaist), 0);
}

TEST_F(PoseValueRules, SnapCountsFromBaseValueAndTruncatesTowardZero) {
  EXPECT_EQ(SnapValue(project, kRightArm, 75, 30), 70);    // 10 + 2 x 30
  EXPECT_EQ(SnapValue(project, kRightArm, -45, 30), -20);  // (-55 / 30) x 30 + 10
  EXPECT_EQ(SnapValue(project, kAbsolute, -45, 30), -30);
  EXPECT_EQ(SnapValue(project, kAbsolute, 45, 30), 30);
  EXPECT_EQ(SnapValue(project, kAbsolute, 47, 0), 47);  // unit 0 counts as 1
  EXPECT_EQ(ClampValue(project.sliders[kWaist], 2001), 2000);
  EXPECT_EQ(ClampValue(project.sliders[kWaist], -70000), -2000);
  EXPECT_EQ(ClampValue(project.sliders[kWaist], -3), -3);
}

TEST_F(PoseValueRules, ChangeSliderValueSnapsClampsAndStoresWithSliderTime) {
  ChangeSliderValue(context, kRightArm, 75, 30, false);
  EXPECT_EQ(Value(kRightArm), 70);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].second, kSliderChangeTime);
  EXPECT_EQ(handed[0].first[kRightArm], 70);
  EXPECT_TRUE(undo.snapshots.empty());

  ChangeSliderValue(context, kRightArm, 30000, 1, true);
  EXPECT_EQ(Value(kRightArm), 2000);
  EXPECT_EQ(undo.snapshots, std::vector<int>{2000});
}

TEST_F(PoseValueRules, ToggleServoEnableFlipsOnlyServoChannelBits) {
  Pose().servoEnableMask = kBit4;
  ToggleServoEnable(context, kRightLeg);
  EXPECT_EQ(Pose().servoEnableMask, kBit3 | kBit4);
  ToggleServoEnable(context, kLeftLeg);
  EXPECT_EQ(Pose().servoEnableMask, kBit3);
  EXPECT_EQ(undo.snapshots.size(), 2u);
  ASSERT_EQ(handed.size(), 2u);
  EXPECT_EQ(handed[1].second, kSliderChangeTime);

  ToggleServoEnable(context, kWaist);
  ToggleServoEnable(context, kRightLegTorque);
  EXPECT_EQ(Pose().servoEnableMask, kBit3);
  EXPECT_EQ(undo.snapshots.size(), 2u);
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

// --- joint value clipboard ---

using PoseClipboardOps = PoseFixture;

TEST_F(PoseClipboardOps, PasteWithoutSelectionPastesExactlyTheCopiedSliders) {
  SetValue(kWaist, 100);
  SetValue(kRightArm, 200);
  SetValue(kLeftArm, 300);
  Select({kWaist, kLeftArm});
  CopyJointValues(context);
  for (int k : {kWaist, kRightArm, kLeftArm}) {
    SetValue(k, 0);
  }
  ClearSliderSelection(project.sliders);
  PasteJointValues(context);
  EXPECT_EQ(Value(kWaist), 100);
  EXPECT_EQ(Value(kRightArm), 0);
  EXPECT_EQ(Value(kLeftArm), 300);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].second, kPoseCommandTime);
  EXPECT_EQ(undo.snapshots.size(), 1u);
}

TEST_F(PoseClipboardOps, PasteWithSelectionPastesOnlySelectedCopiedSliders) {
  SetValue(kWaist, 100);
  SetValue(kRightArm, 200);
  SetValue(kLeftArm, 300);
  CopyJointValues(context);  // nothing selected: everything copied
  for (int k : {kWaist, kRightArm, kLeftArm}) {
    SetValue(k, 0);
  }
  Select({kRightArm, kHead});  // kHead is disabled
  PasteJointValues(context);
  EXPECT_EQ(Value(kWaist), 0);
  EXPECT_EQ(Value(kRightArm), 200);
  EXPECT_EQ(Value(kLeftArm), 0);
}

TEST_F(PoseClipboardOps, OnlyDisabledSelectedCountsAsNoSelection) {
  SetValue(kWaist, 100);
  Select({kHead});
  CopyJointValues(context);
  EXPECT_TRUE(state.poseClipboard.copyMask.all());
  SetValue(kWaist, 0);
  PasteJointValues(context);
  EXPECT_EQ(Value(kWaist), 100);
}

TEST_F(PoseClipboardOps, ServoSliderBringsItsEnableBitAndCompanion) {
  SetValue(kRightLeg, 40);
  SetValue(kRightLegTorque, 7);
  SetValue(kWaist, 5);
  Pose().servoEnableMask = kBit3;
  Select({kRightLeg});
  CopyJointValues(context);
  SetValue(kRightLeg, 0);
  SetValue(kRightLegTorque, 0);
  SetValue(kWaist, 0);
  Pose().servoEnableMask = kBit4;
  PasteJointValues(context);
  EXPECT_EQ(Value(kRightLeg), 40);
  EXPECT_EQ(Value(kRightLegTorque), 7);
  EXPECT_EQ(Value(kWaist), 0);
  EXPECT_EQ(Pose().servoEnableMask, kBit3 | kBit4);
}

TEST_F(PoseClipboardOps, ServoWithoutCompanionLeavesSliderZeroAlone) {
  SetValue(kLoneServo, 40);
  Select({kLoneServo});
  CopyJointValues(context);
  SetValue(kWaist, 123);  // slider 0 is what an unset companion link names
  PasteJointValues(context);
  EXPECT_EQ(Value(kWaist), 123);
  EXPECT_EQ(Value(kLoneServo), 40);
}

TEST_F(PoseClipboardOps, PastedValuesAreClampedIntoRange) {
  SetValue(kRightArm, 1500);
  CopyJointValues(context);
  project.sliders[kRightArm].maximum = 1000;
  PasteJointValues(context);
  EXPECT_EQ(Value(kRightArm), 1000);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].first[kRightArm], 1000);
}

// --- mirror ---

using PoseMirror = PoseFixture;

TEST_F(PoseMirror, OneSelectedMemberSwapsAndNegatesTheWholePair) {
  SetValue(kLeftArm, 100);
  SetValue(kRightArm, -40);
  SetValue(kRightLeg, 5);
  SetValue(kWaist, 520);
  Select({kRightArm});
  MirrorCurrentPose(context);
  EXPECT_EQ(Value(kLeftArm), 40);
  EXPECT_EQ(Value(kRightArm), -100);
  EXPECT_EQ(Value(kRightLeg), 5);  // not selected
  EXPECT_EQ(Value(kWaist), 520);   // not selected
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].second, kPoseCommandTime);
  EXPECT_EQ(undo.snapshots, std::vector<int>{-100});
}

TEST_F(PoseMirror, DifferentSignInversionSwapsWithoutNegating) {
  SetValue(kRightLeg, 100);
  SetValue(kLeftLeg, -40);
  Select({kLeftLeg});
  MirrorCurrentPose(context);
  EXPECT_EQ(Value(kRightLeg), -40);
  EXPECT_EQ(Value(kLeftLeg), 100);
}

TEST_F(PoseMirror, CentreSliderReflectsAboutBaseValueOnlyWithRegisteredBase) {
  SetValue(kWaist, 520);
  MirrorCurrentPose(context);
  EXPECT_EQ(Value(kWaist), 480);
  project.basePoses.entries[0].registered = false;
  MirrorCurrentPose(context);
  EXPECT_EQ(Value(kWaist), 480);
}

TEST_F(PoseMirror, ResultsSaturateToSixteenBits) {
  MotionBlock pose;
  BasePose& base = project.basePoses.entries[0];
  base.values[kWaist] = 0;
  pose.slots[kWaist] = -32768;  // 32768
  pose.slots[kLeftArm] = -32768;
  MirrorPose(project, pose);
  EXPECT_EQ(pose.slots[kWaist], 32767);
  EXPECT_EQ(pose.slots[kRightArm], 32767);
  EXPECT_EQ(pose.slots[kLeftArm], 0);

  base.values[kWaist] = 30000;
  pose.slots[kWaist] = -30000;  // 90000
  MirrorPose(project, pose);
  EXPECT_EQ(pose.slots[kWaist], 32767);
  base.values[kWaist] = -30000;
  pose.slots[kWaist] = 30000;  // -90000
  MirrorPose(project, pose);
  EXPECT_EQ(pose.slots[kWaist], -32768);
}

TEST_F(PoseMirror, ServoPairsSwapCompanionsAndEnableBits) {
  MotionBlock pose;
  pose.slots[kRightLeg] = 1;
  pose.slots[kLeftLeg] = 2;
  pose.slots[kRightLegTorque] = 3;
  pose.slots[kLeftLegTorque] = 4;
  pose.servoEnableMask = kBit3;
  MirrorPose(project, pose);
  EXPECT_EQ(pose.slots[kRightLeg], 2);
  EXPECT_EQ(pose.slots[kLeftLeg], 1);
  EXPECT_EQ(pose.slots[kRightLegTorque], 4);
  EXPECT_EQ(pose.slots[kLeftLegTorque], 3);
  EXPECT_EQ(pose.servoEnableMask, kBit4);
}

TEST_F(PoseMirror, DisabledSlidersAreLeftAlone) {
  project.sliders[kRightArm].flags2 |= SliderFlag2::kDisabled;
  project.sliders[kLeftArm].flags2 |= SliderFlag2::kDisabled;
  MotionBlock pose;
  pose.slots[kRightArm] = 1;
  pose.slots[kLeftArm] = 2;
  MirrorPose(project, pose);
  EXPECT_EQ(pose.slots[kRightArm], 1);
  EXPECT_EQ(pose.slots[kLeftArm], 2);
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
  EXPECT_EQ(unselected.slots[kLeftArm], 0);
  EXPECT_EQ(wait.slots[kLeftArm], 0);
  EXPECT_TRUE(handed.empty());
  EXPECT_EQ(undo.snapshots.size(), 1u);
  EXPECT_EQ(views.events, (std::vector<std::string>{"repaint motion", "repaint pose"}));
}

// --- left/right copy ---

using PoseCopyHalf = PoseFixture;

TEST_F(PoseCopyHalf, LeftToRightWritesOnlyRightSliders) {
  SetValue(kRightArm, 1);
  SetValue(kLeftArm, 100);
  SetValue(kRightLeg, 2);
  SetValue(kLeftLeg, 200);
  SetValue(kWaist, 520);
  CopyHalf(context, true);
  EXPECT_EQ(Value(kRightArm), -100);  // same sign inversion
  EXPECT_EQ(Value(kLeftArm), 100);
  EXPECT_EQ(Value(kRightLeg), 200);  // different sign inversion
  EXPECT_EQ(Value(kLeftLeg), 200);
  EXPECT_EQ(Value(kWaist), 520);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].second, kPoseCommandTime);
  EXPECT_EQ(undo.snapshots.size(), 1u);
}

TEST_F(PoseCopyHalf, RightToLeftWritesOnlyLeftSliders) {
  SetValue(kRightArm, 1);
  SetValue(kLeftArm, 100);
  SetValue(kRightLeg, 2);
  SetValue(kLeftLeg, 200);
  CopyHalf(context, false);
  EXPECT_EQ(Value(kRightArm), 1);
  EXPECT_EQ(Value(kLeftArm), -1);
  EXPECT_EQ(Value(kRightLeg), 2);
  EXPECT_EQ(Value(kLeftLeg), 2);
}

TEST_F(PoseCopyHalf, SelectingTheSourceTakesThePairOnly) {
  SetValue(kLeftArm, 100);
  SetValue(kLeftLeg, 200);
  SetValue(kRightLeg, 7);
  Select({kLeftArm});
  CopyHalf(context, true);
  EXPECT_EQ(Value(kRightArm), -100);
  EXPECT_EQ(Value(kRightLeg), 7);
}

TEST_F(PoseCopyHalf, NegatedMinimumBecomesMaximum) {
  project.sliders[kRightArm].minimum = -32768;
  project.sliders[kRightArm].maximum = 32767;
  SetValue(kLeftArm, -32768);
  CopyHalf(context, true);
  EXPECT_EQ(Value(kRightArm), 32767);
}

TEST_F(PoseCopyHalf, ServoPairsCopyEnableBitAndCompanion) {
  SetValue(kLeftLegTorque, 9);
  SetValue(kRightLegTorque, 1);
  Pose().servoEnableMask = kBit4;
  CopyHalf(context, true);
  EXPECT_EQ(Value(kRightLegTorque), 9);
  EXPECT_EQ(Pose().servoEnableMask, kBit3 | kBit4);
  Pose().servoEnableMask = kBit3;
  SetValue(kRightLegTorque, 5);
  CopyHalf(context, false);
  EXPECT_EQ(Value(kLeftLegTorque), 5);
  EXPECT_EQ(Pose().servoEnableMask, kBit3 | kBit4);
}

// --- capture ---

using PoseCapture = PoseFixture;

TEST_F(PoseCapture, OfflineDoesNothing) {
  project.sliders[kRightLeg].reading = 123;
  CapturePose(context);
  EXPECT_EQ(Value(kRightLeg), 300);
  EXPECT_TRUE(handed.empty());
  EXPECT_TRUE(undo.snapshots.empty());
}

TEST_F(PoseCapture, TakesServoReadingsBelow32000InMagnitude) {
  flags = SystemFlag::kOnline;
  project.sliders[kRightLeg].reading = -1999;
  project.sliders[kLeftLeg].reading = 32000;
  project.sliders[kLoneServo].reading = -32000;
  project.sliders[kWaist].reading = 7;  // not a servo channel
  CapturePose(context);
  EXPECT_EQ(Value(kRightLeg), -1999);
  EXPECT_EQ(Value(kLeftLeg), -300);
  EXPECT_EQ(Value(kLoneServo), 0);
  EXPECT_EQ(Value(kWaist), 500);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].second, kPoseCommandTime);
  EXPECT_EQ(undo.snapshots.size(), 1u);
  EXPECT_EQ(views.events.back(), "relayout pose");
}

TEST_F(PoseCapture, SelectedOnlyOptionLimitsToSelection) {
  flags = SystemFlag::kOnline | SystemFlag::kBasePoseSelectedOnly;
  project.sliders[kRightLeg].reading = 11;
  project.sliders[kLeftLeg].reading = 22;
  CapturePose(context);  // nothing selected: every channel
  EXPECT_EQ(Value(kRightLeg), 11);
  EXPECT_EQ(Value(kLeftLeg), 22);

  project.sliders[kRightLeg].reading = 33;
  project.sliders[kLeftLeg].reading = 44;
  Select({kLeftLeg});
  CapturePose(context);
  EXPECT_EQ(Value(kRightLeg), 11);
  EXPECT_EQ(Value(kLeftLeg), 44);

  flags = SystemFlag::kOnline;
  CapturePose(context);
  EXPECT_EQ(Value(kRightLeg), 33);
}

// --- base poses ---

using PoseBasePose = PoseFixture;

TEST_F(PoseBasePose, AppliesEnabledAxesAndZeroesTheOthers) {
  project.basePoses.entries[1] = project.basePoses.entries[0];
  BasePose& base = project.basePoses.entries[1];
  base.axisEnable[kRightArm] = false;
  base.values[kRightArm] = 55;
  base.values[kWaist] = 321;
  base.servoEnableMask = kBit4;
  SetValue(kRightArm, 99);
  SetValue(kLeftLegTorque, 1);
  SetValue(kRightLegTorque, 1);
  Pose().servoEnableMask = kBit3;

  ApplyBasePose(context, 1);
  EXPECT_EQ(Value(kWaist), 321);
  EXPECT_EQ(Value(kRightArm), 0);
  EXPECT_EQ(Value(kLeftLegTorque), 22);
  EXPECT_EQ(Value(kRightLegTorque), 11);
  EXPECT_EQ(Pose().servoEnableMask, kBit4);
  EXPECT_EQ(project.basePoses.current, 1);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].second, kBasePoseTime);
  EXPECT_EQ(undo.snapshots.size(), 1u);
  EXPECT_EQ(views.events,
            (std::vector<std::string>{"menu checks", "repaint pose", "relayout pose"}));
}

TEST_F(PoseBasePose, MinusOneMeansCurrentAndOutOfRangeDoesNothing) {
  SetValue(kWaist, 0);
  ApplyBasePose(context, 36);
  EXPECT_EQ(Value(kWaist), 0);
  EXPECT_TRUE(handed.empty());
  ApplyBasePose(context, -1);
  EXPECT_EQ(Value(kWaist), 500);
  EXPECT_EQ(project.basePoses.current, 0);
}

TEST_F(PoseBasePose, SelectedOnlyOptionChangesSelectedEnabledSliders) {
  flags = SystemFlag::kBasePoseSelectedOnly;
  SetValue(kWaist, 1);
  SetValue(kRightArm, 2);
  Select({kRightArm});
  ApplyBasePose(context, 0);
  EXPECT_EQ(Value(kWaist), 1);
  EXPECT_EQ(Value(kRightArm), 10);
}

TEST_F(PoseBasePose, ChoosingWritesTheBasePoseFile) {
  TempDir dir;
  project.project.folder = TextFromPath(dir.Path()) + u"/";
  project.project.DEFPOSINI = u"defpos.ini";
  project.basePoses.entries[1] = project.basePoses.entries[0];
  project.basePoses.entries[1].name = u"sit";
  EXPECT_TRUE(ChooseBasePose(context, 1));
  BasePoseTable read;
  ASSERT_TRUE(ReadBasePoses(dir / "defpos.ini", read));
  EXPECT_EQ(read.current, 1);
  EXPECT_EQ(read.entries[1].name, u"sit");
  EXPECT_TRUE(prompter.Calls().empty());
}

TEST_F(PoseBasePose, FailedWriteIsReported) {
  TempDir dir;
  project.project.folder = TextFromPath(dir / "missing") + u"/";
  project.project.DEFPOSINI = u"defpos.ini";
  EXPECT_FALSE(ChooseBasePose(context, 0));
  const auto calls = prompter.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].icon, PromptIcon::kError);
  EXPECT_EQ(calls[0].text, LoadText(TextId::kFileSaveFailed));
}

// --- selection ---

using PoseSelection = PoseFixture;

TEST_F(PoseSelection, SelectAllTakesEnabledSlidersOnly) {
  SelectAllSliders(context);
  EXPECT_TRUE(SliderSelected(project.sliders[kWaist]));
  EXPECT_FALSE(SliderSelected(project.sliders[kHead]));
  EXPECT_EQ(views.events, std::vector<std::string>{"repaint pose"});
  ClearSliderSelection(project.sliders);
  EXPECT_FALSE(AnyEnabledSliderSelected(project.sliders));
}

TEST_F(PoseSelection, RectangleSelectsOverlappingBodiesIncludingDisabled) {
  const SliderBodySize size{100, 20, 40};   // body 120 wide, 20 high around y
  project.sliders[kWaist].pos = {10, 100};  // x 10..130, y 90..110
  project.sliders[kHead].pos = {10, 200};   // disabled: y 190..210
  project.sliders[kRightArm].pos = {130, 100};
  for (SliderDef& slider : project.sliders) {
    if (&slider != &project.sliders[kWaist] && &slider != &project.sliders[kHead] &&
        &slider != &project.sliders[kRightArm]) {
      slider.pos = {1000, 1000};
    }
  }
  SelectSlidersInRect(project.sliders, 0, 105, 130, 195, size);
  EXPECT_TRUE(SliderSelected(project.sliders[kWaist]));
  EXPECT_TRUE(SliderSelected(project.sliders[kHead]));
  EXPECT_FALSE(SliderSelected(project.sliders[kRightArm]));  // only touches at x 130

  ClearSliderSelection(project.sliders);
  SelectSlidersInRect(project.sliders, 0, 110, 500, 190, size);  // touches both, overlaps none
  EXPECT_FALSE(SliderSelected(project.sliders[kWaist]));
  EXPECT_FALSE(SliderSelected(project.sliders[kHead]));
}

TEST_F(PoseSelection, DisplayInversionNeedsAnEnabledSelectedSlider) {
  Select({kHead});
  ToggleDisplayInversion(context);
  EXPECT_EQ(project.sliders[kHead].flags1 & SliderFlag1::kInverted, 0u);
  EXPECT_TRUE(views.events.empty());

  Select({kWaist});
  ToggleDisplayInversion(context);
  EXPECT_NE(project.sliders[kHead].flags1 & SliderFlag1::kInverted, 0u);
  EXPECT_NE(project.sliders[kWaist].flags1 & SliderFlag1::kInverted, 0u);
  EXPECT_EQ(project.sliders[kRightArm].flags1 & SliderFlag1::kInverted, 0u);
  ToggleDisplayInversion(context);
  EXPECT_EQ(project.sliders[kWaist].flags1 & SliderFlag1::kInverted, 0u);
}

// --- wheel ---

using PoseWheel = PoseFixture;

TEST_F(PoseWheel, StepSnapsRelativeToBaseValue) {
  SetValue(kRightArm, 45);
  Select({kRightArm});
  StepSelectedSliders(context, 1, {});
  EXPECT_EQ(Value(kRightArm), 70);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].second, kSliderChangeTime);
  EXPECT_EQ(undo.snapshots, std::vector<int>{70});
  StepSelectedSliders(context, -1, {});
  EXPECT_EQ(Value(kRightArm), 40);
}

TEST_F(PoseWheel, CtrlStepsBySixteenthOfStepAndShiftByTenSteps) {
  SetValue(kRightArm, 45);
  Select({kRightArm});
  StepSelectedSliders(context, 1, {.shift = false, .ctrl = true});
  EXPECT_EQ(Value(kRightArm), 46);
  StepSelectedSliders(context, 1, {.shift = true, .ctrl = false});
  EXPECT_EQ(Value(kRightArm), 310);  // 346 snapped to 10 + 300 x 1

  // Step 10 / 16 is 0: one count in the wheel's direction.
  ClearSliderSelection(project.sliders);
  Select({kAbsolute});
  SetValue(kAbsolute, 5);
  StepSelectedSliders(context, -1, {.shift = false, .ctrl = true});
  EXPECT_EQ(Value(kAbsolute), 4);
}

TEST_F(PoseWheel, DisplayInversionStepsTheOtherWay) {
  SetValue(kRightArm, 45);
  project.sliders[kRightArm].flags1 |= SliderFlag1::kInverted;
  Select({kRightArm});
  StepSelectedSliders(context, 1, {});
  EXPECT_EQ(Value(kRightArm), 10);  // 15 snapped toward the base value
}

TEST_F(PoseWheel, ShiftCtrlStepsTheCompanionAndSkipsOthers) {
  SetValue(kRightLegTorque, 20);
  Select({kRightLeg, kWaist});
  SetValue(kWaist, 520);
  StepSelectedSliders(context, 1, {.shift = true, .ctrl = true});
  EXPECT_EQ(Value(kRightLegTorque), 25);  // 27 snapped to base 11 + 2 x 7
  EXPECT_EQ(Value(kRightLeg), 300);
  EXPECT_EQ(Value(kWaist), 520);

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
  SetValue(kRightArm, 1000);
  SetValue(kHead, 0);
  StepSelectedSliders(context, -1, {});
  EXPECT_EQ(Value(kWaist), 495);
  EXPECT_EQ(Value(kRightArm), -500);
  EXPECT_EQ(Value(kHead), 0);
  StepSelectedSliders(context, 1, {});
  StepSelectedSliders(context, 1, {});
  EXPECT_EQ(Value(kRightArm), 2000);  // clamped
  EXPECT_EQ(undo.snapshots.size(), 3u);
}

}  // namespace
}  // namespace gestalon::core

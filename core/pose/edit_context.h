#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>

#include "motion/block_factory.h"
#include "motion/motion_document.h"
#include "project/project_loader.h"
#include "ui_port/prompter.h"
#include "ui_port/view_notifier.h"

namespace gestalon::core {

// Transition times (board steps) of stored poses.
inline constexpr std::uint16_t kSliderChangeTime = 18;  // one slider: drag, spin, wheel, check box
inline constexpr std::uint16_t kPoseCommandTime = 36;   // paste, left/right copy, mirror, capture
inline constexpr std::uint16_t kBasePoseTime = 90;      // applying a base pose
// StorePose time that keeps the last transition time.
inline constexpr std::uint32_t kKeepLastTime = 0x10000;

// Joint values copied in the pose area: the pose's time, slots and servo mask, and which sliders
// were copied (bit k = slider k).
struct PoseClipboard {
  MotionBlock pose;
  std::bitset<kSliderCount> copyMask;
};

// Blocks copied in the motion area. Links among the copies point at copies; the copies move by a
// fifth of their size on every paste.
struct BlockClipboard {
  MotionDocument blocks;
  std::int32_t documentCount = 0;  // the document's block count at the time of the copy
};

// Takes an undo snapshot of the motion after a change (implemented by the undo history).
class UndoRecorder {
 public:
  virtual ~UndoRecorder() = default;
  virtual void RecordUndo() = 0;
};

// The editor's own state besides the project and the motion; one per editing session.
struct EditState {
  std::uint16_t lastTransitionTime = kSliderChangeTime;  // of the last stored pose
  PoseClipboard poseClipboard;
  BlockClipboard blockClipboard;
  // Motion-area point (content coordinates) where its context menu was last opened: new pose
  // blocks go there, imports move it by (12, 12) first.
  BlockPosition insertionPoint{};
  // Playback override in percent (1..999): the toolbar spin's position, 100 without the spin.
  std::int32_t overridePercent = 100;
  // Motion-area canvas height (4096, or less when its back buffer had to shrink), the motion
  // area's font height and client height (for laying out a new motion).
  std::int32_t canvasHeight = 4096;
  NewMotionLayout motionLayout{};
  // The main window title without the modified mark " *".
  std::u16string title;
};

// What every editing operation works on. Everything referenced must outlive the operations; all
// of them run on the user-interface thread.
struct EditContext {
  // Sliders, base poses (with the current base pose number), value offsets (with the current
  // wheel offset choice), system settings.
  LoadedProject& project;
  // The open motion; its `current` block is the pose being edited (the pose area's CurrentPose).
  MotionDocument& document;
  // The live SystemFlags word (shared with the board workers): 0x1 online, 0x400 modified,
  // 0x80000 base pose for selected sliders only.
  std::atomic<std::uint32_t>& systemFlags;
  EditState& state;
  // Hands a pose to the online connection: copy into OutgoingPose with `time`, then set the pose
  // pending flag. Empty: nothing is sent.
  std::function<void(const MotionBlock& pose, std::uint16_t time)> handOverPose{};
  UndoRecorder* undo = nullptr;   // null: no undo steps
  ViewNotifier* views = nullptr;  // null: no repaints
  Prompter* prompter = nullptr;   // null: no messages, questions answered No / Cancel
};

// The current pose block, or null.
inline MotionBlock* CurrentPose(const EditContext& context) {
  return context.document.current;
}

// Requests towards the views and the undo history; each does nothing without its port.
void RepaintPane(const EditContext& context, Pane pane);
void RelayoutPane(const EditContext& context, Pane pane);
void RecordUndoStep(const EditContext& context);

// Sets the modified bit 0x400; when it was clear, the title gets " *" and the menu check marks
// are refreshed.
void MarkModified(EditContext& context);
// Title "<robot> -Gestalon ...-  [<motion>]" for the motion file `motionPath` (empty: a new
// motion); clears the modified bit and refreshes the menu check marks.
void UpdateTitle(EditContext& context, std::u16string_view motionPath);

}  // namespace gestalon::core

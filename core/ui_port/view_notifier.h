#pragma once

#include <string_view>

namespace gestalon::core {

enum class Pane { kPose, kMotion };

// Requests from core to the views. May be called from worker threads; the front end carries
// them out on the user-interface thread.
class ViewNotifier {
 public:
  virtual ~ViewNotifier() = default;
  virtual void Repaint(Pane pane) = 0;
  // Recompute the pane's layout, then repaint it.
  virtual void Relayout(Pane pane) = 0;
  virtual void SetTitle(std::u16string_view title) = 0;
  // Menu check marks and toolbar pressed states follow the flags again.
  virtual void RefreshMenuChecks() = 0;
  // While a motion plays, commands that would disturb it are disabled.
  virtual void SetPlaybackLock(bool playing) = 0;
  // Undo and Redo in the menu and on the toolbar are enabled exactly as given.
  virtual void SetUndoState(bool canUndo, bool canRedo) = 0;
  // Scroll the motion area so that the rectangle (content coordinates) is in view.
  virtual void ScrollIntoView(int left, int top, int right, int bottom) = 0;
};

}  // namespace gestalon::core

#pragma once

#include <QBasicTimer>
#include <QPointer>
#include <QWidget>

namespace gestalon::ui {

// Wheel deltas (120 per notch) turned into whole notches; the remainder waits for the next event.
class WheelAccumulator {
 public:
  // Adds a delta and returns the whole notches it completes (signed, truncated toward zero).
  int Add(int delta);
  int Remainder() const { return remainder_; }

 private:
  int remainder_ = 0;
};

// Share of the width given to the left pane when the split line is dragged to `x`: the cursor
// clamped into the window, then limited to 5 %..95 %.
double SplitRatioAt(int x, int width);

// The main window's client area: the pose area left and the motion area right of a split line
// that can be dragged, and collapsed to 95 % (and back) by a double click in an animation. Wheel
// events the panes leave alone arrive here and go out as whole notches for the pane under the
// cursor.
class SplitPane : public QWidget {
  Q_OBJECT

 public:
  SplitPane(QWidget* left, QWidget* right, QWidget* parent = nullptr);

  // The split ratio (stored with the slider definitions) and the ratio shown now, which follows
  // it in the collapse animation.
  double Ratio() const { return ratio_; }
  double DisplayedRatio() const { return displayed_; }
  void SetRatio(double ratio);
  bool Collapsed() const { return collapsed_; }
  void SetCollapsed(bool collapsed);
  // x of the split line in this widget.
  int SplitX() const;
  // True when `x` (this widget's coordinates) lies over the right pane.
  bool OverRightPane(int x) const;
  // Inverts the collapsed state and animates the split line towards 95 % or back.
  void ToggleCollapsed();
  // While locked (a motion plays) the wheel does nothing.
  void SetWheelLocked(bool locked) { wheelLocked_ = locked; }

 Q_SIGNALS:
  void wheelNotches(int notches, Qt::KeyboardModifiers modifiers, bool overRightPane);
  // A double click on the split line; the owner decides whether it toggles (ToggleCollapsed).
  void doubleClicked();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void LayoutPanes();
  bool NearSplit(int x) const;

  QPointer<QWidget> left_;
  QPointer<QWidget> right_;
  double ratio_ = 0.6;
  double displayed_ = 0.6;
  bool collapsed_ = false;
  bool dragging_ = false;
  bool wheelLocked_ = false;
  WheelAccumulator wheel_;
  QBasicTimer animation_;
};

}  // namespace gestalon::ui

#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>

#include "pose_area/pose_area_layout.h"

class QPainter;

namespace gestalon::ui {

class EditorSession;

// The pose area: one horizontal slider per enabled pose slider, drawn from the skin images at
// the positions of the slider definitions. Mouse input becomes value changes of the current pose
// (knob drag, spin buttons, servo check boxes), slider selection (click, Ctrl+click, rubber band,
// right click) and slider moves (Shift-drag). Wheel events are left to the main window, which
// delivers whole notches through StepWheel.
//
// Drawing goes to a back buffer; a paint redraws only the sliders whose value, robot reading or
// flags changed, unless a full re-layout was requested. User-interface thread only.
class PoseArea : public QWidget {
  Q_OBJECT

 public:
  explicit PoseArea(EditorSession& session, QWidget* parent = nullptr);

  // Redraw everything (background included) at the next paint, taking the skin images and the
  // slider definitions afresh; then repaint.
  void RequestRelayout();
  // `notches` wheel notches over the pose area; only the sign counts. Ignored while locked.
  void StepWheel(int notches, Qt::KeyboardModifiers modifiers);
  // While locked (the playback lock of the menus), and whenever the session's motion is locked,
  // mouse and wheel input are ignored; locking ends any drag.
  void SetInputLocked(bool locked);
  // Leaves any drag, rubber band or spin repeat; a knob drag that changed the pose becomes one
  // undo step.
  void EndInteraction();

  // Paints the whole area (background and every enabled slider at the current values) into
  // `painter` without touching the back buffer. The painter should work on a QImage of the
  // widget's size: the selection and the ghost knob use raster operations. Takes the session
  // lock for the values, so the caller must not hold it.
  void PaintAll(QPainter& painter);

  // The room the sliders are laid out in, from this widget's top left: across to the right edge
  // of the main window's client area (the window this widget belongs to) and down to this
  // widget's bottom. Sliders beyond the split line are hidden by the motion area, not moved.
  QSize LayoutBounds() const;

  // The spin button repeat: the first repeat after kFirstRepeatMs, the next ones every
  // kRepeatMs. The timer is the child named "spinRepeat".
  static constexpr int kFirstRepeatMs = 500;
  static constexpr int kRepeatMs = 50;

 Q_SIGNALS:
  // A right click, after its slider (if any) became the only selection; global coordinates.
  void contextMenuRequested(const QPoint& globalPos);
  // A double click whose first click hit no slider.
  void emptyAreaDoubleClicked();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  enum class Interaction { kIdle, kKnobDrag, kRubberReplace, kMoving, kRubberAdd, kSpinRepeat };

  // What a slider looked like when it was last drawn into the back buffer.
  struct Drawn {
    bool valid = false;
    std::int16_t value = 0;
    std::int16_t reading = 0;
    std::uint32_t flags1 = 0;
    bool servoEnabled = false;
    std::int16_t companionValue = 0;  // shown beside a servo channel's check box
    QRect extent;                     // everything the slider painted
  };
  // A slider's font, made again when its font record changes.
  struct SliderFont {
    bool valid = false;
    core::FontSpec record;
    QFont font;
  };
  struct SkinImages {
    QImage wallpaper, track, knob, spin, marker, check;
  };

  PoseSnapshot TakeSnapshot();
  // Takes a snapshot and lays the sliders out for the current size.
  void RefreshLayout();
  void LoadSkins();
  const QFont& FontOf(int k);
  void UpdateBackBuffer();
  void PaintBackground(QPainter& painter, const QRect& rect) const;
  // Draws slider `k` as laid out (a null painter only measures) and returns the rectangle that
  // everything it draws covers.
  QRect DrawSlider(QPainter* painter, int k);
  void LeftPress(QPoint point, Qt::KeyboardModifiers modifiers);
  void RightPress(QMouseEvent* event);
  void DragKnob(QPoint point, Qt::KeyboardModifiers modifiers);
  void MoveSelectedSliders(QPoint point);
  void SelectByRubberBand(QPoint point, bool replace);
  void SpinOnce();
  void ClearSelection();
  void SelectOnly(int k);
  bool InputLocked() const;
  void ShowBackBufferFailure();

  EditorSession& session_;
  PoseSkinMetrics metrics_;
  SkinImages skins_;
  std::array<SliderFont, core::kSliderCount> fonts_;
  PoseSnapshot snapshot_;
  PoseLayout layout_;
  std::array<Drawn, core::kSliderCount> drawn_;
  QImage backBuffer_;
  bool fullRelayout_ = true;
  QSize lastBounds_;
  bool lastOnline_ = false;
  std::uint32_t lastWallpaperFlag_ = 0;
  int lastBasePose_ = -2;
  bool bufferFailureShown_ = false;

  Interaction state_ = Interaction::kIdle;
  int activeSlider_ = -1;  // dragged slider, -1 none
  int dragOffset_ = 0;     // pointer x relative to the knob centre when the drag began
  bool dragChanged_ = false;
  SpinStep spin_;
  int repeatInterval_ = kFirstRepeatMs;
  QTimer spinTimer_;
  QPoint anchor_;       // rubber band corner, or the last point of a Shift-move
  QPoint rubberEnd_;    // the other rubber band corner
  QPoint lastPointer_;  // last mouse position seen, to retire a stale tooltip
  bool lastPressHitNothing_ = false;
  bool inputLocked_ = false;
};

}  // namespace gestalon::ui

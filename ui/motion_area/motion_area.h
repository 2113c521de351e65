#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QMetaType>
#include <QPoint>
#include <QTimer>
#include <cstdint>
#include <memory>

namespace gestalon::core {
struct MotionBlock;
}
Q_DECLARE_OPAQUE_POINTER(gestalon::core::MotionBlock*)
Q_DECLARE_METATYPE(gestalon::core::MotionBlock*)

namespace gestalon::ui {

class EditorSession;
class FlowchartPainter;
struct ArrowRoute;

// The right-hand pane of the main window: draws the flowchart of the session's motion over a
// 4096 x 4096 content area and turns mouse input into editing: selecting (click, Ctrl+click,
// rubber band), moving the selected blocks (Shift snaps to the grid), relinking arrows (Alt-drag
// from a block or dragging an arrow end; Alt+Shift drags the red link of a branch), dragging an
// arrow's routing segment, the + / - time buttons of pose blocks, panning with the middle
// button. Every change records an undo step.
//
// Each paint lays out all blocks (labels and extents, kept in the blocks) and draws the visible
// part; it holds the session mutex, since playback marks blocks from its own thread. Wheel
// events are left to the main window, which hands the notches back through StepWheel.
class MotionArea : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Mouse modes; the numbers are those of the hit kinds that start them.
  enum class Mode {
    kIdle = 0,
    kBand = 2,
    kMove = 4,
    kTimePlus = 6,
    kTimeMinus = 7,
    kBlueRoute = 9,
    kRedRoute = 10,
    kBlueEnd = 11,
    kRedEnd = 12,
    kPan = 13,
  };

  explicit MotionArea(EditorSession& session, QWidget* parent = nullptr);
  ~MotionArea() override;

  // Schedules a paint of the whole visible part (layout included).
  void RequestFullRedraw();
  // Scrolls so that a block at (left, top) is in view: a left edge outside the horizontal page
  // scrolls to left - 20, likewise top; never below 0. Right and bottom are not used.
  void ScrollIntoView(int left, int top, int right, int bottom);
  // Wheel notches routed back by the main window (n > 0 away from the user). The step is n, x5
  // with exactly Ctrl, x10 with exactly Shift. With selected pose blocks and no drag going on,
  // their times change by the step (kept in 1..65535; one undo step when any changed); without,
  // the area scrolls one line (16 pixels) up for n > 0 and down for n < 0.
  void StepWheel(int notches, Qt::KeyboardModifiers modifiers);
  // While locked (the playback lock of the menus), and whenever the session's motion is locked,
  // clicks, drags and the wheel do not edit (panning and scrolling work). Locking ends a drag in
  // progress.
  void SetInputLocked(bool locked);
  // Ends a drag or a held time button in progress as its release would (panning goes on).
  void EndDrag();
  // Lays out and paints the content at the current scroll position into an image of `size`.
  QImage RenderForBenchmark(QSize size);

  Mode MouseMode() const { return mode_; }
  // The content point under a viewport point.
  QPoint ContentPoint(QPoint viewportPoint) const;
  QPoint ScrollPosition() const;

 Q_SIGNALS:
  // Right click: the insertion point is set (content coordinates) and the block under the click,
  // if any, is the only selected one.
  void contextMenuRequested(const QPoint& globalPos);
  // Double click where the press hit nothing.
  void emptyAreaDoubleClicked();
  // Double click on a block's body.
  void blockPropertiesRequested(gestalon::core::MotionBlock* block);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void LeftPress(QPoint content, Qt::KeyboardModifiers modifiers);
  void RightPress(QPoint content, QPoint globalPos);
  void StartRelink(core::MotionBlock& block, bool red);
  void StartRouteDrag(core::MotionBlock& block, bool red);
  void MoveSelection(QPoint content, bool snap);
  void DragRoute(QPoint content);
  void DragLinkEnd(QPoint content);
  void MarkBand(QPoint content);
  void FinishDrag();
  void RepeatTimeStep();
  // The block the drag started on, null when the document no longer has it.
  core::MotionBlock* DragBlock() const;
  void LayOutAndPaint(QPainter& painter, const QRect& visible, bool updateScrollBars);
  // Marks a block whose values changed for redraw; the pose area shows the current one.
  void Changed(core::MotionBlock& block);
  bool OldArrows() const;
  bool InputLocked() const;

  EditorSession& session_;
  std::unique_ptr<FlowchartPainter> painter_;
  Mode mode_ = Mode::kIdle;
  bool inputLocked_ = false;
  QPoint anchor_;  // content point of the press, then of the last move
  QPoint cursor_;  // content point of the last move (rubber band end)
  core::MotionBlock* dragBlock_ = nullptr;
  int dragIndex_ = -1;
  bool moved_ = false;
  std::unique_ptr<ArrowRoute> dragRoute_;  // a dragged segment's route as it was at the press
  // What a relink or segment drag started from, to tell whether it changed anything.
  core::MotionBlock* linkBefore_ = nullptr;
  std::int32_t offsetBefore_ = 0;
  int timeDelta_ = 0;
  int repeatInterval_ = 0;  // ms until the next step of a held time button
  QTimer repeatTimer_;
  QPoint panStart_;  // viewport point
  QPoint panStartScroll_;
  bool pressOnEmpty_ = false;
  QImage renderImage_;  // of RenderForBenchmark
};

}  // namespace gestalon::ui

#include "motion_area/motion_area.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cstdint>
#include <mutex>

#include "main_window/editor_session.h"
#include "motion_area/arrow_router.h"
#include "motion_area/motion_area_painter.h"
#include "pose/edit_context.h"
#include "project/system_settings.h"

namespace gestalon::ui {
namespace {

constexpr int kCanvasHeight = 4096;
constexpr int kLineStep = 16;           // one scroll line in pixels
constexpr int kScrollIntoViewGap = 20;  // room left before a block scrolled into view

}  // namespace

MotionArea::MotionArea(EditorSession& session, QWidget* parent)
    : QAbstractScrollArea(parent),
      session_(session),
      painter_(std::make_unique<FlowchartPainter>()),
      dragRoute_(std::make_unique<ArrowRoute>()),
      repeatTimer_(this) {
  setObjectName(QStringLiteral("motwindow"));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  horizontalScrollBar()->setSingleStep(kLineStep);
  verticalScrollBar()->setSingleStep(kLineStep);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  session_.state.canvasHeight = kCanvasHeight;
  session_.state.motionLayout.fontHeight = session_.project.system.motionAreaFont.height;

  repeatTimer_.setObjectName(QStringLiteral("timeButtonRepeat"));
  repeatTimer_.setSingleShot(true);
  connect(&repeatTimer_, &QTimer::timeout, this, &MotionArea::RepeatTimeStep);
}

MotionArea::~MotionArea() = default;

void MotionArea::RequestFullRedraw() {
  viewport()->update();
}

QPoint MotionArea::ScrollPosition() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QPoint MotionArea::ContentPoint(QPoint viewportPoint) const {
  return viewportPoint + ScrollPosition();
}

bool MotionArea::OldArrows() const {
  return (session_.systemFlags.load() & core::SystemFlag::kOldArrows) != 0;
}

void MotionArea::ScrollIntoView(int left, int top, int /*right*/, int /*bottom*/) {
  const QPoint scroll = ScrollPosition();
  const QSize page = viewport()->size();
  const auto target = [](int edge, int position, int pageSize) {
    if (edge < position || edge > position + pageSize) {
      return std::max(edge - kScrollIntoViewGap, 0);
    }
    return position;
  };
  const int x = target(left, scroll.x(), page.width());
  const int y = target(top, scroll.y(), page.height());
  // The ranges follow the blocks only at the next paint; a block just placed may lie beyond them.
  QScrollBar* horizontal = horizontalScrollBar();
  QScrollBar* vertical = verticalScrollBar();
  horizontal->setMaximum(std::max(horizontal->maximum(), x));
  vertical->setMaximum(std::max(vertical->maximum(), y));
  horizontal->setValue(x);
  vertical->setValue(y);
  if (x != scroll.x() || y != scroll.y()) {
    RequestFullRedraw();
  }
}

void MotionArea::StepWheel(int notches, Qt::KeyboardModifiers modifiers) {
  std::int64_t step = notches;
  if (modifiers == Qt::ControlModifier) {
    step *= 5;
  } else if (modifiers == Qt::ShiftModifier) {
    step *= 10;
  }
  bool anyPose = false;
  bool changed = false;
  if (mode_ == Mode::kIdle && !InputLocked()) {
    for (core::MotionBlock& block : session_.motion.document) {
      if (!block.Is(core::BlockKind::Pose) || !block.Selected()) {
        continue;
      }
      anyPose = true;
      const auto time =
          static_cast<std::uint16_t>(std::clamp<std::int64_t>(block.time + step, 1, 65535));
      if (time != block.time) {
        block.time = time;
        Changed(block);
        changed = true;
      }
    }
  }
  if (changed) {
    core::RecordUndoStep(session_.context);
    viewport()->update();
  } else if (!anyPose && notches != 0) {
    QScrollBar* vertical = verticalScrollBar();
    vertical->setValue(vertical->value() + (notches > 0 ? -kLineStep : kLineStep));
  }
}

void MotionArea::SetInputLocked(bool locked) {
  inputLocked_ = locked;
  if (locked) {
    EndDrag();
  }
}

void MotionArea::EndDrag() {
  if (mode_ != Mode::kIdle && mode_ != Mode::kPan) {
    FinishDrag();
  }
}

bool MotionArea::InputLocked() const {
  return inputLocked_ || session_.MotionLocked();
}

void MotionArea::Changed(core::MotionBlock& block) {
  block.selFlags |= core::kBlockRedraw;
  if (&block == session_.motion.document.current) {
    core::RepaintPane(session_.context, core::Pane::kPose);
  }
}

void MotionArea::LayOutAndPaint(QPainter& painter, const QRect& area, bool updateScrollBars) {
  std::lock_guard lock(session_.sessionMutex);
  core::MotionDocument& document = session_.motion.document;
  session_.state.motionLayout.fontHeight = session_.project.system.motionAreaFont.height;
  const QPoint largest = painter_->LayOut(document, session_.project, session_.systemFlags.load(),
                                          session_.state.canvasHeight);
  QRect visible = area;
  if (updateScrollBars) {
    const QSize client = viewport()->size();
    const int width = std::max(largest.x() + kScrollMargin, client.width());
    const int height = std::max(largest.y() + kScrollMargin, client.height());
    horizontalScrollBar()->setRange(0, width - client.width());
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setRange(0, height - client.height());
    verticalScrollBar()->setPageStep(client.height());
    visible = QRect(ScrollPosition(), client);
  }
  painter.translate(-visible.topLeft());
  const QRect band = QRect(anchor_, cursor_).normalized();
  painter_->Paint(painter, document, visible, mode_ == Mode::kBand ? &band : nullptr);
}

void MotionArea::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  LayOutAndPaint(painter, QRect(ScrollPosition(), viewport()->size()), true);
}

QImage MotionArea::RenderForBenchmark(QSize size) {
  // The image is kept for the next call: a caller that let go of it saves a new allocation.
  if (renderImage_.size() != size) {
    renderImage_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  }
  {
    QPainter painter(&renderImage_);
    LayOutAndPaint(painter, QRect(ScrollPosition(), size), false);
  }
  return renderImage_;
}

void MotionArea::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  session_.state.motionLayout.clientHeight = viewport()->height();
  RequestFullRedraw();
}

void MotionArea::scrollContentsBy(int /*dx*/, int /*dy*/) {
  RequestFullRedraw();
}

void MotionArea::wheelEvent(QWheelEvent* event) {
  // The main window turns wheel turns into notches and calls StepWheel.
  event->ignore();
}

}  // namespace gestalon::ui

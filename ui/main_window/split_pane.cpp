#include "main_window/split_pane.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace gestalon::ui {
namespace {

constexpr int kWheelDelta = 120;
constexpr int kGrabDistance = 2;
constexpr double kMinRatio = 0.05;
constexpr double kMaxRatio = 0.95;
constexpr double kCollapsedRatio = 0.95;
constexpr int kAnimationStepMs = 3;
constexpr double kAnimationDone = 0.0001;

}  // namespace

int WheelAccumulator::Add(int delta) {
  remainder_ += delta;
  const int notches = remainder_ / kWheelDelta;
  remainder_ %= kWheelDelta;
  return notches;
}

double SplitRatioAt(int x, int width) {
  if (width <= 0) {
    return kMinRatio;
  }
  const double ratio = static_cast<double>(std::clamp(x, 0, width)) / width;
  return std::clamp(ratio, kMinRatio, kMaxRatio);
}

SplitPane::SplitPane(QWidget* left, QWidget* right, QWidget* parent)
    : QWidget(parent), left_(left), right_(right) {
  left_->setParent(this);
  right_->setParent(this);
  setMouseTracking(true);
  setMinimumSize(200, 150);
}

void SplitPane::SetRatio(double ratio) {
  ratio_ = displayed_ = std::clamp(ratio, kMinRatio, kMaxRatio);
  LayoutPanes();
}

void SplitPane::SetCollapsed(bool collapsed) {
  collapsed_ = collapsed;
  displayed_ = collapsed_ ? kCollapsedRatio : ratio_;
  LayoutPanes();
}

int SplitPane::SplitX() const {
  return static_cast<int>(width() * displayed_);
}

bool SplitPane::OverRightPane(int x) const {
  return x >= width() * displayed_;
}

bool SplitPane::NearSplit(int x) const {
  return std::abs(x - SplitX()) <= kGrabDistance;
}

void SplitPane::LayoutPanes() {
  const int split = SplitX();
  left_->setGeometry(0, 0, std::max(split - 1, 0), height());
  right_->setGeometry(split + 1, 0, std::max(width() - split - 1, 0), height());
}

void SplitPane::ToggleCollapsed() {
  collapsed_ = !collapsed_;
  animation_.start(kAnimationStepMs, this);
}

void SplitPane::resizeEvent(QResizeEvent*) {
  LayoutPanes();
}

void SplitPane::mouseMoveEvent(QMouseEvent* event) {
  const int x = static_cast<int>(event->position().x());
  setCursor(dragging_ || NearSplit(x) ? Qt::SplitHCursor : Qt::ArrowCursor);
  if (dragging_) {
    collapsed_ = false;
    animation_.stop();
    ratio_ = displayed_ = SplitRatioAt(x, width());
    LayoutPanes();
  }
}

void SplitPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && NearSplit(static_cast<int>(event->position().x()))) {
    dragging_ = true;
    setCursor(Qt::SplitHCursor);
  }
}

void SplitPane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = false;
  }
}

void SplitPane::mouseDoubleClickEvent(QMouseEvent*) {
  Q_EMIT doubleClicked();
}

void SplitPane::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (wheelLocked_) {
    return;
  }
  const int notches = wheel_.Add(event->angleDelta().y());
  if (notches != 0) {
    const QPointF local = mapFromGlobal(event->globalPosition());
    Q_EMIT wheelNotches(notches, event->modifiers(), OverRightPane(static_cast<int>(local.x())));
  }
}

void SplitPane::timerEvent(QTimerEvent* event) {
  if (event->timerId() != animation_.timerId()) {
    QWidget::timerEvent(event);
    return;
  }
  // The line moves half of the remaining way each step.
  const double target = collapsed_ ? kCollapsedRatio : ratio_;
  const double step = (displayed_ - target) * 0.5;
  if (std::abs(step) < kAnimationDone) {
    displayed_ = target;
    animation_.stop();
  } else {
    displayed_ -= step;
  }
  LayoutPanes();
}

}  // namespace gestalon::ui

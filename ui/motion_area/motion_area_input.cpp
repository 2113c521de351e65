// Mouse input of the motion area.
//

#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cstdint>

#include "flowchart/block_links.h"
#include "flowchart/block_selection.h"
#include "flowchart/current_block.h"
#include "main_window/editor_session.h"
#include "motion_area/arrow_router.h"
#include "motion_area/motion_area.h"
#include "pose/edit_context.h"

namespace gestalon::ui {
namespace {

using core::MotionBlock;

constexpr int kFirstRepeatMs = 500;
constexpr int kRepeatMs = 50;

Point ToPoint(QPoint p) {
  return {p.x(), p.y()};
}

// `value` rounded down to a multiple of `grid` (grids below 1 do not snap).
int SnapDown(int value, int grid) {
  if (grid <= 1) {
    return value;
  }
  const int remainder = ((value % grid) + grid) % grid;
  return value - remainder;
}

}  // namespace

MotionBlock* MotionArea::DragBlock() const {
  if (!dragBlock_ || session_.motion.document.At(dragIndex_) != dragBlock_) {
    return nullptr;
  }
  return dragBlock_;
}

void MotionArea::mousePressEvent(QMouseEvent* event) {
  const QPoint viewportPoint = event->position().toPoint();
  const QPoint content = ContentPoint(viewportPoint);
  switch (event->button()) {
    case Qt::LeftButton:
      if (!InputLocked() && mode_ == Mode::kIdle) {
        LeftPress(content, event->modifiers());
      }
      break;
    case Qt::RightButton:
      if (!InputLocked() && mode_ == Mode::kIdle) {
        RightPress(content, event->globalPosition().toPoint());
      }
      break;
    case Qt::MiddleButton:
      if (mode_ == Mode::kIdle) {
        mode_ = Mode::kPan;
        panStart_ = viewportPoint;
        panStartScroll_ = ScrollPosition();
      }
      break;
    default:
      break;
  }
}

void MotionArea::LeftPress(QPoint content, Qt::KeyboardModifiers modifiers) {
  core::MotionDocument& document = session_.motion.document;
  mode_ = Mode::kIdle;
  pressOnEmpty_ = false;
  const Hit hit = HitTest(document, ToPoint(content), OldArrows());
  dragBlock_ = hit.block;
  dragIndex_ = hit.index;
  anchor_ = cursor_ = content;
  switch (hit.kind) {
    case HitKind::kBody:
      if (modifiers & Qt::AltModifier) {
        StartRelink(*hit.block, HasRedArrow(*hit.block) && (modifiers & Qt::ShiftModifier));
        break;
      }
      if (!(modifiers & Qt::ControlModifier) && !hit.block->Selected()) {
        core::ClearBlockSelection(document);
      }
      hit.block->selFlags |= core::kBlockSelected | core::kBlockRedraw;
      core::MakeCurrentByIndex(session_.context, hit.index);
      mode_ = Mode::kMove;
      moved_ = false;
      break;
    case HitKind::kTimePlus:
    case HitKind::kTimeMinus:
      mode_ = hit.kind == HitKind::kTimePlus ? Mode::kTimePlus : Mode::kTimeMinus;
      timeDelta_ = hit.kind == HitKind::kTimePlus ? 1 : -1;
      if (modifiers == Qt::ControlModifier) {
        timeDelta_ *= 5;
      } else if (modifiers == Qt::ShiftModifier) {
        timeDelta_ *= 10;
      }
      repeatInterval_ = kFirstRepeatMs;
      RepeatTimeStep();
      break;
    case HitKind::kBlueEnd:
    case HitKind::kRedEnd:
      StartRelink(*hit.block, hit.kind == HitKind::kRedEnd);
      break;
    case HitKind::kBlueRoute:
    case HitKind::kRedRoute:
      StartRouteDrag(*hit.block, hit.kind == HitKind::kRedRoute);
      break;
    default:
      mode_ = Mode::kBand;
      if (modifiers != Qt::ControlModifier) {
        core::ClearBlockSelection(document);
      }
      pressOnEmpty_ = true;
      break;
  }
  viewport()->update();
}

void MotionArea::StartRelink(MotionBlock& block, bool red) {
  mode_ = red ? Mode::kRedEnd : Mode::kBlueEnd;
  core::ClearBlockSelection(session_.motion.document);
  block.selFlags |= (red ? core::kBlockRedDrag : core::kBlockBlueDrag) | core::kBlockRedraw;
  block.rect[2] = anchor_.x();
  block.rect[3] = anchor_.y();
  linkBefore_ = red ? block.branch : block.next;
}

void MotionArea::StartRouteDrag(MotionBlock& block, bool red) {
  core::ClearBlockSelection(session_.motion.document);
  *dragRoute_ = RouteArrow(block, red ? ArrowColor::kRed : ArrowColor::kBlue, OldArrows());
  mode_ = red ? Mode::kRedRoute : Mode::kBlueRoute;
  block.selFlags |= (red ? core::kBlockRedDrag : core::kBlockBlueDrag) | core::kBlockRedraw;
  offsetBefore_ = red ? block.redarrow : block.bluearrow;
}

void MotionArea::RightPress(QPoint content, QPoint globalPos) {
  core::MotionDocument& document = session_.motion.document;
  if (MotionBlock* block = BlockAt(document, ToPoint(content))) {
    core::ClearBlockSelection(document);
    block->selFlags |= core::kBlockSelected | core::kBlockRedraw;
  }
  session_.state.insertionPoint = {content.x(), content.y()};
  viewport()->update();
  Q_EMIT contextMenuRequested(globalPos);
}

void MotionArea::RepeatTimeStep() {
  MotionBlock* block = DragBlock();
  if (!block || (mode_ != Mode::kTimePlus && mode_ != Mode::kTimeMinus)) {
    repeatTimer_.stop();
    return;
  }
  const auto time =
      static_cast<std::uint16_t>(std::clamp<std::int64_t>(block->time + timeDelta_, 1, 65535));
  if (time != block->time) {
    block->time = time;
    Changed(*block);
    core::RecordUndoStep(session_.context);
  }
  repeatTimer_.start(repeatInterval_);
  repeatInterval_ = kRepeatMs;
  viewport()->update();
}

void MotionArea::mouseMoveEvent(QMouseEvent* event) {
  const QPoint viewportPoint = event->position().toPoint();
  const QPoint content = ContentPoint(viewportPoint);
  switch (mode_) {
    case Mode::kBand:
      MarkBand(content);
      break;
    case Mode::kMove:
      MoveSelection(content,
                    event->modifiers() == Qt::ShiftModifier && event->buttons() == Qt::LeftButton);
      break;
    case Mode::kBlueRoute:
    case Mode::kRedRoute:
      DragRoute(content);
      break;
    case Mode::kBlueEnd:
    case Mode::kRedEnd:
      DragLinkEnd(content);
      break;
    case Mode::kPan: {
      const QPoint scroll = panStartScroll_ + (panStart_ - viewportPoint);
      horizontalScrollBar()->setValue(scroll.x());
      verticalScrollBar()->setValue(scroll.y());
      break;
    }
    default:
      return;
  }
  viewport()->update();
}

void MotionArea::MarkBand(QPoint content) {
  cursor_ = content;
  const QRect band = QRect(anchor_, content).normalized();
  const ui::Box box{band.left(), band.top(), band.right(), band.bottom()};
  for (MotionBlock& block : session_.motion.document) {
    const bool inside = BlockBox(block).Overlaps(box);
    const bool marked = (block.selFlags & core::kBlockInBand) != 0;
    if (inside != marked) {
      block.selFlags ^= core::kBlockInBand;
      block.selFlags |= core::kBlockRedraw;
    }
  }
}

void MotionArea::MoveSelection(QPoint content, bool snap) {
  const core::SystemSettings& settings = session_.project.system;
  int dx = content.x() - anchor_.x();
  int dy = content.y() - anchor_.y();
  if (snap) {
    dx = SnapDown(content.x(), settings.gridX) - SnapDown(anchor_.x(), settings.gridX);
    dy = SnapDown(content.y(), settings.gridY) - SnapDown(anchor_.y(), settings.gridY);
  }
  for (MotionBlock& block : session_.motion.document) {
    if (!block.Selected()) {
      continue;
    }
    const std::int32_t x = block.xpos;
    const std::int32_t y = block.ypos;
    if (snap) {
      core::MoveBlock(block, SnapDown(block.xpos, settings.gridX) - block.xpos,
                      SnapDown(block.ypos, settings.gridY) - block.ypos);
    }
    core::MoveBlock(block, dx, dy);
    // Blocks stop at the canvas origin.
    core::MoveBlock(block, std::max(0, -block.xpos), std::max(0, -block.ypos));
    if (block.xpos != x || block.ypos != y) {
      block.selFlags |= core::kBlockRedraw;
      moved_ = true;
    }
  }
  anchor_ = content;
}

void MotionArea::DragRoute(QPoint content) {
  MotionBlock* block = DragBlock();
  if (!block) {
    return;
  }
  const int offset = DraggedOffset(*dragRoute_, ToPoint(content));
  (mode_ == Mode::kRedRoute ? block->redarrow : block->bluearrow) = offset;
  block->selFlags |= core::kBlockRedraw;
}

void MotionArea::DragLinkEnd(QPoint content) {
  MotionBlock* block = DragBlock();
  if (!block) {
    return;
  }
  block->rect[2] = content.x();
  block->rect[3] = content.y();
  MotionBlock*& link = mode_ == Mode::kRedEnd ? block->branch : block->next;
  link = nullptr;
  MotionBlock* target = BlockAt(session_.motion.document, ToPoint(content));
  if (target && target != block && !target->Is(core::BlockKind::Start)) {
    link = target;
  }
  block->selFlags |= core::kBlockRedraw;
}

void MotionArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    if (mode_ == Mode::kPan) {
      mode_ = Mode::kIdle;
    }
    return;
  }
  if (event->button() == Qt::LeftButton && mode_ != Mode::kPan) {
    FinishDrag();
  }
}

void MotionArea::FinishDrag() {
  core::MotionDocument& document = session_.motion.document;
  MotionBlock* block = DragBlock();
  switch (mode_) {
    case Mode::kBand:
      for (MotionBlock& each : document) {
        if (each.selFlags & core::kBlockInBand) {
          each.selFlags =
              (each.selFlags & ~core::kBlockInBand) | core::kBlockSelected | core::kBlockRedraw;
        }
      }
      break;
    case Mode::kMove:
      if (moved_) {
        core::RecordUndoStep(session_.context);
      }
      break;
    case Mode::kBlueRoute:
    case Mode::kRedRoute:
    case Mode::kBlueEnd:
    case Mode::kRedEnd:
      if (block) {
        const bool red = mode_ == Mode::kRedRoute || mode_ == Mode::kRedEnd;
        block->selFlags =
            (block->selFlags & ~(core::kBlockBlueDrag | core::kBlockRedDrag)) | core::kBlockRedraw;
        const bool changed = (mode_ == Mode::kBlueRoute || mode_ == Mode::kRedRoute)
                                 ? (red ? block->redarrow : block->bluearrow) != offsetBefore_
                                 : (red ? block->branch : block->next) != linkBefore_;
        if (changed) {
          core::RecordUndoStep(session_.context);
        }
      }
      break;
    default:
      break;
  }
  mode_ = Mode::kIdle;
  dragBlock_ = nullptr;
  dragIndex_ = -1;
  repeatTimer_.stop();
  viewport()->update();
}

void MotionArea::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || InputLocked() || mode_ != Mode::kIdle) {
    return;
  }
  const QPoint content = ContentPoint(event->position().toPoint());
  const Hit hit = HitTest(session_.motion.document, ToPoint(content), OldArrows());
  if (hit.kind == HitKind::kBody) {
    Q_EMIT blockPropertiesRequested(hit.block);
    return;
  }
  if (pressOnEmpty_) {
    Q_EMIT emptyAreaDoubleClicked();
  }
  // The second click of the pair acts as a press of its own.
  LeftPress(content, event->modifiers());
}

}  // namespace gestalon::ui

#include "motion_area/motion_area_painter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QtMath>
#include <algorithm>

#include "project/system_settings.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::MotionBlock;

// Inner padding of a text line in a block; a block is two lines high (caption, label).
constexpr int kPad = 4;
constexpr int kLinePad = 8;
// Fixed fills: labels naming a file that was not found, interpolation change blocks.
const QColor kFileMissingFill(255, 160, 160);
const QColor kInterpChangeFill(34, 255, 34);
const QColor kCurrentMarker(255, 0, 0);
const QColor kTimeBarColor(255, 0, 0);
const QColor kInterpWaitColor(0, 0, 128);
// Indent of the hexagon's side points.
constexpr int kHexInset = 4;
// The "Y" of the boxed arrow marks has no string-table entry yet.
constexpr char16_t kArrowMarkYes[] = u"Y";
constexpr int kMarkSize = 10;
// Chevrons and circles are drawn centred on their point from images this far from their centre.
constexpr int kSpriteCentre = 6;
// Arrows shorter than this (between blocks that touch) carry no mark: it would cover the texts.
constexpr int kMinMarkedLength = 24;
constexpr int kHandleSize = 10;

QRect BlockRect(const MotionBlock& block) {
  return QRect(block.xpos, block.ypos, block.rect[0] - block.xpos, block.rect[1] - block.ypos);
}

enum class Shape { kRect, kCalcRound, kFileRound, kHexagon };

Shape ShapeOf(const MotionBlock& block) {
  switch (block.kind()) {
    case BlockKind::If:
    case BlockKind::PadIf:
      return Shape::kHexagon;
    case BlockKind::Calc:
      return Shape::kCalcRound;
    case BlockKind::FileRead:
    case BlockKind::FileWrite:
    case BlockKind::InterpChange:
      return Shape::kFileRound;
    default:
      return Shape::kRect;
  }
}

void DrawShape(QPainter& painter, Shape shape, const QRect& r) {
  switch (shape) {
    case Shape::kRect:
      painter.drawRect(r);
      break;
    case Shape::kCalcRound:  // corner ellipse 10 x 10
      painter.drawRoundedRect(r, 5, 5);
      break;
    case Shape::kFileRound:  // corner ellipse 50 x 13
      painter.drawRoundedRect(r, 25, 6.5);
      break;
    case Shape::kHexagon: {
      const int left = r.left();
      const int right = r.left() + r.width();
      const int top = r.top();
      const int bottom = r.top() + r.height();
      const int middle = top + r.height() / 2;
      const QPoint points[] = {
          {left + kHexInset, top},     {right - kHexInset, top},   {right, middle},
          {right - kHexInset, bottom}, {left + kHexInset, bottom}, {left, middle}};
      painter.drawPolygon(points, 6);
      break;
    }
  }
}

bool NamesFile(const MotionBlock& block) {
  switch (block.kind()) {
    case BlockKind::SubRoutine:
    case BlockKind::Sound:
    case BlockKind::FileRead:
    case BlockKind::FileWrite:
    case BlockKind::Cancel:
      return true;
    default:
      return false;
  }
}

QColor FillOf(const MotionBlock& block, const std::array<QColor, core::kMotionAreaColorCount>& c) {
  switch (block.kind()) {
    case BlockKind::Pose:
    case BlockKind::Wait:
      return c[AreaColor::kPoseBlock];
    case BlockKind::If:
    case BlockKind::PadIf:
      return c[AreaColor::kBranchBlock];
    case BlockKind::Calc:
    case BlockKind::Cancel:
      return c[AreaColor::kCalcBlock];
    case BlockKind::SubRoutine:
      return block.asJump ? c[AreaColor::kBranchBlock] : c[AreaColor::kStartBlock];
    case BlockKind::InterpChange:
      return kInterpChangeFill;
    case BlockKind::Comment:
      return c[AreaColor::kBackground];
    default:
      return c[AreaColor::kStartBlock];
  }
}

QRect Bounds(const ArrowRoute& route) {
  int left = route.points[0].x, right = left, top = route.points[0].y, bottom = top;
  for (int i = 1; i < route.pointCount; ++i) {
    const Point& p = route.points[static_cast<std::size_t>(i)];
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  return QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-8, -8, 8, 8);
}

// A transparent image of (width, height) logical pixels at the pixel ratio `ratio`.
QImage TransparentImage(int width, int height, qreal ratio) {
  QImage image(qCeil(width * ratio), qCeil(height * ratio), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

void FlowchartPainter::ApplyStyle(const core::SystemSettings& settings, std::uint32_t systemFlags) {
  bool changed = false;
  for (std::size_t i = 0; i < colors_.size(); ++i) {
    const QColor color = ToQColor(settings.motionAreaColors[i]);
    changed = changed || color != colors_[i];
    colors_[i] = color;
  }
  oldArrows_ = (systemFlags & core::SystemFlag::kOldArrows) != 0;
  arrowMarks_ = (systemFlags & core::SystemFlag::kArrowMarks) != 0;
  if (!fontSpec_ || !(*fontSpec_ == settings.motionAreaFont)) {
    fontSpec_ = settings.motionAreaFont;
    font_ = ToQFont(settings.motionAreaFont);
    metrics_.emplace(font_);
    lineHeight_ = metrics_->height();
    changed = true;
  }
  if (changed) {
    texts_.clear();
    sprites_.clear();
  }
}

FlowchartPainter::MeasuredText& FlowchartPainter::Measure(const std::u16string& text) {
  if (const auto found = texts_.find(text); found != texts_.end()) {
    return found->second;
  }
  // Labels change with every time step; a long session must not grow the table without bound.
  constexpr std::size_t kMaxCachedTexts = 4096;
  if (texts_.size() >= kMaxCachedTexts) {
    texts_.clear();
  }
  MeasuredText measured;
  measured.width = text.empty() ? 0 : metrics_->horizontalAdvance(ToQString(text));
  return texts_.emplace(text, std::move(measured)).first->second;
}

int FlowchartPainter::Width(const std::u16string& text) {
  return Measure(text).width;
}

void FlowchartPainter::DrawLine(QPainter& painter, int x, int y, const std::u16string& text) {
  if (text.empty()) {
    return;
  }
  MeasuredText& measured = Measure(text);
  if (measured.image.isNull()) {
    // Rendered once in the text colour and copied on every paint: far cheaper than laying out
    // and rasterising the glyphs again. Room is left for glyphs reaching past their advance.
    const int slack = lineHeight_ / 2;
    measured.image = TransparentImage(measured.width + 2 * slack, lineHeight_, pixelRatio_);
    QPainter p(&measured.image);
    p.setFont(font_);
    p.setPen(colors_[AreaColor::kText]);
    p.drawText(slack, metrics_->ascent(), ToQString(text));
    measured.offset = slack;
  }
  painter.drawImage(x - measured.offset, y, measured.image);
}

const QImage& FlowchartPainter::Sprite(SpriteKind kind, QRgb color, int param) {
  const std::uint64_t key = (std::uint64_t{static_cast<std::uint8_t>(kind)} << 56) |
                            (std::uint64_t{static_cast<std::uint32_t>(param) & 0xFFFFFF} << 32) |
                            color;
  if (const auto found = sprites_.find(key); found != sprites_.end()) {
    return found->second;
  }
  const QColor pen = QColor::fromRgb(color);
  const QColor& line = colors_[AreaColor::kBlockLine];
  const int centre = kSpriteCentre;
  QImage image;
  const auto canvas = [&](int width, int height) {
    image = TransparentImage(width, height, pixelRatio_);
  };
  switch (kind) {
    case SpriteKind::kTimeButtons: {  // param: height of the pose block's lower half
      const int height = param;
      const int quarter = height / 2;
      canvas(kTimeButtonWidth + 1, height + 1);
      QPainter p(&image);
      p.setPen(line);
      p.drawRect(0, 0, kTimeButtonWidth, height);
      p.drawLine(0, quarter, kTimeButtonWidth, quarter);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(Qt::NoPen);
      p.setBrush(line);
      const double cx = kTimeButtonWidth / 2.0;
      const QPointF plus[] = {{cx, 3.0}, {cx - 4.5, quarter - 2.5}, {cx + 4.5, quarter - 2.5}};
      const QPointF minus[] = {
          {cx - 4.5, quarter + 3.5}, {cx + 4.5, quarter + 3.5}, {cx, height - 2.0}};
      p.drawPolygon(plus, 3);
      p.drawPolygon(minus, 3);
      break;
    }
    case SpriteKind::kMarker: {
      canvas(14, 14);
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(line);
      p.setBrush(pen);
      p.drawEllipse(QRectF(0.5, 0.5, 13, 13));
      break;
    }
    case SpriteKind::kZigzag: {
      canvas(16, 10);
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(QPen(pen, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      const QPoint zigzag[] = {{1, 1}, {4, 7}, {7, 1}, {10, 7}, {14, 1}};
      p.drawPolyline(zigzag, 5);
      break;
    }
    case SpriteKind::kHead: {
      canvas(11, 7);
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(Qt::NoPen);
      p.setBrush(pen);
      const QPointF head[] = {{5.5, 7.0}, {11.0, 1.0}, {0.0, 1.0}};
      p.drawPolygon(head, 3);
      break;
    }
    case SpriteKind::kChevron: {  // param: 0 right, 1 left, 2 down, 3 up
      canvas(2 * centre + 1, 2 * centre + 1);
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(QPen(pen, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
      const int dx = param == 0 ? 1 : param == 1 ? -1 : 0;
      const int dy = param == 2 ? 1 : param == 3 ? -1 : 0;
      const QPointF c(centre + 0.5, centre + 0.5);
      const QPointF chevron[] = {c + QPointF(-3 * dx + 4 * dy, -3 * dy + 4 * dx),
                                 c + QPointF(3 * dx, 3 * dy),
                                 c + QPointF(-3 * dx - 4 * dy, -3 * dy - 4 * dx)};
      p.drawPolyline(chevron, 3);
      break;
    }
    case SpriteKind::kCircle: {
      canvas(2 * centre + 1, 2 * centre + 1);
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(QPen(pen, 1.5));
      p.setBrush(colors_[AreaColor::kBackground]);
      p.drawEllipse(QPointF(centre + 0.5, centre + 0.5), kMarkSize / 2.0, kMarkSize / 2.0);
      break;
    }
    case SpriteKind::kLetterBox: {  // param: 0 "N" (the blue arrow), 1 "Y" (the red one)
      const QString letter = param == 0 ? ToQString(core::LoadText(core::TextId::kArrowMarkNo))
                                        : QString::fromUtf16(kArrowMarkYes);
      const int width = std::max(12, metrics_->horizontalAdvance(letter) + 5);
      canvas(width + 1, lineHeight_ + 3);
      QPainter p(&image);
      p.setPen(pen);
      p.setBrush(colors_[AreaColor::kBackground]);
      p.drawRect(0, 0, width, lineHeight_ + 2);
      p.setFont(font_);
      p.drawText(QRect(0, 0, width + 1, lineHeight_ + 3), Qt::AlignCenter, letter);
      break;
    }
  }
  return sprites_.emplace(key, std::move(image)).first->second;
}

QPoint FlowchartPainter::LayOut(core::MotionDocument& document, const core::LoadedProject& project,
                                std::uint32_t systemFlags, int canvasHeight) {
  ApplyStyle(project.system, systemFlags);
  QPoint largest(0, 0);
  bool firstPose = true;
  firstPoseLabelWidth_ = 0;
  for (MotionBlock& block : document) {
    std::u16string label = BlockLabel(block, project, labelTexts_);
    if (label != block.label) {
      block.label = std::move(label);
    }
    int textWidth = 0;
    int textHeight = lineHeight_;
    if (block.Is(BlockKind::Comment)) {
      const std::u16string& shown = block.comment.empty() ? block.name : block.comment;
      const QRect box = metrics_->boundingRect(QRect(0, 0, kCanvasWidth, kCanvasWidth),
                                               Qt::AlignLeft | Qt::AlignTop, ToQString(shown));
      textWidth = box.width();
      textHeight = std::max(box.height(), lineHeight_);
    } else {
      textWidth = std::max(Width(block.name), Width(block.label));
    }
    if (block.Is(BlockKind::Pose) && firstPose) {
      firstPose = false;
      firstPoseLabelWidth_ = Width(block.label);
    }
    int width = textWidth + kLinePad;
    if (block.Is(BlockKind::Pose) || block.Is(BlockKind::Wait)) {
      width += kTimeButtonWidth;
    }
    int height = 2 * (textHeight + kLinePad);
    if (block.Is(BlockKind::Start) || block.Is(BlockKind::End) || block.Is(BlockKind::Comment)) {
      height = textHeight + kLinePad;
    }
    // Inside the canvas: an edge beyond its end moves back, and nothing starts before its origin.
    block.xpos = std::max(0, std::min(block.xpos, kCanvasWidth - width));
    block.ypos = std::max(0, std::min(block.ypos, canvasHeight - height));
    block.rect[0] = block.xpos + width;
    block.rect[1] = block.ypos + height;
    largest.setX(std::max(largest.x(), block.rect[0]));
    largest.setY(std::max(largest.y(), block.rect[1]));
  }
  return largest;
}

void FlowchartPainter::DrawLabelText(QPainter& painter, int x, int y, const std::u16string& text,
                                     bool fileMissing) {
  if (fileMissing) {
    painter.fillRect(QRect(x - 2, y, Width(text) + 4, lineHeight_), kFileMissingFill);
  }
  DrawLine(painter, x, y, text);
}

void FlowchartPainter::DrawPose(QPainter& painter, const MotionBlock& block, const QRect& r,
                                bool current) {
  const int left = r.left();
  const int top = r.top();
  const int right = block.rect[0];
  const int bottom = block.rect[1];
  const int middle = top + (bottom - top) / 2;

  // Time buttons: + in the upper, - in the lower quarter of the lower half.
  painter.drawImage(right - kTimeButtonWidth, middle,
                    Sprite(SpriteKind::kTimeButtons, 0, bottom - middle));
  // The current-pose marker and the interpolation-wait zigzag over it.
  painter.drawImage(
      left + 4, top + 4,
      Sprite(SpriteKind::kMarker, current ? kCurrentMarker.rgb() : qRgb(255, 255, 255), 0));
  if (block.interpWait) {
    painter.drawImage(left + 3, top + 6, Sprite(SpriteKind::kZigzag, kInterpWaitColor.rgb(), 0));
  }

  DrawLabelText(painter, left + 19, top + kPad, block.name, false);
  DrawLabelText(painter, left + kPad, middle + kPad, block.label, false);

  const int length = static_cast<int>(std::int64_t{block.time} * firstPoseLabelWidth_ / 65535);
  if (length > 0) {
    const int y = bottom - (bottom - top) / 10;
    painter.fillRect(QRect(left + 1, y - 1, length + 1, 2), kTimeBarColor);
  }
}

void FlowchartPainter::DrawBlock(QPainter& painter, const MotionBlock& block, bool current) {
  const QRect r = BlockRect(block);
  const Shape shape = ShapeOf(block);
  const bool rounded = shape != Shape::kRect;
  const QColor& line = colors_[AreaColor::kBlockLine];
  painter.setRenderHint(QPainter::Antialiasing, rounded);
  painter.setBrush(FillOf(block, colors_));
  painter.setPen(block.Is(BlockKind::Comment) ? QPen(line, 1, Qt::DashLine) : QPen(line));
  DrawShape(painter, shape, r);
  painter.setRenderHint(QPainter::Antialiasing, false);

  const int left = r.left();
  const int top = r.top();
  const int middle = top + r.height() / 2;
  const int innerWidth = r.width();
  const auto centred = [&](const std::u16string& text) {
    return left + std::max(kPad, (innerWidth - Width(text)) / 2);
  };
  switch (block.kind()) {
    case BlockKind::Pose:
      DrawPose(painter, block, r, current);
      break;
    case BlockKind::Wait:
      DrawLabelText(painter, left + kPad, top + kPad, block.name, false);
      DrawLabelText(painter, left + kPad, middle + kPad, block.label, false);
      break;
    case BlockKind::Start:
    case BlockKind::End:
      DrawLabelText(painter, left + kPad, top + kPad, block.label, false);
      break;
    case BlockKind::Comment: {
      painter.setPen(colors_[AreaColor::kText]);
      const std::u16string& shown = block.comment.empty() ? block.name : block.comment;
      painter.drawText(r.adjusted(kPad, kPad, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                       ToQString(shown));
      break;
    }
    default: {
      const bool fileMissing =
          NamesFile(block) && (!block.fileFound || block.Is(BlockKind::Cancel));
      DrawLabelText(painter, centred(block.name), top + kPad, block.name, false);
      DrawLabelText(painter, centred(block.label), middle + kPad, block.label, fileMissing);
      break;
    }
  }

  // Selection and rubber-band marks over the outline.
  if (block.selFlags & (core::kBlockSelected | core::kBlockInBand)) {
    const QColor& mark = colors_[AreaColor::kSelectedArrow];
    painter.setRenderHint(QPainter::Antialiasing, rounded);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(block.Selected() ? QPen(mark, 2) : QPen(mark, 1, Qt::DashLine));
    DrawShape(painter, shape, block.Selected() ? r.adjusted(1, 1, 0, 0) : r.adjusted(2, 2, -2, -2));
    painter.setRenderHint(QPainter::Antialiasing, false);
  }
}

void FlowchartPainter::DrawMark(QPainter& painter, const MotionBlock& block,
                                const ArrowRoute& route, ArrowColor color, const QColor& pen) {
  Point direction;
  const Point m = route.Midway(&direction);
  if (!arrowMarks_) {
    // A chevron pointing the way the arrow runs there.
    const int way = direction.x > 0 ? 0 : direction.x < 0 ? 1 : direction.y > 0 ? 2 : 3;
    painter.drawImage(m.x - kSpriteCentre, m.y - kSpriteCentre,
                      Sprite(SpriteKind::kChevron, pen.rgb(), way));
  } else if (HasRedArrow(block)) {
    const QImage& box =
        Sprite(SpriteKind::kLetterBox, pen.rgb(), color == ArrowColor::kBlue ? 0 : 1);
    const QSize size = box.deviceIndependentSize().toSize();
    painter.drawImage(m.x - size.width() / 2, m.y - size.height() / 2, box);
  } else {
    painter.drawImage(m.x - kSpriteCentre, m.y - kSpriteCentre,
                      Sprite(SpriteKind::kCircle, pen.rgb(), 0));
  }
}

void FlowchartPainter::DrawArrowLine(QPainter& painter, const VisibleArrow& arrow) {
  // Every segment runs along an axis: two-pixel bands, joined square at the corners.
  const ArrowRoute& route = arrow.route;
  for (int i = 1; i < route.pointCount; ++i) {
    const Point a = route.points[static_cast<std::size_t>(i - 1)];
    const Point b = route.points[static_cast<std::size_t>(i)];
    const QRect band(QPoint(std::min(a.x, b.x) - 1, std::min(a.y, b.y) - 1),
                     QPoint(std::max(a.x, b.x), std::max(a.y, b.y)));
    painter.fillRect(band, arrow.pen);
  }
  if (route.hasTarget && route.Length() >= kMinMarkedLength) {
    DrawMark(painter, *arrow.block, route, arrow.color, arrow.pen);
  }
}

void FlowchartPainter::DrawArrowEnds(QPainter& painter, const VisibleArrow& arrow) {
  const ArrowRoute& route = arrow.route;
  if (route.hasTarget) {
    painter.drawImage(route.end.x - 5, route.end.y - 6,
                      Sprite(SpriteKind::kHead, arrow.pen.rgb(), 0));
  }
  if (arrow.block->Selected()) {
    const QColor& handle = colors_[AreaColor::kSelectedArrow];
    const int half = kHandleSize / 2;
    painter.fillRect(QRect(route.start.x - half, route.start.y - half, kHandleSize, kHandleSize),
                     handle);
    painter.fillRect(QRect(route.end.x - half, route.end.y - half, kHandleSize, kHandleSize),
                     handle);
  }
}

void FlowchartPainter::CollectArrows(const core::MotionDocument& document, const QRect& visible) {
  arrows_.clear();
  for (const MotionBlock& block : document) {
    for (const ArrowColor color : {ArrowColor::kBlue, ArrowColor::kRed}) {
      const bool red = color == ArrowColor::kRed;
      if (red ? !HasRedArrow(block) : !HasBlueArrow(block)) {
        continue;
      }
      ArrowRoute route = RouteArrow(block, color, oldArrows_);
      if (!Bounds(route).intersects(visible)) {
        continue;
      }
      const bool dragged =
          (block.selFlags & (red ? core::kBlockRedDrag : core::kBlockBlueDrag)) != 0;
      const QColor& pen = dragged ? colors_[AreaColor::kSelectedArrow]
                                  : colors_[red ? AreaColor::kBranchFlow : AreaColor::kNormalFlow];
      arrows_.push_back({&block, color, route, dragged || block.Selected(), pen});
    }
  }
}

void FlowchartPainter::Paint(QPainter& painter, core::MotionDocument& document,
                             const QRect& visible, const QRect* band) {
  // The cached images are made at the device's pixel ratio, so they are copied one to one.
  const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  if (ratio != pixelRatio_) {
    pixelRatio_ = ratio;
    texts_.clear();
    sprites_.clear();
  }
  painter.fillRect(visible, colors_[AreaColor::kBackground]);
  painter.setFont(font_);
  CollectArrows(document, visible);

  // Arrow lines and their marks run under the blocks, so that a route passing other blocks never
  // covers their texts. The square at each arrow's start shows half beside its block as the
  // connector.
  for (const VisibleArrow& arrow : arrows_) {
    const Point s = arrow.route.start;
    painter.fillRect(QRect(s.x - 5, s.y - 5, 10, 10), arrow.pen);
    if (!arrow.onTop) {
      DrawArrowLine(painter, arrow);
    }
  }

  for (MotionBlock& block : document) {
    if (BlockRect(block).adjusted(-2, -2, 2, 2).intersects(visible)) {
      DrawBlock(painter, block, &block == document.current);
    }
    block.selFlags &= ~core::kBlockRedraw;
  }

  // Arrowheads and handles stay on top, and so do the whole arrows of selected blocks and the
  // arrow being dragged: they show where the selection leads even across other blocks.
  for (const VisibleArrow& arrow : arrows_) {
    if (arrow.onTop) {
      DrawArrowLine(painter, arrow);
    }
    DrawArrowEnds(painter, arrow);
  }

  if (band) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colors_[AreaColor::kBlockLine], 1, Qt::DashLine));
    painter.drawRect(band->normalized());
  }
}

}  // namespace gestalon::ui

#include "toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

#include "art_kit.h"

namespace gestalon::art {
namespace {

// Partly covered edge pixels are blended over this face colour; fainter ones become the key.
const QColor kToolbarFace{0xF0, 0xF0, 0xF0};
constexpr int kMinimumAlpha = 96;

using IconPainter = void (*)(QPainter&);

void Polygon(QPainter& painter, std::initializer_list<QPointF> points, const QColor& fill,
             const QColor& line) {
  painter.setPen(line.isValid() ? QPen(line, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                                : QPen(Qt::NoPen));
  painter.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
  painter.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void Box(QPainter& painter, const QRectF& rect, const QColor& fill, const QColor& line,
         qreal radius = 0) {
  painter.setPen(line.isValid() ? QPen(line, 1) : QPen(Qt::NoPen));
  painter.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
  if (radius > 0) {
    painter.drawRoundedRect(rect, radius, radius);
  } else {
    painter.drawRect(rect);
  }
}

void Stroke(QPainter& painter, const QPainterPath& path, const QColor& color, qreal width) {
  painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
}

void Line(QPainter& painter, QPointF from, QPointF to, const QColor& color, qreal width = 1) {
  painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(from, to);
}

// A white sheet with a folded top-right corner.
void Sheet(QPainter& painter, qreal left, qreal top, qreal right, qreal bottom) {
  Polygon(painter,
          {{left, top}, {right - 3, top}, {right, top + 3}, {right, bottom}, {left, bottom}},
          kWhite, kInk);
  Polygon(painter, {{right - 3, top}, {right - 3, top + 3}, {right, top + 3}}, kLineLight, kInk);
}

// Two short slider lines with accent knobs: "joint values".
void SliderLines(QPainter& painter, qreal left, qreal right, qreal firstRow, qreal knob1,
                 qreal knob2) {
  for (int i = 0; i < 2; ++i) {
    const qreal row = firstRow + 3 * i;
    Line(painter, {left, row}, {right, row}, kInkSoft);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccent);
    painter.drawRect(QRectF((i == 0 ? knob1 : knob2), row - 1.5, 2, 3));
  }
}

// A flowchart block (a pose block of the motion area).
void Block(QPainter& painter, const QRectF& rect, const QColor& fill, const QColor& line) {
  Box(painter, rect, fill, line, 1.5);
}

void PlusSign(QPainter& painter, QPointF centre, const QColor& color) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawRect(QRectF(centre.x() - 2.5, centre.y() - 0.5, 5, 1));
  painter.drawRect(QRectF(centre.x() - 0.5, centre.y() - 2.5, 1, 5));
}

void DrawNew(QPainter& painter) {
  Sheet(painter, 2.5, 0.5, 12.5, 14.5);
  painter.setPen(QPen(kAccentDark, 1));
  painter.setBrush(kAccent);
  painter.drawEllipse(QPointF(11.5, 10.5), 4, 4);
  PlusSign(painter, {11.5, 10.5}, kWhite);
}

void DrawOpen(QPainter& painter) {
  Polygon(painter, {{0.5, 2.5}, {5.5, 2.5}, {7.5, 4.5}, {13.5, 4.5}, {13.5, 13.5}, {0.5, 13.5}},
          kAccentPale, kAccentDark);
  Polygon(painter, {{0.5, 13.5}, {3.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}}, kAccent, kAccentDark);
}

void DrawSave(QPainter& painter) {
  Polygon(painter, {{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 13.5}, {1.5, 13.5}}, kAccent,
          kAccentDark);
  Box(painter, QRectF(4.5, 1.5, 7, 4), kWhite, kAccentDark);
  painter.fillRect(QRectF(9, 2, 1.5, 3), kAccentDark);
  Box(painter, QRectF(3.5, 8.5, 9, 5), kWhite, kAccentDark);
  Line(painter, {5, 10.5}, {11, 10.5}, kLine);
}

// A curved arrow bending back to the left; Redo draws it mirrored.
void DrawUndoArrow(QPainter& painter) {
  QPainterPath curve;
  curve.moveTo(12.5, 12.5);
  curve.cubicTo(15.5, 9.0, 13.5, 4.5, 8.5, 4.5);
  curve.lineTo(4.5, 4.5);
  Stroke(painter, curve, kAccent, 2);
  Polygon(painter, {{0.5, 4.5}, {5.5, 0.0}, {5.5, 9.0}}, kAccent, QColor());
}

void DrawUndo(QPainter& painter) {
  DrawUndoArrow(painter);
}

void DrawRedo(QPainter& painter) {
  painter.translate(16, 0);
  painter.scale(-1, 1);
  DrawUndoArrow(painter);
}

void DrawCopyValues(QPainter& painter) {
  Polygon(painter, {{1.5, 0.5}, {9.5, 0.5}, {9.5, 9.5}, {1.5, 9.5}}, kWhite, kInkSoft);
  Polygon(painter, {{5.5, 4.5}, {14.5, 4.5}, {14.5, 14.5}, {5.5, 14.5}}, kWhite, kInk);
  SliderLines(painter, 7, 13, 8.5, 8, 10);
}

void DrawPasteValues(QPainter& painter) {
  Box(painter, QRectF(1.5, 1.5, 12, 13), QColor(0xC9, 0xD0, 0xDA), kInk, 1.5);
  Box(painter, QRectF(4.5, 0.5, 6, 3), kInkSoft, kInk, 1);
  Box(painter, QRectF(3.5, 4.5, 8, 8), kWhite, kInkSoft);
  SliderLines(painter, 5, 10, 7.5, 6, 8);
}

// Left and right halves: the source filled, the empty target outlined, an arrow between them.
void DrawHalfCopy(QPainter& painter) {
  Box(painter, QRectF(0.5, 1.5, 4, 12), kAccent, kAccentDark, 1);
  Box(painter, QRectF(11.5, 1.5, 4, 12), kWhite, kInkSoft, 1);
  Line(painter, {5, 7.5}, {8, 7.5}, kInk, 1);
  Polygon(painter, {{7.5, 4.5}, {10.5, 7.5}, {7.5, 10.5}}, kInk, QColor());
}

void DrawLeftToRight(QPainter& painter) {
  DrawHalfCopy(painter);
}

void DrawRightToLeft(QPainter& painter) {
  painter.translate(16, 0);
  painter.scale(-1, 1);
  DrawHalfCopy(painter);
}

void DrawMirror(QPainter& painter) {
  Polygon(painter, {{6.5, 4.5}, {6.5, 14.5}, {0.5, 14.5}}, kAccent, kAccentDark);
  Polygon(painter, {{9.5, 4.5}, {9.5, 14.5}, {15.5, 14.5}}, kWhite, kInk);
  QPen dash(kInkSoft, 1, Qt::SolidLine, Qt::FlatCap);
  dash.setDashPattern({1, 1});
  painter.setPen(dash);
  painter.drawLine(QPointF(8, 4), QPointF(8, 15));
  Line(painter, {3, 1.5}, {13, 1.5}, kInk);
  Polygon(painter, {{1, 1.5}, {4, -1.5}, {4, 4.5}}, kInk, QColor());
  Polygon(painter, {{15, 1.5}, {12, -1.5}, {12, 4.5}}, kInk, QColor());
}

// A figure standing in its neutral pose.
void DrawBasePose(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccent);
  painter.drawEllipse(QPointF(8, 2.5), 2.3, 2.3);
  QPainterPath body;
  body.moveTo(8, 5.5);
  body.lineTo(8, 9.5);
  body.moveTo(2.5, 6.5);
  body.lineTo(13.5, 6.5);
  body.moveTo(5, 14);
  body.lineTo(8, 9.5);
  body.lineTo(11, 14);
  Stroke(painter, body, kAccent, 2);
}

// A robot head above an arrow going down into a tray: the pose is read from the robot.
void DrawCapture(QPainter& painter) {
  Box(painter, QRectF(4.5, 0.5, 7, 5), kInk, QColor(), 1.5);
  painter.fillRect(QRectF(6, 2, 1, 2), kWhite);
  painter.fillRect(QRectF(9, 2, 1, 2), kWhite);
  Line(painter, {8, 6}, {8, 10}, kAccent, 2);
  Polygon(painter, {{4.5, 8.5}, {11.5, 8.5}, {8, 12}}, kAccent, QColor());
  QPainterPath tray;
  tray.moveTo(1.5, 9.5);
  tray.lineTo(1.5, 13.5);
  tray.lineTo(14.5, 13.5);
  tray.lineTo(14.5, 9.5);
  painter.setPen(QPen(kInk, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(tray);
}

// Two pose blocks with a new block at the middle of the link between them.
void DrawSplitPose(QPainter& painter) {
  Block(painter, QRectF(2.5, 0.5, 11, 3), kWhite, kInk);
  Block(painter, QRectF(2.5, 11.5, 11, 3), kWhite, kInk);
  Line(painter, {8, 4}, {8, 11}, kInkSoft);
  Block(painter, QRectF(4.5, 5.5, 7, 4), kAccent, kAccentDark);
}

void DrawDuplicatePose(QPainter& painter) {
  Block(painter, QRectF(0.5, 1.5, 10, 6), kWhite, kInkSoft);
  Block(painter, QRectF(4.5, 6.5, 11, 7), kAccent, kAccentDark);
  PlusSign(painter, {10.5, 10.5}, kWhite);
}

void DrawDeletePose(QPainter& painter) {
  Block(painter, QRectF(0.5, 1.5, 11, 7), kWhite, kInk);
  painter.setPen(QPen(kRedDark, 1));
  painter.setBrush(kRed);
  painter.drawEllipse(QPointF(11.5, 10.5), 4, 4);
  QPainterPath cross;
  cross.moveTo(10, 9);
  cross.lineTo(13, 12);
  cross.moveTo(13, 9);
  cross.lineTo(10, 12);
  Stroke(painter, cross, kWhite, 1.3);
}

void DrawPlay(QPainter& painter) {
  Polygon(painter, {{3.5, 1.5}, {13.5, 7.5}, {3.5, 13.5}}, kGreen, kGreenDark);
}

void DrawStop(QPainter& painter) {
  Box(painter, QRectF(2.5, 2.5, 11, 11), kRed, kRedDark, 1.5);
}

void DrawNextPose(QPainter& painter) {
  Polygon(painter, {{2.5, 2.5}, {10.5, 7.5}, {2.5, 12.5}}, kAccent, kAccentDark);
  Box(painter, QRectF(11.5, 2.5, 2, 10), kAccent, kAccentDark);
}

// A step to the next pose that takes the branch: the branch arrow is red as in the flowchart.
void DrawNextPoseBranch(QPainter& painter) {
  Polygon(painter, {{0.5, 0.5}, {6.5, 4}, {0.5, 7.5}}, kAccent, kAccentDark);
  Box(painter, QRectF(7.5, 0.5, 1.5, 7), kAccent, kAccentDark);
  QPainterPath branch;
  branch.moveTo(4, 8.5);
  branch.lineTo(4, 12.5);
  branch.lineTo(11.5, 12.5);
  Stroke(painter, branch, kRed, 1.6);
  Polygon(painter, {{11, 9.5}, {15, 12.5}, {11, 15.5}}, kRed, QColor());
}

// A gauge with its needle: the servo positions are corrected against the base pose.
void DrawServoCorrection(QPainter& painter) {
  const QRectF dial(1.5, 3.5, 13, 13);
  QPainterPath face;
  face.moveTo(1.5, 10);
  face.arcTo(dial, 180, -180);
  face.closeSubpath();
  painter.setPen(QPen(kInk, 1));
  painter.setBrush(kWhite);
  painter.drawPath(face);
  for (const QLineF& tick : {QLineF(3.5, 10, 5, 10), QLineF(8, 5, 8, 6.5), QLineF(11, 10, 12.5, 10),
                             QLineF(4.6, 6.6, 5.6, 7.6), QLineF(11.4, 6.6, 10.4, 7.6)}) {
    Line(painter, tick.p1(), tick.p2(), kInkSoft);
  }
  Line(painter, {8, 10}, {11, 5.5}, kAccent, 1.6);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccentDark);
  painter.drawEllipse(QPointF(8, 10), 1.8, 1.8);
  Line(painter, {1, 12.5}, {15, 12.5}, kInk);
}

// A chip with an arrow going into it: data is written to the board.
void DrawWriteBoard(QPainter& painter) {
  for (int pin = 0; pin < 3; ++pin) {
    const qreal y = 8.5 + 2 * pin;
    Line(painter, {1, y}, {4, y}, kInkSoft);
    Line(painter, {12, y}, {15, y}, kInkSoft);
  }
  Box(painter, QRectF(3.5, 6.5, 9, 8), kInk, kInk, 1);
  Line(painter, {8, 0}, {8, 4}, kAccent, 2);
  Polygon(painter, {{4.5, 2.5}, {11.5, 2.5}, {8, 6}}, kAccent, QColor());
}

void DrawServoOn(QPainter& painter) {
  QPainterPath ring;
  ring.arcMoveTo(QRectF(2.5, 3.5, 11, 11), 120);
  ring.arcTo(QRectF(2.5, 3.5, 11, 11), 120, 300);
  Stroke(painter, ring, kAccent, 2);
  Line(painter, {8, 0.5}, {8, 7.5}, kAccent, 2);
}

// A plug on its cable: connect to the robot.
void DrawOnline(QPainter& painter) {
  Line(painter, {6, 0}, {6, 4}, kInk, 1.5);
  Line(painter, {10, 0}, {10, 4}, kInk, 1.5);
  Box(painter, QRectF(3.5, 3.5, 9, 6), kAccent, kAccentDark, 2);
  QPainterPath cable;
  cable.moveTo(8, 10);
  cable.cubicTo(8, 13, 4, 12, 3, 15);
  Stroke(painter, cable, kInk, 1.5);
}

// Rows of bytes with an address column and a few highlighted cells.
void DrawMemoryMap(QPainter& painter) {
  Box(painter, QRectF(0.5, 0.5, 15, 14), kWhite, kInk, 1);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kInkSoft);
  for (int row = 0; row < 4; ++row) {
    const qreal y = 2 + 3 * row;
    painter.setBrush(kInkSoft);
    painter.drawRect(QRectF(2, y, 2, 2));
    for (int column = 0; column < 3; ++column) {
      const bool lit = (row + column) % 3 == 1;
      painter.setBrush(lit ? kAccent : kLineLight);
      painter.drawRect(QRectF(5 + 3 * column, y, 2, 2));
    }
  }
}

constexpr std::array<IconPainter, kToolbarIconCount> kIcons{
    &DrawNew,        &DrawOpen,        &DrawSave,        &DrawUndo,           &DrawRedo,
    &DrawCopyValues, &DrawPasteValues, &DrawLeftToRight, &DrawRightToLeft,    &DrawMirror,
    &DrawBasePose,   &DrawCapture,     &DrawSplitPose,   &DrawDuplicatePose,  &DrawDeletePose,
    &DrawPlay,       &DrawStop,        &DrawNextPose,    &DrawNextPoseBranch, &DrawServoCorrection,
    &DrawWriteBoard, &DrawServoOn,     &DrawOnline,      &DrawMemoryMap};

// Turns a drawn icon into opaque pixels on the key: faint edges vanish, the rest is blended
// over the face colour so that edges stay soft on a light toolbar.
QRgb Flatten(QRgb premultiplied) {
  const int alpha = qAlpha(premultiplied);
  if (alpha < kMinimumAlpha) {
    return kToolbarTransparentKey;
  }
  const int rest = 255 - alpha;
  const int r = qRed(premultiplied) + (kToolbarFace.red() * rest + 127) / 255;
  const int g = qGreen(premultiplied) + (kToolbarFace.green() * rest + 127) / 255;
  const int b = qBlue(premultiplied) + (kToolbarFace.blue() * rest + 127) / 255;
  const QRgb color = qRgb(qMin(r, 255), qMin(g, 255), qMin(b, 255));
  return color == kToolbarTransparentKey ? qRgb(193, 193, 193) : color;
}

}  // namespace

QImage MakeToolbarStrip() {
  QImage strip(kToolbarIconWidth * kToolbarIconCount, kToolbarIconHeight, QImage::Format_RGB32);
  strip.fill(kToolbarTransparentKey);
  for (int index = 0; index < kToolbarIconCount; ++index) {
    QImage icon = NewTransparentImage(kToolbarIconWidth, kToolbarIconHeight);
    {
      QPainter painter(&icon);
      PreparePainter(painter);
      kIcons[static_cast<std::size_t>(index)](painter);
    }
    for (int y = 0; y < kToolbarIconHeight; ++y) {
      const auto* source = reinterpret_cast<const QRgb*>(icon.constScanLine(y));
      auto* target = reinterpret_cast<QRgb*>(strip.scanLine(y)) + index * kToolbarIconWidth;
      for (int x = 0; x < kToolbarIconWidth; ++x) {
        target[x] = Flatten(source[x]);
      }
    }
  }
  return strip;
}

}  // namespace gestalon::art

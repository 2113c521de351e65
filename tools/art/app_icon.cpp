#include "app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "art_kit.h"

namespace gestalon::art {
namespace {

const QColor kShellTop{0x4A, 0x93, 0xFA};
const QColor kShellBottom{0x22, 0x6C, 0xE6};
const QColor kFacePlate{0xF4, 0xF7, 0xFB};
const QColor kGroundShadow{0x1A, 0x23, 0x33, 40};

// The full drawing, laid out on a 256-unit square.
void DrawLarge(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(kGroundShadow);
  painter.drawEllipse(QRectF(52, 224, 152, 20));

  painter.setPen(QPen(kInkSoft, 8, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(128, 58), QPointF(128, 28));
  painter.setPen(QPen(kAccentDark, 3));
  painter.setBrush(kAccent);
  painter.drawEllipse(QPointF(128, 24), 16, 16);

  painter.setPen(Qt::NoPen);
  painter.setBrush(kInkSoft);
  painter.drawRoundedRect(QRectF(14, 110, 30, 64), 10, 10);
  painter.drawRoundedRect(QRectF(212, 110, 30, 64), 10, 10);

  QLinearGradient shell(0, 56, 0, 226);
  shell.setColorAt(0, kShellTop);
  shell.setColorAt(1, kShellBottom);
  painter.setPen(QPen(kAccentDark, 4));
  painter.setBrush(shell);
  painter.drawRoundedRect(QRectF(34, 56, 188, 166), 44, 44);

  painter.setPen(Qt::NoPen);
  painter.setBrush(kFacePlate);
  painter.drawRoundedRect(QRectF(60, 88, 136, 102), 34, 34);

  painter.setBrush(kInk);
  painter.drawEllipse(QPointF(100, 130), 14, 14);
  painter.drawEllipse(QPointF(156, 130), 14, 14);
  painter.setBrush(kWhite);
  painter.drawEllipse(QPointF(105, 124), 4.5, 4.5);
  painter.drawEllipse(QPointF(161, 124), 4.5, 4.5);

  QPainterPath smile;
  smile.moveTo(108, 162);
  smile.quadTo(128, 176, 148, 162);
  painter.setPen(QPen(kAccent, 7, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(smile);
}

// The same head simplified for small sizes, laid out on a 32-pixel grid so that edges stay
// on pixel boundaries.
void DrawSmall(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(kGroundShadow);
  painter.drawEllipse(QRectF(7, 29.5, 18, 2.5));

  painter.setBrush(kInkSoft);
  painter.drawRect(QRectF(15, 3, 2, 5));
  painter.drawRoundedRect(QRectF(1, 13, 3, 8), 1, 1);
  painter.drawRoundedRect(QRectF(28, 13, 3, 8), 1, 1);
  painter.setBrush(kAccent);
  painter.drawEllipse(QPointF(16, 3), 2.5, 2.5);

  QLinearGradient shell(0, 7, 0, 29);
  shell.setColorAt(0, kShellTop);
  shell.setColorAt(1, kShellBottom);
  painter.setPen(QPen(kAccentDark, 1));
  painter.setBrush(shell);
  painter.drawRoundedRect(QRectF(3.5, 7.5, 25, 21), 6, 6);

  painter.setPen(Qt::NoPen);
  painter.setBrush(kFacePlate);
  painter.drawRoundedRect(QRectF(7, 11, 18, 13), 4, 4);

  painter.setBrush(kInk);
  painter.drawEllipse(QPointF(12, 16), 2.2, 2.2);
  painter.drawEllipse(QPointF(20, 16), 2.2, 2.2);

  QPainterPath smile;
  smile.moveTo(13, 20.5);
  smile.quadTo(16, 22.5, 19, 20.5);
  painter.setPen(QPen(kAccent, 1.5, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(smile);
}

}  // namespace

QImage MakeAppIcon(int size) {
  QImage image = NewTransparentImage(size, size);
  QPainter painter(&image);
  PreparePainter(painter);
  if (size <= 48) {
    painter.scale(size / 32.0, size / 32.0);
    DrawSmall(painter);
  } else {
    painter.scale(size / 256.0, size / 256.0);
    DrawLarge(painter);
  }
  return image;
}

}  // namespace gestalon::art

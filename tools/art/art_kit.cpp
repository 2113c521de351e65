#include "art_kit.h"

namespace gestalon::art {

QImage NewOpaqueImage(int width, int height, const QColor& fill) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

QImage NewTransparentImage(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

void PreparePainter(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
}

bool SaveBmp(const QImage& image, const QString& path) {
  // RGB32 is written by the BMP writer as 24 bits per pixel, the form skin loaders expect.
  return image.convertToFormat(QImage::Format_RGB32).save(path, "BMP");
}

bool SavePng(const QImage& image, const QString& path) {
  return image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG");
}

}  // namespace gestalon::art

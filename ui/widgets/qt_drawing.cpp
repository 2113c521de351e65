#include "widgets/qt_drawing.h"

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "widgets/qt_text.h"

namespace gestalon::ui {

QFont ToQFont(const core::FontSpec& logical) {
  QFont font = QApplication::font();
  if (!logical.faceName.empty()) {
    font.setFamilies({ToQString(logical.faceName), QStringLiteral("IPAGothic"),
                      QStringLiteral("IPAPGothic"), font.family()});
  }
  if (logical.height != 0) {
    font.setPixelSize(std::abs(logical.height));
  }
  if (logical.weight > 0) {
    font.setWeight(static_cast<QFont::Weight>(std::clamp(logical.weight, 100, 900)));
  }
  font.setItalic(logical.italic != 0);
  font.setUnderline(logical.underline != 0);
  font.setStrikeOut(logical.strikeOut != 0);
  return font;
}

QImage ToQImage(const core::Bitmap& bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0 ||
      bitmap.pixels.size() < static_cast<std::size_t>(bitmap.width) * bitmap.height) {
    return {};
  }
  QImage image(bitmap.width, bitmap.height, QImage::Format_ARGB32);
  for (int y = 0; y < bitmap.height; ++y) {
    std::memcpy(image.scanLine(y),
                bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.width,
                static_cast<std::size_t>(bitmap.width) * sizeof(std::uint32_t));
  }
  return image;
}

}  // namespace gestalon::ui

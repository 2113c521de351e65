#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include "project/bitmap_file.h"
#include "project/logical_font.h"

namespace gestalon::ui {

// A colour of the settings files (0x00BBGGRR).
inline QColor ToQColor(core::ColorRef color) {
  return QColor(static_cast<int>(core::RedOf(color)), static_cast<int>(core::GreenOf(color)),
                static_cast<int>(core::BlueOf(color)));
}

// A logical font of the settings files: a negative height is the character height in pixels, a
// positive one the cell height (taken as the pixel size too); 0 and an empty face give the
// application's default. The face falls back to a Japanese-capable font when missing.
QFont ToQFont(const core::FontSpec& font);

// A decoded bitmap (0xAARRGGBB) as an image; an empty image for an empty bitmap.
QImage ToQImage(const core::Bitmap& bitmap);

}  // namespace gestalon::ui

#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

namespace gestalon::art {

// One palette for every picture, so the skins, the toolbar and the icon read as one family.
inline const QColor kAccent{0x2D, 0x7F, 0xF9};
inline const QColor kAccentDark{0x1C, 0x62, 0xD4};
inline const QColor kAccentLight{0x5C, 0x9C, 0xFB};
inline const QColor kAccentPale{0xD6, 0xE6, 0xFE};
inline const QColor kInk{0x34, 0x3C, 0x4A};
inline const QColor kInkSoft{0x6B, 0x75, 0x85};
inline const QColor kLine{0xB9, 0xC1, 0xCC};
inline const QColor kLineLight{0xD3, 0xD9, 0xE1};
inline const QColor kGroove{0xDC, 0xE1, 0xE8};
// The colour around the shapes of the opaque skin pictures: the middle tone of the wallpaper,
// so knob and track corners vanish into it.
inline const QColor kPage{0xF3, 0xF4, 0xF7};
inline const QColor kWhite{0xFF, 0xFF, 0xFF};
inline const QColor kRed{0xE5, 0x48, 0x4D};
inline const QColor kRedDark{0xC2, 0x2F, 0x35};
inline const QColor kGreen{0x1E, 0x9E, 0x5A};
inline const QColor kGreenDark{0x16, 0x7F, 0x47};

// An opaque picture filled with one colour, ready to paint on.
QImage NewOpaqueImage(int width, int height, const QColor& fill);

// A fully transparent picture (premultiplied ARGB) for shapes that are flattened afterwards.
QImage NewTransparentImage(int width, int height);

// A painter with antialiasing on; the pictures use half-pixel coordinates for crisp 1-px lines.
void PreparePainter(QPainter& painter);

// Writes a 24-bit BMP; false when the file cannot be written.
bool SaveBmp(const QImage& image, const QString& path);

// Writes a PNG keeping the alpha channel; false when the file cannot be written.
bool SavePng(const QImage& image, const QString& path);

}  // namespace gestalon::art

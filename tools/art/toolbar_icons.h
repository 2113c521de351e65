#pragma once

#include <QImage>

namespace gestalon::art {

// Width and height of one toolbar picture, and how many the strip holds.
constexpr int kToolbarIconWidth = 16;
constexpr int kToolbarIconHeight = 15;
constexpr int kToolbarIconCount = 24;

// The colour that stands for "transparent" in the toolbar strip: RGB(192, 192, 192).
constexpr QRgb kToolbarTransparentKey = 0xFFC0C0C0;

// The 24 toolbar pictures side by side (384 x 15), in toolbar button order, on the
// transparency key. Edge pixels are pre-blended over a light toolbar face; no drawn pixel
// equals the key.
QImage MakeToolbarStrip();

}  // namespace gestalon::art

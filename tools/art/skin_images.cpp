#include "skin_images.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <array>
#include <string_view>

#include "art_kit.h"

namespace gestalon::art {
namespace {

constexpr int kWallpaperWidth = 1280;
constexpr int kWallpaperHeight = 1024;
constexpr int kGridStep = 16;

constexpr int kTrackWidth = 240;
constexpr int kTrackHeight = 14;
constexpr int kKnobWidth = 14;
constexpr int kKnobHeight = 20;
constexpr int kSpinCellWidth = 16;
constexpr int kSpinHeight = 20;
constexpr int kBaseMarkWidth = 4;
constexpr int kBaseMarkHeight = 18;
constexpr int kCheckCell = 14;

constexpr int kMotionTrackWidth = 160;
constexpr int kMotionTrackHeight = 10;
constexpr int kMotionKnobWidth = 10;
constexpr int kMotionKnobHeight = 16;
constexpr int kMotionSpinCellWidth = 14;
constexpr int kMotionSpinHeight = 16;
constexpr int kDigitCellWidth = 8;
constexpr int kDigitCellHeight = 12;
constexpr int kSignalCell = 14;

int Mix(int from, int to, int step, int steps) {
  return from + (to - from) * step / steps;
}

// The flat groove of a slider: a rounded bar with a slightly darker top edge.
void DrawGroove(QPainter& painter, const QRectF& rect) {
  const qreal radius = rect.height() / 2;
  painter.setPen(QPen(kLine, 1));
  painter.setBrush(kGroove);
  painter.drawRoundedRect(rect, radius, radius);
  if (rect.height() < 5) {
    return;
  }
  painter.setPen(QPen(QColor(0xC6, 0xCD, 0xD6), 1));
  painter.drawLine(QPointF(rect.left() + radius, rect.top() + 1),
                   QPointF(rect.right() - radius, rect.top() + 1));
}

// A knob body in the accent colour with a soft top-down gradient and two grip lines.
void DrawKnob(QPainter& painter, int width, int height) {
  const QRectF body(0.5, 0.5, width - 1, height - 1);
  QLinearGradient fill(0, 0, 0, height);
  fill.setColorAt(0, kAccentLight);
  fill.setColorAt(0.45, kAccent);
  fill.setColorAt(1, QColor(0x25, 0x72, 0xEC));
  painter.setPen(QPen(kAccentDark, 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(body, 3, 3);
  const int gripTop = height / 2 - height / 5;
  const int gripBottom = height / 2 + height / 5 - 1;
  const int left = width / 2 - 2;
  const int right = width - 1 - left;
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor(0xB8, 0xD3, 0xFD), 1));
  painter.drawLine(left, gripTop, left, gripBottom);
  painter.drawLine(right, gripTop, right, gripBottom);
  painter.setRenderHint(QPainter::Antialiasing, true);
}

// A small rounded push button holding a plus or a minus sign.
void DrawSignButton(QPainter& painter, const QRectF& button, bool plus, bool pressed) {
  painter.setPen(QPen(pressed ? kAccentDark : kLine, 1));
  painter.setBrush(pressed ? kAccentPale : kWhite);
  painter.drawRoundedRect(button, 3, 3);
  const QColor glyph = pressed ? kAccentDark : kInk;
  const int cx = static_cast<int>(button.center().x());
  const int cy = static_cast<int>(button.center().y());
  const int arm = static_cast<int>(button.width() / 4) + 1;
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(glyph);
  painter.drawRect(cx - arm, cy - 1, 2 * arm, 2);
  if (plus) {
    painter.drawRect(cx - 1, cy - arm, 2, 2 * arm);
  }
  painter.setRenderHint(QPainter::Antialiasing, true);
}

// A small rounded button holding a triangle pointing up or down.
void DrawArrowButton(QPainter& painter, const QRectF& button, bool up, bool pressed) {
  painter.setPen(QPen(pressed ? kAccentDark : kLine, 1));
  painter.setBrush(pressed ? kAccentPale : kWhite);
  painter.drawRoundedRect(button, 3, 3);
  // A crisp four-row triangle, one pixel row at a time.
  const int cx = static_cast<int>(button.center().x());
  const int cy = static_cast<int>(button.center().y());
  const QColor glyph = pressed ? kAccentDark : kInk;
  for (int row = 0; row < 4; ++row) {
    const int y = up ? cy - 2 + row : cy + 1 - row;
    painter.fillRect(cx - 1 - row, y, 2 + 2 * row, 1, glyph);
  }
}

// Pixel digits, 6 x 10, drawn one pixel per character so that they are identical everywhere.
constexpr std::array<std::array<std::string_view, 10>, 10> kDigitGlyphs{{
    {".####.", "##..##", "##..##", "##.###", "##.###", "###.##", "###.##", "##..##", "##..##",
     ".####."},
    {"..##..", ".###..", "####..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..",
     "######"},
    {".####.", "##..##", "....##", "....##", "...##.", "..##..", ".##...", "##....", "##....",
     "######"},
    {".####.", "##..##", "....##", "....##", "..###.", "....##", "....##", "....##", "##..##",
     ".####."},
    {"...##.", "..###.", ".####.", "##.##.", "##.##.", "######", "...##.", "...##.", "...##.",
     "...##."},
    {"######", "##....", "##....", "#####.", "....##", "....##", "....##", "....##", "##..##",
     ".####."},
    {".####.", "##..##", "##....", "##....", "#####.", "##..##", "##..##", "##..##", "##..##",
     ".####."},
    {"######", "....##", "....##", "...##.", "...##.", "..##..", "..##..", "..##..", "..##..",
     "..##.."},
    {".####.", "##..##", "##..##", "##..##", ".####.", "##..##", "##..##", "##..##", "##..##",
     ".####."},
    {".####.", "##..##", "##..##", "##..##", "##..##", ".#####", "....##", "....##", "##..##",
     ".####."},
}};

}  // namespace

QImage MakePoseWallpaper() {
  // A very light vertical gradient with a faint dot grid: quiet enough for the slider texts.
  QImage image(kWallpaperWidth, kWallpaperHeight, QImage::Format_RGB32);
  const QColor top(0xF5, 0xF6, 0xF8);
  const QColor bottom(0xEE, 0xF0, 0xF3);
  for (int y = 0; y < kWallpaperHeight; ++y) {
    const int steps = kWallpaperHeight - 1;
    const int r = Mix(top.red(), bottom.red(), y, steps);
    const int g = Mix(top.green(), bottom.green(), y, steps);
    const int b = Mix(top.blue(), bottom.blue(), y, steps);
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kWallpaperWidth; ++x) {
      int shade = 0;
      if (x % kGridStep == 0 && y % kGridStep == 0) {
        shade = 16;
      }
      line[x] = qRgb(r - shade, g - shade, b - shade);
    }
  }
  return image;
}

QImage MakePoseSlider() {
  QImage image = NewOpaqueImage(kTrackWidth, kTrackHeight, kPage);
  QPainter painter(&image);
  PreparePainter(painter);
  DrawGroove(painter, QRectF(0.5, kTrackHeight / 2 - 3 + 0.5, kTrackWidth - 1, 5));
  return image;
}

QImage MakePoseKnob() {
  QImage image = NewOpaqueImage(kKnobWidth, kKnobHeight, kPage);
  QPainter painter(&image);
  PreparePainter(painter);
  DrawKnob(painter, kKnobWidth, kKnobHeight);
  return image;
}

QImage MakePoseSpin() {
  // Cells 0 and 1 raise the shown value (right and left button), cells 2 and 3 lower it.
  QImage image = NewOpaqueImage(4 * kSpinCellWidth, kSpinHeight, kPage);
  QPainter painter(&image);
  PreparePainter(painter);
  for (int cell = 0; cell < 4; ++cell) {
    const QRectF button(cell * kSpinCellWidth + 1.5, 1.5, kSpinCellWidth - 3, kSpinHeight - 3);
    DrawSignButton(painter, button, cell < 2, false);
  }
  return image;
}

QImage MakePoseBaseMark() {
  // A dark bar with light edges: readable both on the grey groove and on the blue knob.
  QImage image = NewOpaqueImage(kBaseMarkWidth, kBaseMarkHeight, kWhite);
  QPainter painter(&image);
  painter.fillRect(1, 0, kBaseMarkWidth - 2, kBaseMarkHeight, QColor(0xF5, 0x9E, 0x0B));
  painter.fillRect(1, 0, kBaseMarkWidth - 2, 1, QColor(0xD9, 0x82, 0x06));
  painter.fillRect(1, kBaseMarkHeight - 1, kBaseMarkWidth - 2, 1, QColor(0xD9, 0x82, 0x06));
  return image;
}

QImage MakePoseKnobShadow() {
  // Meant to be combined with a bitwise AND: white leaves the background untouched.
  QImage image = NewOpaqueImage(kKnobWidth, kKnobHeight, kWhite);
  QPainter painter(&image);
  PreparePainter(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xB4, 0xBB, 0xC6));
  painter.drawRoundedRect(QRectF(0, 0, kKnobWidth, kKnobHeight), 3.5, 3.5);
  return image;
}

QImage MakeCheckButton() {
  // Cell 0: the servo is enabled (checked); cell 1: disabled (empty box).
  QImage image = NewOpaqueImage(2 * kCheckCell, kCheckCell, kPage);
  QPainter painter(&image);
  PreparePainter(painter);
  const QRectF checked(1.5, 1.5, kCheckCell - 3, kCheckCell - 3);
  painter.setPen(QPen(kAccentDark, 1));
  painter.setBrush(kAccent);
  painter.drawRoundedRect(checked, 2.5, 2.5);
  QPainterPath tick;
  tick.moveTo(4.0, 7.2);
  tick.lineTo(6.2, 9.4);
  tick.lineTo(10.2, 4.8);
  painter.setPen(QPen(kWhite, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(tick);
  const QRectF empty = checked.translated(kCheckCell, 0);
  painter.setPen(QPen(QColor(0x9A, 0xA4, 0xB2), 1));
  painter.setBrush(kWhite);
  painter.drawRoundedRect(empty, 2.5, 2.5);
  return image;
}

QImage MakeMotionSlider() {
  QImage image = NewOpaqueImage(kMotionTrackWidth, kMotionTrackHeight, kWhite);
  QPainter painter(&image);
  PreparePainter(painter);
  DrawGroove(painter, QRectF(0.5, kMotionTrackHeight / 2 - 2 + 0.5, kMotionTrackWidth - 1, 3));
  return image;
}

QImage MakeMotionKnob() {
  QImage image = NewOpaqueImage(kMotionKnobWidth, kMotionKnobHeight, kWhite);
  QPainter painter(&image);
  PreparePainter(painter);
  DrawKnob(painter, kMotionKnobWidth, kMotionKnobHeight);
  return image;
}

QImage MakeMotionSpin() {
  // Cells: up, up pressed, down, down pressed.
  QImage image = NewOpaqueImage(4 * kMotionSpinCellWidth, kMotionSpinHeight, kWhite);
  QPainter painter(&image);
  PreparePainter(painter);
  for (int cell = 0; cell < 4; ++cell) {
    const QRectF button(cell * kMotionSpinCellWidth + 0.5, 0.5, kMotionSpinCellWidth - 1,
                        kMotionSpinHeight - 1);
    DrawArrowButton(painter, button, cell < 2, cell % 2 == 1);
  }
  return image;
}

QImage MakeMotionDigits() {
  // Ten cells, the digits 0 to 9, dark on white.
  QImage image = NewOpaqueImage(10 * kDigitCellWidth, kDigitCellHeight, kWhite);
  for (int digit = 0; digit < 10; ++digit) {
    const auto& glyph = kDigitGlyphs[static_cast<std::size_t>(digit)];
    for (int row = 0; row < 10; ++row) {
      const std::string_view line = glyph[static_cast<std::size_t>(row)];
      for (int column = 0; column < 6; ++column) {
        if (line[static_cast<std::size_t>(column)] == '#') {
          image.setPixel(digit * kDigitCellWidth + 1 + column, 1 + row, kInk.rgb());
        }
      }
    }
  }
  return image;
}

QImage MakeMotionSignal() {
  // Cells: idle (hollow lamp) and active (lit lamp in the accent colour).
  QImage image = NewOpaqueImage(2 * kSignalCell, kSignalCell, kWhite);
  QPainter painter(&image);
  PreparePainter(painter);
  const QRectF lamp(1.5, 1.5, kSignalCell - 3, kSignalCell - 3);
  painter.setPen(QPen(QColor(0x9A, 0xA4, 0xB2), 1));
  painter.setBrush(kWhite);
  painter.drawEllipse(lamp);
  painter.setPen(QPen(kAccentDark, 1));
  painter.setBrush(kAccent);
  painter.drawEllipse(lamp.translated(kSignalCell, 0));
  painter.fillRect(kSignalCell + 5, 4, 2, 2, QColor(0xB8, 0xD3, 0xFD));
  return image;
}

bool WriteSkinImages(const QString& folder) {
  struct Entry {
    const char* name;
    QImage (*make)();
  };
  const std::array<Entry, 12> entries{{
      {"pose_wallpaper.bmp", &MakePoseWallpaper},
      {"pose_slider.bmp", &MakePoseSlider},
      {"pose_knob.bmp", &MakePoseKnob},
      {"pose_spin.bmp", &MakePoseSpin},
      {"pose_basemark.bmp", &MakePoseBaseMark},
      {"pose_knob_shadow.bmp", &MakePoseKnobShadow},
      {"checkbtn_.bmp", &MakeCheckButton},
      {"motion_slider.bmp", &MakeMotionSlider},
      {"motion_knob.bmp", &MakeMotionKnob},
      {"motion_spin.bmp", &MakeMotionSpin},
      {"motion_digits.bmp", &MakeMotionDigits},
      {"motion_signal.bmp", &MakeMotionSignal},
  }};
  bool ok = true;
  for (const Entry& entry : entries) {
    ok = SaveBmp(entry.make(), folder + '/' + QString::fromLatin1(entry.name)) && ok;
  }
  return ok;
}

}  // namespace gestalon::art

#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "motion/motion_document.h"
#include "motion_area/arrow_router.h"
#include "motion_area/block_label.h"
#include "project/project_loader.h"

class QPainter;

namespace gestalon::ui {

// Width of the motion area's canvas (content coordinates); its height is the editing state's
// canvasHeight.
inline constexpr int kCanvasWidth = 4096;
// Room kept beyond the largest block edge in the scroll ranges.
inline constexpr int kScrollMargin = 15;

// The motion area's colours: indexes of SystemSettings::motionAreaColors.
namespace AreaColor {
inline constexpr int kBackground = 0, kPoseBlock = 1, kBlockLine = 2, kText = 3, kSelectedArrow = 4,
                     kNormalFlow = 5, kBranchFlow = 6, kCalcBlock = 7, kBranchBlock = 8,
                     kStartBlock = 9;
}  // namespace AreaColor

// Lays out and draws the flowchart of a document: labels and block extents first (they are kept
// in the blocks, where hit testing and the editing operations find them), then the blocks and
// arrows that meet the visible part. Keeps the texts it measured and drew, and the small images
// it draws often, for the current font and colours.
class FlowchartPainter {
 public:
  FlowchartPainter() = default;

  // Computes every block's label and extent (`label`, `rect[0]`, `rect[1]`) with the motion area
  // font of `project`; a block that would end beyond the canvas (4096 x `canvasHeight`) or start
  // before it is moved inside. Returns the largest right and bottom edge (0, 0 for no blocks).
  // `systemFlags` is the live SystemFlags word (arrow router and marks).
  QPoint LayOut(core::MotionDocument& document, const core::LoadedProject& project,
                std::uint32_t systemFlags, int canvasHeight);

  // Draws the blocks and arrows that meet `visible` (content coordinates) on `painter`, which
  // must already map content coordinates; clears kBlockRedraw of every block. `band`, when not
  // null, is the rubber band to outline. Runs after LayOut.
  void Paint(QPainter& painter, core::MotionDocument& document, const QRect& visible,
             const QRect* band);

 private:
  void ApplyStyle(const core::SystemSettings& settings, std::uint32_t systemFlags);
  // A single-line text measured with the area font, and rendered once it is drawn.
  struct MeasuredText {
    int width = 0;
    QImage image;    // the text in the text colour; null until first drawn
    int offset = 0;  // of the text's origin inside the image
  };
  MeasuredText& Measure(const std::u16string& text);
  int Width(const std::u16string& text);
  // Draws a single line in the text colour with its top left at (x, y).
  void DrawLine(QPainter& painter, int x, int y, const std::u16string& text);
  void DrawBlock(QPainter& painter, const core::MotionBlock& block, bool current);
  void DrawPose(QPainter& painter, const core::MotionBlock& block, const QRect& r, bool current);
  // An arrow that meets the visible part, routed once per paint.
  struct VisibleArrow {
    const core::MotionBlock* block;
    ArrowColor color;
    ArrowRoute route;
    bool onTop;  // its block is selected or its link is being dragged
    QColor pen;  // the selected-arrow colour while its link is being dragged
  };
  void CollectArrows(const core::MotionDocument& document, const QRect& visible);
  void DrawArrowLine(QPainter& painter, const VisibleArrow& arrow);
  void DrawArrowEnds(QPainter& painter, const VisibleArrow& arrow);
  void DrawMark(QPainter& painter, const core::MotionBlock& block, const ArrowRoute& route,
                ArrowColor color, const QColor& pen);
  void DrawLabelText(QPainter& painter, int x, int y, const std::u16string& text, bool fileMissing);

  // Small images drawn many times per paint, made once per colour and font.
  enum class SpriteKind : std::uint8_t {
    kTimeButtons,
    kMarker,
    kZigzag,
    kHead,
    kChevron,
    kCircle,
    kLetterBox
  };
  const QImage& Sprite(SpriteKind kind, QRgb color, int param);

  BlockLabelTexts labelTexts_;
  std::array<QColor, core::kMotionAreaColorCount> colors_{};
  bool oldArrows_ = false;
  bool arrowMarks_ = false;
  std::optional<core::FontSpec> fontSpec_;  // the font the widths were measured with
  QFont font_;
  std::optional<QFontMetrics> metrics_;
  int lineHeight_ = 0;
  std::unordered_map<std::u16string, MeasuredText> texts_;
  int firstPoseLabelWidth_ = 0;  // scale of the time bars in this paint
  std::vector<VisibleArrow> arrows_;
  std::unordered_map<std::uint64_t, QImage> sprites_;
  qreal pixelRatio_ = 1.0;  // of the device the cached images were made for
};

}  // namespace gestalon::ui

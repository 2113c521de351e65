#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "flowchart/condition_texts.h"

class QCheckBox;

namespace gestalon::ui {

// The sixteen controller button checkboxes, laid out like the controller, bit i of the button
// word for button i (controls 1119 SELECT, 1222 L3, 1223 R3, 1221 START, 1212 up, 1215 right,
// 1213 down, 1214 left, 1219 L2, 1217 R2, 1218 L1, 1216 R1, 1207 triangle, 1210 circle,
// 1211 cross, 1208 square). Used by the gamepad block dialog and the control map entry dialog.
class PadButtonBoxes : public QWidget {
  Q_OBJECT

 public:
  // Checked from the low 16 bits of `mask`.
  explicit PadButtonBoxes(std::uint32_t mask, QWidget* parent = nullptr);

  // The mask of the checked buttons.
  std::uint32_t Mask() const;

 private:
  std::array<QCheckBox*, core::kPadButtonCount> buttons_{};  // by bit of the mask
};

}  // namespace gestalon::ui

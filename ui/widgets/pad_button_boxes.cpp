#include "widgets/pad_button_boxes.h"

#include <QCheckBox>
#include <QGridLayout>

#include "widgets/control_lookup.h"
#include "widgets/pad_layout.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

// The check boxes' control ids by bit of the mask.
constexpr std::array<int, core::kPadButtonCount> kControlIds{
    1119, 1222, 1223, 1221, 1212, 1215, 1213, 1214, 1219, 1217, 1218, 1216, 1207, 1210, 1211, 1208};

}  // namespace

PadButtonBoxes::PadButtonBoxes(std::uint32_t mask, QWidget* parent) : QWidget(parent) {
  auto* pad = new QGridLayout(this);
  pad->setContentsMargins(0, 0, 0, 0);
  for (const int gap : kPadGapColumns) {
    pad->setColumnMinimumWidth(gap, 16);
  }
  for (std::size_t bit = 0; bit < kControlIds.size(); ++bit) {
    buttons_[bit] =
        Named(new QCheckBox(Text(core::kPadButtonTextIds[bit]), this), kControlIds[bit]);
    buttons_[bit]->setChecked((mask >> bit) & 1u);
    pad->addWidget(buttons_[bit], kPadCells[bit].row, kPadCells[bit].column);
  }
}

std::uint32_t PadButtonBoxes::Mask() const {
  std::uint32_t mask = 0;
  for (std::size_t bit = 0; bit < buttons_.size(); ++bit) {
    mask |= buttons_[bit]->isChecked() ? 1u << bit : 0u;
  }
  return mask;
}

}  // namespace gestalon::ui

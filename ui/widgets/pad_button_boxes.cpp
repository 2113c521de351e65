#include "widgets/pad_button_boxes.h"

#include <QCheckBox>
#include <QGridLayout>

#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

// The buttons by bit of the mask, with their control and their cell, laid out like the
// controller: the left shoulder buttons over the cross keys (columns 0-2), SELECT / START over
// the stick buttons (4-5), the right shoulder buttons over the symbol buttons (7-9).
struct PadButtonPlace {
  int controlId;
  int row;
  int column;
};
constexpr std::array<PadButtonPlace, core::kPadButtonCount> kPlaces{{
    {1119, 1, 4},  // SELECT
    {1222, 2, 4},  // L3
    {1223, 2, 5},  // R3
    {1221, 1, 5},  // START
    {1212, 1, 1},  // up
    {1215, 2, 2},  // right
    {1213, 3, 1},  // down
    {1214, 2, 0},  // left
    {1219, 0, 0},  // L2
    {1217, 0, 9},  // R2
    {1218, 0, 2},  // L1
    {1216, 0, 7},  // R1
    {1207, 1, 8},  // triangle
    {1210, 2, 9},  // circle
    {1211, 3, 8},  // cross
    {1208, 2, 7},  // square
}};
// The empty columns between the three groups.
constexpr int kGaps[] = {3, 6};

}  // namespace

PadButtonBoxes::PadButtonBoxes(std::uint32_t mask, QWidget* parent) : QWidget(parent) {
  auto* pad = new QGridLayout(this);
  pad->setContentsMargins(0, 0, 0, 0);
  for (const int gap : kGaps) {
    pad->setColumnMinimumWidth(gap, 16);
  }
  for (std::size_t bit = 0; bit < kPlaces.size(); ++bit) {
    const PadButtonPlace& place = kPlaces[bit];
    buttons_[bit] = Named(new QCheckBox(Text(core::kPadButtonTextIds[bit]), this), place.controlId);
    buttons_[bit]->setChecked((mask >> bit) & 1u);
    pad->addWidget(buttons_[bit], place.row, place.column);
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

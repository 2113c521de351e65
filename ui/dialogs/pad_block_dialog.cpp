#include "dialogs/pad_block_dialog.h"

#include <QCheckBox>
#include <QGridLayout>

#include "flowchart/block_field_checks.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

// The buttons by bit of the mask, with their control, their text and their cell, laid out like
// the controller: the left shoulder buttons over the cross keys (columns 0-2), SELECT / START
// over the stick buttons (4-5), the right shoulder buttons over the symbol buttons (7-9).
struct PadButton {
  int controlId;
  int textId;
  int row;
  int column;
};
constexpr std::array<PadButton, 16> kPadButtons{{
    {1119, TextId::kPadSelect, 1, 4},    // 0
    {1222, TextId::kPadL3, 2, 4},        // 1
    {1223, TextId::kPadR3, 2, 5},        // 2
    {1221, TextId::kPadStart, 1, 5},     // 3
    {1212, TextId::kPadUp, 1, 1},        // 4
    {1215, TextId::kPadRight, 2, 2},     // 5
    {1213, TextId::kPadDown, 3, 1},      // 6
    {1214, TextId::kPadLeft, 2, 0},      // 7
    {1219, TextId::kPadL2, 0, 0},        // 8
    {1217, TextId::kPadR2, 0, 9},        // 9
    {1218, TextId::kPadL1, 0, 2},        // 10
    {1216, TextId::kPadR1, 0, 7},        // 11
    {1207, TextId::kPadTriangle, 1, 8},  // 12
    {1210, TextId::kPadCircle, 2, 9},    // 13
    {1211, TextId::kPadCross, 3, 8},     // 14
    {1208, TextId::kPadSquare, 2, 7},    // 15
}};
// The empty columns between the three groups.
constexpr int kPadGaps[] = {3, 6};

}  // namespace

PadBlockDialog::PadBlockDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent)
    : BlockDialog(session, block, TextId::kDlgGamepadTitle, parent) {
  setObjectName(QStringLiteral("217"));
  core::SetPadComparison(Copy());
  const auto mask = static_cast<std::uint32_t>(block.constValue);
  auto* pad = new QGridLayout;
  for (const int gap : kPadGaps) {
    pad->setColumnMinimumWidth(gap, 16);
  }
  for (std::size_t bit = 0; bit < kPadButtons.size(); ++bit) {
    const PadButton& button = kPadButtons[bit];
    buttons_[bit] = Named(new QCheckBox(Text(button.textId), this), button.controlId);
    buttons_[bit]->setChecked((mask >> bit) & 1u);
    pad->addWidget(buttons_[bit], button.row, button.column);
  }
  Body()->addLayout(pad, 0, 0, Qt::AlignHCenter);
}

std::u16string PadBlockDialog::CheckAndStore(core::MotionBlock& copy) {
  std::uint32_t mask = 0;
  for (std::size_t bit = 0; bit < buttons_.size(); ++bit) {
    mask |= buttons_[bit]->isChecked() ? 1u << bit : 0u;
  }
  copy.constValue = static_cast<std::int32_t>(mask);
  return {};
}

}  // namespace gestalon::ui

#include "dialogs/pad_block_dialog.h"

#include <QGridLayout>

#include "flowchart/block_field_checks.h"
#include "strings/text_id.h"
#include "widgets/pad_button_boxes.h"

namespace gestalon::ui {

PadBlockDialog::PadBlockDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent)
    : BlockDialog(session, block, core::TextId::kDlgGamepadTitle, parent) {
  setObjectName(QStringLiteral("217"));
  core::SetPadComparison(Copy());
  buttons_ = new PadButtonBoxes(static_cast<std::uint32_t>(block.constValue), this);
  Body()->addWidget(buttons_, 0, 0, Qt::AlignHCenter);
}

std::u16string PadBlockDialog::CheckAndStore(core::MotionBlock& copy) {
  copy.constValue = static_cast<std::int32_t>(buttons_->Mask());
  return {};
}

}  // namespace gestalon::ui

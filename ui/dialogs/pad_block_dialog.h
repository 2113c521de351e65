#pragma once

#include <array>

#include "dialogs/block_dialog.h"

class QCheckBox;

namespace gestalon::ui {

// The gamepad block dialog (217): one checkbox per controller button, bit i of `constValue` for
// button i. Opening turns the block's comparison into "button word equals the mask" (stored with
// the rest on OK); OK stores the mask of the checked buttons.
class PadBlockDialog : public BlockDialog {
  Q_OBJECT

 public:
  PadBlockDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent = nullptr);

 protected:
  std::u16string CheckAndStore(core::MotionBlock& copy) override;

 private:
  std::array<QCheckBox*, 16> buttons_{};  // by bit of the mask
};

}  // namespace gestalon::ui

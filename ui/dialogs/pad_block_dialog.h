#pragma once

#include "dialogs/block_dialog.h"

namespace gestalon::ui {

class PadButtonBoxes;

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
  PadButtonBoxes* buttons_ = nullptr;
};

}  // namespace gestalon::ui

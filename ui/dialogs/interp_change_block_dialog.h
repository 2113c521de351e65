#pragma once

#include "dialogs/block_dialog.h"

class QComboBox;

namespace gestalon::ui {

// The interpolation switch dialog (206): the interpolation group (combo 40657, `varAddr`) and the
// interpolator channel it is switched to (combo 40001, "ch0".."ch2", `refAddr`). The block name is
// shown read-only: OK does not store it.
class InterpChangeBlockDialog : public BlockDialog {
  Q_OBJECT

 public:
  InterpChangeBlockDialog(EditorSession& session, core::MotionBlock& block,
                          QWidget* parent = nullptr);

 protected:
  std::u16string CheckAndStore(core::MotionBlock& copy) override;
  bool StoresName() const override { return false; }

 private:
  QComboBox* group_ = nullptr;
  QComboBox* channel_ = nullptr;
};

}  // namespace gestalon::ui

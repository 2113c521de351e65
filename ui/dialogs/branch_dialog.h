#pragma once

#include "dialogs/block_dialog.h"

namespace gestalon::ui {

class OperandsPanel;

// The branch (183) and calculation (169) dialogs, one dialog with two operator lists: the name and
// position of every block dialog around the operands panel (first variable, operator, constant or
// second variable, hexadecimal display; see OperandsPanel).
class BranchDialog : public BlockDialog {
  Q_OBJECT

 public:
  BranchDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent = nullptr);

 protected:
  std::u16string CheckAndStore(core::MotionBlock& copy) override;

 private:
  OperandsPanel* operands_ = nullptr;
};

}  // namespace gestalon::ui

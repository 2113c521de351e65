#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <span>
#include <string>

#include "motion/motion_block.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace gestalon::ui {

class EditorSession;

// The operands of a branch or calculation, as the branch and calculation dialogs and the control
// map entry dialog show them: the first variable (40630, picker 40634, size 1005, value 1199), the
// operator (1227), the second operand as a constant (radio 1228, field 1230) or a variable (radio
// 1229, field 40632, picker 40637, size 1031, value 1200), and the shared hexadecimal display
// checkbox (40002). The pickers change `block` (the copy under edit) at once; the other fields go
// into a block only through CheckAndStore. While the panel is shown, the values of both variables
// are refreshed from the board every 100 ms.
class OperandsPanel : public QWidget {
  Q_OBJECT

 public:
  // `operatorTextIds`: the operator combo's entries in `op` order.
  OperandsPanel(EditorSession& session, core::MotionBlock& block,
                std::span<const int> operatorTextIds, QWidget* parent = nullptr);

  // Reads the constant for the first variable's size and stores `constValue`, `useConst` and
  // `op` into `copy`. Empty when accepted; otherwise the message to show, `copy` unchanged.
  std::u16string CheckAndStore(core::MotionBlock& copy) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The controls of one variable operand.
  struct VariableRow {
    QLineEdit* field = nullptr;
    QLabel* size = nullptr;
    QLabel* value = nullptr;
    std::array<QWidget*, 6> all{};  // everything on its row, for enabling
  };

  VariableRow AddVariableRow(int row, int labelTextId, int fieldId, int pickerId, int sizeId,
                             int valueId, bool second);
  void ShowVariables();
  void ApplyOperandMode();
  void PickVariable(bool second);
  void ShowLiveValues();

  EditorSession& session_;
  core::MotionBlock& block_;
  VariableRow first_;
  VariableRow second_;
  QComboBox* operator_ = nullptr;
  QRadioButton* constMode_ = nullptr;
  QRadioButton* variableMode_ = nullptr;
  QLabel* constantLabel_ = nullptr;
  QLineEdit* constant_ = nullptr;
  QCheckBox* hexadecimal_ = nullptr;
  QTimer liveValues_;
};

}  // namespace gestalon::ui

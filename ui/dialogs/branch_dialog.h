#pragma once

#include <QTimer>
#include <array>

#include "dialogs/block_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace gestalon::ui {

// The branch (183) and calculation (169) dialogs, one dialog with two operator lists: the first
// variable (40630, picker 40634, size 1005, value 1199), the operator (1227), the second operand
// as a constant (radio 1228, field 1230) or a variable (radio 1229, field 40632, picker 40637,
// size 1031, value 1200), and the shared hexadecimal display checkbox (40002). While the dialog
// is shown, the values of both variables are refreshed from the board every 100 ms.
class BranchDialog : public BlockDialog {
  Q_OBJECT

 public:
  BranchDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent = nullptr);

 protected:
  std::u16string CheckAndStore(core::MotionBlock& copy) override;
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

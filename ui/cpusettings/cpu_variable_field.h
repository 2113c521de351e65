#pragma once

#include <cstdint>
#include <functional>

class QLineEdit;
class QPushButton;
class QWidget;

namespace gestalon::ui {

class EditorSession;

// A variable of the CPU settings pages: a read-only field with the label of the address and a
// "..." button that opens the variable selection at it; a chosen variable's address is stored
// where `address` points at that moment (the servo output page changes the motor it shows).
class CpuVariableField {
 public:
  CpuVariableField(EditorSession& session, QWidget* page, int fieldId, int pickerId,
                   std::function<std::uint16_t&()> address);

  // Shows the label of the address in the current number style.
  void Show();

  QLineEdit* Field() const { return field_; }
  QPushButton* Picker() const { return picker_; }

 private:
  void Pick();

  EditorSession& session_;
  QWidget* page_;
  std::function<std::uint16_t&()> address_;
  QLineEdit* field_;
  QPushButton* picker_;
};

}  // namespace gestalon::ui

#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "cpusettings/cpu_settings.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace gestalon::ui {

class CpuVariableField;
class EditorSession;

// Page 166 of the CPU settings: one motor record at a time, chosen in list 1122. Its output is
// "x = position correction variable + base + four terms (coefficient * variable / 256 *
// variable / 256, each with its condition)", limited to lower <= x <= upper, plus the capture and
// gain reference variables, the motor name and the soft start time. The pickers store into the
// working copy at once; the texts are checked and stored when another motor is chosen and by
// Apply. The motor shown is remembered for the run.
class CpuServoOutputPage : public QWidget {
  Q_OBJECT

 public:
  CpuServoOutputPage(EditorSession& session, core::CpuSettings& copy, QWidget* parent = nullptr);
  ~CpuServoOutputPage() override;

  // Shows the working copy.
  void Show();
  // Checks the shown motor's texts and stores them, its name, soft start and term conditions
  // into `edited`; a refused field is selected and reported (warning), nothing stored then.
  bool StoreShownMotor(core::CpuSettings& edited);

 private:
  void ShowMotor();
  void ChooseMotor(int row);
  std::uint16_t& Word(std::size_t word);

  EditorSession& session_;
  core::CpuSettings& copy_;
  QListWidget* motors_;
  QLineEdit* name_;
  QSpinBox* softStart_;
  QLineEdit* base_;
  std::array<QLineEdit*, 4> coefficients_{};
  std::array<QComboBox*, 4> conditions_{};
  QLineEdit* lower_;
  QLineEdit* upper_;
  std::vector<std::unique_ptr<CpuVariableField>> variables_;
};

}  // namespace gestalon::ui

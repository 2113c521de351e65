#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "cpusettings/cpu_settings.h"

class QCheckBox;
class QLineEdit;

namespace gestalon::ui {

class CpuVariableField;
class EditorSession;

// Ids of the page's controls that have none of their own: LED channel i (0..7) and the cancel
// check box of controller button bit b (0..15).
namespace CpuExtensionId {
inline constexpr int kLedReference = 1300, kLedReferencePicker = 1310, kLedCoefficient = 1320,
                     kLedVariable = 1330, kLedVariablePicker = 1340, kCancelButton = 1350;
}  // namespace CpuExtensionId

// Page 216 of the CPU settings: the LED (1106), controller (1102) and six-axis sensor (1104)
// switches, stored at once; eight LED rows "reference variable + coefficient * variable / 4096"
// whose pickers store at once and whose coefficients Apply checks; the sixteen controller
// buttons whose presses the board ignores (the cancel bits), stored by Apply.
class CpuExtensionPage : public QWidget {
  Q_OBJECT

 public:
  CpuExtensionPage(EditorSession& session, core::CpuSettings& copy, QWidget* parent = nullptr);
  ~CpuExtensionPage() override;

  // Shows the working copy.
  void Show();
  // The LED coefficients into `edited`, channel by channel; a refused one is selected and
  // reported (error icon).
  bool StoreLedCoefficients(core::CpuSettings& edited);
  // The cancel bits of the sixteen check boxes into `edited`.
  void StoreCancelBits(core::CpuSettings& edited) const;

 private:
  EditorSession& session_;
  core::CpuSettings& copy_;
  QCheckBox* led_;
  QCheckBox* controller_;
  QCheckBox* sensor_;
  std::array<QLineEdit*, core::kLedCount> coefficients_{};
  std::array<QCheckBox*, 16> cancel_{};
  std::vector<std::unique_ptr<CpuVariableField>> variables_;
};

}  // namespace gestalon::ui

#pragma once

#include <QWidget>

#include "cpusettings/cpu_settings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace gestalon::ui {

class EditorSession;

// Page 140 of the CPU settings: the robot name (1019), the basic control cycle (1170), the
// volume (spin 1171, 0..7 = 7 - attenuator), the board's firmware version (1192, 1198) and the
// interpolation method (1172) of each pose slider (40638). Choosing a method stores it in the
// working copy at once; the other fields are stored by Apply.
class CpuBasicPage : public QWidget {
  Q_OBJECT

 public:
  CpuBasicPage(EditorSession& session, core::CpuSettings& copy, QWidget* parent = nullptr);

  // Shows the working copy.
  void Show();
  // The control cycle into `edited`; a refused one is selected and reported (warning).
  bool StoreControlCycle(core::CpuSettings& edited);
  // The volume and the robot name into `edited`.
  void StoreVolumeAndName(core::CpuSettings& edited) const;

 private:
  void ShowMethod();

  EditorSession& session_;
  core::CpuSettings& copy_;
  QLineEdit* name_;
  QLineEdit* cycle_;
  QSpinBox* volume_;
  QLabel* version_;
  QLabel* subVersion_;
  QComboBox* sliders_;
  QComboBox* methods_;
};

}  // namespace gestalon::ui

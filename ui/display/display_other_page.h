#pragma once

#include <QWidget>

#include "project/display_options.h"
#include "project/system_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace gestalon::ui {

class EditorSession;
class MotionAreaSample;

// Page 162 of the display settings: what to do with pose sliders a loaded motion uses but the
// robot lacks (combo 1201), the behaviour switches (1202, 1204, 1244), and the motion area's
// colours and font (item combo 1235, "変更" 1234, sample 1236 drawn in the working colours and
// font) and grid (1237 X, 1238 Y).
class DisplayOtherPage : public QWidget {
  Q_OBJECT

 public:
  DisplayOtherPage(EditorSession& session, core::SystemSettings& copy,
                   const core::DisplayOptions& options, QWidget* parent = nullptr);

  void StoreOptions(core::DisplayOptions& options) const;
  // The grid spacings typed into the working copy, as their absolute values, and shown again.
  void StoreGrid();

 private:
  void ChangeItem();
  void ShowGrid();

  EditorSession& session_;
  core::SystemSettings& copy_;
  QComboBox* unusedSliders_;
  QCheckBox* doubleClick_;
  QCheckBox* spaceServoOff_;
  QCheckBox* basePoseSelected_;
  QComboBox* items_;
  MotionAreaSample* sample_;
  QLineEdit* gridX_;
  QLineEdit* gridY_;
};

}  // namespace gestalon::ui

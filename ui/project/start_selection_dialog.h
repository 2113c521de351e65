#pragma once

#include <QDialog>
#include <vector>

#include "project/project_start.h"
#include "project/recent_projects.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace gestalon::ui {

// The choice at start-up (and after the robot-name question of the online connection) between
// opening an existing robot project, one of the recent robots or any project file, and creating
// a new one. Opening starts the program on the project and ends the dialog with 0 (rejected);
// choosing to create ends it with 1 (accepted), for the new project dialog to follow.
class StartSelectionDialog : public QDialog {
  Q_OBJECT

 public:
  StartSelectionDialog(const ProjectStartContext& context, QWidget* parent = nullptr);

 private:
  void UpdateEnabled();
  void RobotChosen(int index);
  void Browse();
  void Confirm();

  const ProjectStartContext& context_;
  core::RecentProjects recent_;
  std::vector<int> entries_;  // the log entry of each combo item
  QRadioButton* openExisting_;
  QRadioButton* createNew_;
  QComboBox* robots_;
  QLineEdit* path_;
  QPushButton* browse_;
};

// Runs the dialog modally; 1 when the user chose to create a new project, else 0.
int RunStartSelectionDialog(const ProjectStartContext& context, QWidget* owner);

}  // namespace gestalon::ui

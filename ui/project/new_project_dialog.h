#pragma once

#include <QDialog>
#include <vector>

#include "project/default_robots.h"
#include "project/project_creation.h"
#include "project/project_start.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace gestalon::ui {

// Creates a robot project from one of the templates the program ships: the kind of robot, its
// name and the folder to create it in, and whether to initialise the CPU board with it. "作成"
// checks the fields, makes the project, writes it to the board when asked, starts the program
// on it and closes the dialog (accepted); a refused field or a failed creation keeps it open.
class NewProjectDialog : public QDialog {
  Q_OBJECT

 public:
  NewProjectDialog(const ProjectStartContext& context, QWidget* parent = nullptr);

 private:
  void Browse();
  void Create();
  void InitialiseBoard(const core::CreatedProject& made);

  const ProjectStartContext& context_;
  std::vector<core::DefaultRobot> robots_;
  QComboBox* kind_;
  QLineEdit* name_;
  QLineEdit* folder_;
  QCheckBox* initialiseBoard_;
};

// Runs the dialog modally; 1 when a project was created.
int RunNewProjectDialog(const ProjectStartContext& context, QWidget* owner);

}  // namespace gestalon::ui

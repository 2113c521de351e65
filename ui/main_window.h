#pragma once

#include <QMainWindow>
#include <string>

namespace gestalon::ui {

// The program's only top-level window.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);

  // Title: the robot name in the program's title format.
  void SetRobotName(std::u16string_view robotName);
};

}  // namespace gestalon::ui

#pragma once

#include <QTimer>
#include <QWidget>

#include "preview_view.h"

class QLabel;

namespace gestalon::ui {

class EditorSession;
class PreviewPlayer;

// The robot preview window: the 3D view of the project's robot with front, side and top view
// buttons and a reload button; below, the joints outside their limits, or what is wrong with the
// preview's files. A timer at about the display's rate shows
//   - while the preview plays a motion: the player's values;
//   - while a real board plays one: the robot's readings;
//   - otherwise the pose being edited, and while online the readings as a translucent robot;
// with the selected sliders' links highlighted. A tool window above the main window; its
// objectName is the text id of its title. UI thread only.
class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kRefreshMs = 16;

  // `session` and `player` must outlive the window.
  PreviewWindow(EditorSession& session, const PreviewPlayer& player, QWidget* owner);

  // Reads the project's preview files again.
  void Reload();
  // Takes what the preview follows now and repaints when it changed.
  void Refresh();
  PreviewView* View() const { return view_; }
  // The message below the view ("" when there is nothing to say).
  QString Message() const;

 Q_SIGNALS:
  // The user closed the window.
  void closed();

 protected:
  // The timer runs only while the window is shown.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  PreviewPose TakePose();

  EditorSession& session_;
  const PreviewPlayer& player_;
  PreviewView* view_;
  QLabel* message_;
  QString fileProblem_;
  QTimer timer_;
};

}  // namespace gestalon::ui

#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <map>
#include <vector>

#include "motion/recent_motions.h"
#include "pose/base_pose_editing.h"
#include "project/recent_projects.h"

namespace gestalon::ui {

// One QAction per command id: the menu items, the accelerators and the toolbar buttons share
// them, so that disabling a command greys it everywhere and blocks its key. Labels are the
// string-table texts of the ids; a text's "\t<key>" part is the shortcut hint.
class CommandActions : public QObject {
  Q_OBJECT

 public:
  // Creates every action; accelerators are active in `window` (the main window).
  explicit CommandActions(QWidget* window);

  // The action of a command id (created on first use for dynamic ids).
  QAction* Action(int id);
  // The menu bar, the pose area menu and the motion area menu; with `virtualBoard` the
  // communication menu offers the virtual controller too.
  void BuildMenuBar(QMenuBar* bar, bool virtualBoard = false);
  QMenu* PoseAreaMenu() const { return poseAreaMenu_; }
  QMenu* MotionAreaMenu() const { return motionAreaMenu_; }
  // Refills the base pose submenus (Pose menu, pose area menu, toolbar drop-down) and the
  // recent project and recent motion submenus.
  void FillBasePoseMenus(const std::vector<core::BasePoseMenuItem>& items);
  void FillRecentMotions(const std::vector<core::RecentMotionMenuItem>& items);
  void FillRecentProjects(const core::RecentProjects& log);
  QMenu* BasePoseDropDown() const { return basePoseDropDown_; }
  // Enables or greys every command that a playing motion would be disturbed by: while playing
  // only Stop, Play from here, Servo ON and the preview window stay enabled in the menu bar.
  void SetPlaybackLock(bool playing);
  void SetUndoState(bool canUndo, bool canRedo);

 Q_SIGNALS:
  void commandTriggered(int id);

 private:
  QMenu* AddMenu(QMenuBar* bar, int titleId, const std::vector<int>& ids);
  void AddItems(QMenu* menu, const std::vector<int>& ids);

  QWidget* window_;
  std::map<int, QAction*> actions_;
  std::vector<QMenu*> topMenus_;
  QMenu* poseAreaMenu_ = nullptr;
  QMenu* motionAreaMenu_ = nullptr;
  std::vector<QMenu*> basePoseMenus_;
  QMenu* basePoseDropDown_ = nullptr;
  QMenu* recentMotionsMenu_ = nullptr;
  QMenu* recentProjectsMenu_ = nullptr;
  bool canUndo_ = false;
  bool canRedo_ = false;
  bool playing_ = false;
};

}  // namespace gestalon::ui

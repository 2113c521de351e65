#include "main_window/command_actions.h"

#include "main_window/command_ids.h"
#include "strings/text_id.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

using namespace CommandId;

// Markers in the item lists below.
constexpr int kSeparator = 0;
constexpr int kRecentProjectsMenu = -1;
constexpr int kRecentMotionsMenu = -2;
constexpr int kBasePoseMenu = -3;
constexpr int kAddBlockMenu = -4;

const std::vector<int> kAddBlockItems = {kAddPose,     kAddCalc,  kAddBranch,     kAddGamepad,
                                         kAddEnd,      kAddSound, kAddSubRoutine, kAddFileWrite,
                                         kAddFileRead, kAddWait,  kAddComment,    kAddCancel};

struct Accelerator {
  int id;
  QKeySequence keys;
};

std::vector<Accelerator> Accelerators() {
  return {{kNew, QKeySequence(Qt::CTRL | Qt::Key_N)},
          {kOpen, QKeySequence(Qt::CTRL | Qt::Key_O)},
          {kSave, QKeySequence(Qt::CTRL | Qt::Key_S)},
          {kExit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
          {kUndo, QKeySequence(Qt::CTRL | Qt::Key_Z)},
          {kRedo, QKeySequence(Qt::CTRL | Qt::Key_Y)},
          {kServoOn, QKeySequence(Qt::Key_Home)},
          {kMirror, QKeySequence(Qt::CTRL | Qt::Key_F)},
          {kCutBlocks, QKeySequence(Qt::CTRL | Qt::Key_X)},
          {kSplitPose, QKeySequence(Qt::Key_Insert)},
          {kDuplicatePose, QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
          {kDeletePose, QKeySequence(Qt::Key_Delete)},
          {kNextPose, QKeySequence(Qt::Key_Right)},
          {kNextPoseBranch, QKeySequence(Qt::SHIFT | Qt::Key_Right)},
          {kPreviousPose, QKeySequence(Qt::Key_Left)},
          {kPlayFromHere, QKeySequence(Qt::Key_P)},
          {kSelectAll, QKeySequence(Qt::CTRL | Qt::Key_A)},
          {kCopyByPosition, QKeySequence(Qt::CTRL | Qt::Key_C)},
          {kPasteByPosition, QKeySequence(Qt::CTRL | Qt::Key_V)},
          {kFirstPose, QKeySequence(Qt::CTRL | Qt::Key_0)},
          {kSpaceServoOff, QKeySequence(Qt::Key_Space)},
          {kToggleInterpWait, QKeySequence(Qt::Key_M)},
          {kBackspace, QKeySequence(Qt::Key_Backspace)},
          {kCtrlR, QKeySequence(Qt::CTRL | Qt::Key_R)}};
}

}  // namespace

CommandActions::CommandActions(QWidget* window) : QObject(window), window_(window) {
  for (const Accelerator& accelerator : Accelerators()) {
    QAction* action = Action(accelerator.id);
    QList<QKeySequence> keys{accelerator.keys};
    if (accelerator.id == kFirstPose) {
      keys.append(
          QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_0)));
    }
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window_->addAction(action);
  }
  Action(kOnline)->setCheckable(true);
  Action(kServoOn)->setCheckable(true);
  Action(kPreviewWindow)->setCheckable(true);
}

QAction* CommandActions::Action(int id) {
  if (const auto found = actions_.find(id); found != actions_.end()) {
    return found->second;
  }
  auto* action = new QAction(Text(id), this);
  action->setObjectName(QString::number(id));
  action->setData(id);
  connect(action, &QAction::triggered, this, [this, id] { Q_EMIT commandTriggered(id); });
  actions_.emplace(id, action);
  return action;
}

void CommandActions::AddItems(QMenu* menu, const std::vector<int>& ids) {
  for (const int id : ids) {
    switch (id) {
      case kSeparator:
        menu->addSeparator();
        break;
      case kRecentProjectsMenu:
        recentProjectsMenu_ = menu->addMenu(Text(core::TextId::kSubmenuRecentProjects));
        break;
      case kRecentMotionsMenu:
        recentMotionsMenu_ = menu->addMenu(Text(core::TextId::kSubmenuRecentMotions));
        break;
      case kBasePoseMenu:
        basePoseMenus_.push_back(menu->addMenu(Text(core::TextId::kMenuSelectBasePose)));
        break;
      case kAddBlockMenu:
        AddItems(menu->addMenu(Text(core::TextId::kSubmenuAddBlock)), kAddBlockItems);
        break;
      default:
        menu->addAction(Action(id));
        break;
    }
  }
}

QMenu* CommandActions::AddMenu(QMenuBar* bar, int titleId, const std::vector<int>& ids) {
  QMenu* menu = bar->addMenu(Text(titleId));
  AddItems(menu, ids);
  topMenus_.push_back(menu);
  return menu;
}

void CommandActions::BuildMenuBar(QMenuBar* bar, bool virtualBoard) {
  using namespace core::TextId;
  AddMenu(bar, kSubmenuFile,
          {kNew, kOpen, kSave, kSaveAs, kSeparator, kNewProject, kOpenProject, kRecentProjectsMenu,
           kSeparator, kRecentMotionsMenu, kImportMotion, kSeparator, kExit});
  AddMenu(bar, kSubmenuEdit, {kUndo, kRedo});
  AddMenu(bar, kSubmenuCommunication,
          virtualBoard ? std::vector<int>{kOnline, kServoOn, kSeparator, kVirtualController}
                       : std::vector<int>{kOnline, kServoOn});
  AddMenu(bar, kSubmenuPose,
          {kCopyJointValues, kPasteJointValues, kCopyLeftToRight, kCopyRightToLeft, kMirror,
           kCapturePose, kSeparator, kBasePoseMenu, kRegisterBasePose, kRegisterOffset,
           kSliderProperties});
  AddMenu(bar, kSubmenuMotion,
          {kAddBlockMenu, kSeparator, kCutBlocks, kCopyBlocks, kPasteBlocks, kDeleteBlocks,
           kSeparator, kMirrorSelectedPoses, kBatchOffset, kApplyOverride, kSeparator, kSplitPose,
           kDuplicatePose, kDeletePose, kSeparator, kBlockProperties});
  AddMenu(bar, kSubmenuPlay,
          {kPlay, kStop, kSeparator, kNextPose, kNextPoseBranch, kPreviousPose, kSeparator,
           kPlayFromHere, kSeparator, kPlayInPreview, kPlayInPreviewFromHere, kPreviewWindow});
  AddMenu(bar, kSubmenuProjectSettings,
          {kServoCorrection, kMemoryMap, kSeparator, kDisplaySettings, kCpuSettings, kSeparator,
           kWriteToBoard});
  AddMenu(bar, kSubmenuHelp, {kAbout, kFirmwareUpdate, kSeparator, kSwitchLanguage});

  poseAreaMenu_ = new QMenu(window_);
  AddItems(poseAreaMenu_,
           {kUndo, kRedo, kSeparator, kCopyJointValues, kPasteJointValues, kCopyLeftToRight,
            kCopyRightToLeft, kMirror, kSeparator, kInvertSliderDisplay, kSeparator, kSplitPose,
            kDuplicatePose, kDeletePose, kSeparator, kBasePoseMenu, kRegisterBasePose,
            kSliderProperties});
  motionAreaMenu_ = new QMenu(window_);
  std::vector<int> motionItems = kAddBlockItems;
  motionItems.insert(
      motionItems.end(),
      {kSeparator, kCutBlocks, kCopyBlocks, kPasteBlocks, kDeleteBlocks, kSeparator,
       kMirrorSelectedPoses, kBatchOffset, kInterpWaitOff, kInterpWaitOn, kApplyOverride,
       kSeparator, kSplitPose, kDuplicatePose, kDeletePose, kSeparator, kBlockProperties});
  AddItems(motionAreaMenu_, motionItems);
  basePoseDropDown_ = new QMenu(window_);
  basePoseMenus_.push_back(basePoseDropDown_);
}

void CommandActions::FillBasePoseMenus(const std::vector<core::BasePoseMenuItem>& items) {
  for (QMenu* menu : basePoseMenus_) {
    menu->clear();
    for (const core::BasePoseMenuItem& item : items) {
      QAction* action = menu->addAction(ToQString(item.text));
      action->setObjectName(QString::number(item.id));
      action->setCheckable(item.checked);
      action->setChecked(item.checked);
      action->setEnabled(item.enabled && !playing_);
      const int id = item.id;
      connect(action, &QAction::triggered, this, [this, id] { Q_EMIT commandTriggered(id); });
    }
  }
}

void CommandActions::FillRecentMotions(const std::vector<core::RecentMotionMenuItem>& items) {
  if (!recentMotionsMenu_) {
    return;
  }
  recentMotionsMenu_->clear();
  for (const core::RecentMotionMenuItem& item : items) {
    QAction* action = recentMotionsMenu_->addAction(ToQString(item.text));
    action->setEnabled(item.enabled);
    const int id = item.commandId;
    connect(action, &QAction::triggered, this, [this, id] { Q_EMIT commandTriggered(id); });
  }
}

void CommandActions::FillRecentProjects(const core::RecentProjects& log) {
  if (!recentProjectsMenu_) {
    return;
  }
  recentProjectsMenu_->clear();
  int shown = 0;
  for (int i = 0; i < core::kRecentProjectCount && shown < core::kRecentProjectMenuCount; ++i) {
    const core::RecentProject& entry = log.entries[static_cast<std::size_t>(i)];
    if (!entry.valid) {
      continue;
    }
    QAction* action = recentProjectsMenu_->addAction(
        QStringLiteral("%1  (%2)").arg(ToQString(entry.robotName), ToQString(entry.path)));
    const int id = kRecentProjectFirst + i;
    connect(action, &QAction::triggered, this, [this, id] { Q_EMIT commandTriggered(id); });
    ++shown;
  }
  if (shown == 0) {
    recentProjectsMenu_->addAction(Text(core::TextId::kMenuNoRecentProjects))->setEnabled(false);
  }
}

void CommandActions::SetPlaybackLock(bool playing) {
  playing_ = playing;
  for (const auto& [id, action] : actions_) {
    action->setEnabled(!playing);
  }
  // Every item of every menu-bar menu, walked by position: this greys the submenu entries too
  // (recent projects, recent motions, base poses, add block), whose items are made afresh on
  // each refill and would otherwise stay live.
  for (QMenu* menu : topMenus_) {
    for (QAction* item : menu->actions()) {
      item->setEnabled(!playing);
    }
  }
  for (QMenu* menu : basePoseMenus_) {
    menu->setEnabled(!playing);
  }
  Action(kStop)->setEnabled(playing);
  Action(kPlayFromHere)->setEnabled(true);
  Action(kServoOn)->setEnabled(true);
  Action(kPreviewWindow)->setEnabled(true);
  if (!playing) {
    SetUndoState(canUndo_, canRedo_);
  }
}

void CommandActions::SetUndoState(bool canUndo, bool canRedo) {
  canUndo_ = canUndo;
  canRedo_ = canRedo;
  if (!playing_) {
    Action(kUndo)->setEnabled(canUndo);
    Action(kRedo)->setEnabled(canRedo);
  }
}

}  // namespace gestalon::ui

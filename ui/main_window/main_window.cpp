#include "main_window/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QMimeData>
#include <QThread>
#include <QUrl>

#include "board/board_progress_dialog.h"
#include "board/status_window.h"
#include "board/virtual_controller.h"
#include "flowchart/block_commands.h"
#include "flowchart/current_block.h"
#include "main_window/command_actions.h"
#include "main_window/command_ids.h"
#include "main_window/main_toolbar.h"
#include "main_window/program_arguments.h"
#include "main_window/split_pane.h"
#include "motion_area/motion_area.h"
#include "platform/folders.h"
#include "pose/base_pose_editing.h"
#include "pose/offset_editing.h"
#include "pose_area/pose_area.h"
#include "preview/preview_player.h"
#include "preview/preview_window.h"
#include "project/project_start.h"
#include "project/robot_project.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/qt_prompter.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

// The view port of the session: requests from any thread are carried out on the user-interface
// thread (queued when they come from a worker).
class MainWindow::Views : public core::ViewNotifier {
 public:
  explicit Views(MainWindow& window) : window_(window) {}

  void Repaint(core::Pane pane) override {
    Post([this, pane] { window_.RepaintPane(pane, false); });
  }
  void Relayout(core::Pane pane) override {
    Post([this, pane] { window_.RepaintPane(pane, true); });
  }
  void SetTitle(std::u16string_view title) override {
    Post([this, text = ToQString(title)] { window_.setWindowTitle(text); });
  }
  void RefreshMenuChecks() override {
    Post([this] { window_.RefreshMenuChecks(); });
  }
  void SetPlaybackLock(bool playing) override {
    Post([this, playing] { window_.ApplyPlaybackLock(playing); });
  }
  void SetUndoState(bool canUndo, bool canRedo) override {
    Post([this, canUndo, canRedo] {
      if (window_.actions_) {
        window_.actions_->SetUndoState(canUndo, canRedo);
      }
    });
  }
  void ScrollIntoView(int left, int top, int right, int bottom) override {
    Post([=, this] { window_.ScrollMotionArea(left, top, right, bottom); });
  }

 private:
  template <typename Work>
  void Post(Work work) {
    if (QThread::currentThread() == window_.thread()) {
      work();
    } else {
      QMetaObject::invokeMethod(&window_, std::move(work), Qt::QueuedConnection);
    }
  }

  MainWindow& window_;
};

MainWindow::MainWindow(core::LoadedProject project, core::Prompter& prompter,
                       const std::filesystem::path& programFolder, SessionOptions options,
                       QWidget* parent)
    : QMainWindow(parent),
      prompter_(prompter),
      qtPrompter_(dynamic_cast<QtPrompter*>(&prompter)),
      programFolder_(programFolder),
      passedOnOptions_(PassedOnOptions(options)),
      sessionOptions_(options),
      views_(std::make_unique<Views>(*this)) {
  setObjectName(QStringLiteral("MyWin"));
  setAcceptDrops(true);
  if (qtPrompter_) {
    qtPrompter_->SetOwner(this);
  }
  progress_ = new ProgressForwarder(this);

  SessionHooks hooks;
  hooks.startStatusWindow = [this] {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (statusWindow_) {
            statusWindow_->Open();
          }
        },
        Qt::QueuedConnection);
  };
  hooks.requestProjectChoice = [this](std::u16string boardName) {
    QMetaObject::invokeMethod(
        this, [this, name = std::move(boardName)] { RunProjectChoice(ProjectStart(name), this); },
        Qt::QueuedConnection);
  };
  hooks.loadPose = [this](core::MotionBlock& block) {
    QMetaObject::invokeMethod(
        this,
        [this, target = &block] {
          // The playback lock keeps the motion unchanged while it plays; the check guards the
          // moment after it.
          if (session_->motion.document.IndexOf(target) >= 0) {
            core::MakeBlockCurrent(session_->context, *target);
          }
        },
        Qt::QueuedConnection);
  };
  hooks.playbackProgress = progress_;
  hooks.playbackCancel = &playbackCancel_;
  session_ = std::make_unique<EditorSession>(std::move(project), &prompter_, views_.get(),
                                             std::move(hooks), std::move(options));
  core::ReadRecentProjects(core::AppDataFolder() / core::kRecentProjectLogName, recentProjects_,
                           nullptr);

  // The subroutine and cancel dialogs' "edit" opens the called motion in place of this one.
  session_->dialogs.openMotion = [this](const std::filesystem::path& file) {
    return ConfirmSaveChanges() != core::PromptAnswer::kCancel && OpenMotionFile(file);
  };

  core::EditContext& context = session_->context;
  core::NewMotionCommand(context);
  BuildWidgets();
  RestoreGeometry();
  core::UpdateTitle(context, u"");
  session_->undo.ResetUndoHistory();
  actions_->FillRecentMotions(core::RecentMotionMenu(session_->motion.recent));
  RefreshMenuChecks();
  ApplyPlaybackLock(false);
}

MainWindow::~MainWindow() {
  if (session_->online->WorkerRunning() && session_->online->StopOnline() == 0) {
    prompter_.Show(core::PromptIcon::kError, core::LoadText(core::TextId::kMsgDisconnectFailed));
  }
  SaveWindowLayout();
  if (qtPrompter_) {
    qtPrompter_->SetOwner(nullptr);
  }
  // The panes, the status window and the virtual controller use the session: they go before it
  // does (child widgets would otherwise outlive it until the base class destructor).
  delete statusWindow_;
  delete previewWindow_;
  delete previewPlayer_;
  delete split_;
  delete findChild<VirtualControllerWindow*>(QString(), Qt::FindDirectChildrenOnly);
  statusWindow_ = nullptr;
  previewWindow_ = nullptr;
  previewPlayer_ = nullptr;
  split_ = nullptr;
  poseArea_ = nullptr;
  motionArea_ = nullptr;
}

void MainWindow::BuildWidgets() {
  core::LoadedProject& project = session_->project;
  actions_ = new CommandActions(this);
  connect(actions_, &CommandActions::commandTriggered, this, &MainWindow::RunCommand);
  actions_->BuildMenuBar(menuBar(), session_->VirtualBoard() != nullptr);

  poseArea_ = new PoseArea(*session_);
  motionArea_ = new MotionArea(*session_);
  split_ = new SplitPane(poseArea_, motionArea_, this);
  setCentralWidget(split_);
  connect(split_, &SplitPane::wheelNotches, this,
          [this](int notches, Qt::KeyboardModifiers modifiers, bool overMotionArea) {
            if (overMotionArea) {
              motionArea_->StepWheel(notches, modifiers);
            } else {
              poseArea_->StepWheel(notches, modifiers);
            }
          });
  const auto toggleSplit = [this] {
    if ((session_->systemFlags.load() & core::SystemFlag::kDoubleClickSplitOff) == 0) {
      split_->ToggleCollapsed();
    }
  };
  // The split line and the empty parts of both panes, each time as _DOUBLECLK_LINEMOV says now.
  connect(split_, &SplitPane::doubleClicked, this, toggleSplit);
  connect(poseArea_, &PoseArea::emptyAreaDoubleClicked, this, toggleSplit);
  connect(motionArea_, &MotionArea::emptyAreaDoubleClicked, this, toggleSplit);
  connect(poseArea_, &PoseArea::contextMenuRequested, this,
          [this](const QPoint& at) { actions_->PoseAreaMenu()->popup(at); });
  connect(motionArea_, &MotionArea::contextMenuRequested, this,
          [this](const QPoint& at) { actions_->MotionAreaMenu()->popup(at); });
  connect(motionArea_, &MotionArea::blockPropertiesRequested, this,
          [this](core::MotionBlock* block) { EditBlock(*block); });

  toolbar_ = new MainToolbar(*actions_, programFolder_, this);
  addToolBar(Qt::TopToolBarArea, toolbar_);
  toolbar_->Build(project.system);
  toolbar_->setVisible((session_->systemFlags.load() & core::SystemFlag::kToolbar) != 0);
  connect(toolbar_, &MainToolbar::overrideChanged, this,
          [this](int percent) { session_->state.overridePercent = percent; });
  connect(toolbar_, &MainToolbar::offsetChosen, this, [this](int index) {
    core::ChooseOffsetFromSelector(session_->project.offsets, index);
    RefreshMenuChecks();
    setFocus();
  });
  toolbar_->FillOffsetSelector(core::FillOffsetSelector(project.offsets));

  statusWindow_ = new StatusWindowHost(
      this, session_->link, session_->project.system,
      [this] {
        std::lock_guard lock(session_->sessionMutex);
        return core::RobotName(session_->project.cpu);
      },
      &prompter_);

  previewPlayer_ = new PreviewPlayer(*session_, prompter_, this);
  connect(previewPlayer_, &PreviewPlayer::playingChanged, this, &MainWindow::ApplyPlaybackLock);
}

// The slider definition file holds the top-left corner of the frame and the client size below
// the menu bar (the toolbar and the panes), so both are restored as they were saved: move()
// places the frame, resize() sizes the window without it.
void MainWindow::RestoreGeometry() {
  const core::WindowLayout& layout = session_->project.layout;
  resize(layout.clientWidth, layout.clientHeight + MenuBarHeight());
  move(layout.left, layout.top);
  split_->SetRatio(layout.splitRatio);
  split_->SetCollapsed(layout.collapsed != 0);
  if (layout.previewOpen != 0) {
    ShowPreview(true);
  }
}

int MainWindow::MenuBarHeight() const {
  // A menu bar that the system shows elsewhere takes no room in the window. The hint, not the
  // current height, so that saving and restoring measure alike.
  const QMenuBar* bar = menuBar();
  return bar->isNativeMenuBar() ? 0 : bar->sizeHint().height();
}

void MainWindow::StoreWindowLayout() {
  core::LoadedProject& project = session_->project;
  // Minimised or maximised, the window goes back to its normal rectangle next time; the frame
  // around it is taken to be the one it has now.
  const bool normal =
      (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
  const QRect client = normal ? geometry() : normalGeometry();
  const QPoint frameCorner = client.topLeft() - (geometry().topLeft() - pos());
  project.layout.clientWidth = client.width();
  project.layout.clientHeight = client.height() - MenuBarHeight();
  project.layout.left = frameCorner.x();
  project.layout.top = frameCorner.y();
  project.layout.splitRatio = split_->Ratio();
  project.layout.collapsed = split_->Collapsed() ? 0xFFFFFFFFu : 0u;
  if (previewWindow_) {
    const QRect frame = previewWindow_->frameGeometry();
    project.layout.previewOpen = previewWanted_ ? 1 : 0;
    project.layout.previewLeft = frame.left();
    project.layout.previewTop = frame.top();
    project.layout.previewWidth = previewWindow_->width();
    project.layout.previewHeight = previewWindow_->height();
  }
}

void MainWindow::SaveWindowLayout() {
  StoreWindowLayout();
  core::LoadedProject& project = session_->project;
  std::lock_guard lock(session_->sessionMutex);
  core::WriteSliderDefinitions(core::ProjectFilePath(project.project, project.project.SLDINI),
                               project.sliders, project.layout);
}

void MainWindow::RepaintPane(core::Pane pane, bool relayout) {
  if (pane == core::Pane::kPose && poseArea_) {
    relayout ? poseArea_->RequestRelayout() : poseArea_->update();
  } else if (pane == core::Pane::kMotion && motionArea_) {
    relayout ? motionArea_->RequestFullRedraw() : motionArea_->viewport()->update();
  }
}

void MainWindow::ScrollMotionArea(int left, int top, int right, int bottom) {
  if (motionArea_) {
    motionArea_->ScrollIntoView(left, top, right, bottom);
  }
}

void MainWindow::RefreshMenuChecks() {
  if (!actions_) {
    return;
  }
  const core::BoardFlags& flags = session_->link.Flags();
  // Checked once the robot check has passed: not while a board is chosen or still answering.
  actions_->Action(40093)->setChecked(flags.online.load() != 0);
  actions_->Action(40141)->setChecked((session_->systemFlags.load() & core::SystemFlag::kServoOn) !=
                                      0);
  actions_->Action(CommandId::kPreviewWindow)
      ->setChecked(previewWindow_ && previewWindow_->isVisible());
  actions_->FillBasePoseMenus(core::BuildBasePoseMenu(session_->project.basePoses));
  actions_->FillRecentProjects(recentProjects_);
}

void MainWindow::ApplyPlaybackLock(bool playing) {
  if (!split_) {
    return;  // closing down
  }
  actions_->SetPlaybackLock(playing);
  toolbar_->SetPlaybackLock(playing);
  poseArea_->SetInputLocked(playing);
  motionArea_->SetInputLocked(playing);
  split_->SetWheelLocked(playing);
  RefreshMenuChecks();
}

core::PromptAnswer MainWindow::ConfirmSaveChanges() {
  if ((session_->systemFlags.load() & core::SystemFlag::kModified) == 0) {
    return core::PromptAnswer::kYes;
  }
  const core::PromptAnswer answer =
      prompter_.Ask(core::PromptIcon::kQuestion, core::LoadText(core::TextId::kConfirmSaveChanges),
                    core::PromptButtons::kYesNoCancel);
  if (answer != core::PromptAnswer::kYes) {
    return answer;
  }
  // A save that was cancelled or failed must not let the caller discard the motion.
  return SaveMotion(true) ? core::PromptAnswer::kYes : core::PromptAnswer::kCancel;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Saving writes into the blocks that the playback thread is following: a playing motion stops
  // first. A board that does not let go in time keeps the window open rather than racing it.
  if (session_->MotionLocked()) {
    session_->playback->StopMotion();
    QElapsedTimer waited;
    waited.start();
    while (session_->MotionLocked() && waited.elapsed() < kStopOnCloseCeilingMs) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(5);
    }
    if (session_->MotionLocked()) {
      event->ignore();
      return;
    }
  }
  if (!exitWithoutAsking_ && ConfirmSaveChanges() == core::PromptAnswer::kCancel) {
    event->ignore();
    return;
  }
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !session_->MotionLocked()) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!urls.isEmpty()) {
    DroppedFile(urls.first().toLocalFile());
  }
  event->acceptProposedAction();
}

}  // namespace gestalon::ui

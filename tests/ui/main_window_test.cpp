#include "main_window/main_window.h"

#include <atomic>
#include <map>
#include <random>
#include <thread>

#include "cpusettings/cpu_settings_file.h"
#include "dialog_checks.h"
#include "main_window/command_actions.h"
#include "main_window/file_hand_over.h"
#include "main_window/program_arguments.h"
#include "main_window/split_pane.h"
#include "motion/motion_writer.h"
#include "motion_area/motion_area.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "pose/pose_operations.h"
#include "pose_area/pose_area.h"
#include "pose_area/pose_area_layout.h"
#include "private_app_data.h"
#include "project/language_list.h"
#include "project/new_project_dialog.h"
#include "project/project_loader.h"
#include "project/project_start.h"
#include "project/recent_projects.h"
#include "project/relaunch.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "virtual_board.h"
#include "window_driving.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
namespace TextId = core::TextId;
using testing::Click;
using testing::RecordingPrompter;
using testing::SampleRobot;

std::unique_ptr<MainWindow> OpenWindow(SampleRobot& robot, core::Prompter& prompter) {
  auto window =
      std::make_unique<MainWindow>(robot.project, prompter, fs::path(GESTALON_RESOURCES_DIR));
  window->show();
  return window;
}

// The motion as its file would hold it.
std::string MotionText(EditorSession& session) {
  std::lock_guard lock(session.sessionMutex);
  return core::BuildMotionFileText(session.motion.document, session.project.sliders, 100, nullptr);
}

std::vector<const core::MotionBlock*> BlockAddresses(const core::MotionDocument& document) {
  std::vector<const core::MotionBlock*> blocks;
  for (const core::MotionBlock& block : document) {
    blocks.push_back(&block);
  }
  return blocks;
}

// The enabled items of the menu bar, submenus entered only through an enabled entry: command
// items by id, submenu entries by their text.
QStringList EnabledMenuItems(MainWindow& window) {
  QStringList enabled;
  const std::function<void(QMenu*)> walk = [&](QMenu* menu) {
    for (QAction* item : menu->actions()) {
      if (item->isSeparator() || !item->isEnabled()) {
        continue;
      }
      if (item->menu()) {
        enabled << item->text();
        walk(item->menu());
      } else {
        enabled << item->objectName();
      }
    }
  };
  for (QAction* top : window.menuBar()->actions()) {
    walk(top->menu());
  }
  enabled.sort();
  return enabled;
}

// The middle of the knob of the first enabled slider, and that slider.
std::pair<QPoint, int> FirstKnob(MainWindow& window) {
  const core::LoadedProject& project = window.Session().project;
  int slider = 0;
  while (!core::SliderEnabled(project.sliders[static_cast<std::size_t>(slider)])) {
    ++slider;
  }
  PoseSnapshot snapshot;
  snapshot.values = window.Session().motion.document.current->slots;
  const PoseSkinMetrics metrics = SkinMetricsOf(project.system);
  const SliderLayout layout =
      LayoutSlider(project, slider, snapshot, metrics, window.Poses()->LayoutBounds());
  return {QPoint(layout.knobLeft + metrics.knobWidth / 2, layout.knobTop + metrics.knobHeight / 2),
          slider};
}

// Turns the wheel over the motion area (120: one notch up).
void WheelOverMotions(MainWindow& window, int delta) {
  SplitPane* split = window.Split();
  const QPoint overMotion(split->width() - 20, split->height() / 2);
  QWheelEvent wheel(overMotion, split->mapToGlobal(overMotion), {}, QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(split, &wheel);
}

struct Started {
  std::u16string path;
  std::vector<std::u16string> options;
  bool operator==(const Started&) const = default;
};
using StartList = std::vector<Started>;

// An instance start that records what it was asked to start.
auto Recorder(std::vector<Started>& started) {
  return [&started](std::u16string_view path, const std::vector<std::u16string>& options) {
    started.push_back({std::u16string(path), options});
    return true;
  };
}

// Answers each modal dialog that comes up while the returned timer lives, once, by its id
// (objectName).
std::unique_ptr<QTimer> AnswerModalDialogs(
    std::map<QString, std::function<void(QDialog&)>> answers) {
  auto poll = std::make_unique<QTimer>();
  QObject::connect(poll.get(), &QTimer::timeout, [answers = std::move(answers)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible() || dialog->property("answered").toBool()) {
      return;
    }
    if (const auto it = answers.find(dialog->objectName()); it != answers.end()) {
      dialog->setProperty("answered", true);
      // Answered from a call of its own: the answer may run modal loops, in which this timer
      // would not fire again.
      QTimer::singleShot(0, dialog, [dialog, answer = it->second] { answer(*dialog); });
    }
  });
  poll->start(20);
  return poll;
}

}  // namespace

// The main window, and the project dialogs that start the program on a project.
class MainWindowTest : public QObject {
  Q_OBJECT

  testing::PrivateAppData appData_;

 private Q_SLOTS:
  // A changed motion marks the title once; closing asks whether to save it (Cancel keeps the
  // window), Exit ends without the question.
  void changedMotionMarksTheTitleAndClosingAsks() {
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    auto window = OpenWindow(robot, prompter);
    QVERIFY(window->close());  // unchanged: no question
    QVERIFY(prompter.Calls().empty());
    window->show();
    const QString title = window->windowTitle();
    window->RunCommand(CommandId::kMirror);
    window->RunCommand(CommandId::kSplitPose);
    QCOMPARE(window->windowTitle(), title + " *");
    window->RunCommand(CommandId::kUndo);
    QCOMPARE(window->windowTitle(), title + " *");
    prompter.QueueAnswer(core::PromptAnswer::kCancel);
    QVERIFY(!window->close());
    QCOMPARE(testing::ShownTexts(prompter), testing::Texts({core::TextId::kConfirmSaveChanges}));
    window->RunCommand(CommandId::kExit);
    QVERIFY(!window->isVisible());
    QCOMPARE(prompter.Calls().size(), std::size_t{1});
  }

  // The Help menu's language entry restarts the program on this project in the other language
  // and remembers the choice; declining either question keeps the window.
  void languageEntryRestartsInTheOtherLanguage() {
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    auto window = OpenWindow(robot, prompter);
    std::vector<Started> started;
    window->Session().dialogs.startInstance = Recorder(started);
    window->RunCommand(CommandId::kSplitPose);
    prompter.QueueAnswer(core::PromptAnswer::kNo);  // no restart
    window->RunCommand(CommandId::kSwitchLanguage);
    prompter.QueueAnswer(core::PromptAnswer::kYes);
    prompter.QueueAnswer(core::PromptAnswer::kCancel);  // keep the changed motion
    window->RunCommand(CommandId::kSwitchLanguage);
    QVERIFY(started.empty());
    QVERIFY(window->isVisible());
    prompter.QueueAnswer(core::PromptAnswer::kYes);
    prompter.QueueAnswer(core::PromptAnswer::kNo);  // discard the changes
    window->RunCommand(CommandId::kSwitchLanguage);
    QVERIFY(!window->isVisible());
    const std::u16string other = core::LoadText(core::TextId::kOtherInterfaceLanguage);
    QCOMPARE(started, (StartList{{core::TextFromPath(core::FindProjectFile(robot.Folder())),
                                  {u"--language", other}}}));
    QCOMPARE(core::ReadLanguageChoice(core::AppDataFolder()), other);
  }

  // The split line stays between 5 and 95 per cent; a double click on the empty pose area
  // collapses the split unless line moves are switched off; the wheel goes to the pane under
  // the cursor, two half notches making one.
  void splitPaneMovesItsLineAndPassesTheWheelOn() {
    SampleRobot robot;
    robot.project.system.systemFlags |= core::SystemFlag::kDoubleClickSplitOff;
    testing::RecordingPrompter prompter;
    auto window = OpenWindow(robot, prompter);
    SplitPane* split = window->Split();
    const int y = split->height() / 2;
    testing::MouseOn(split).Drag({split->SplitX(), y}, {split->width() + 50, y});
    QCOMPARE(split->Ratio(), 0.95);
    core::MotionBlock* pose = window->Session().motion.document.current;
    pose->selFlags |= core::kBlockSelected;
    const std::uint16_t time = pose->time;
    WheelOverMotions(*window, 60);
    WheelOverMotions(*window, 60);
    QCOMPARE(pose->time, static_cast<std::uint16_t>(time + 1));
    testing::MouseOn poses(window->Poses());
    poses.DoubleClick({5, 5});  // above the sliders
    QVERIFY(!split->Collapsed());
    window->Session().systemFlags.fetch_and(~core::SystemFlag::kDoubleClickSplitOff);
    poses.DoubleClick({5, 5});
    QVERIFY(split->Collapsed());
  }

  void copyAndSelectAllFollowTheCursor() {
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    auto window = OpenWindow(robot, prompter);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    EditorSession& session = window->Session();
    SplitPane* split = window->Split();
    const auto cursorOver = [&](bool motionArea) {
      const int x = motionArea ? split->width() - 20 : 20;
      QCursor::setPos(split->mapToGlobal(QPoint(x, split->height() / 2)));
    };
    cursorOver(true);
    window->RunCommand(CommandId::kSelectAll);
    for (const core::MotionBlock& block : session.motion.document) {
      QVERIFY(block.Selected());
    }
    window->RunCommand(CommandId::kCopyByPosition);
    QCOMPARE(session.state.blockClipboard.blocks.count(), 2);  // all but the Start block
    QVERIFY(!core::AnyEnabledSliderSelected(session.project.sliders));
    cursorOver(false);
    window->RunCommand(CommandId::kSelectAll);
    QVERIFY(core::AnyEnabledSliderSelected(session.project.sliders));
    window->RunCommand(CommandId::kCopyByPosition);
    // Only the selected sliders are marked as copied (a copy with none selected marks all 128).
    QVERIFY(session.state.poseClipboard.copyMask.count() < core::kSliderCount);
  }

  void droppedFilesAreRoutedByNameAndServoSwitchOfflineSaysSo() {
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    auto window = OpenWindow(robot, prompter);
    const fs::path lower = robot.Folder() / "lower.kx4";
    fs::copy_file(robot.Folder() / "bow.KX4", lower);
    const auto drop = [&](const fs::path& file) {
      window->DroppedFile(ToQString(file.u16string()));
    };
    drop(lower);
    QVERIFY(window->windowTitle().contains(QStringLiteral("lower.kx4")));
    drop(robot.Folder() / "missing.KX4");  // reported, the open motion stays
    QVERIFY(window->windowTitle().contains(QStringLiteral("lower.kx4")));
    QVERIFY(prompter.Calls().back().text.find(u"missing.KX4") != std::u16string::npos);
    drop(robot.Folder() / "memmap.txt");
    QCOMPARE(prompter.Calls().back().text, core::LoadText(core::TextId::kUnsupportedDroppedFile));
    // The servo switch offline says so and leaves the servos off.
    window->Session().systemFlags.fetch_or(core::SystemFlag::kServoOn);
    window->RunCommand(CommandId::kServoOn);
    QCOMPARE(prompter.Calls().back().text, core::LoadText(core::TextId::kMsgNotOnline));
    QCOMPARE(window->Session().systemFlags.load() & core::SystemFlag::kServoOn, 0u);
    QVERIFY(!window->Actions().Action(CommandId::kServoOn)->isChecked());
  }

  // A motion file opened from the file manager by another start of the program opens in the
  // window that serves the hand-over; a second window leaves the name to the first.
  void handedOverMotionFileOpensInTheServingWindow() {
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    const QString name = HandOverServerName(robot.dir.Path());
    const QString motion = ToQString((robot.Folder() / "bow.KX4").u16string());
    QVERIFY2(!HandOverToRunningEditor(name, motion, 30000), "no editor serves yet");
    auto window = OpenWindow(robot, prompter);
    window->ServeHandedOverFiles(name);
    auto second = OpenWindow(robot, prompter);
    second->ServeHandedOverFiles(name);
    // The sender waits for the answer, which this thread's event loop gives.
    std::atomic<int> taken{-1};
    std::thread sender([&] { taken = HandOverToRunningEditor(name, motion, 30000) ? 1 : 0; });
    QTRY_VERIFY_WITH_TIMEOUT(taken.load() >= 0, 60000);
    sender.join();
    QCOMPARE(taken.load(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(window->windowTitle().contains(QStringLiteral("bow.KX4")), 30000);
    QVERIFY(!second->windowTitle().contains(QStringLiteral("bow.KX4")));
  }

  // The whole road: online to the virtual board, a slider drag moves the virtual servo, offline
  // again; the Online button shows the connection.
  void endToEndOnTheVirtualBoard() {
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    auto window = testing::WindowOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QAction* online = window->Actions().Action(CommandId::kOnline);
    testing::SwitchOnline(*window, true);
    QTRY_VERIFY_WITH_TIMEOUT(online->isChecked(), 30000);
    // Drag the knob of the first enabled slider to the right.
    const auto [knob, slider] = FirstKnob(*window);
    const std::uint32_t target = 0x0A00 + 2 * static_cast<std::uint32_t>(slider);
    const std::uint16_t before = session.VirtualBoard()->Word(target);
    testing::MouseOn(window->Poses()).Drag(knob, knob + QPoint(40, 0));
    const std::int16_t dragged = session.motion.document.current->slots[slider];
    QVERIFY(dragged != static_cast<std::int16_t>(before));
    QTRY_COMPARE_WITH_TIMEOUT(static_cast<std::int16_t>(session.VirtualBoard()->Word(target)),
                              dragged, 30000);
    testing::SwitchOnline(*window, false);
    QTRY_VERIFY_WITH_TIMEOUT(!online->isChecked(), 30000);
  }

  // Whenever the modified bit is clear, the motion shown is the one in its file (a new motion
  // when it has none): Save, Open and New start a fresh undo history, so that no undo leads away
  // from the file unnoticed. Random runs of edits, Save, Undo, Redo, New and Open.
  void unmodifiedMotionIsTheOneInItsFile() {
    using namespace CommandId;
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    auto window = OpenWindow(robot, prompter);
    EditorSession& session = window->Session();
    for (const char* file : {"walk.KX4", "bow.KX4"}) {  // recent motions 1 and 0, saved here
      fs::copy_file(robot.Folder() / file, robot.Folder() / (std::string("my") + file));
      QVERIFY(window->OpenMotionFile(robot.Folder() / (std::string("my") + file)));
      window->RunCommand(kSave);
    }
    window->RunCommand(kNew);
    const std::string newMotion = MotionText(session);
    const auto modified = [&] {
      return (session.systemFlags.load() & core::SystemFlag::kModified) != 0;
    };
    const std::array edits = {kMirror, kSplitPose, kDuplicatePose, kDeletePose, kCopyLeftToRight};
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
      std::mt19937 random(seed);
      QString steps;
      for (int step = 0; step < 40; ++step) {
        const unsigned choice = random() % 8;
        const bool opens = choice >= 6;  // New or a recent motion
        const int command = choice < 3    ? edits[random() % edits.size()]
                            : choice == 7 ? kRecentMotionFirst + static_cast<int>(random() % 2)
                                          : std::array{kUndo, kRedo, kSave, kNew}[choice - 3];
        steps += QString::number(command) + " ";
        if (command == kSave && session.motion.path.empty()) {
          continue;  // a new motion would ask for a name
        }
        if (opens && modified()) {
          prompter.QueueAnswer(core::PromptAnswer::kNo);  // discard the changes
        }
        window->RunCommand(command);
        if (opens || command == kSave) {
          QVERIFY2(!window->Actions().Action(kUndo)->isEnabled() &&
                       !window->Actions().Action(kRedo)->isEnabled(),
                   qPrintable(steps));
        }
        const std::u16string& path = session.motion.path;
        QVERIFY2(modified() ||
                     MotionText(session) ==
                         (path.empty() ? newMotion : testing::ReadBytes(core::PathFromText(path))),
                 qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(steps)));
      }
    }
  }

  // While a motion plays it is locked: a drop, a recent motion, edits by command, accelerator,
  // wheel and mouse leave it as it is, and the menu bar offers only Stop, Play from here and
  // Servo ON. Once playback has ended, edits work again.
  void playingMotionIsLocked() {
    using namespace CommandId;
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    auto window = testing::WindowOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(window->OpenMotionFile(robot.Folder() / "bow.KX4"));
    QVERIFY(window->OpenMotionFile(robot.Folder() / "wave.KX4"));
    window->RunCommand(kNew);
    core::MotionBlock* pose = session.motion.document.current;
    pose->selFlags |= core::kBlockSelected;
    pose->time = 65535;  // minutes on the board: still playing while the test works
    pose->interpWait = true;
    const std::string before = MotionText(session);
    const std::vector<const core::MotionBlock*> blocks = BlockAddresses(session.motion.document);
    testing::SwitchOnline(*window, true);
    window->RunCommand(kPlay);
    QVERIFY(session.playback->Active());
    // At once, before the menus are greyed.
    window->DroppedFile(ToQString((robot.Folder() / "bow.KX4").u16string()));
    window->RunCommand(kRecentMotionFirst);
    window->RunCommand(kMirror);
    window->RunCommand(kDeletePose);
    QTRY_VERIFY_WITH_TIMEOUT(window->Actions().Action(kStop)->isEnabled(), 30000);
    QCOMPARE(EnabledMenuItems(*window),
             QStringList({QString::number(kPlayFromHere), QString::number(kStop),
                          QString::number(kServoOn), QString::number(kPreviewWindow)}));
    window->DroppedFile(ToQString((robot.Folder() / "bow.KX4").u16string()));
    QTest::keyClick(window.get(), Qt::Key_Insert);  // split pose
    WheelOverMotions(*window, 120);
    MotionArea* motions = window->Motions();
    const QPoint onPose = QPoint(pose->xpos + 3, pose->ypos + 3) - motions->ScrollPosition();
    testing::MouseOn(motions->viewport()).Drag(onPose, onPose + QPoint(40, 40));
    const QPoint knob = FirstKnob(*window).first;
    testing::MouseOn(window->Poses()).Drag(knob, knob + QPoint(40, 0));
    QVERIFY(session.playback->Playing());
    window->RunCommand(kStop);
    QTRY_VERIFY_WITH_TIMEOUT(!session.playback->Active(), 30000);
    QCOMPARE(BlockAddresses(session.motion.document), blocks);
    QVERIFY(MotionText(session) == before);
    QVERIFY(prompter.Calls().empty());
    window->RunCommand(kDuplicatePose);
    QCOMPARE(session.motion.document.count(), static_cast<std::int32_t>(blocks.size() + 1));
    // Closing while a motion plays stops it before asking whether to save, so that saving never
    // writes into blocks the board is being followed through.
    window->RunCommand(kPlay);
    QVERIFY(session.playback->Active());
    prompter.QueueAnswer(core::PromptAnswer::kNo);
    QVERIFY(window->close());
    QVERIFY(!session.playback->Active());
    QCOMPARE(prompter.Calls().size(), std::size_t{1});
  }

  // The frame's corner and the client size below the menu bar go to the slider definition file
  // and come back unchanged, start after start (the test platform draws a frame around windows).
  void windowPlaceAndSizeSurviveRestarts() {
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    const fs::path file =
        core::ProjectFilePath(robot.project.project, robot.project.project.SLDINI);
    const QRect saved(130, 90, 900, 620);
    robot.project.layout.left = saved.left();
    robot.project.layout.top = saved.top();
    robot.project.layout.clientWidth = saved.width();
    robot.project.layout.clientHeight = saved.height();
    for (int start = 0; start < 3; ++start) {
      {
        auto window = OpenWindow(robot, prompter);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(QSize(window->width(), window->height() - window->menuBar()->height()),
                 saved.size());
        QVERIFY(window->close());
      }
      core::SliderTable sliders;
      core::WindowLayout read;
      QVERIFY(core::ReadSliderDefinitions(file, sliders, read));
      QCOMPARE(QRect(read.left, read.top, read.clientWidth, read.clientHeight), saved);
      robot.project.layout = read;
    }
  }

  // Another project opens in a new instance that keeps this one's virtual board.
  void newInstanceKeepsTheVirtualBoard() {
    const QString other = QStringLiteral("/robots/other robot/other.KJZ");
    const QString card = ToQString(core::TextFromPath(fs::current_path() / "card"));
    // Command lines with the arguments split at '|'; %1 the other project, %2 the card's path.
    const std::pair<const char*, const char*> cases[] = {
        {"/robots/a.KJZ", "%1"},
        {"/robots/a b.KJZ|--virtual-board=card", "--virtual-board=%2|%1"},
        {"--language|en|/robots/a.KJZ|--virtual-board", "--language|en|--virtual-board|%1"},
    };
    for (const auto& [arguments, expected] : cases) {
      const ProgramArguments parsed = ParseProgramArguments(QString(arguments).split('|'));
      QStringList relaunch;
      for (const std::u16string& argument :
           core::RelaunchArguments(other.toStdU16String(), PassedOnOptions(parsed.session))) {
        relaunch << ToQString(argument);
      }
      QCOMPARE(relaunch.join('|'), QString(expected).arg(other, card));
      // The new instance reads its own command line back to the same options.
      const ProgramArguments reread = ParseProgramArguments(relaunch);
      QCOMPARE(reread.projectPath, other.toStdU16String());
      QVERIFY(reread.session.virtualBoardFolder == parsed.session.virtualBoardFolder);
      QVERIFY(reread.session.language == parsed.session.language);
    }
    // The file manager passes motion files the same way.
    const ProgramArguments motion =
        ParseProgramArguments({QStringLiteral("/m/my"), QStringLiteral("walk.kx4")});
    QCOMPARE(motion.motionPath, QStringLiteral("/m/my walk.kx4"));
    QVERIFY(motion.projectPath.empty());
  }

  // Start-up without a project: the message, the choice to create, and a new project that
  // initialises the virtual board of the command line, which the new instance keeps.
  void startupWithoutProjectCreatesOneOnTheVirtualBoard() {
    testing::TempDir dir;
    RecordingPrompter prompter;
    SessionOptions options;
    options.virtualBoardFolder = dir / "card";
    std::vector<Started> started;
    const auto answering = AnswerModalDialogs(
        {{QStringLiteral("155"), [](QDialog& d) { Click(d, 1); }},
         {QStringLiteral("150"),
          [&dir](QDialog& d) {
            FindControl<QLineEdit>(&d, 1142)->setText(QStringLiteral("Start1"));
            FindControl<QLineEdit>(&d, 1189)->setText(ToQString((dir / "Start1").u16string()));
            Click(d, 1111);
          }},
         {QStringLiteral("195"), [](QDialog& d) { Click(d, 1); }}});
    RunStartupProjectChoice(GESTALON_RESOURCES_DIR, prompter, options, Recorder(started));
    const auto calls = prompter.Calls();
    QVERIFY(!calls.empty());
    QCOMPARE(calls.front().text, core::LoadText(TextId::kMsgNoProjectFound));
    QCOMPARE(calls.back().text, core::LoadText(TextId::kMsgWriteDone));
    core::CpuSettings card;
    QVERIFY(core::ReadCpuSettingsFile(dir / "card" / "STARTUP.XML", card, nullptr));
    QCOMPARE(core::RobotName(card), std::u16string(u"Start1"));
    QCOMPARE(started, (StartList{{core::TextFromPath(dir / "Start1" / "Start1.KJZ"),
                                  std::vector<std::u16string>{u"--virtual-board"}}}));
  }

  // A project folder that already exists is asked about first: No leaves it untouched and the
  // dialog open; Yes makes the project in it.
  void existingProjectFolderIsAskedAboutFirst() {
    testing::TempDir dir;
    RecordingPrompter prompter;
    std::vector<Started> started;
    ProjectStartContext context;
    context.programFolder = GESTALON_RESOURCES_DIR;
    context.recentLog = core::AppDataFolder() / core::kRecentProjectLogName;
    context.prompter = &prompter;
    context.startInstance = Recorder(started);
    NewProjectDialog dialog(context);
    dialog.show();
    FindControl<QComboBox>(&dialog, 1123)->setCurrentIndex(1);
    FindControl<QLineEdit>(&dialog, 1142)->setText(QStringLiteral("Old"));
    FindControl<QLineEdit>(&dialog, 1189)->setText(ToQString((dir / "Old").u16string()));
    FindControl<QCheckBox>(&dialog, 1100)->setChecked(false);
    fs::create_directory(dir / "Old");
    prompter.QueueAnswer(core::PromptAnswer::kNo);
    Click(dialog, 1111);
    QCOMPARE(prompter.Calls().back().text, core::LoadText(TextId::kMsgProjectFolderExists));
    QVERIFY(fs::is_empty(dir / "Old") && dialog.isVisible() && started.empty());
    Click(dialog, 1111);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(fs::exists(dir / "Old" / "Old.KJZ") && started.size() == 1);
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::MainWindowTest)
#include "main_window_test.moc"

#include <map>

#include "cpusettings/cpu_settings_file.h"
#include "dialog_checks.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "private_app_data.h"
#include "project/new_project_dialog.h"
#include "project/project_start.h"
#include "project/recent_projects.h"
#include "project/start_selection_dialog.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
namespace TextId = core::TextId;
using testing::Click;
using testing::LastMessage;
using testing::RecordingPrompter;
using testing::Screenshot;

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

// The project dialogs' context on the shipped templates, with the instance start recorded.
ProjectStartContext Context(RecordingPrompter& prompter, std::vector<Started>& started) {
  ProjectStartContext context;
  context.programFolder = GESTALON_RESOURCES_DIR;
  context.recentLog = core::AppDataFolder() / core::kRecentProjectLogName;
  context.prompter = &prompter;
  context.passedOnOptions = {u"--virtual-board=/card"};
  context.startInstance = Recorder(started);
  return context;
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

class ProjectDialogsTest : public QObject {
  Q_OBJECT

  testing::PrivateAppData appData_;

 private Q_SLOTS:

  // The new project dialog: the templates, the proposed name, the checks, the question for an
  // existing folder, the project made and the program started on it.
  void newProjectIsCheckedMadeWrittenToTheBoardAndStarted() {
    testing::TempDir dir;
    RecordingPrompter prompter;
    std::vector<Started> started;
    ProjectStartContext context = Context(prompter, started);
    context.proposedRobotName = u"ボード名";
    context.pickFolder = [&dir](QWidget*, const QString& title, const QString&) {
      return title == Text(TextId::kTitleProjectLocationBrowse) ? ToQString(dir.Path().u16string())
                                                                : QString();
    };
    NewProjectDialog dialog(context);
    dialog.show();
    auto* kinds = FindControl<QComboBox>(&dialog, 1123);
    QCOMPARE(kinds->count(), 2);
    QCOMPARE(kinds->itemText(1), QStringLiteral("ゲスタロイド (人型)"));
    kinds->setCurrentIndex(1);
    auto* name = FindControl<QLineEdit>(&dialog, 1142);
    auto* folder = FindControl<QLineEdit>(&dialog, 1189);
    QCOMPARE(name->text(), QStringLiteral("ボード名"));
    QVERIFY(FindControl<QCheckBox>(&dialog, 1100)->isChecked());

    // The core's check of name and folder, with its message.
    name->setText(QStringLiteral("新ロボ"));
    Click(dialog, 1111);
    QCOMPARE(LastMessage(prompter), core::LoadText(TextId::kMsgProjectFolderEmpty));
    QCOMPARE(prompter.Calls().back().icon, core::PromptIcon::kWarning);
    Click(dialog, 1110);
    const fs::path made = dir / "新ロボ";
    QCOMPARE(folder->text(), ToQString(core::TextFromPath(made)));
    Screenshot(dialog, QStringLiteral("new_project"));

    // An existing folder asks first; No leaves it as it was and the dialog open.
    fs::create_directory(made);
    prompter.QueueAnswer(core::PromptAnswer::kNo);
    Click(dialog, 1111);
    QCOMPARE(LastMessage(prompter), core::LoadText(TextId::kMsgProjectFolderExists));
    QVERIFY(fs::is_empty(made));
    QVERIFY(dialog.isVisible() && started.empty());

    // Yes, without writing the board (the start-up test writes one).
    FindControl<QCheckBox>(&dialog, 1100)->setChecked(false);
    Click(dialog, 1111);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(started,
             (StartList{{core::TextFromPath(made / "新ロボ.KJZ"), context.passedOnOptions}}));
    QVERIFY(fs::exists(made / "新ロボ.KJZ"));
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

  // The start selection: the board's robot preselected among the recent robots, its project
  // opened in a new instance; without a known robot only creating is offered.
  void startSelectionOpensTheBoardsRobotOrGoesOnToCreate() {
    testing::TempDir dir;
    core::RecentProjects log;
    for (const char* robot : {"ロボA", "ロボB"}) {
      const fs::path file = dir / robot / "robot.KJZ";
      fs::create_directories(file.parent_path());
      testing::WriteBytes(file, "");
      const std::u16string path = core::TextFromPath(file);
      QVERIFY(core::WriteRecentProjects(core::AppDataFolder() / core::kRecentProjectLogName, log,
                                        &path, ToU16(QString::fromUtf8(robot))));
    }
    RecordingPrompter prompter;
    std::vector<Started> started;
    ProjectStartContext context = Context(prompter, started);
    context.proposedRobotName = u"ロボA";
    context.projectFolder = core::TextFromPath(dir.Path());
    QString startFolder;
    context.pickFile = [&](QWidget*, const FileChoice& choice, const QString& start) {
      startFolder = start;
      return choice.filters.join(' ').contains(QStringLiteral("*.KJZ")) ? QStringLiteral("/x.KJZ")
                                                                        : QString();
    };

    StartSelectionDialog dialog(context);
    dialog.show();
    auto* robots = FindControl<QComboBox>(&dialog, 1121);
    auto* path = FindControl<QLineEdit>(&dialog, 1142);
    QCOMPARE(robots->count(), 2);
    QCOMPARE(robots->currentText(), QStringLiteral("ロボA"));
    QVERIFY(FindControl<QRadioButton>(&dialog, 1112)->isChecked());
    QCOMPARE(path->text(), ToQString(core::TextFromPath(dir / "ロボA" / "robot.KJZ")));
    Screenshot(dialog, QStringLiteral("start_selection"));

    path->clear();
    Click(dialog, 1);
    QCOMPARE(LastMessage(prompter), core::LoadText(TextId::kMsgProjectPathEmpty));
    QVERIFY(dialog.isVisible());
    Click(dialog, 1110);
    QCOMPARE(startFolder, ToQString(context.projectFolder));
    QCOMPARE(path->text(), QStringLiteral("/x.KJZ"));
    Click(dialog, 1);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(started, (StartList{{std::u16string(u"/x.KJZ"), context.passedOnOptions}}));

    context.proposedRobotName = u"知らない";
    StartSelectionDialog fresh(context);
    fresh.show();
    QVERIFY(FindControl<QRadioButton>(&fresh, 1114)->isChecked());
    QVERIFY(!FindControl<QComboBox>(&fresh, 1121)->isEnabled());
    QVERIFY(!FindControl<QPushButton>(&fresh, 1110)->isEnabled());
    Click(fresh, 1);
    QCOMPARE(fresh.result(), int(QDialog::Accepted));
    QCOMPARE(started.size(), std::size_t(1));
  }

  // From the window: the new project command, and the board's robot-name question answered Yes,
  // which offers that robot's project; the new instance keeps the virtual board.
  void windowOffersTheProjectDialogsAndPassesTheVirtualBoardOn() {
    testing::SampleRobot robot;
    RecordingPrompter prompter;
    SessionOptions options;
    options.virtualBoardFolder = robot.dir / "card";
    options.virtualBoardFolderGiven = true;
    std::vector<Started> started;
    const auto record = Recorder(started);
    {
      MainWindow window(robot.project, prompter, GESTALON_RESOURCES_DIR, options);
      window.Session().dialogs.startInstance = record;
      window.Session().dialogs.pickFolder = [&robot](QWidget*, const QString&, const QString&) {
        return ToQString(robot.dir.Path().u16string());
      };
      const auto answering =
          AnswerModalDialogs({{QStringLiteral("150"), [](QDialog& d) {
                                 FindControl<QLineEdit>(&d, 1142)->setText(QStringLiteral("New1"));
                                 Click(d, 1110);
                                 FindControl<QCheckBox>(&d, 1100)->setChecked(false);
                                 Click(d, 1111);
                               }}});
      window.RunCommand(CommandId::kNewProject);
    }
    const std::vector<std::u16string> passed = {u"--virtual-board=" +
                                                core::TextFromPath(robot.dir / "card")};
    QCOMPARE(started, (StartList{{core::TextFromPath(robot.dir / "New1" / "New1.KJZ"), passed}}));

    // The card now answers with the sample robot's name; a project of another name asks.
    const std::u16string boardName = core::RobotName(robot.project.cpu);
    const std::u16string projectPath = core::TextFromPath(robot.Folder() / "gestaloid.KJZ");
    core::RecentProjects log;
    QVERIFY(core::WriteRecentProjects(core::AppDataFolder() / core::kRecentProjectLogName, log,
                                      &projectPath, boardName));
    core::SetRobotName(robot.project.cpu, u"OTHER");
    MainWindow window(robot.project, prompter, GESTALON_RESOURCES_DIR, options);
    window.Session().dialogs.startInstance = record;
    QString offered;
    const auto answering =
        AnswerModalDialogs({{QStringLiteral("195"), [](QDialog& d) { Click(d, 1); }},
                            {QStringLiteral("150"), [](QDialog& d) { d.reject(); }},
                            {QStringLiteral("155"), [&offered](QDialog& d) {
                               offered = FindControl<QComboBox>(&d, 1121)->currentText();
                               Click(d, 1);
                             }}});
    window.RunCommand(CommandId::kOnline);
    QTRY_VERIFY_WITH_TIMEOUT(!offered.isEmpty(), 30000);
    QCOMPARE(offered, ToQString(boardName));
    QVERIFY(testing::Shows(prompter, TextId::kMsgRobotNameMismatch));
    QCOMPARE(started.size(), std::size_t(2));
    QVERIFY(started[1] == (Started{projectPath, passed}));
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::ProjectDialogsTest)
#include "project_dialogs_test.moc"

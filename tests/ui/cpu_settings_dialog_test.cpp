#include "cpusettings/cpu_settings_dialog.h"

#include <QListWidget>
#include <QSpinBox>

#include "cpusettings/cpu_settings_file.h"
#include "dialog_checks.h"
#include "platform/paths.h"
#include "private_app_data.h"
#include "text/format.h"
#include "virtual_board.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
namespace TextId = core::TextId;

using testing::Click;
using testing::LastMessage;
using testing::SampleRobot;

// Adds a servo ID on the shown port and types `text` into its row.
void AddServoId(QWidget& dialog, const QString& text) {
  Click(dialog, 1255);
  QLineEdit* editor = FindControl<QTableWidget>(&dialog, 1049)->viewport()->findChild<QLineEdit*>();
  QVERIFY(editor);
  editor->setText(text);
  QTest::keyClick(editor, Qt::Key_Return);
}

}  // namespace

class CpuSettingsDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() { s_ = std::make_unique<testing::SampleSession>(); }
  void cleanup() { s_.reset(); }

  // Offline: the volume is stored as its attenuator, the settings file is written, the program
  // says so; the dialog reopens on its page and place, and its servo button reaches the window.
  void applyOfflineStoresAndWritesTheFile() {
    int servoToggles = 0;
    int applied = 0;
    CpuSettingsHooks hooks;
    hooks.toggleServo = [&] { ++servoToggles; };
    hooks.applied = [&] { ++applied; };
    {
      CpuSettingsDialog dialog(s_->session, hooks);
      dialog.show();
      testing::ScreenshotPages(dialog, 1098, QStringLiteral("cpu"));
      QSpinBox* volume = FindControl<QSpinBox>(&dialog, 1171);
      QCOMPARE(volume->value(), 5);  // the sample's attenuator is 2
      volume->setValue(7);
      Click(dialog, 1000);
      QCOMPARE(s_->session.project.cpu.voiceAttenuator, std::uint16_t{0});
      QCOMPARE(s_->prompter.Calls().front().text, core::LoadText(TextId::kMsgConfirmApplySettings));
      QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgSettingsApplied));
      QCOMPARE(applied, 1);
      volume->setValue(0);
      Click(dialog, 1000);
      core::CpuSettings reread;
      QVERIFY(core::ReadCpuSettingsFile(s_->robot.Folder() / "STARTUP.XML", reread, nullptr));
      QCOMPARE(reread.voiceAttenuator, std::uint16_t{7});

      // No to the question: nothing is checked or stored.
      volume->setValue(3);
      s_->prompter.QueueAnswer(core::PromptAnswer::kNo);
      Click(dialog, 1000);
      QCOMPARE(s_->session.project.cpu.voiceAttenuator, std::uint16_t{7});

      Click(dialog, 1117);
      QCOMPARE(servoToggles, 1);
      QVERIFY(dialog.isVisible());
      FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(3);
      dialog.move(140, 120);
      Click(dialog, 2);
    }
    CpuSettingsDialog reopened(s_->session, hooks);
    QCOMPARE(FindControl<QTabWidget>(&reopened, 1098)->currentIndex(), 3);
    QCOMPARE(reopened.pos(), QPoint(140, 120));
  }

  // A bad coefficient keeps its motor in view and stores nothing; Apply reports it too.
  void motorCheckHoldsTheShownMotor() {
    CpuSettingsDialog dialog(s_->session, {});
    dialog.show();
    FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(1);
    QListWidget* motors = FindControl<QListWidget>(&dialog, 1122);
    motors->setCurrentRow(0);
    FindControl<QLineEdit>(&dialog, 1133)->setText(QStringLiteral("1.5"));
    motors->setCurrentRow(4);
    QCOMPARE(motors->currentRow(), 0);
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgMotorParamNotNumber));
    Click(dialog, 1000);
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgMotorParamNotNumber));
    QCOMPARE(s_->session.project.cpu, s_->robot.project.cpu);

    FindControl<QLineEdit>(&dialog, 1133)->setText(QStringLiteral("-300"));
    FindControl<QComboBox>(&dialog, 1155)->setCurrentIndex(2);
    motors->setCurrentRow(4);
    QCOMPARE(motors->currentRow(), 4);
    const core::MotorRecord& stored = dialog.Edited().motors[0];
    QCOMPARE(static_cast<std::int16_t>(stored.words[11]), std::int16_t{-300});
    QCOMPARE(stored.word20B, std::uint8_t{0x20});
  }

  // The core's servo ID checks per port, with their messages: port 1 of the sample holds IDs
  // 0..9, port 2 is made full with 14; the same ID on port 3 is taken.
  void servoIdChecksHoldPerPort() {
    core::SerialBus& full = s_->session.project.cpu.serialBuses[1];
    full.SBUS_N = 14;
    for (std::uint8_t i = 0; i < 14; ++i) {
      full.SBUS_ID[i] = static_cast<std::uint8_t>(20 + i);
    }
    CpuSettingsDialog dialog(s_->session, {});
    dialog.show();
    FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(2);
    QTableWidget* ids = FindControl<QTableWidget>(&dialog, 1049);
    QCOMPARE(ids->rowCount(), 10);
    AddServoId(dialog, QStringLiteral("5"));
    QTRY_COMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgServoIdDuplicate));
    QCOMPARE(ids->rowCount(), 10);

    FindControl<QComboBox>(&dialog, 1254)->setCurrentIndex(1);
    QCOMPARE(ids->rowCount(), 14);
    Click(dialog, 1255);
    QCOMPARE(LastMessage(s_->prompter),
             core::Format(core::LoadText(core::TextId::kFmtMsgTooManyIdsPerPort), 14));
    QCOMPARE(ids->rowCount(), 14);
    QCOMPARE(dialog.Edited().serialBuses, s_->session.project.cpu.serialBuses);

    s_->prompter.Clear();
    FindControl<QComboBox>(&dialog, 1254)->setCurrentIndex(2);
    QCOMPARE(ids->rowCount(), 0);
    AddServoId(dialog, QStringLiteral("5"));
    QTRY_COMPARE(dialog.Edited().serialBuses[2].SBUS_ID[0], std::uint8_t{5});
    QCOMPARE(dialog.Edited().serialBuses[2].SBUS_N, 1u);
    QCOMPARE(ids->item(0, 0)->text(), QStringLiteral("5"));
    QVERIFY(s_->prompter.Calls().empty());
  }

  // A rename renames the project file and the recent entries of the old name, and rewrites the
  // log; a log without the old name is left as it was.
  void renamedRobotRenamesTheProjectFileAndItsRecentEntries() {
    const fs::path folder = s_->robot.Folder();
    core::RecentProjects recent;
    recent.entries[0] = {u"other", u"/elsewhere/other.KJZ", true};
    CpuSettingsHooks hooks;
    hooks.recentProjects = &recent;
    hooks.recentLog = s_->robot.dir.Path() / "kjplog.dat";
    for (const char16_t* name : {u"ニューボット", u"三代目"}) {
      CpuSettingsDialog dialog(s_->session, hooks);
      dialog.show();
      testing::Type(dialog, 1019, ToQString(name));
      Click(dialog, 1);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(core::RobotName(s_->session.project.cpu), name);
      QVERIFY(fs::exists(folder / (std::u16string(name) + u".KJZ")));
      const bool first = name == std::u16string(u"ニューボット");
      QCOMPARE(fs::exists(hooks.recentLog), !first);
      if (first) {  // the log now knows the robot by its new name
        recent.entries[1] = {name, core::TextFromPath(folder / u"ニューボット.KJZ"), true};
      }
    }
    QVERIFY(!fs::exists(folder / "gestaloid.KJZ"));
    const std::u16string newPath = core::TextFromPath(folder / u"三代目.KJZ");
    QCOMPARE(recent.entries[1].robotName, u"三代目");
    QCOMPARE(recent.entries[1].path, newPath);
    QCOMPARE(recent.entries[0].robotName, u"other");
    core::RecentProjects reread;
    QVERIFY(core::ReadRecentProjects(hooks.recentLog, reread, nullptr));
    QCOMPARE(reread.entries[0].robotName, u"三代目");  // "other" has no file
    QCOMPARE(reread.entries[0].path, newPath);
  }

  // Through the window's command while online on the virtual board: the board's memory takes
  // the settings and the program says the RAM has them.
  void applyOnlineWritesTheBoard() {
    const auto window = testing::WindowOnVirtualBoard(s_->robot, s_->prompter);
    EditorSession& session = window->Session();
    testing::SwitchOnline(*window, true);
    s_->prompter.Clear();
    testing::WhenModal([](QDialog& dialog) {
      QCOMPARE(dialog.objectName(), QStringLiteral("139"));
      testing::Type(dialog, 1170, QStringLiteral("12000"));
      testing::Type(dialog, 1019, QStringLiteral("RENAMED"));
      Click(dialog, 1000);
      Click(dialog, 2);
    });
    window->RunCommand(CommandId::kCpuSettings);
    QCOMPARE(session.VirtualBoard()->Word32(0x0040), 12000u);
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgSettingsAppliedToRam));
    QCOMPARE(s_->prompter.Calls().back().icon, core::PromptIcon::kNone);
    QCOMPARE(session.project.cpu.basicControlCycle, 12000);

    // The board now carries the new name: connecting again raises no name question.
    testing::SwitchOnline(*window, false);
    testing::SwitchOnline(*window, true);
    QVERIFY(!testing::Shows(s_->prompter, TextId::kMsgRobotNameMismatch));
  }

 private:
  testing::PrivateAppData appData_;
  std::unique_ptr<testing::SampleSession> s_;
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::CpuSettingsDialogTest)
#include "cpu_settings_dialog_test.moc"

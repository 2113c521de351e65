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
  void init() {
    robot_ = std::make_unique<SampleRobot>();
    prompter_.Clear();
  }
  void cleanup() {
    session_.reset();
    robot_.reset();
  }

  // Offline: the volume is stored as its attenuator, the settings file is written, the program
  // says so; the dialog reopens on its page and place, and its servo button reaches the window.
  void applyOfflineStoresAndWritesTheFile() {
    MakeSession();
    int servoToggles = 0;
    int applied = 0;
    CpuSettingsHooks hooks;
    hooks.toggleServo = [&] { ++servoToggles; };
    hooks.applied = [&] { ++applied; };
    {
      CpuSettingsDialog dialog(*session_, hooks);
      dialog.show();
      testing::ScreenshotPages(dialog, 1098, QStringLiteral("cpu"));
      QSpinBox* volume = FindControl<QSpinBox>(&dialog, 1171);
      QCOMPARE(volume->value(), 5);  // the sample's attenuator is 2
      volume->setValue(7);
      Click(dialog, 1000);
      QCOMPARE(session_->project.cpu.voiceAttenuator, std::uint16_t{0});
      QCOMPARE(prompter_.Calls().front().text, core::LoadText(TextId::kMsgConfirmApplySettings));
      QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgSettingsApplied));
      QCOMPARE(applied, 1);
      volume->setValue(0);
      Click(dialog, 1000);
      core::CpuSettings reread;
      QVERIFY(core::ReadCpuSettingsFile(robot_->Folder() / "STARTUP.XML", reread, nullptr));
      QCOMPARE(reread.voiceAttenuator, std::uint16_t{7});

      // No to the question: nothing is checked or stored.
      volume->setValue(3);
      prompter_.QueueAnswer(core::PromptAnswer::kNo);
      Click(dialog, 1000);
      QCOMPARE(session_->project.cpu.voiceAttenuator, std::uint16_t{7});

      Click(dialog, 1117);
      QCOMPARE(servoToggles, 1);
      QVERIFY(dialog.isVisible());
      FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(3);
      dialog.move(140, 120);
      Click(dialog, 2);
    }
    CpuSettingsDialog reopened(*session_, hooks);
    QCOMPARE(FindControl<QTabWidget>(&reopened, 1098)->currentIndex(), 3);
    QCOMPARE(reopened.pos(), QPoint(140, 120));
  }

  // A bad coefficient keeps its motor in view and stores nothing; Apply reports it too.
  void motorCheckHoldsTheShownMotor() {
    MakeSession();
    CpuSettingsDialog dialog(*session_, {});
    dialog.show();
    FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(1);
    QListWidget* motors = FindControl<QListWidget>(&dialog, 1122);
    motors->setCurrentRow(0);
    FindControl<QLineEdit>(&dialog, 1133)->setText(QStringLiteral("1.5"));
    motors->setCurrentRow(4);
    QCOMPARE(motors->currentRow(), 0);
    QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgMotorParamNotNumber));
    Click(dialog, 1000);
    QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgMotorParamNotNumber));
    QCOMPARE(session_->project.cpu, robot_->project.cpu);

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
    core::SerialBus& full = robot_->project.cpu.serialBuses[1];
    full.SBUS_N = 14;
    for (std::uint8_t i = 0; i < 14; ++i) {
      full.SBUS_ID[i] = static_cast<std::uint8_t>(20 + i);
    }
    MakeSession();
    CpuSettingsDialog dialog(*session_, {});
    dialog.show();
    FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(2);
    QTableWidget* ids = FindControl<QTableWidget>(&dialog, 1049);
    QCOMPARE(ids->rowCount(), 10);
    AddServoId(dialog, QStringLiteral("5"));
    QTRY_COMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgServoIdDuplicate));
    QCOMPARE(ids->rowCount(), 10);

    FindControl<QComboBox>(&dialog, 1254)->setCurrentIndex(1);
    QCOMPARE(ids->rowCount(), 14);
    Click(dialog, 1255);
    QCOMPARE(LastMessage(prompter_),
             core::Format(core::LoadText(core::TextId::kFmtMsgTooManyIdsPerPort), 14));
    QCOMPARE(ids->rowCount(), 14);
    QCOMPARE(dialog.Edited().serialBuses, robot_->project.cpu.serialBuses);

    prompter_.Clear();
    FindControl<QComboBox>(&dialog, 1254)->setCurrentIndex(2);
    QCOMPARE(ids->rowCount(), 0);
    AddServoId(dialog, QStringLiteral("5"));
    QTRY_COMPARE(dialog.Edited().serialBuses[2].SBUS_ID[0], std::uint8_t{5});
    QCOMPARE(dialog.Edited().serialBuses[2].SBUS_N, 1u);
    QCOMPARE(ids->item(0, 0)->text(), QStringLiteral("5"));
    QVERIFY(prompter_.Calls().empty());
  }

  void renamedRobotRenamesTheProjectFileAndItsRecentEntries() {
    MakeSession();
    core::RecentProjects recent;
    const std::u16string oldPath = core::TextFromPath(robot_->Folder() / "gestaloid.KJZ");
    recent.entries[0] = {u"other", u"/elsewhere/other.KJZ", true};
    recent.entries[1] = {u"ゲスタロイド", oldPath, true};
    CpuSettingsHooks hooks;
    hooks.recentProjects = &recent;
    hooks.recentLog = robot_->dir.Path() / "kjplog.dat";
    CpuSettingsDialog dialog(*session_, hooks);
    dialog.show();
    FindControl<QLineEdit>(&dialog, 1019)->setText(QStringLiteral("ニューボット"));
    Click(dialog, 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(core::RobotName(session_->project.cpu), u"ニューボット");
    QVERIFY(fs::exists(robot_->Folder() / u"ニューボット.KJZ"));
    QVERIFY(!fs::exists(robot_->Folder() / "gestaloid.KJZ"));
    const std::u16string newPath = core::TextFromPath(robot_->Folder() / u"ニューボット.KJZ");
    QCOMPARE(recent.entries[1].robotName, u"ニューボット");
    QCOMPARE(recent.entries[1].path, newPath);
    QCOMPARE(recent.entries[0].robotName, u"other");
    core::RecentProjects reread;
    QVERIFY(core::ReadRecentProjects(hooks.recentLog, reread, nullptr));
    QCOMPARE(reread.entries[0].robotName, u"ニューボット");  // "other" has no file
    QCOMPARE(reread.entries[0].path, newPath);
  }

  // Through the window's command while online on the virtual board: the board's memory takes
  // the settings and the program says the RAM has them.
  void applyOnlineWritesTheBoard() {
    const auto window = testing::WindowOnVirtualBoard(*robot_, prompter_);
    EditorSession& session = window->Session();
    testing::SwitchOnline(*window, true);
    prompter_.Clear();
    testing::WhenModal([](QDialog& dialog) {
      QCOMPARE(dialog.objectName(), QStringLiteral("139"));
      testing::Type(dialog, 1170, QStringLiteral("12000"));
      testing::Type(dialog, 1019, QStringLiteral("RENAMED"));
      Click(dialog, 1000);
      Click(dialog, 2);
    });
    window->RunCommand(CommandId::kCpuSettings);
    QCOMPARE(session.VirtualBoard()->Word32(0x0040), 12000u);
    QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgSettingsAppliedToRam));
    QCOMPARE(prompter_.Calls().back().icon, core::PromptIcon::kNone);
    QCOMPARE(session.project.cpu.basicControlCycle, 12000);

    // The board now carries the new name: connecting again raises no name question.
    testing::SwitchOnline(*window, false);
    testing::SwitchOnline(*window, true);
    QVERIFY(!testing::Shows(prompter_, TextId::kMsgRobotNameMismatch));
  }

 private:
  void MakeSession() {
    session_ = std::make_unique<EditorSession>(robot_->project, &prompter_, nullptr);
  }

  std::unique_ptr<SampleRobot> robot_;
  testing::PrivateAppData appData_;
  testing::RecordingPrompter prompter_;
  std::unique_ptr<EditorSession> session_;
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::CpuSettingsDialogTest)
#include "cpu_settings_dialog_test.moc"

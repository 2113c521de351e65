#include <QProgressBar>
#include <mutex>

#include "board/board_write_dialog.h"
#include "board/drive_selection_dialog.h"
#include "board/firmware_update_dialog.h"
#include "controlmap/control_map_flowchart.h"
#include "dialog_checks.h"
#include "fake_devmem.h"
#include "motion/motion_reader.h"
#include "platform/paths.h"
#include "private_app_data.h"
#include "virtual_board.h"
#include "wait_until.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

constexpr std::uint16_t kTriangle = 1u << 12;

// The targets of the first slider positions of every pose of a motion, in file order.
std::vector<std::vector<std::int16_t>> PoseTargets(const testing::SampleRobot& robot,
                                                   const char* motion, std::size_t positions) {
  std::vector<std::vector<std::int16_t>> poses;
  const auto document =
      core::ReadMotionFile(robot.Folder() / motion, robot.project.sliders, nullptr);
  for (const core::MotionBlock& block : *document) {
    if (block.type == static_cast<std::int32_t>(core::BlockKind::Pose)) {
      poses.emplace_back(block.slots.begin(), block.slots.begin() + positions);
    }
  }
  return poses;
}

core::BoardDrive Drive(const std::string& modelName, const char16_t* label) {
  return testing::FakeBoardDrive(testing::BoardNamed(modelName), label);
}

}  // namespace

class BoardDialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // A control map written from the dialog runs on the board once it is switched on: holding △
  // plays the wave.
  void writtenControlMapPlaysOnTheVirtualBoard() {
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    const auto window = testing::WindowOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    core::ControlMap map = core::NewControlMap();
    map.maps[0].entries.push_back(core::NewMapEntry(0));
    core::MotionBlock& condition = map.maps[0].entries[0].condition;
    condition.type = static_cast<std::int32_t>(core::BlockKind::PadIf);
    condition.constValue = kTriangle;
    condition.fileName = u"wave.KX4";
    QVERIFY(core::WriteControlMapFile(robot.Folder() / "MAP.KX4", map, robot.project.sliders));
    const fs::path card = robot.dir.Path() / "card";
    BoardWriteDialog dialog(session, window.get());
    dialog.show();
    testing::Type(dialog, 1002, QStringLiteral("MAP.KX4"));
    testing::Screenshot(dialog, QStringLiteral("write"));
    // Declining the question writes nothing.
    const std::string imageBefore = ReadBytes(card / "STARTUP.BIN");
    prompter.QueueAnswer(core::PromptAnswer::kNo);
    testing::Click(dialog, 1117);
    QCOMPARE(ReadBytes(card / "STARTUP.BIN"), imageBefore);
    QVERIFY(dialog.isVisible());
    testing::Click(dialog, 1117);
    QVERIFY(testing::Shows(prompter, core::TextId::kMsgWriteDone));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    sim::VirtualBoard& board = *session.VirtualBoard();
    const std::size_t positions = session.project.sliders.size();
    std::mutex mutex;
    std::vector<std::vector<std::int16_t>> moves;
    board.SetMoveObserver([&](const sim::ServoMove& move) {
      const std::lock_guard lock(mutex);
      moves.emplace_back(move.targets.begin(), move.targets.begin() + positions);
    });
    board.PowerOn();
    board.SetController({.present = 1, .buttons = kTriangle});
    const auto wave = PoseTargets(robot, "wave.KX4", positions);
    QVERIFY(!wave.empty());
    QVERIFY(testing::WaitUntil([&] {
      const std::lock_guard lock(mutex);
      return moves.size() >= wave.size();
    }));
    board.SetMoveObserver({});
    moves.resize(wave.size());
    QCOMPARE(moves, wave);
  }

  // While online the write goes to the connected board and the connection carries on.
  void writeWhileOnlineKeepsTheConnection() {
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    const auto window = testing::WindowOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    testing::SwitchOnline(*window, true);
    BoardWriteDialog dialog(session, window.get());
    dialog.show();
    testing::Click(dialog, 1117);
    QVERIFY(testing::Shows(prompter, core::TextId::kMsgWriteDone));
    QVERIFY(fs::exists(robot.dir.Path() / "card" / "STARTUP.BIN"));
    QCOMPARE(session.link.Flags().online.load(), 1u);
    // The connection's status polls reach the board again.
    const std::size_t readsAfterWrite = session.VirtualBoard()->RecordsRead();
    QTRY_VERIFY_WITH_TIMEOUT(session.VirtualBoard()->RecordsRead() > readsAfterWrite + 3, 30000);
  }

  // The user picks the sample firmware, agrees, and the virtual board ends up running it: both
  // images reach its flash, the progress bar ends full, and the board's updater installs the
  // firmware's version and restarts.
  void updatesTheVirtualBoardsFirmwareThroughBothDialogs() {
    testing::SampleSession sample(true);
    EditorSession& session = sample.session;
    const fs::path programFolder(GESTALON_RESOURCES_DIR);  // holds firm/zupdater.bin
    const fs::path firmware = programFolder / "firm" / "sample_firmware.bin";
    session.dialogs.pickFile = [&](QWidget*, const FileChoice&, const QString&) {
      return ToQString(core::TextFromPath(firmware));
    };
    FirmwareUpdateDialog dialog(session, programFolder);
    dialog.show();
    testing::Click(dialog, 1018);
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1019)->text(),
             ToQString(core::TextFromPath(firmware)));
    // The progress dialog as the update ends: its last status and its bar.
    QString lastStatus;
    bool ended = false;
    testing::WhenModal([&](QDialog& progress) {
      connect(&progress, &QDialog::finished, this, [&] {
        lastStatus = FindControl<QLabel>(&progress, 1020)->text();
        const QProgressBar* bar = FindControl<QProgressBar>(&progress, 40642);
        QCOMPARE(bar->value(), bar->maximum());
        ended = true;
      });
    });
    testing::Click(dialog, 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(ended);
    QCOMPARE(testing::ShownTexts(sample.prompter),
             testing::Texts(
                 {core::TextId::kMsgConfirmFirmwareWrite, core::TextId::kMsgFirmwareUpdateDone}));
    QCOMPARE(lastStatus, Text(core::TextId::kFwStatusRunningUpdate));
    sim::VirtualBoard& board = *session.VirtualBoard();
    const std::string sent = testing::ReadBytes(firmware);
    const std::vector<std::uint8_t> flash = board.Flash(0x08020000, sent.size());
    QCOMPARE(std::string(flash.begin(), flash.end()), sent);
    QCOMPARE(board.UpdaterRuns(), 1);
    QCOMPARE(board.FirmwareVersion(), std::uint16_t{0x0200});
  }

  // The scanned boards in scan order with the board drive preselected; OK makes the chosen one
  // the board drive, Cancel keeps it, and OK with nothing listed keeps it and still confirms.
  void choosesAmongTheScannedBoards() {
    struct Case {
      bool listed;
      int button;
      const char* drive;  // the board drive afterwards
    };
    for (const Case& c : {Case{true, 1, "D"}, {true, 2, "E"}, {false, 1, "E"}}) {
      core::BoardLink link;
      const core::BoardScanResult scan =
          c.listed
              ? core::ScanBoardDrives(link, {Drive("ROBO", u"D"), Drive("OTHER", u"E")}, u"NOBODY")
              : core::BoardScanResult{};
      link.SetCurrentDrive(c.listed ? scan.listed[1] : Drive("X", u"E"));
      DriveSelectionDialog dialog(link, scan, nullptr);
      dialog.show();
      auto* boards = FindControl<QComboBox>(&dialog, 1121);
      const std::vector<std::u16string> texts = core::BoardChoiceTexts(scan);
      QCOMPARE(boards->count(), static_cast<int>(texts.size()));
      QVERIFY(!c.listed || boards->itemText(1) == ToQString(texts[1]));
      QCOMPARE(boards->currentIndex(), c.listed ? 1 : -1);
      boards->setCurrentIndex(c.listed ? 0 : -1);
      testing::Click(dialog, c.button);
      QCOMPARE(dialog.result(), c.button == 1 ? 1 : 0);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(ToQString(link.CurrentDrive().label), QString::fromLatin1(c.drive));
    }
  }

  void ownsMessageBoxesWhileItExists() {
    core::BoardLink link;
    QWidget mainWindow;
    QtPrompter prompter(&mainWindow);
    {
      DriveSelectionDialog dialog(link, {}, &prompter);
      QCOMPARE(prompter.Owner(), static_cast<QWidget*>(&dialog));
    }
    QCOMPARE(prompter.Owner(), &mainWindow);
  }

 private:
  testing::PrivateAppData appData_;
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::BoardDialogsTest)
#include "board_dialogs_test.moc"

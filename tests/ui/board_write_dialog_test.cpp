#include "board/board_write_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "controlmap/control_map_flowchart.h"
#include "main_window/command_ids.h"
#include "main_window/main_window.h"
#include "motion/motion_reader.h"
#include "private_app_data.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "virtual_board.h"
#include "wait_until.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
using testing::RecordingPrompter;
using testing::SampleRobot;

constexpr std::uint16_t kTriangle = 1u << 12;

std::unique_ptr<MainWindow> OpenOnVirtualBoard(SampleRobot& robot, core::Prompter& prompter) {
  SessionOptions options;
  options.virtualBoardFolder = robot.dir.Path() / "card";
  auto window = std::make_unique<MainWindow>(robot.project, prompter,
                                             fs::path(GESTALON_RESOURCES_DIR), options);
  window->show();
  return window;
}

// A control map whose first map plays wave.KX4 while △ is held.
void WriteTriangleMap(const SampleRobot& robot, const fs::path& file) {
  core::ControlMap map = core::NewControlMap();
  core::MapEntry entry = core::NewMapEntry(0);
  entry.condition.type = static_cast<std::int32_t>(core::BlockKind::PadIf);
  entry.condition.constValue = kTriangle;
  entry.condition.fileName = u"wave.KX4";
  map.maps[0].entries.push_back(entry);
  QVERIFY(core::WriteControlMapFile(file, map, robot.project.sliders));
}

// The targets of the first slider positions of every pose of a motion, in file order.
std::vector<std::vector<std::int16_t>> PoseTargets(const SampleRobot& robot, const char* motion,
                                                   std::size_t positions) {
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

std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Shows(const RecordingPrompter& prompter, int textId) {
  for (const auto& call : prompter.Calls()) {
    if (call.text == core::LoadText(textId)) {
      return true;
    }
  }
  return false;
}

}  // namespace

class BoardWriteDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // A control map written from the dialog runs on the board once it is switched on: holding △
  // plays the wave.
  void writtenControlMapPlaysOnTheVirtualBoard() {
    SampleRobot robot;
    RecordingPrompter prompter;
    auto window = OpenOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    WriteTriangleMap(robot, robot.Folder() / "MAP.KX4");
    const fs::path card = robot.dir.Path() / "card";

    BoardWriteDialog dialog(session, window.get());
    dialog.show();
    auto* drives = FindControl<QComboBox>(&dialog, 40025);
    QCOMPARE(drives->currentText(), QStringLiteral("VIRTUAL"));
    FindControl<QLineEdit>(&dialog, 1002)->setText(QStringLiteral("MAP.KX4"));
    auto* write = FindControl<QPushButton>(&dialog, 1117);
    if (const QString shot = qEnvironmentVariable("GESTALON_SCREENSHOT"); !shot.isEmpty()) {
      QVERIFY(dialog.grab().save(shot + ".write.png"));
    }

    // Declining the question writes nothing.
    const std::string imageBefore = FileBytes(card / "STARTUP.BIN");
    prompter.QueueAnswer(core::PromptAnswer::kNo);
    write->click();
    QCOMPARE(FileBytes(card / "STARTUP.BIN"), imageBefore);
    QVERIFY(dialog.isVisible());

    write->click();
    QVERIFY(Shows(prompter, core::TextId::kMsgWriteDone));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(FileBytes(card / "STARTUP.BIN") != imageBefore);
    QCOMPARE(session.project.cpu.startupMotion, std::u16string(u"MAP.KX4"));

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
    SampleRobot robot;
    RecordingPrompter prompter;
    auto window = OpenOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    window->RunCommand(CommandId::kOnline);
    QTRY_VERIFY_WITH_TIMEOUT(session.link.Flags().online.load() == 1, 30000);

    BoardWriteDialog dialog(session, window.get());
    dialog.show();
    QVERIFY(!FindControl<QComboBox>(&dialog, 40025)->isEnabled());
    FindControl<QPushButton>(&dialog, 1117)->click();
    QVERIFY(Shows(prompter, core::TextId::kMsgWriteDone));
    QVERIFY(fs::exists(robot.dir.Path() / "card" / "STARTUP.BIN"));
    QCOMPARE(session.link.Flags().online.load(), 1u);
    // The connection's status polls reach the board again.
    const std::size_t readsAfterWrite = session.VirtualBoard()->RecordsRead();
    QTRY_VERIFY_WITH_TIMEOUT(session.VirtualBoard()->RecordsRead() > readsAfterWrite + 3, 30000);
  }

 private:
  testing::PrivateAppData appData_;
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::BoardWriteDialogTest)
#include "board_write_dialog_test.moc"

#include "board/board_write_dialog.h"

#include <mutex>

#include "controlmap/control_map_flowchart.h"
#include "dialog_checks.h"
#include "motion/motion_reader.h"
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

}  // namespace

class BoardWriteDialogTest : public QObject {
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
    QCOMPARE(FindControl<QComboBox>(&dialog, 40025)->currentText(), QStringLiteral("VIRTUAL"));
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
    QVERIFY(ReadBytes(card / "STARTUP.BIN") != imageBefore);
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
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    const auto window = testing::WindowOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    testing::SwitchOnline(*window, true);

    BoardWriteDialog dialog(session, window.get());
    dialog.show();
    QVERIFY(!FindControl<QComboBox>(&dialog, 40025)->isEnabled());
    testing::Click(dialog, 1117);
    QVERIFY(testing::Shows(prompter, core::TextId::kMsgWriteDone));
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

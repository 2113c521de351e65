#include "board/virtual_controller.h"

#include <QCheckBox>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <string>

#include "main_window/command_actions.h"
#include "main_window/command_ids.h"
#include "main_window/main_window.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "strings/text_id.h"
#include "temp_dir.h"
#include "virtual_board.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr std::uint32_t kButtonsAddress = 0x0EE4;
constexpr std::uint32_t kPresentAddress = 0x0EE0;

// The buttons' labels in the bit order of the controller word.
constexpr std::array<int, 16> kButtonsByBit{
    TextId::kPadSelect,   TextId::kPadL3,     TextId::kPadR3,    TextId::kPadStart,
    TextId::kPadUp,       TextId::kPadRight,  TextId::kPadDown,  TextId::kPadLeft,
    TextId::kPadL2,       TextId::kPadR2,     TextId::kPadL1,    TextId::kPadR1,
    TextId::kPadTriangle, TextId::kPadCircle, TextId::kPadCross, TextId::kPadSquare};

QPushButton* Button(const QWidget& window, int textId) {
  return FindControl<QPushButton>(&window, textId);
}

// A virtual board on an empty card, with its controller window shown.
struct Controller {
  testing::TempDir card;
  sim::VirtualBoard board{card.Path()};
  VirtualControllerWindow window{board};
  Controller() { window.show(); }
};

}  // namespace

class VirtualControllerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void eachButtonHoldsItsBitWhilePressedOrToggledWithTheLatch() {
    Controller c;
    auto& [card, board, window] = c;
    for (std::size_t bit = 0; bit < kButtonsByBit.size(); ++bit) {
      QPushButton* button = Button(window, kButtonsByBit[bit]);
      QCOMPARE(button->text(), Text(kButtonsByBit[bit]));
      QTest::mousePress(button, Qt::LeftButton);
      QCOMPARE(board.Word(kButtonsAddress), std::uint16_t(1u << bit));
      QCOMPARE(board.Byte(kPresentAddress), std::uint8_t{1});
      QTest::mouseRelease(button, Qt::LeftButton);
      QCOMPARE(board.Word(kButtonsAddress), std::uint16_t{0});
    }
    // △ by its key, as its tooltip says.
    QVERIFY(Button(window, TextId::kPadTriangle)->toolTip().contains(QLatin1Char('I')));
    QTest::keyPress(&window, Qt::Key_I);
    QCOMPARE(board.Word(kButtonsAddress), std::uint16_t{1u << 12});
    QTest::keyRelease(&window, Qt::Key_I);
    QCOMPARE(board.Word(kButtonsAddress), std::uint16_t{0});
    // With the latch, clicks toggle.
    FindControl<QCheckBox>(&window, TextId::kVirtualControllerLatch)->setChecked(true);
    QTest::mouseClick(Button(window, TextId::kPadTriangle), Qt::LeftButton);
    QTest::mouseClick(Button(window, TextId::kPadCircle), Qt::LeftButton);
    QCOMPARE(board.Word(kButtonsAddress), std::uint16_t{(1u << 12) | (1u << 13)});
    QTest::mouseClick(Button(window, TextId::kPadTriangle), Qt::LeftButton);
    QCOMPARE(board.Word(kButtonsAddress), std::uint16_t{1u << 13});
    QTest::keyClick(&window, Qt::Key_I);
    QCOMPARE(board.Word(kButtonsAddress), std::uint16_t{(1u << 12) | (1u << 13)});
    FindControl<QCheckBox>(&window, TextId::kVirtualControllerLatch)->setChecked(false);
    QCOMPARE(board.Word(kButtonsAddress), std::uint16_t{0});
  }

  // The communication menu offers the controller only when there is a virtual board; the command
  // shows one window however often it runs.
  void offeredByTheMainWindowOnlyWithAVirtualBoard() {
    const auto offered = [](MainWindow& window) {
      QAction* item = window.Actions().Action(CommandId::kVirtualController);
      for (QAction* top : window.menuBar()->actions()) {
        if (top->menu()->actions().contains(item)) {
          return true;
        }
      }
      return false;
    };
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    {
      MainWindow plain(robot.project, prompter, GESTALON_RESOURCES_DIR);
      QVERIFY(!offered(plain));
    }
    SessionOptions options;
    options.virtualBoardFolder = robot.dir.Path() / "card";
    MainWindow window(robot.project, prompter, GESTALON_RESOURCES_DIR, std::move(options));
    QVERIFY(offered(window));
    window.RunCommand(CommandId::kVirtualController);
    window.RunCommand(CommandId::kVirtualController);
    const auto controllers = window.findChildren<VirtualControllerWindow*>();
    QCOMPARE(controllers.size(), 1);
    QVERIFY(controllers[0]->isVisible());
    QTest::keyPress(controllers[0], Qt::Key_K);
    QCOMPARE(window.Session().VirtualBoard()->Word(kButtonsAddress), std::uint16_t{1u << 14});
    QTest::keyRelease(controllers[0], Qt::Key_K);
  }

  // Off, the board answers nothing; on again, it starts the card's STARTUP.BIN.
  void powerButtonSwitchesTheBoardOffAndOn() {
    Controller c;
    auto& [card, board, window] = c;
    QVERIFY(!board.Running());
    QPushButton* power = FindControl<QPushButton>(&window, TextId::kVirtualBoardPowerOn);
    QCOMPARE(power->text(), Text(TextId::kVirtualBoardPowerOn));

    power->click();
    QVERIFY(!board.Powered());
    QCOMPARE(power->text(), Text(TextId::kVirtualBoardPowerOff));
    core::DevmemRecord record{};
    record[0] = 'R';
    record[3] = 1;
    QVERIFY(!board.OpenDevmem()->WriteRecord(record));

    const std::string idle = {char(0x81), 0, 0, 0, 0};  // a jump to itself
    testing::WriteBytes(card / "STARTUP.BIN", idle);
    power->click();
    QVERIFY(board.Powered());
    QVERIFY(board.Running());
    QCOMPARE(power->text(), Text(TextId::kVirtualBoardPowerOn));
    QVERIFY(board.OpenDevmem()->WriteRecord(record));
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::VirtualControllerTest)
#include "virtual_controller_test.moc"

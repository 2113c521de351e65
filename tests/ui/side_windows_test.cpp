#include <QCheckBox>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <array>
#include <cstring>
#include <filesystem>

#include "board/board_addresses.h"
#include "board/status_window.h"
#include "board/virtual_controller.h"
#include "fixture_file.h"
#include "main_window/command_actions.h"
#include "main_window/command_ids.h"
#include "main_window/main_window.h"
#include "preview/preview_player.h"
#include "preview/preview_window.h"
#include "preview/robot_preview.h"
#include "private_app_data.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "virtual_board.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
using testing::SampleRobot;

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

// Each text on a line of its own after the top of its box: "y text".
QString TextsOf(const StatusDisplay& display) {
  QString texts;
  for (const StatusText& text : StatusWindowTexts(display)) {
    texts += QStringLiteral("%1 %2\n").arg(text.box.top()).arg(text.text);
  }
  return texts;
}

void StoreText(core::BoardLink& link, std::uint32_t address, const char* text) {
  std::memcpy(link.Mirror().data() + address, text, std::strlen(text) + 1);
}

// A board link that is online, with a status window host on a stand-in main window.
struct Session {
  core::BoardLink link;
  core::SystemSettings settings;
  testing::RecordingPrompter prompter;
  QWidget mainWindow;
  StatusWindowHost host{&mainWindow, link, settings, [] { return std::u16string(u"ROBO"); },
                        &prompter};

  Session() { link.Flags().online.store(1); }
};

constexpr QSize kImageSize(400, 400);

QImage Render(PreviewView& view) {
  QImage image(kImageSize, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    view.Paint(painter, kImageSize);
  }
  return image;
}

int Differing(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    }
  }
  return count;
}

// The main window on a copy of the sample robot, with the preview window open.
struct WindowWithPreview {
  WindowWithPreview() {
    window.show();
    window.RunCommand(CommandId::kPreviewWindow);
  }
  testing::PrivateAppData appData;
  SampleRobot robot;
  testing::RecordingPrompter prompter;
  MainWindow window{robot.project, prompter, fs::path(GESTALON_RESOURCES_DIR)};
};

}  // namespace

// The windows beside the editor: the board's status, the virtual controller and the preview.
class SideWindowsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void textsSayWhatTheBoardReports() {
    StatusDisplay display;
    display.robotName = u"ロボ";
    display.lastError = {u"STACK", 0x1234};
    display.latestMotion = u"WALK.BIN";
    display.status.batteryRaw = 4096;
    display.status.controllerPresent = 1;
    display.status.buttons = 0x8005;  // first bit first
    display.status.rx = 0x12;
    display.status.ry = 0xABCD;
    display.status.ly = 0x7F;
    QString shown = TextsOf(display) + "\n";
    // Empty texts say there is none; a controller error replaces its input.
    display = {};
    display.latestVoice = u"HELLO.WAV";
    display.status.batteryRaw = 2048;
    display.status.controllerPresent = 1;
    display.status.controllerError = 3;
    shown += TextsOf(display) + "\n";
    display.status.controllerPresent = 0;  // no controller, no controller lines
    display.status.buttons = 0xFFFF;
    shown += TextsOf(display) + "\n";
    display.communicationError = true;  // is all it shows
    display.status.controllerPresent = 1;
    shown += TextsOf(display) + "\n";
    const std::string expected = testing::FixtureText("ui/status_window_texts.txt");
    QCOMPARE(shown, QString::fromStdString(expected));
    QCOMPARE(BatteryBarWidth(40), 0);  // truncated
    QCOMPARE(BatteryBarWidth(32767), 400);
    QCOMPARE(BatteryBarWidth(-4096), 0);
  }

  // A refresh copies the board's snapshot and names, but while another task holds the board it
  // neither waits nor reads the mirror; the first refresh online asks once for the latest names.
  void refreshCopiesTheBoardUnlessAnotherTaskHoldsItThenAsksOnce() {
    Session s;
    core::BoardStatus status;
    status.batteryRaw = 3000;
    status.buttons = 2;
    s.link.SetStatus(status);
    s.link.SetLastError({u"ERR", 0x40});
    StoreText(s.link, core::BoardAddress::kLatestMotion, "SIT.BIN");
    StoreText(s.link, core::BoardAddress::kLatestVoice, "HI.WAV");
    StatusWindow window(
        s.link, s.settings, [] { return std::u16string(u"ROBO"); }, nullptr);
    QVERIFY(s.link.TryTakeBoard());
    StoreText(s.link, core::BoardAddress::kLatestMotion, "RUN.BIN");
    window.Refresh();
    QVERIFY(window.Display().latestMotion == u"SIT.BIN");
    QCOMPARE(s.link.Flags().refreshPending.load(), 0u);
    s.link.ReleaseBoard();
    window.Refresh();
    QVERIFY(window.Display().latestMotion == u"RUN.BIN");
    QVERIFY(window.Display().status == status);
    QCOMPARE(s.link.Flags().refreshPending.load(), 1u);
    const auto& requested = s.link.Refresh().requested;
    QCOMPARE(int{requested[0x01FF]}, 0);
    QCOMPARE(int{requested[0x0200]}, 1);
    QCOMPARE(int{requested[0x0303]}, 1);
    QCOMPARE(int{requested[0x0304]}, 0);
    s.link.Flags().refreshPending.store(0);
    s.link.Flags().communicationError.store(1);
    window.Refresh();
    QCOMPARE(s.link.Flags().refreshPending.load(), 0u);
    QVERIFY(window.Display().communicationError);
  }

  // Only while online and only once, opened at once or later on the interface thread; it closes
  // by itself once offline and can open again once online.
  void opensOnceOnlyWhileOnlineAndClosesByItselfOnceOffline() {
    Session s;
    s.link.Flags().online.store(0);
    s.host.Open();
    QVERIFY(s.host.Window() == nullptr);
    QCOMPARE(s.prompter.Calls().size(), std::size_t{1});
    QVERIFY(s.prompter.Calls()[0].text == core::LoadText(core::TextId::kMsgNotOnline));
    s.link.Flags().online.store(1);
    s.host.OpenLater();
    QVERIFY(s.host.Window() == nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(s.host.Window() != nullptr, 30000);
    StatusWindow* window = s.host.Window();
    QVERIFY(window->isVisible());
    s.host.Open();
    QCOMPARE(s.host.Window(), window);
    QCOMPARE(s.mainWindow.findChildren<StatusWindow*>().size(), 1);
    s.link.Flags().online.store(0);
    QTRY_VERIFY_WITH_TIMEOUT(s.host.Window() == nullptr, 30000);
    s.link.Flags().online.store(1);
    s.host.Open();
    QVERIFY(s.host.Window() != nullptr);
  }

  // A saved position off the screen is brought back.
  void savedPositionOffTheScreenIsBroughtBack() {
    Session s;
    const QRect area = s.mainWindow.screen()->availableGeometry();
    s.settings.statusWindowX = area.right() + 500;
    s.settings.statusWindowY = area.top() - 80;
    s.host.Open();
    QCOMPARE(s.host.Window()->pos(), QPoint(area.right() + 1 - 450, area.top()));
    QCOMPARE(s.settings.statusWindowX, area.right() + 1 - 450);
  }

  void eachButtonHoldsItsBitWhilePressedOrToggledWithTheLatch() {
    Controller c;
    auto& [card, board, window] = c;
    for (std::size_t bit = 0; bit < kButtonsByBit.size(); ++bit) {
      QPushButton* button = Button(window, kButtonsByBit[bit]);
      QTest::mousePress(button, Qt::LeftButton);
      QCOMPARE(board.Word(kButtonsAddress), std::uint16_t(1u << bit));
      QCOMPARE(board.Byte(kPresentAddress), std::uint8_t{1});
      QTest::mouseRelease(button, Qt::LeftButton);
      QCOMPARE(board.Word(kButtonsAddress), std::uint16_t{0});
    }
    // △ by its key.
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
  }

  // Off, the board answers nothing; on again, it starts the card's STARTUP.BIN.
  void powerButtonSwitchesTheBoardOffAndOn() {
    Controller c;
    auto& [card, board, window] = c;
    QVERIFY(!board.Running());
    QPushButton* power = FindControl<QPushButton>(&window, TextId::kVirtualBoardPowerOn);
    power->click();
    QVERIFY(!board.Powered());
    core::DevmemRecord record{};
    record[0] = 'R';
    record[3] = 1;
    QVERIFY(!board.OpenDevmem()->WriteRecord(record));
    const std::string idle = {char(0x81), 0, 0, 0, 0};  // a jump to itself
    testing::WriteBytes(card / "STARTUP.BIN", idle);
    power->click();
    QVERIFY(board.Powered());
    QVERIFY(board.Running());
    QVERIFY(board.OpenDevmem()->WriteRecord(record));
  }

  // The window follows the pose being edited, and playing a motion in it runs the motion on a
  // board of its own to the motion's last pose.
  void followsThePoseAndPlaysBowToItsLastPose() {
    WindowWithPreview opened;
    MainWindow& window = opened.window;
    PreviewWindow* preview = window.Preview();
    QVERIFY(preview && preview->isVisible());
    QVERIFY2(preview->View()->HasRobot(), qPrintable(preview->Message()));
    EditorSession& session = window.Session();
    preview->Refresh();
    const QImage before = Render(*preview->View());
    {
      std::lock_guard lock(session.sessionMutex);
      core::CurrentPose(session.context)->slots[4] = 9000;  // right arm straight out
    }
    preview->Refresh();
    QVERIFY(Differing(before, Render(*preview->View())) > 500);
    QVERIFY(window.OpenMotionFile(opened.robot.Folder() / "bow.KX4"));
    core::MotionBlock lastPose;
    for (const core::MotionBlock& block : session.motion.document) {
      if (block.Is(core::BlockKind::Pose)) {
        lastPose = block;
      }
    }
    PreviewPlayer& player = *window.PreviewMotionPlayer();
    window.RunCommand(CommandId::kPlayInPreview);
    QVERIFY(player.Playing());
    QVERIFY(session.MotionLocked());
    // The block the board executes is marked as a real board's playback marks it.
    bool marked = false;
    // Ten minutes of board time is far more than the motion takes.
    for (int step = 0; step < 60000 && player.Playing(); ++step) {
      player.Advance(10000);
      for (const core::MotionBlock& block : session.motion.document) {
        marked = marked || (block.selFlags & core::kBlockSelected) != 0;
      }
    }
    QVERIFY(!player.Playing());
    QVERIFY(!session.MotionLocked());
    QVERIFY(marked);
    QVERIFY(
        std::equal(lastPose.slots.begin(), lastPose.slots.begin() + 20, player.Values().begin()));
    QCOMPARE(opened.prompter.Calls().size(), std::size_t{0});
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::SideWindowsTest)
#include "side_windows_test.moc"

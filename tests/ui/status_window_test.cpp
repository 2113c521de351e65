#include "board/status_window.h"

#include <QScreen>
#include <QtTest>
#include <algorithm>
#include <cstring>

#include "board/board_addresses.h"
#include "fixture_file.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::ui {
namespace {

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

}  // namespace

class StatusWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // ---- What the window says.
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
    QCOMPARE(BatteryBarWidth(4096), 100);
    QCOMPARE(BatteryBarWidth(40), 0);  // truncated
    QCOMPARE(BatteryBarWidth(32767), 400);
    QCOMPARE(BatteryBarWidth(-4096), 0);
  }

  // ---- Refreshing from the board link.
  void refreshCopiesTheSnapshotAndTheBoardsNames() {
    Session s;
    core::BoardStatus status;
    status.batteryRaw = 3000;
    status.controllerPresent = 1;
    status.buttons = 2;
    s.link.SetStatus(status);
    s.link.SetLastError({u"ERR", 0x40});
    StoreText(s.link, core::BoardAddress::kLatestMotion, "SIT.BIN");
    StoreText(s.link, core::BoardAddress::kLatestVoice, "HI.WAV");
    StatusWindow window(
        s.link, s.settings, [] { return std::u16string(u"ROBO"); }, nullptr);
    window.Refresh();
    QVERIFY(window.Display().status == status);
    QVERIFY(window.Display().lastError == (core::BoardError{u"ERR", 0x40}));
    QVERIFY(window.Display().latestMotion == u"SIT.BIN");
    QVERIFY(window.Display().latestVoice == u"HI.WAV");
    QVERIFY(window.Display().robotName == u"ROBO");
    QVERIFY(!window.Display().communicationError);
    s.link.Flags().communicationError.store(1);
    window.Refresh();
    QVERIFY(window.Display().communicationError);
  }

  void whileAnotherTaskHoldsTheBoardItNeitherWaitsNorReadsTheMirrorThenAsksOnce() {
    Session s;
    StoreText(s.link, core::BoardAddress::kLatestMotion, "SIT.BIN");
    StatusWindow window(s.link, s.settings, {}, nullptr);
    QVERIFY(s.link.TryTakeBoard());
    StoreText(s.link, core::BoardAddress::kLatestMotion, "RUN.BIN");
    window.Refresh();
    QVERIFY(window.Display().latestMotion == u"SIT.BIN");
    QCOMPARE(s.link.Flags().refreshPending.load(), 0u);
    s.link.ReleaseBoard();
    window.Refresh();
    QVERIFY(window.Display().latestMotion == u"RUN.BIN");
    // The first refresh online asks once for the latest names, at the next tick.
    QCOMPARE(s.link.Flags().refreshPending.load(), 1u);
    const auto& requested = s.link.Refresh().requested;
    QCOMPARE(int{requested[0x01FF]}, 0);
    QCOMPARE(int{requested[0x0200]}, 1);
    QCOMPARE(int{requested[0x0303]}, 1);
    QCOMPARE(int{requested[0x0304]}, 0);
    s.link.Flags().refreshPending.store(0);
    window.Refresh();
    QCOMPARE(s.link.Flags().refreshPending.load(), 0u);
  }

  // ---- Opening and closing.
  void opensOnceAndOnlyWhileOnline() {
    Session s;
    s.link.Flags().online.store(0);
    s.host.Open();
    QVERIFY(s.host.Window() == nullptr);
    QCOMPARE(s.prompter.Calls().size(), std::size_t{1});
    QVERIFY(s.prompter.Calls()[0].icon == core::PromptIcon::kWarning);
    QVERIFY(s.prompter.Calls()[0].text == core::LoadText(core::TextId::kMsgNotOnline));

    s.link.Flags().online.store(1);
    s.host.Open();
    StatusWindow* window = s.host.Window();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QCOMPARE(window->size(), QSize(450, 200));
    QCOMPARE(window->windowTitle(), QStringLiteral("status window"));
    s.host.Open();
    QCOMPARE(s.host.Window(), window);
    QCOMPARE(s.mainWindow.findChildren<StatusWindow*>().size(), 1);
  }

  // Opened later on the interface thread, it closes by itself once offline and can open again
  // once online.
  void opensLaterAndClosesByItselfOnceOffline() {
    Session s;
    s.host.OpenLater();
    QVERIFY(s.host.Window() == nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(s.host.Window() != nullptr, 30000);
    s.link.Flags().online.store(0);
    QTRY_VERIFY_WITH_TIMEOUT(s.host.Window() == nullptr, 30000);
    s.link.Flags().online.store(1);
    s.host.Open();
    QVERIFY(s.host.Window() != nullptr);
  }

  // ---- Position.
  void opensAtTheSavedPositionAndRemembersWhereItWent() {
    Session s;
    s.settings.statusWindowX = 200;
    s.settings.statusWindowY = 150;
    s.host.Open();
    StatusWindow* window = s.host.Window();
    QCOMPARE(window->pos(), QPoint(200, 150));
    window->move(230, 170);
    QTRY_COMPARE_WITH_TIMEOUT(s.settings.statusWindowX, 230, 30000);
    QCOMPARE(s.settings.statusWindowY, 170);
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(s.host.Window() == nullptr, 30000);
    QCOMPARE(s.settings.statusWindowX, 230);
    QCOMPARE(s.settings.statusWindowY, 170);
  }

  void aSavedPositionOffTheScreenIsBroughtBack() {
    Session s;
    const QRect area = s.mainWindow.screen()->availableGeometry();
    s.settings.statusWindowX = area.right() + 500;
    s.settings.statusWindowY = area.top() - 80;
    s.host.Open();
    QCOMPARE(s.host.Window()->pos(), QPoint(area.right() + 1 - 450, area.top()));
    QCOMPARE(s.settings.statusWindowX, area.right() + 1 - 450);

    s.host.Window()->close();
    QTRY_VERIFY_WITH_TIMEOUT(s.host.Window() == nullptr, 30000);
    s.settings.statusWindowX = area.left() - 10;
    s.settings.statusWindowY = area.bottom() + 300;
    s.host.Open();
    QCOMPARE(s.host.Window()->pos(), QPoint(area.left(), area.bottom() + 1 - 200));
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::StatusWindowTest)
#include "status_window_test.moc"

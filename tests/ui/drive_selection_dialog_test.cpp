#include "board/drive_selection_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <string>

#include "fake_devmem.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

std::shared_ptr<testing::FakeBoard> Board(const std::string& modelName) {
  auto board = std::make_shared<testing::FakeBoard>();
  board->SetText(0x0020, modelName);
  return board;
}

// Boards on D and E; F identifies as a board but its DEVMEM does not open, so it is not listed.
core::BoardScanResult ScanThreeDrives(core::BoardLink& link) {
  auto closed = Board("GONE");
  closed->failOpen = true;
  return core::ScanBoardDrives(
      link,
      {testing::FakeBoardDrive(Board("ROBO"), u"D"), testing::FakeBoardDrive(Board("OTHER"), u"E"),
       testing::FakeBoardDrive(closed, u"F")},
      u"NOBODY");
}

QComboBox* Boards(QDialog& dialog) {
  return dialog.findChild<QComboBox*>(QStringLiteral("1121"));
}

QPushButton* ButtonOf(QDialog& dialog, const char* id) {
  return dialog.findChild<QPushButton*>(QString::fromLatin1(id));
}

}  // namespace

class DriveSelectionDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void showsTheTitleTheQuestionAndTheButtons() {
    core::BoardLink link;
    DriveSelectionDialog dialog(link, {}, nullptr);
    QCOMPARE(dialog.windowTitle(), Text(core::TextId::kDlgSelectBoardTitle));
    const auto labels = dialog.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels[0]->text(), Text(core::TextId::kDlgSelectBoardInfoLine1) + QLatin1Char('\n') +
                                    Text(core::TextId::kDlgSelectBoardInfoLine2));
    QCOMPARE(ButtonOf(dialog, "1")->text(), Text(core::TextId::kButtonOk));
    QCOMPARE(ButtonOf(dialog, "2")->text(), Text(core::TextId::kButtonCancel));
  }

  void listsTheListedBoardsInScanOrder() {
    core::BoardLink link;
    DriveSelectionDialog dialog(link, ScanThreeDrives(link), nullptr);
    QComboBox* boards = Boards(dialog);
    QCOMPARE(boards->count(), 2);
    const auto entry = [](const char16_t* name, char16_t drive) {
      return ToQString(
          core::Format(core::LoadText(core::TextId::kFmtBoardDriveComboEntry), name, drive));
    };
    QCOMPARE(boards->itemText(0), entry(u"ROBO", u'D'));
    QCOMPARE(boards->itemText(1), entry(u"OTHER", u'E'));
  }

  void preselectsTheCurrentDriveElseTheFirst() {
    core::BoardLink link;
    const core::BoardScanResult scan = ScanThreeDrives(link);
    link.SetCurrentDrive(scan.listed[1]);
    DriveSelectionDialog onCurrent(link, scan, nullptr);
    QCOMPARE(Boards(onCurrent)->currentIndex(), 1);

    link.SetCurrentDrive(testing::FakeBoardDrive(Board("X"), u"Z"));
    DriveSelectionDialog elsewhere(link, scan, nullptr);
    QCOMPARE(Boards(elsewhere)->currentIndex(), 0);
  }

  void okMakesTheSelectionTheBoardDrive() {
    core::BoardLink link;
    const core::BoardScanResult scan = ScanThreeDrives(link);
    link.SetCurrentDrive(scan.listed[0]);
    DriveSelectionDialog dialog(link, scan, nullptr);
    Boards(dialog)->setCurrentIndex(1);
    ButtonOf(dialog, "1")->click();
    QCOMPARE(dialog.result(), 1);
    QVERIFY(link.CurrentDrive().label == u"E");
  }

  void cancelGivesZeroAndKeepsTheDrive() {
    core::BoardLink link;
    const core::BoardScanResult scan = ScanThreeDrives(link);
    link.SetCurrentDrive(scan.listed[0]);
    DriveSelectionDialog dialog(link, scan, nullptr);
    dialog.show();
    Boards(dialog)->setCurrentIndex(1);
    ButtonOf(dialog, "2")->click();
    QCOMPARE(dialog.result(), 0);
    QVERIFY(!dialog.isVisible());
    QVERIFY(link.CurrentDrive().label == u"D");
  }

  void okWithNothingListedKeepsTheDriveAndStillConfirms() {
    core::BoardLink link;
    link.SetCurrentDrive(testing::FakeBoardDrive(Board("X"), u"Z"));
    DriveSelectionDialog dialog(link, {}, nullptr);
    QCOMPARE(Boards(dialog)->currentIndex(), -1);
    ButtonOf(dialog, "1")->click();
    QCOMPARE(dialog.result(), 1);
    QVERIFY(link.CurrentDrive().label == u"Z");
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
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::DriveSelectionDialogTest)
#include "drive_selection_dialog_test.moc"

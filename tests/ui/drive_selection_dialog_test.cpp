#include "board/drive_selection_dialog.h"

#include <string>

#include "dialog_checks.h"
#include "fake_devmem.h"

namespace gestalon::ui {
namespace {

core::BoardDrive Drive(const std::string& modelName, const char16_t* label) {
  auto board = std::make_shared<testing::FakeBoard>();
  board->SetText(0x0020, modelName);
  return testing::FakeBoardDrive(board, label);
}

}  // namespace

class DriveSelectionDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The scanned boards in scan order with the board drive preselected; OK makes the chosen one
  // the board drive, Cancel keeps it, and OK with nothing listed keeps it and still confirms.
  void choosesAmongTheScannedBoards_data() {
    QTest::addColumn<bool>("listed");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("drive");  // the board drive afterwards
    QTest::newRow("ok") << true << 1 << "D";
    QTest::newRow("cancel") << true << 2 << "E";
    QTest::newRow("nothing listed") << false << 1 << "E";
  }
  void choosesAmongTheScannedBoards() {
    QFETCH(bool, listed);
    QFETCH(int, button);
    QFETCH(QString, drive);
    core::BoardLink link;
    const core::BoardScanResult scan =
        listed ? core::ScanBoardDrives(link, {Drive("ROBO", u"D"), Drive("OTHER", u"E")}, u"NOBODY")
               : core::BoardScanResult{};
    link.SetCurrentDrive(listed ? scan.listed[1] : Drive("X", u"E"));
    DriveSelectionDialog dialog(link, scan, nullptr);
    dialog.show();
    auto* boards = FindControl<QComboBox>(&dialog, 1121);
    QStringList shown;
    QStringList expected;
    for (int row = 0; row < boards->count(); ++row) {
      shown << boards->itemText(row);
    }
    for (const std::u16string& text : core::BoardChoiceTexts(scan)) {
      expected << ToQString(text);
    }
    QCOMPARE(shown, expected);
    QCOMPARE(boards->currentIndex(), listed ? 1 : -1);
    boards->setCurrentIndex(listed ? 0 : -1);
    testing::Click(dialog, button);
    QCOMPARE(dialog.result(), button == 1 ? 1 : 0);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(ToQString(link.CurrentDrive().label), drive);
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

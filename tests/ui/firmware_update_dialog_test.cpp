#include "board/firmware_update_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "main_window/editor_session.h"
#include "platform/paths.h"
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

fs::path ProgramFolder() {
  return fs::path(GESTALON_RESOURCES_DIR);  // holds firm/zupdater.bin, as the program's does
}

std::string FileBytes(const fs::path& path) {
  return testing::ReadBytes(path);
}

}  // namespace

class FirmwareUpdateDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The user picks the sample firmware, agrees, and the virtual board ends up running it: both
  // images reach its flash, the progress bar ends full, and the board's updater installs the
  // firmware's version and restarts.
  void updatesTheVirtualBoardsFirmwareThroughBothDialogs() {
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    SessionOptions options;
    options.virtualBoardFolder = robot.dir.Path() / "card";
    EditorSession session(robot.project, &prompter, nullptr, {}, std::move(options));
    sim::VirtualBoard& board = *session.VirtualBoard();
    const fs::path firmware = ProgramFolder() / "firm" / "sample_firmware.bin";
    FileChoice asked;
    QString startFolder;
    session.dialogs.pickFile = [&](QWidget*, const FileChoice& choice, const QString& start) {
      asked = choice;
      startFolder = start;
      return ToQString(core::TextFromPath(firmware));
    };

    FirmwareUpdateDialog dialog(session, ProgramFolder());
    dialog.show();
    QCOMPARE(dialog.windowTitle(), Text(core::TextId::kFwDlgTitle));
    QCOMPARE(FindControl<QPushButton>(&dialog, 1)->text(), Text(core::TextId::kFwDlgStartWriting));
    QCOMPARE(FindControl<QPushButton>(&dialog, 2)->text(), Text(core::TextId::kButtonCancel));
    FindControl<QPushButton>(&dialog, 1018)->click();
    QCOMPARE(asked.title, Text(core::TextId::kTitleOpenMotion));
    QCOMPARE(asked.filters, QStringList{QStringLiteral("bin (*.bin)")});
    QVERIFY(!asked.save);
    QCOMPARE(asked.defaultSuffix, QStringLiteral("bin"));
    QCOMPARE(startFolder, ToQString(session.project.project.folder));
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1019)->text(),
             ToQString(core::TextFromPath(firmware)));
    const QString screenshot = qEnvironmentVariable("GESTALON_SCREENSHOT");
    if (!screenshot.isEmpty()) {
      QVERIFY(dialog.grab().save(screenshot + ".firmware_122.png"));
    }

    // The progress dialog as the update ends: its last status and its bar.
    QString lastStatus;
    int barValue = -1;
    int barMaximum = -1;
    QTimer::singleShot(0, this, [&] {
      QWidget* progress = QApplication::activeModalWidget();
      QVERIFY(progress && progress->objectName() == QStringLiteral("124"));
      QCOMPARE(progress->windowTitle(), Text(core::TextId::kFwProgressDlgTitle));
      bool warned = false;
      for (const QLabel* label : progress->findChildren<QLabel*>()) {
        warned = warned || label->text() == Text(core::TextId::kFwProgressDlgNote);
      }
      QVERIFY(warned);
      connect(qobject_cast<QDialog*>(progress), &QDialog::finished, this, [&, progress] {
        lastStatus = FindControl<QLabel>(progress, 1020)->text();
        const QProgressBar* bar = FindControl<QProgressBar>(progress, 40642);
        barValue = bar->value();
        barMaximum = bar->maximum();
        if (!screenshot.isEmpty()) {
          progress->grab().save(screenshot + ".firmware_124.png");
        }
      });
    });
    FindControl<QPushButton>(&dialog, 1)->click();

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    const auto calls = prompter.Calls();
    QCOMPARE(calls.size(), std::size_t{2});
    QCOMPARE(calls[0].text, core::LoadText(core::TextId::kMsgConfirmFirmwareWrite));
    QCOMPARE(calls[0].buttons, core::PromptButtons::kYesNo);
    QCOMPARE(calls[1].text, core::LoadText(core::TextId::kMsgFirmwareUpdateDone));
    QCOMPARE(lastStatus, Text(core::TextId::kFwStatusRunningUpdate));
    const std::string updater = FileBytes(ProgramFolder() / "firm" / "zupdater.bin");
    QCOMPARE(barMaximum, std::max<int>(1, static_cast<int>(updater.size() / 128)));
    QCOMPARE(barValue, barMaximum);
    const std::string sent = FileBytes(firmware);
    const std::vector<std::uint8_t> flash = board.Flash(0x08020000, sent.size());
    QCOMPARE(std::string(flash.begin(), flash.end()), sent);
    QCOMPARE(board.UpdaterRuns(), 1);
    QCOMPARE(board.FirmwareVersion(), std::uint16_t{0x0200});
    QCOMPARE(board.Word(0x0010), std::uint16_t{0x0200});
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::FirmwareUpdateDialogTest)
#include "firmware_update_dialog_test.moc"

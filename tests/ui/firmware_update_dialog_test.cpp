#include "board/firmware_update_dialog.h"

#include <QProgressBar>

#include "dialog_checks.h"
#include "platform/paths.h"
#include "virtual_board.h"

namespace gestalon::ui {

class FirmwareUpdateDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The user picks the sample firmware, agrees, and the virtual board ends up running it: both
  // images reach its flash, the progress bar ends full, and the board's updater installs the
  // firmware's version and restarts.
  void updatesTheVirtualBoardsFirmwareThroughBothDialogs() {
    testing::SampleSession sample(true);
    EditorSession& session = sample.session;
    const std::filesystem::path programFolder(GESTALON_RESOURCES_DIR);  // holds firm/zupdater.bin
    const std::filesystem::path firmware = programFolder / "firm" / "sample_firmware.bin";
    FileChoice asked;
    QString startFolder;
    session.dialogs.pickFile = [&](QWidget*, const FileChoice& choice, const QString& start) {
      asked = choice;
      startFolder = start;
      return ToQString(core::TextFromPath(firmware));
    };

    FirmwareUpdateDialog dialog(session, programFolder);
    dialog.show();
    testing::Click(dialog, 1018);
    QCOMPARE(asked.filters, QStringList{QStringLiteral("bin (*.bin)")});
    QVERIFY(!asked.save);
    QCOMPARE(startFolder, ToQString(session.project.project.folder));
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1019)->text(),
             ToQString(core::TextFromPath(firmware)));
    testing::Screenshot(dialog, QStringLiteral("firmware_122"));

    // The progress dialog as the update ends: its last status and its bar.
    QString lastStatus;
    bool ended = false;
    testing::WhenModal([&](QDialog& progress) {
      QCOMPARE(progress.objectName(), QStringLiteral("124"));
      connect(&progress, &QDialog::finished, this, [&] {
        lastStatus = FindControl<QLabel>(&progress, 1020)->text();
        const QProgressBar* bar = FindControl<QProgressBar>(&progress, 40642);
        QCOMPARE(bar->value(), bar->maximum());
        const auto updater = testing::ReadBytes(programFolder / "firm" / "zupdater.bin");
        QCOMPARE(bar->maximum(), std::max<int>(1, static_cast<int>(updater.size() / 128)));
        testing::Screenshot(progress, QStringLiteral("firmware_124"));
        ended = true;
      });
    });
    testing::Click(dialog, 1);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(ended);
    QCOMPARE(testing::ShownTexts(sample.prompter),
             testing::Texts(
                 {core::TextId::kMsgConfirmFirmwareWrite, core::TextId::kMsgFirmwareUpdateDone}));
    QCOMPARE(sample.prompter.Calls()[0].buttons, core::PromptButtons::kYesNo);
    QCOMPARE(lastStatus, Text(core::TextId::kFwStatusRunningUpdate));
    sim::VirtualBoard& board = *session.VirtualBoard();
    const std::string sent = testing::ReadBytes(firmware);
    const std::vector<std::uint8_t> flash = board.Flash(0x08020000, sent.size());
    QCOMPARE(std::string(flash.begin(), flash.end()), sent);
    QCOMPARE(board.UpdaterRuns(), 1);
    QCOMPARE(board.FirmwareVersion(), std::uint16_t{0x0200});
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::FirmwareUpdateDialogTest)
#include "firmware_update_dialog_test.moc"

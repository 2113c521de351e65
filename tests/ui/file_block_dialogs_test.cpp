#include <tuple>

#include "block_fields.h"
#include "dialog_checks.h"
#include "dialogs/called_file_dialog.h"
#include "dialogs/create_file_dialog.h"
#include "dialogs/data_file_dialog.h"
#include "platform/paths.h"
#include "project/project_loader.h"
#include "project/system_settings.h"
#include "text/format.h"

Q_DECLARE_METATYPE(gestalon::core::BlockKind)

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
using core::BlockKind;

// A session on an empty project whose folder is a fresh temporary folder holding one motion, one
// sound and one data file.
struct Project {
  testing::TempDir dir;
  testing::RecordingPrompter prompter;
  testing::RecordingViewNotifier views;
  std::unique_ptr<EditorSession> session;

  Project() {
    core::LoadedProject project;
    core::SetSystemSettingsDefaults(project.system);
    project.project.folder = core::TextFromPath(dir.Path() / "");
    session = std::make_unique<EditorSession>(std::move(project), &prompter, &views);
    fs::create_directory(dir / "sub");
    testing::WriteBytes(dir / "sub" / "CALLED.KX4", "motion");
    testing::WriteBytes(dir / "VOICE.WAV", "RIFF");
    testing::WriteBytes(dir / "DATA.LOG", "1234");
  }
  // The file choosers answer `path`.
  void PickAnswers(const fs::path& path) {
    session->dialogs.pickFile = [answer = ToQString(core::TextFromPath(path))](
                                    QWidget*, const FileChoice&, const QString&) { return answer; };
  }
};

// A filled block that names no file found and uses its constant.
core::MotionBlock FilledBlock(BlockKind kind) {
  core::MotionBlock block = testing::FilledBlock(kind);
  block.fileFound = false;
  block.useConst = 1;
  return block;
}

std::unique_ptr<BlockDialog> OpenDialog(EditorSession& session, core::MotionBlock& block) {
  std::unique_ptr<BlockDialog> dialog;
  if (block.Is(BlockKind::FileRead) || block.Is(BlockKind::FileWrite)) {
    dialog = std::make_unique<DataFileDialog>(session, block);
  } else {
    dialog = std::make_unique<CalledFileDialog>(session, block);
  }
  dialog->show();
  testing::Screenshot(*dialog, QString::number(block.type));
  return dialog;
}

// Types into the common and file fields, and switches sound and cancel blocks to their file.
void ChangeFields(QWidget* dialog, const QString& file) {
  testing::Type(*dialog, 1224, QStringLiteral("after"));
  testing::Type(*dialog, 1225, QStringLiteral("4096"));
  testing::Type(*dialog, 1226, QStringLiteral("12"));
  testing::Type(*dialog, 1142, file);
  if (auto* useFile = FindControl<QRadioButton>(dialog, 1114)) {
    useFile->click();
  }
  if (auto* useConst = FindControl<QCheckBox>(dialog, 40659); useConst && useConst->isVisible()) {
    useConst->setChecked(false);
  }
}

class FileBlockDialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void okStoresTheKindsFieldsAndCancelNothing_data() {
    QTest::addColumn<BlockKind>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("noFile");
    QTest::addColumn<std::uint32_t>("useConst");
    QTest::addColumn<bool>("found");
    QTest::newRow("subroutine") << BlockKind::SubRoutine << "sub/CALLED.KX4" << true << 1u << true;
    QTest::newRow("missing") << BlockKind::SubRoutine << "GONE.KX4" << true << 1u << false;
    QTest::newRow("sound") << BlockKind::Sound << "VOICE.WAV" << false << 0u << true;
    QTest::newRow("cancel") << BlockKind::Cancel << "sub\\CALLED.KX4" << false << 1u << true;
    QTest::newRow("file read") << BlockKind::FileRead << "DATA.LOG" << true << 1u << true;
    QTest::newRow("file write") << BlockKind::FileWrite << "DATA.LOG" << true << 1u << true;
  }
  void okStoresTheKindsFieldsAndCancelNothing() {
    QFETCH(BlockKind, kind);
    QFETCH(QString, file);
    QFETCH(bool, noFile);
    QFETCH(std::uint32_t, useConst);
    QFETCH(bool, found);
    Project project;
    core::MotionBlock block = FilledBlock(kind);
    block.fileFound = !found;
    const core::MotionBlock before = block;

    core::MotionBlock expected = before;
    for (const int button : {2, 1}) {
      auto dialog = OpenDialog(*project.session, block);
      ChangeFields(dialog.get(), file);
      testing::Click(*dialog, button);
      QCOMPARE(dialog->result(), button == 1 ? 1 : 0);
      QVERIFY(!dialog->isVisible());
      QCOMPARE(testing::DifferingFields(block, expected), QStringList());
      expected.name = u"after";
      expected.xpos = 4096;
      expected.ypos = 12;
      expected.constValue = 0;
      expected.fileName = ToU16(file);
      expected.fileFound = found;
      expected.noFile = noFile;
      expected.useConst = useConst;
    }
    QVERIFY(project.prompter.Calls().empty());
  }

  void controlsFollowTheKindAndTheFileChoice_data() {
    QTest::addColumn<BlockKind>("kind");
    QTest::addColumn<std::uint32_t>("flags");
    QTest::addColumn<bool>("asJumpEnabled");    // 40003: subroutine only, always hidden
    QTest::addColumn<bool>("useConstVisible");  // 40659: sound and cancel, shown for sound
    QTest::addColumn<QString>("statusOnOpening");
    QTest::newRow("subroutine") << BlockKind::SubRoutine << 0u << false << false << QString();
    QTest::newRow("subroutine, jumps on")
        << BlockKind::SubRoutine << core::SystemFlag::kUseJump << true << false << QString();
    QTest::newRow("sound") << BlockKind::Sound << 0u << false << true << QString();
    QTest::newRow("cancel") << BlockKind::Cancel << 0u << false << false << QString();
    QTest::newRow("file read") << BlockKind::FileRead << 0u << false << false
                               << ToQString(core::Format(
                                      core::LoadText(core::TextId::kMsgFileSizeStatus), 4));
  }
  void controlsFollowTheKindAndTheFileChoice() {
    QFETCH(BlockKind, kind);
    QFETCH(std::uint32_t, flags);
    QFETCH(bool, asJumpEnabled);
    QFETCH(bool, useConstVisible);
    QFETCH(QString, statusOnOpening);
    Project project;
    project.session->systemFlags = flags;
    core::MotionBlock block = FilledBlock(kind);
    block.fileName = kind == BlockKind::Sound      ? u"VOICE.WAV"
                     : kind == BlockKind::FileRead ? u"DATA.LOG"
                                                   : u"sub/CALLED.KX4";
    block.noFile = false;
    auto dialog = OpenDialog(*project.session, block);
    QCOMPARE(FindControl<QLabel>(dialog.get(), 1001)->text(), statusOnOpening);

    auto* asJump = FindControl<QCheckBox>(dialog.get(), 40003);
    QCOMPARE(asJump != nullptr, kind == BlockKind::SubRoutine);
    if (asJump) {
      QVERIFY(asJump->isHidden());
      QCOMPARE(asJump->isEnabled(), asJumpEnabled);
    }
    auto* useConst = FindControl<QCheckBox>(dialog.get(), 40659);
    QCOMPARE(useConst && useConst->isVisible(), useConstVisible);

    // Sound and cancel blocks without a file leave the file controls disabled.
    auto* noFile = FindControl<QRadioButton>(dialog.get(), 1112);
    QCOMPARE(noFile != nullptr, kind == BlockKind::Sound || kind == BlockKind::Cancel);
    if (noFile) {
      noFile->click();
      for (int id : {1142, 1206, kind == BlockKind::Sound ? 40004 : 40010}) {
        QVERIFY2(!FindControl<QWidget>(dialog.get(), id)->isEnabled(),
                 qPrintable(QString::number(id)));
      }
      FindControl<QRadioButton>(dialog.get(), 1114)->click();
      QVERIFY(FindControl<QWidget>(dialog.get(), 1142)->isEnabled());
    }
  }

  // The chooser takes only files in the project folder, and offers to create a missing file
  // to write; an existing one is taken without a question.
  void chooserKeepsOnlyProjectFilesAndOffersToCreate() {
    Project project;
    core::MotionBlock block = FilledBlock(BlockKind::FileWrite);
    auto dialog = OpenDialog(*project.session, block);
    auto* field = FindControl<QLineEdit>(dialog.get(), 1142);
    const testing::TempDir elsewhere;
    project.PickAnswers(elsewhere / "DATA.LOG");
    testing::Click(*dialog, 1206);
    QCOMPARE(field->text(), QStringLiteral("old.KX4"));

    project.PickAnswers(project.dir / "NEW.LOG");
    project.prompter.QueueAnswer(core::PromptAnswer::kNo);
    testing::Click(*dialog, 1206);
    QCOMPARE(field->text(), QStringLiteral("NEW.LOG"));
    QCOMPARE(testing::ShownTexts(project.prompter),
             testing::Texts({core::TextId::kMsgFileOutsideProject,
                             core::TextId::kMsgConfirmCreateMissingFile}));
    QCOMPARE(project.prompter.Calls().back().buttons, core::PromptButtons::kYesNo);
    QVERIFY(!fs::exists(project.dir / "NEW.LOG"));

    project.PickAnswers(project.dir / "DATA.LOG");
    testing::Click(*dialog, 1206);
    QCOMPARE(project.prompter.Calls().size(), std::size_t{2});
    QCOMPARE(field->text(), QStringLiteral("DATA.LOG"));
    QVERIFY(FindControl<QPushButton>(dialog.get(), 1008)->isEnabled());
  }

  void testPlayAndEditUseTheFileInTheProjectFolder() {
    Project project;
    QStringList played;
    std::vector<fs::path> opened;
    project.session->dialogs.openFile = [&](const QString& path) {
      played << path;
      return true;
    };
    project.session->dialogs.openMotion = [&](const fs::path& file) {
      opened.push_back(file);
      return true;
    };
    core::MotionBlock sound = FilledBlock(BlockKind::Sound);
    sound.noFile = false;
    sound.fileName = u"VOICE.WAV";
    auto soundDialog = OpenDialog(*project.session, sound);
    testing::Click(*soundDialog, 40004);
    QCOMPARE(played, QStringList{ToQString(core::TextFromPath(project.dir / "VOICE.WAV"))});
    QVERIFY(soundDialog->isVisible());

    core::MotionBlock subroutine = FilledBlock(BlockKind::SubRoutine);
    const core::MotionBlock before = subroutine;
    auto subDialog = OpenDialog(*project.session, subroutine);
    testing::Type(*subDialog, 1142, QStringLiteral("MISSING.KX4"));
    testing::Click(*subDialog, 40010);
    QVERIFY(opened.empty());
    testing::Type(*subDialog, 1142, QStringLiteral("sub/CALLED.KX4"));
    testing::Click(*subDialog, 40010);
    QCOMPARE(opened.size(), std::size_t{1});
    QVERIFY(fs::equivalent(opened.front(), project.dir / "sub" / "CALLED.KX4"));
    QCOMPARE(subDialog->result(), int(QDialog::Rejected));
    QVERIFY(!subDialog->isVisible());
    QCOMPARE(testing::DifferingFields(subroutine, before), QStringList());
  }

  void creationDialogMakesAZeroFilledFile() {
    Project project;
    CreateFileDialog dialog(*project.session, QStringLiteral("NEW.LOG"));
    dialog.show();
    auto* size = FindControl<QLineEdit>(&dialog, 1017);
    QCOMPARE(size->text(), QStringLiteral("8"));
    size->setText(QStringLiteral("16"));
    testing::Click(dialog, 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(testing::ReadBytes(project.dir / "NEW.LOG"), std::string(16, '\0'));
    QCOMPARE(project.prompter.Calls().back().text, core::LoadText(core::TextId::kMsgFileCreated));

    // The next proposal: the existing file's size, else the size made last.
    CreateFileDialog existing(*project.session, QStringLiteral("DATA.LOG"));
    QCOMPARE(FindControl<QLineEdit>(&existing, 1017)->text(), QStringLiteral("4"));
    CreateFileDialog next(*project.session, QStringLiteral("OTHER.LOG"));
    QCOMPARE(FindControl<QLineEdit>(&next, 1017)->text(), QStringLiteral("16"));

    // A file that cannot be made is reported and the dialog stays open.
    next.show();
    testing::Type(next, 1142, QStringLiteral("nofolder/X.LOG"));
    testing::Click(next, 1);
    QVERIFY(next.isVisible());
    QCOMPARE(project.prompter.Calls().back().text,
             core::LoadText(core::TextId::kMsgFileCreateFailed));
  }
};

}  // namespace
}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::FileBlockDialogsTest)
#include "file_block_dialogs_test.moc"

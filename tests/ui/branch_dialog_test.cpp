#include "dialogs/branch_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>
#include <tuple>

#include "block_fields.h"
#include "board/board_scan.h"
#include "main_window/editor_session.h"
#include "project/project_loader.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"
#include "virtual_board.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

QString ByteSize(int bytes) {
  return ToQString(core::Format(core::LoadText(core::TextId::kFmtByteSize), bytes));
}

namespace fs = std::filesystem;

// A session on a copy of the sample robot, with a virtual board whose card lies beside it.
struct SampleSession {
  testing::TempDir dir;
  testing::RecordingPrompter prompter;
  std::unique_ptr<EditorSession> session;
  SampleSession() {
    fs::copy(fs::path(GESTALON_RESOURCES_DIR) / "robots" / "gestaloid", dir.Path() / "robot",
             fs::copy_options::recursive);
    core::LoadedProject project;
    core::ProjectLoadOptions options;
    options.programFolder = fs::path(GESTALON_RESOURCES_DIR);
    core::LoadRobotProject(dir.Path() / "robot" / "gestaloid.KJZ", true, project, options);
    SessionOptions sessionOptions;
    sessionOptions.virtualBoardFolder = dir.Path() / "card";
    session = std::make_unique<EditorSession>(std::move(project), &prompter, nullptr,
                                              SessionHooks{}, sessionOptions);
  }
};

// A branch block with a value in every field, so that a field the dialog must not touch shows.
core::MotionBlock FilledBlock(core::BlockKind kind) {
  core::MotionBlock block;
  block.type = static_cast<std::int32_t>(kind);
  block.name = u"IF";
  block.label = u"label";
  block.time = 77;
  block.slots[3] = -9;
  block.servoEnableMask = 0x30;
  block.poseConst = 5;
  block.interpWait = true;
  block.selFlags = 1;
  block.xpos = 40;
  block.ypos = 60;
  block.rect = {140, 90, 1, 2};
  block.bluearrow = 16;
  block.redarrow = 46;
  block.varAddr = 0x0F80;
  block.refAddr = 0x0F88;
  block.op = 1;
  block.constValue = 16;
  block.useConst = 1;
  block.varSize = 2;
  block.refSize = 1;
  block.fileName = u"a.kx4";
  block.fileFound = true;
  block.noFile = true;
  block.asJump = true;
  block.fileAddr = 0x0E00;
  block.comment = u"c";
  block.fileStart = 11;
  block.fileEnd = 22;
  return block;
}

void Type(QWidget& dialog, int id, const QString& text) {
  FindControl<QLineEdit>(&dialog, id)->setText(text);
}

QString LabelText(QWidget& dialog, int id) {
  return FindControl<QLabel>(&dialog, id)->text();
}

}  // namespace

class BranchDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void okStoresTheOperationAndNothingElse_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("lastOperator");
    QTest::newRow("branch") << static_cast<int>(core::BlockKind::If) << QStringLiteral("FALSE");
    QTest::newRow("calculation") << static_cast<int>(core::BlockKind::Calc)
                                 << QStringLiteral("NOT=");
  }
  void okStoresTheOperationAndNothingElse() {
    QFETCH(int, kind);
    QFETCH(QString, lastOperator);
    SampleSession sample;
    core::MotionBlock block = FilledBlock(static_cast<core::BlockKind>(kind));
    core::MotionBlock expected = block;
    BranchDialog dialog(*sample.session, block);
    dialog.show();
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1230)->text(), QStringLiteral("16"));
    QCOMPARE(FindControl<QLineEdit>(&dialog, 40630)->text(), QStringLiteral("3968:カウンタ"));
    QCOMPARE(LabelText(dialog, 1005), ByteSize(2));
    QCOMPARE(LabelText(dialog, 1031), ByteSize(1));
    auto* operators = FindControl<QComboBox>(&dialog, 1227);
    QCOMPARE(operators->currentIndex(), 1);
    QCOMPARE(operators->itemText(operators->count() - 1), lastOperator);
    QVERIFY(FindControl<QLineEdit>(&dialog, 1230)->isEnabled());
    QVERIFY(!FindControl<QLineEdit>(&dialog, 40632)->isEnabled());
    QVERIFY(!FindControl<QPushButton>(&dialog, 40637)->isEnabled());

    FindControl<QRadioButton>(&dialog, 1229)->click();
    QVERIFY(!FindControl<QLineEdit>(&dialog, 1230)->isEnabled());
    QVERIFY(FindControl<QLineEdit>(&dialog, 40632)->isEnabled());
    QVERIFY(FindControl<QLabel>(&dialog, 1200)->isEnabled());
    operators->setCurrentIndex(3);
    Type(dialog, 1230, QStringLiteral("０ｘ７ｆ"));
    Type(dialog, 1224, QStringLiteral("cond"));
    Type(dialog, 1225, QStringLiteral("200"));
    Type(dialog, 1226, QStringLiteral("4096"));
    FindControl<QPushButton>(&dialog, 1)->click();

    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    expected.constValue = 0x7f;
    expected.useConst = 0;
    expected.op = 3;
    expected.name = u"cond";
    expected.xpos = 200;
    expected.ypos = 4096;
    QCOMPARE(testing::DifferingFields(block, expected), QStringList());
    QVERIFY(sample.prompter.Calls().empty());
  }

  void cancelStoresNothing() {
    SampleSession sample;
    core::MotionBlock block = FilledBlock(core::BlockKind::Calc);
    const core::MotionBlock before = block;
    BranchDialog dialog(*sample.session, block);
    dialog.show();
    FindControl<QRadioButton>(&dialog, 1229)->click();
    FindControl<QComboBox>(&dialog, 1227)->setCurrentIndex(4);
    Type(dialog, 1230, QStringLiteral("99"));
    Type(dialog, 1224, QStringLiteral("changed"));
    FindControl<QPushButton>(&dialog, 2)->click();
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Rejected));
    QCOMPARE(testing::DifferingFields(block, before), QStringList());
  }

  void constantBeyondTheVariableKeepsTheDialogOpen() {
    SampleSession sample;
    core::MotionBlock block = FilledBlock(core::BlockKind::If);
    block.varSize = 1;
    const core::MotionBlock before = block;
    BranchDialog dialog(*sample.session, block);
    dialog.show();
    Type(dialog, 1230, QStringLiteral("256"));
    FindControl<QPushButton>(&dialog, 1)->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(sample.prompter.Calls().size(), 1u);
    QCOMPARE(sample.prompter.Calls()[0].icon, core::PromptIcon::kWarning);
    QCOMPARE(sample.prompter.Calls()[0].text, core::LoadText(core::TextId::kMsgConstOver1Byte));
    QCOMPARE(testing::DifferingFields(block, before), QStringList());
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1230)->text(), QStringLiteral("256"));
  }

  // The checkbox switches the shared flag at once, and the dialog's own fields with it.
  void hexadecimalCheckboxSwitchesTheSharedFlag() {
    SampleSession sample;
    sample.session->SetHexadecimalDisplay(true);
    core::MotionBlock block = FilledBlock(core::BlockKind::If);
    BranchDialog dialog(*sample.session, block);
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1230)->text(), QStringLiteral("0x0010"));
    QCOMPARE(FindControl<QLineEdit>(&dialog, 40630)->text(), QStringLiteral("0x0f80:カウンタ"));
    auto* hexadecimal = FindControl<QCheckBox>(&dialog, 40002);
    QVERIFY(hexadecimal->isChecked());
    hexadecimal->click();
    QVERIFY(!sample.session->project.hexadecimalDisplay);
    QCOMPARE(FindControl<QLineEdit>(&dialog, 40630)->text(), QStringLiteral("3968:カウンタ"));
  }

  void liveValuesFollowTheBoardWhileOnline() {
    SampleSession sample;
    EditorSession& session = *sample.session;
    core::MotionBlock block = FilledBlock(core::BlockKind::If);
    block.refAddr = 0x2000;  // beyond board memory
    BranchDialog dialog(session, block);
    dialog.show();
    const QString offline = Text(core::TextId::kLabelValueOffline);
    QCOMPARE(LabelText(dialog, 1199), offline);
    QCOMPARE(LabelText(dialog, 1200), offline);

    const core::BoardScanResult scan = core::ScanBoardDrives(
        session.link, session.DriveCandidates(), core::RobotName(session.project.cpu));
    QVERIFY(scan.singleMatch);
    QCOMPARE(session.online->StartOnline(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(session.link.Flags().online.load() == 1, 30000);
    sim::VirtualBoard& board = *session.VirtualBoard();
    board.SetWord(0x0F80, static_cast<std::uint16_t>(-1234));
    QTRY_COMPARE_WITH_TIMEOUT(LabelText(dialog, 1199), QStringLiteral("-1234"), 30000);
    QCOMPARE(LabelText(dialog, 1200), Text(core::TextId::kLabelValueOutOfRange));
    board.SetWord(0x0F80, 4321);
    QTRY_COMPARE_WITH_TIMEOUT(LabelText(dialog, 1199), QStringLiteral("4321"), 30000);
    session.online->StopOnline();
  }

  // With GESTALON_SCREENSHOT set, both dialogs are saved there for a look by eye.
  void screenshotWhenAsked() {
    const QString file = qEnvironmentVariable("GESTALON_SCREENSHOT");
    if (file.isEmpty()) {
      QSKIP("GESTALON_SCREENSHOT not set");
    }
    SampleSession sample;
    for (const core::BlockKind kind : {core::BlockKind::If, core::BlockKind::Calc}) {
      core::MotionBlock block = FilledBlock(kind);
      BranchDialog dialog(*sample.session, block);
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QVERIFY(dialog.grab().save(file + "." + dialog.objectName() + ".png"));
    }
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::BranchDialogTest)
#include "branch_dialog_test.moc"

#include "dialogs/branch_dialog.h"

#include "block_fields.h"
#include "board/board_scan.h"
#include "dialog_checks.h"
#include "text/format.h"
#include "virtual_board.h"

namespace gestalon::ui {
namespace {

using testing::Type;

// A filled block whose operands name the sample's variables: カウンタ (2 bytes) against a
// 1-byte one, constant 16 in use.
core::MotionBlock OperandBlock(core::BlockKind kind) {
  core::MotionBlock block = testing::FilledBlock(kind);
  block.varAddr = 0x0F80;
  block.refAddr = 0x0F88;
  block.op = 1;
  block.constValue = 16;
  block.useConst = 1;
  block.varSize = 2;
  block.refSize = 1;
  return block;
}

QString LabelText(QWidget& dialog, int id) {
  return FindControl<QLabel>(&dialog, id)->text();
}

QString FieldText(QWidget& dialog, int id) {
  return FindControl<QLineEdit>(&dialog, id)->text();
}

}  // namespace

class BranchDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Cancel stores nothing; OK stores the operation, the name and the place, and nothing else.
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
    testing::SampleSession sample;
    core::MotionBlock block = OperandBlock(static_cast<core::BlockKind>(kind));
    core::MotionBlock expected = block;
    for (const int button : {2, 1}) {
      BranchDialog dialog(sample.session, block);
      dialog.show();
      QCOMPARE(FieldText(dialog, 1230), QStringLiteral("16"));
      QCOMPARE(FieldText(dialog, 40630), QStringLiteral("3968:カウンタ"));
      QCOMPARE(LabelText(dialog, 1005),
               ToQString(core::Format(core::LoadText(core::TextId::kFmtByteSize), 2)));
      auto* operators = FindControl<QComboBox>(&dialog, 1227);
      QCOMPARE(operators->currentIndex(), 1);
      QCOMPARE(operators->itemText(operators->count() - 1), lastOperator);
      QVERIFY(FindControl<QLineEdit>(&dialog, 1230)->isEnabled());
      QVERIFY(!FindControl<QLineEdit>(&dialog, 40632)->isEnabled());
      QVERIFY(!FindControl<QPushButton>(&dialog, 40637)->isEnabled());
      testing::Screenshot(dialog, dialog.objectName());

      FindControl<QRadioButton>(&dialog, 1229)->click();
      QVERIFY(!FindControl<QLineEdit>(&dialog, 1230)->isEnabled());
      QVERIFY(FindControl<QLineEdit>(&dialog, 40632)->isEnabled());
      QVERIFY(FindControl<QLabel>(&dialog, 1200)->isEnabled());
      operators->setCurrentIndex(3);
      Type(dialog, 1230, QStringLiteral("０ｘ７ｆ"));
      Type(dialog, 1224, QStringLiteral("cond"));
      Type(dialog, 1225, QStringLiteral("200"));
      Type(dialog, 1226, QStringLiteral("4096"));
      testing::Click(dialog, button);
      QCOMPARE(dialog.result(), button == 1 ? 1 : 0);
      QCOMPARE(testing::DifferingFields(block, expected), QStringList());
      expected.constValue = 0x7f;
      expected.useConst = 0;
      expected.op = 3;
      expected.name = u"cond";
      expected.xpos = 200;
      expected.ypos = 4096;
    }
    QVERIFY(sample.prompter.Calls().empty());
  }

  void constantBeyondTheVariableKeepsTheDialogOpen() {
    testing::SampleSession sample;
    core::MotionBlock block = OperandBlock(core::BlockKind::If);
    block.varSize = 1;
    const core::MotionBlock before = block;
    BranchDialog dialog(sample.session, block);
    dialog.show();
    Type(dialog, 1230, QStringLiteral("256"));
    testing::Click(dialog, 1);
    QVERIFY(dialog.isVisible());
    QCOMPARE(sample.prompter.Calls().size(), 1u);
    QCOMPARE(sample.prompter.Calls()[0].icon, core::PromptIcon::kWarning);
    QCOMPARE(sample.prompter.Calls()[0].text, core::LoadText(core::TextId::kMsgConstOver1Byte));
    QCOMPARE(testing::DifferingFields(block, before), QStringList());
    QCOMPARE(FieldText(dialog, 1230), QStringLiteral("256"));
  }

  // The checkbox switches the shared flag at once, and the dialog's own fields with it.
  void hexadecimalCheckboxSwitchesTheSharedFlag() {
    testing::SampleSession sample;
    sample.session.SetHexadecimalDisplay(true);
    core::MotionBlock block = OperandBlock(core::BlockKind::If);
    BranchDialog dialog(sample.session, block);
    QCOMPARE(FieldText(dialog, 1230), QStringLiteral("0x0010"));
    QCOMPARE(FieldText(dialog, 40630), QStringLiteral("0x0f80:カウンタ"));
    auto* hexadecimal = FindControl<QCheckBox>(&dialog, 40002);
    QVERIFY(hexadecimal->isChecked());
    hexadecimal->click();
    QVERIFY(!sample.session.project.hexadecimalDisplay);
    QCOMPARE(FieldText(dialog, 40630), QStringLiteral("3968:カウンタ"));
  }

  void liveValuesFollowTheBoardWhileOnline() {
    testing::SampleSession sample(true);
    EditorSession& session = sample.session;
    core::MotionBlock block = OperandBlock(core::BlockKind::If);
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
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::BranchDialogTest)
#include "branch_dialog_test.moc"

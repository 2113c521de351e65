#include <QPlainTextEdit>

#include "block_fields.h"
#include "dialog_checks.h"
#include "dialogs/comment_block_dialog.h"
#include "dialogs/interp_change_block_dialog.h"
#include "dialogs/pad_block_dialog.h"
#include "dialogs/time_block_dialog.h"
#include "flowchart/block_field_checks.h"
#include "motion_area/motion_area.h"

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::MotionBlock;

using testing::FilledBlock;

std::unique_ptr<BlockDialog> DialogFor(EditorSession& session, MotionBlock& block) {
  switch (block.kind()) {
    case BlockKind::Pose:
    case BlockKind::Wait:
      return std::make_unique<TimeBlockDialog>(session, block);
    case BlockKind::Comment:
      return std::make_unique<CommentBlockDialog>(session, block);
    case BlockKind::InterpChange:
      return std::make_unique<InterpChangeBlockDialog>(session, block);
    case BlockKind::PadIf:
      return std::make_unique<PadBlockDialog>(session, block);
    default:
      return nullptr;
  }
}

// One dialog kind: what a user types into its own controls, and what OK then makes of the block
// besides the name and position.
struct KindCase {
  BlockKind kind;
  std::function<void(BlockDialog&)> fill;
  std::function<void(MotionBlock&)> expect;
};

std::vector<KindCase> KindCases() {
  const auto check = [](BlockDialog& d, int id, bool on) {
    FindControl<QCheckBox>(&d, id)->setChecked(on);
  };
  return {
      {BlockKind::Pose,
       [check](BlockDialog& d) {
         testing::Type(d, 1142, QStringLiteral("70000"));
         check(d, 1013, true);
       },
       [](MotionBlock& b) {
         b.time = 4464;
         b.interpWait = true;
       }},
      {BlockKind::Wait, [](BlockDialog& d) { testing::Type(d, 1142, QStringLiteral("300")); },
       [](MotionBlock& b) { b.time = 300; }},
      {BlockKind::Comment,
       [](BlockDialog& d) {
         FindControl<QPlainTextEdit>(&d, 1142)->setPlainText(QString(300, 'c'));
       },
       [](MotionBlock& b) { b.comment = std::u16string(255, u'c'); }},
      {BlockKind::InterpChange,
       [](BlockDialog& d) {
         FindControl<QComboBox>(&d, 40657)->setCurrentIndex(3);
         FindControl<QComboBox>(&d, 40001)->setCurrentIndex(0);
       },
       [](MotionBlock& b) {
         b.varAddr = 3;
         b.refAddr = 0;
       }},
      {BlockKind::PadIf,
       [check](BlockDialog& d) {
         check(d, 1119, false);  // bit 0, set in the block
         check(d, 1208, true);   // bit 15
       },
       [](MotionBlock& b) {
         // The comparison becomes "controller word equals the mask" whatever it was.
         b.varAddr = 0x0EE4;
         b.varSize = b.refSize = 2;
         b.op = 0;
         b.useConst = 1;
         b.constValue = (0x2345 & ~1) | 0x8000;
       }},
  };
}

struct Session {
  testing::RecordingPrompter prompter;
  EditorSession session{core::LoadedProject{}, &prompter, nullptr};
};

void SetPosition(QWidget& dialog, const QString& x, const QString& y) {
  testing::Type(dialog, 1225, x);
  testing::Type(dialog, 1226, y);
}

// Opens the case's dialog on `block`, types a new name, the position (400, 500) and the case's
// own values, and presses button `buttonId` (1 OK, 2 Cancel). The dialog's result, -1 while it
// stays open.
int EditAndPress(EditorSession& session, MotionBlock& block, const KindCase& c, int buttonId) {
  auto dialog = DialogFor(session, block);
  dialog->show();
  testing::Screenshot(*dialog, dialog->objectName());
  testing::Type(*dialog, 1224, QStringLiteral("new name"));
  SetPosition(*dialog, QStringLiteral("400"), QStringLiteral("500"));
  c.fill(*dialog);
  testing::Click(*dialog, buttonId);
  return dialog->isVisible() ? -1 : dialog->result();
}

// "kind 13: time,op" for the fields in which `block` differs from `expected`; empty when none.
QString Differences(const KindCase& c, const MotionBlock& block, const MotionBlock& expected) {
  const QStringList fields = testing::DifferingFields(block, expected);
  return fields.isEmpty()
             ? QString()
             : QStringLiteral("kind %1: %2").arg(static_cast<int>(c.kind)).arg(fields.join(','));
}

}  // namespace

class BlockDialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Cancel stores nothing; OK stores the name, the place and the kind's own fields.
  void okStoresTheKindsFieldsAndCancelNothing() {
    for (const KindCase& c : KindCases()) {
      Session s;
      MotionBlock block = FilledBlock(c.kind);
      QCOMPARE(EditAndPress(s.session, block, c, 2), int{QDialog::Rejected});
      QCOMPARE(Differences(c, block, FilledBlock(c.kind)), QString());
      QCOMPARE(EditAndPress(s.session, block, c, 1), int{QDialog::Accepted});
      MotionBlock expected = FilledBlock(c.kind);
      expected.xpos = 400;
      expected.ypos = 500;
      // The interpolation switch shows the name but does not store it.
      expected.name = c.kind == BlockKind::InterpChange ? u"old" : u"new name";
      c.expect(expected);
      QCOMPARE(Differences(c, block, expected), QString());
      QVERIFY(s.prompter.Calls().empty());
    }
  }

  // The interpolation switch shows its name read-only; the gamepad boxes show the mask's bits.
  void controlsShowTheBlock() {
    Session s;
    MotionBlock interp = FilledBlock(BlockKind::InterpChange);
    InterpChangeBlockDialog dialog(s.session, interp);
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1224)->text(), QStringLiteral("old"));
    QVERIFY(FindControl<QLineEdit>(&dialog, 1224)->isReadOnly());
    QCOMPARE(FindControl<QComboBox>(&dialog, 40657)->currentIndex(), 1);
    QCOMPARE(FindControl<QComboBox>(&dialog, 40657)->count(), 5);
    QCOMPARE(FindControl<QComboBox>(&dialog, 40001)->currentText(), QStringLiteral("ch2"));

    MotionBlock pad = FilledBlock(BlockKind::PadIf);  // 0x2345: bits 0, 2, 6, 8, 9, 13
    PadBlockDialog padDialog(s.session, pad);
    QStringList checked;
    for (QCheckBox* box : padDialog.findChildren<QCheckBox*>()) {
      if (box->isChecked()) {
        checked << box->objectName();
      }
    }
    checked.sort();
    QCOMPARE(checked, (QStringList{"1119", "1210", "1213", "1217", "1219", "1223"}));
    QCOMPARE(FindControl<QCheckBox>(&padDialog, 1210)->text(), QStringLiteral("○"));
  }

  // The core's position check with its message; a refused OK keeps the dialog open with what
  // was typed.
  void positionOutsideTheAreaIsRefused() {
    Session s;
    MotionBlock block = FilledBlock(BlockKind::Wait);
    TimeBlockDialog dialog(s.session, block);
    dialog.show();
    SetPosition(dialog, QStringLiteral("4096"), QStringLiteral("4097"));
    testing::Click(dialog, 1);
    QVERIFY(dialog.isVisible());
    std::int32_t x = 0;
    std::int32_t y = 0;
    QCOMPARE(testing::ShownTexts(s.prompter),
             std::vector<std::u16string>{core::CheckBlockPosition(u"4096", u"4097", x, y)});
    QCOMPARE(s.prompter.Calls()[0].icon, core::PromptIcon::kWarning);
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1226)->text(), QStringLiteral("4097"));
    QCOMPARE(block.xpos, 10);
    SetPosition(dialog, QStringLiteral("4096"), QStringLiteral("4096"));
    testing::Click(dialog, 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(block.xpos, 4096);
    QCOMPARE(block.ypos, 4096);
  }

  void nextDialogOpensWhereTheLastOneWasClosed() {
    Session s;
    MotionBlock block = FilledBlock(BlockKind::Comment);
    {
      CommentBlockDialog first(s.session, block);
      QCOMPARE(first.pos(), QPoint(100, 100));
      first.show();
      first.move(321, 234);
      testing::Click(first, 2);
    }
    QCOMPARE(s.session.dialogs.blockDialogPosition, QPoint(321, 234));
    MotionBlock pose = FilledBlock(BlockKind::Pose);
    TimeBlockDialog next(s.session, pose);
    QCOMPARE(next.pos(), QPoint(321, 234));
  }

  // In the main window a double click on a block and the properties command both run the
  // block's dialog; OK makes one undo step each.
  void doubleClickAndPropertiesCommandOpenTheDialog() {
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    MainWindow window(robot.project, prompter, std::filesystem::path(GESTALON_RESOURCES_DIR));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    EditorSession& session = window.Session();
    MotionBlock& pose = *session.motion.document.current;
    QVERIFY(pose.Is(BlockKind::Pose));

    const int steps = session.undo.Count();
    MotionArea& area = *window.Motions();
    area.grab();  // lays the blocks out
    for (const int time : {77, 88}) {
      QString seenTitle;
      testing::WhenModal([&seenTitle, time](QDialog& dialog) {
        seenTitle = dialog.windowTitle();
        testing::Type(dialog, 1142, QString::number(time));
        testing::Click(dialog, 1);
      });
      if (time == 77) {
        const QPoint inside = QPoint(pose.xpos + 5, pose.ypos + 5) - area.ScrollPosition();
        QTest::mouseDClick(area.viewport(), Qt::LeftButton, {}, inside);
      } else {
        pose.selFlags |= core::kBlockSelected;
        window.RunCommand(CommandId::kBlockProperties);
      }
      QCOMPARE(seenTitle, Text(core::TextId::kDlgPoseBlockTitle));
      QCOMPARE(pose.time, std::uint16_t(time));
      QCOMPARE(session.undo.Count(), steps + (time == 77 ? 1 : 2));
    }
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::BlockDialogsTest)
#include "block_dialogs_test.moc"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "block_fields.h"
#include "dialogs/comment_block_dialog.h"
#include "dialogs/interp_change_block_dialog.h"
#include "dialogs/pad_block_dialog.h"
#include "dialogs/time_block_dialog.h"
#include "main_window/command_ids.h"
#include "main_window/editor_session.h"
#include "main_window/main_window.h"
#include "motion_area/motion_area.h"
#include "project/project_loader.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::MotionBlock;

// A block of `kind` with a value in every field that no dialog would write, so that a field
// written by mistake shows.
MotionBlock Filled(BlockKind kind) {
  MotionBlock b;
  b.type = static_cast<std::int32_t>(kind);
  b.name = u"old";
  b.label = u"label";
  b.time = 1234;
  b.slots[5] = 77;
  b.nextIndex = 3;
  b.branchIndex = 4;
  b.servoEnableMask = 0x55;
  b.poseConst = 9;
  b.selFlags = core::kBlockSelected;
  b.xpos = 10;
  b.ypos = 20;
  b.rect = {110, 50, 1, 2};
  b.bluearrow = 16;
  b.redarrow = 46;
  b.varAddr = 1;
  b.refAddr = 2;
  b.op = 3;
  b.constValue = 0x12345;
  b.varSize = 4;
  b.refSize = 1;
  b.fileName = u"old.KX4";
  b.fileFound = true;
  b.noFile = true;
  b.asJump = true;
  b.fileAddr = 0x0F00;
  b.comment = u"old comment";
  b.fileStart = 11;
  b.fileEnd = 22;
  return b;
}

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
         FindControl<QLineEdit>(&d, 1142)->setText(QStringLiteral("70000"));
         check(d, 1013, true);
       },
       [](MotionBlock& b) {
         b.time = 4464;
         b.interpWait = true;
       }},
      {BlockKind::Wait,
       [](BlockDialog& d) { FindControl<QLineEdit>(&d, 1142)->setText(QStringLiteral("300")); },
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
  FindControl<QLineEdit>(&dialog, 1225)->setText(x);
  FindControl<QLineEdit>(&dialog, 1226)->setText(y);
}

void ClickOk(QWidget& dialog) {
  FindControl<QPushButton>(&dialog, 1)->click();
}

// Opens the case's dialog on `block`, types a new name, the position (400, 500) and the case's
// own values, and presses button `buttonId` (1 OK, 2 Cancel). The dialog's result, -1 while it
// stays open.
int EditAndPress(EditorSession& session, MotionBlock& block, const KindCase& c, int buttonId) {
  auto dialog = DialogFor(session, block);
  dialog->show();
  FindControl<QLineEdit>(dialog.get(), 1224)->setText(QStringLiteral("new name"));
  SetPosition(*dialog, QStringLiteral("400"), QStringLiteral("500"));
  c.fill(*dialog);
  FindControl<QPushButton>(dialog.get(), buttonId)->click();
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
  void okStoresTheKindsFieldsAndNothingElse() {
    for (const KindCase& c : KindCases()) {
      Session s;
      MotionBlock block = Filled(c.kind);
      QCOMPARE(EditAndPress(s.session, block, c, 1), int{QDialog::Accepted});
      MotionBlock expected = Filled(c.kind);
      expected.xpos = 400;
      expected.ypos = 500;
      // The interpolation switch shows the name but does not store it.
      expected.name = c.kind == BlockKind::InterpChange ? u"old" : u"new name";
      c.expect(expected);
      QCOMPARE(Differences(c, block, expected), QString());
      QVERIFY(s.prompter.Calls().empty());
    }
  }

  void cancelStoresNothing() {
    for (const KindCase& c : KindCases()) {
      Session s;
      MotionBlock block = Filled(c.kind);
      QCOMPARE(EditAndPress(s.session, block, c, 2), int{QDialog::Rejected});
      QCOMPARE(Differences(c, block, Filled(c.kind)), QString());
    }
  }

  void interpolationSwitchShowsItsNameReadOnly() {
    Session s;
    MotionBlock block = Filled(BlockKind::InterpChange);
    InterpChangeBlockDialog dialog(s.session, block);
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1224)->text(), QStringLiteral("old"));
    QVERIFY(FindControl<QLineEdit>(&dialog, 1224)->isReadOnly());
    QCOMPARE(FindControl<QComboBox>(&dialog, 40657)->currentIndex(), 1);
    QCOMPARE(FindControl<QComboBox>(&dialog, 40657)->count(), 5);
    QCOMPARE(FindControl<QComboBox>(&dialog, 40001)->currentText(), QStringLiteral("ch2"));
  }

  void gamepadBoxesShowTheBitsOfTheMask() {
    Session s;
    MotionBlock block = Filled(BlockKind::PadIf);  // 0x2345: bits 0, 2, 6, 8, 9, 13
    PadBlockDialog dialog(s.session, block);
    QStringList checked;
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
      if (box->isChecked()) {
        checked << box->objectName();
      }
    }
    checked.sort();
    QCOMPARE(checked, (QStringList{"1119", "1210", "1213", "1217", "1219", "1223"}));
    QCOMPARE(FindControl<QCheckBox>(&dialog, 1210)->text(), QStringLiteral("○"));
  }

  // Each axis must lie in 0..4096; X is reported first and a refused OK keeps the dialog open
  // with what was typed.
  void positionOutsideTheAreaIsRefused() {
    struct Case {
      const char* x;
      const char* y;
      const char16_t* axis;  // null: accepted
    };
    const Case cases[] = {{"4097", "5000", u"X"},
                          {"-1", "0", u"X"},
                          {"4096", "4097", u"Y"},
                          {"4096", "-1", u"Y"},
                          {"4096", "4096", nullptr}};
    Session s;
    MotionBlock block = Filled(BlockKind::Wait);
    TimeBlockDialog dialog(s.session, block);
    dialog.show();
    for (const Case& c : cases) {
      s.prompter.Clear();
      SetPosition(dialog, QString::fromLatin1(c.x), QString::fromLatin1(c.y));
      ClickOk(dialog);
      if (c.axis) {
        QVERIFY2(dialog.isVisible(), c.x);
        QCOMPARE(s.prompter.Calls().size(), std::size_t{1});
        QCOMPARE(s.prompter.Calls()[0].icon, core::PromptIcon::kWarning);
        // The message up to the range it names.
        const std::u16string message = core::LoadText(core::TextId::kMsgPositionRange);
        QVERIFY2(s.prompter.Calls()[0].text.starts_with(
                     core::Format(message.substr(0, message.find(u"%d")), c.axis)),
                 c.x);
        QCOMPARE(FindControl<QLineEdit>(&dialog, 1225)->text(), QString::fromLatin1(c.x));
        QCOMPARE(block.xpos, 10);
      } else {
        QVERIFY(!dialog.isVisible());
        QVERIFY(s.prompter.Calls().empty());
        QCOMPARE(block.xpos, 4096);
        QCOMPARE(block.ypos, 4096);
      }
    }
  }

  void nextDialogOpensWhereTheLastOneWasClosed() {
    Session s;
    MotionBlock block = Filled(BlockKind::Comment);
    {
      CommentBlockDialog first(s.session, block);
      QCOMPARE(first.pos(), QPoint(100, 100));
      first.show();
      first.move(321, 234);
      FindControl<QPushButton>(&first, 2)->click();
    }
    QCOMPARE(s.session.dialogs.blockDialogPosition, QPoint(321, 234));
    MotionBlock pose = Filled(BlockKind::Pose);
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

    QString seenTitle;
    const auto answerWithTime = [&](const QString& time) {
      QTimer::singleShot(0, [&seenTitle, time] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        seenTitle = dialog->windowTitle();
        FindControl<QLineEdit>(dialog, 1142)->setText(time);
        ClickOk(*dialog);
      });
    };

    const int steps = session.undo.Count();
    MotionArea& area = *window.Motions();
    area.grab();  // lays the blocks out
    const QPoint inside = QPoint(pose.xpos + 5, pose.ypos + 5) - area.ScrollPosition();
    answerWithTime(QStringLiteral("77"));
    QTest::mouseDClick(area.viewport(), Qt::LeftButton, {}, inside);
    QCOMPARE(seenTitle, Text(core::TextId::kDlgPoseBlockTitle));
    QCOMPARE(pose.time, std::uint16_t{77});
    QCOMPARE(session.undo.Count(), steps + 1);

    seenTitle.clear();
    pose.selFlags |= core::kBlockSelected;
    answerWithTime(QStringLiteral("88"));
    window.RunCommand(CommandId::kBlockProperties);
    QCOMPARE(seenTitle, Text(core::TextId::kDlgPoseBlockTitle));
    QCOMPARE(pose.time, std::uint16_t{88});
    QCOMPARE(session.undo.Count(), steps + 2);
  }

  // With GESTALON_SCREENSHOT set, every block dialog is saved next to that file for a look by
  // eye.
  void screenshotsWhenAsked() {
    const QString file = qEnvironmentVariable("GESTALON_SCREENSHOT");
    if (file.isEmpty()) {
      QSKIP("GESTALON_SCREENSHOT not set");
    }
    for (const BlockKind kind : {BlockKind::Pose, BlockKind::Wait, BlockKind::Comment,
                                 BlockKind::InterpChange, BlockKind::PadIf}) {
      Session s;
      MotionBlock block = Filled(kind);
      auto dialog = DialogFor(s.session, block);
      dialog->show();
      QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
      QVERIFY(dialog->grab().save(file + "." + dialog->objectName() + ".png"));
    }
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::BlockDialogsTest)
#include "block_dialogs_test.moc"

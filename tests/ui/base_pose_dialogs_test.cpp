#include <QMenuBar>

#include "dialog_checks.h"
#include "main_window/command_actions.h"
#include "main_window/main_toolbar.h"
#include "pose/base_pose_dialog.h"
#include "pose/offset_dialog.h"
#include "private_app_data.h"
#include "project/base_poses.h"
#include "project/robot_project.h"
#include "project/value_offsets.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
namespace TextId = core::TextId;

using testing::Click;
using testing::ColumnTexts;
using testing::LastMessage;
using testing::SampleRobot;

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts << action->text();
  }
  return texts;
}

}  // namespace

class BasePoseDialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    robot_ = std::make_unique<SampleRobot>();
    prompter_.Clear();
    window_ =
        std::make_unique<MainWindow>(robot_->project, prompter_, fs::path(GESTALON_RESOURCES_DIR));
    window_->show();
  }
  void cleanup() {
    window_.reset();
    robot_.reset();
  }

  // Register (after the last), replace (asked), delete, apply: the base pose file reads back with
  // exactly these changes, and the base pose menus list the new names.
  void basePoseDialogEditsAndWritesTheFile() {
    EditorSession& session = window_->Session();
    core::MotionBlock& pose = *core::CurrentPose(session.context);
    pose.slots[0] = 123;
    const core::BasePoseTable before = session.project.basePoses;

    auto dialog = std::make_unique<BasePoseDialog>(session, window_.get());
    dialog->show();
    testing::Screenshot(*dialog, QStringLiteral("basepose"));
    QTableWidget* list = FindControl<QTableWidget>(dialog.get(), 1109);
    QCOMPARE(ColumnTexts(list, 0), (QStringList{"基本姿勢", "気をつけ"}));
    testing::Type(*dialog, 1141, QStringLiteral("新規"));
    Click(*dialog, 1150);
    QCOMPARE(ColumnTexts(list, 0), (QStringList{"基本姿勢", "気をつけ", "新規"}));

    pose.slots[0] = 321;
    list->setCurrentCell(0, 0);
    prompter_.QueueAnswer(core::PromptAnswer::kNo);
    Click(*dialog, 1110);
    QCOMPARE(dialog->Working().entries[0], before.entries[0]);
    QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgConfirmReplaceBasePose));
    Click(*dialog, 1110);
    QCOMPARE(dialog->Working().entries[0].values[0], std::int16_t{321});

    list->clearSelection();
    list->item(1, 0)->setSelected(true);
    Click(*dialog, 1151);
    QCOMPARE(ColumnTexts(list, 0), (QStringList{"基本姿勢", "新規"}));
    QCOMPARE(session.project.basePoses, before);  // nothing is stored before Apply

    Click(*dialog, 1);
    QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgConfirmApplySettings));
    QVERIFY(dialog->isVisible());
    core::BasePoseTable read;
    QVERIFY(core::ReadBasePoses(
        core::ProjectFilePath(session.project.project, session.project.project.DEFPOSINI), read));
    QCOMPARE(read, session.project.basePoses);
    const core::BasePose& added = read.entries[1];
    QCOMPARE(added.name, std::u16string(u"新規"));
    // The replaced base pose is the same pose taken again, under its old name.
    core::BasePoseTable expected = before;
    expected.entries[0] = added;
    expected.entries[0].name = before.entries[0].name;
    expected.entries[0].values[0] = 321;
    expected.entries[1] = added;
    expected.entries[2] = {};
    QCOMPARE(read, expected);
    QCOMPARE(added.values[0], std::int16_t{123});
    QCOMPARE(MenuTexts(window_->Actions().BasePoseDropDown()), (QStringList{"基本姿勢", "新規"}));

    dialog->move(150, 130);
    Click(*dialog, 2);
    dialog = std::make_unique<BasePoseDialog>(session, window_.get());
    QCOMPARE(dialog->pos(), QPoint(150, 130));
  }

  // A register the core refuses (the table holds 36) shows its message and adds no row.
  void refusedRegisterShowsTheMessage() {
    EditorSession& session = window_->Session();
    for (core::BasePose& entry : session.project.basePoses.entries) {
      entry.registered = true;
      entry.name = u"p";
    }
    BasePoseDialog dialog(session, window_.get());
    testing::Type(dialog, 1141, QStringLiteral("last"));
    Click(dialog, 1150);
    QCOMPARE(FindControl<QTableWidget>(&dialog, 1109)->rowCount(), 36);
    QCOMPARE(testing::ShownTexts(prompter_), testing::Texts({TextId::kMsgBasePoseListFull}));
  }

  // Delete, rename, add, enter offsets (a refused text first), apply: the offset file reads back
  // with exactly these changes. Cancel then leaves no offset chosen.
  void offsetDialogEditsAndWritesTheFile() {
    EditorSession& session = window_->Session();
    const core::ValueOffsetTable before = session.project.offsets;
    int closedCalls = 0;
    OffsetDialog dialog(
        session, [&] { ++closedCalls; }, window_.get());
    dialog.show();
    testing::Screenshot(dialog, QStringLiteral("offset"));
    QTableWidget* names = FindControl<QTableWidget>(&dialog, 1109);
    QTableWidget* sliders = FindControl<QTableWidget>(&dialog, 1240);
    QCOMPARE(names->currentRow(), 0);
    QVERIFY(sliders->isEnabled());
    QVERIFY(sliders->item(12, 1)->text().startsWith(QStringLiteral("-200")));
    names->selectRow(1);
    QVERIFY(sliders->item(10, 1)->text().startsWith(QStringLiteral("+300")));

    names->selectRow(0);
    Click(dialog, 1248);
    QCOMPARE(ColumnTexts(names, 0), QStringList({QStringLiteral("足幅を広げる")}));
    const std::size_t messages = prompter_.Calls().size();
    names->editItem(names->item(0, 0));
    QLineEdit* editor = names->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("広い足幅"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(names->item(0, 0)->text(), QStringLiteral("広い足幅"), 30000);
    QCOMPARE(prompter_.Calls().size(), messages);  // the Enter ends the renaming, nothing else
    Click(dialog, 1247);                           // before the focused name
    const QString fresh = Text(TextId::kDefaultOffsetName);
    QCOMPARE(ColumnTexts(names, 0), QStringList({fresh, QStringLiteral("広い足幅")}));
    QCOMPARE(names->currentRow(), 0);
    QCOMPARE(sliders->item(10, 1)->text().left(2), QStringLiteral("+0"));

    sliders->item(3, 0)->setSelected(true);
    sliders->item(4, 0)->setSelected(true);
    QLineEdit* value = FindControl<QLineEdit>(&dialog, 1142);
    value->setText(QStringLiteral("5a"));
    Click(dialog, 1110);
    QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgOffsetBadChars));
    value->setText(QStringLiteral("+5"));
    Click(dialog, 1110);
    QVERIFY(sliders->item(3, 1)->text().startsWith(QStringLiteral("+5")));
    QVERIFY(sliders->item(4, 1)->text().startsWith(QStringLiteral("+5")));
    QCOMPARE(session.project.offsets, before);  // nothing is stored before Apply

    Click(dialog, 1249);
    QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgConfirmApplySettings));
    core::ValueOffsetTable read;
    QVERIFY(core::ReadValueOffsets(
        core::ProjectFilePath(session.project.project, session.project.project.DEFOFSINI), read));
    core::ValueOffsetTable expected;
    expected.entries[0].registered = true;
    expected.entries[0].name = ToU16(fresh);
    expected.entries[0].offsets[3] = 5;
    expected.entries[0].offsets[4] = 5;
    expected.entries[1] = before.entries[1];
    expected.entries[1].name = u"広い足幅";
    QCOMPARE(read, expected);

    QCOMPARE(session.project.offsets.current, 0);
    Click(dialog, 2);
    QCOMPARE(session.project.offsets.current, -1);
    QCOMPARE(closedCalls, 1);
  }

  // Both dialogs open from their commands, the offset one from the Pose menu; closing the offset
  // dialog resets the chosen offset and refills the toolbar selector.
  void commandsOpenTheDialogs() {
    EditorSession& session = window_->Session();
    QString opened;
    testing::WhenModal([&](QDialog& modal) {
      opened = modal.objectName();
      Click(modal, 2);
    });
    window_->RunCommand(CommandId::kRegisterBasePose);
    QCOMPARE(opened, QStringLiteral("135"));

    QComboBox* selector = window_->Toolbar()->findChild<QComboBox*>(QStringLiteral("wheelOffset"));
    QVERIFY(selector);
    Q_EMIT selector->activated(2);
    QCOMPARE(session.project.offsets.current, 1);
    QAction* item = nullptr;
    for (QAction* top : window_->menuBar()->actions()) {
      if (top->text() == Text(TextId::kSubmenuPose)) {
        for (QAction* action : top->menu()->actions()) {
          if (action->objectName() == QString::number(CommandId::kRegisterOffset)) {
            item = action;
          }
        }
      }
    }
    QVERIFY(item);
    int shownSet = -1;
    testing::WhenModal([&](QDialog& modal) {
      opened = modal.objectName();
      shownSet = FindControl<QTableWidget>(&modal, 1109)->currentRow();
      Click(modal, 1247);
      Click(modal, 1249);
      Click(modal, 2);
    });
    item->trigger();
    QCOMPARE(opened, QStringLiteral("174"));
    QCOMPARE(shownSet, 1);
    QCOMPARE(session.project.offsets.current, -1);
    QCOMPARE(selector->count(), 4);
    QCOMPARE(selector->currentIndex(), 0);
  }

 private:
  testing::PrivateAppData appData_;
  std::unique_ptr<SampleRobot> robot_;
  testing::RecordingPrompter prompter_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::BasePoseDialogsTest)
#include "base_pose_dialogs_test.moc"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "dialog_driving.h"
#include "main_window/command_actions.h"
#include "main_window/command_ids.h"
#include "main_window/main_toolbar.h"
#include "main_window/main_window.h"
#include "pose/base_pose_dialog.h"
#include "pose/offset_dialog.h"
#include "private_app_data.h"
#include "project/base_poses.h"
#include "project/robot_project.h"
#include "project/value_offsets.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
namespace TextId = core::TextId;

using testing::Click;
using testing::LastMessage;
using testing::SampleRobot;

QStringList Column(const QTableWidget* list, int column) {
  QStringList texts;
  for (int row = 0; row < list->rowCount(); ++row) {
    texts << list->item(row, column)->text();
  }
  return texts;
}

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts << action->text();
  }
  return texts;
}

// Runs `drive` on the modal dialog that `start` opens, as soon as it is up.
void WithModal(const std::function<void()>& start, const std::function<void(QWidget&)>& drive) {
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll.stop();
      drive(*modal);
    }
  });
  poll.start();
  start();
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
    // A disabled slider that no servo channel brings in stays out of a registered base pose.
    int disabled = -1;
    for (int k = 0; k < 96 && disabled < 0; ++k) {
      const core::SliderDef& slider = session.project.sliders[static_cast<std::size_t>(k)];
      if ((slider.flags2 & core::SliderFlag2::kDisabled) != 0 &&
          (slider.flags2 & core::SliderFlag2::kServoCompanion) == 0) {
        disabled = k;
      }
    }
    QVERIFY(disabled >= 0);
    const auto d = static_cast<std::size_t>(disabled);
    pose.slots[0] = 123;
    pose.slots[d] = 77;
    const core::BasePoseTable before = session.project.basePoses;

    auto dialog = std::make_unique<BasePoseDialog>(session, window_.get());
    dialog->show();
    QTableWidget* list = FindControl<QTableWidget>(dialog.get(), 1109);
    QCOMPARE(Column(list, 0),
             QStringList({QStringLiteral("基本姿勢"), QStringLiteral("気をつけ")}));
    FindControl<QLineEdit>(dialog.get(), 1141)->setText(QStringLiteral("新規"));
    Click(*dialog, 1150);
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->item(2, 0)->text(), QStringLiteral("新規"));

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
    QCOMPARE(Column(list, 0), QStringList({QStringLiteral("基本姿勢"), QStringLiteral("新規")}));
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
    QVERIFY(!added.axisEnable[d]);
    QCOMPARE(added.values[d], std::int16_t{0});
    QVERIFY(added.axisEnable[1]);
    QCOMPARE(added.values[1], pose.slots[1]);
    const QStringList menu = {QStringLiteral("基本姿勢"), QStringLiteral("新規")};
    QCOMPARE(MenuTexts(window_->Actions().BasePoseDropDown()), menu);

    dialog->move(150, 130);
    Click(*dialog, 2);
    dialog = std::make_unique<BasePoseDialog>(session, window_.get());
    QCOMPARE(dialog->pos(), QPoint(150, 130));
  }

  // 36 base poses at most: the 36th is taken, the 37th refused with the program's message.
  void basePoseDialogHoldsThirtySixEntries() {
    EditorSession& session = window_->Session();
    for (std::size_t n = 0; n < 35; ++n) {
      session.project.basePoses.entries[n].registered = true;
      session.project.basePoses.entries[n].name = u"p";
    }
    BasePoseDialog dialog(session, window_.get());
    QTableWidget* list = FindControl<QTableWidget>(&dialog, 1109);
    FindControl<QLineEdit>(&dialog, 1141)->setText(QStringLiteral("last"));
    Click(dialog, 1150);
    QCOMPARE(list->rowCount(), 36);
    QVERIFY(prompter_.Calls().empty());
    Click(dialog, 1150);
    QCOMPARE(list->rowCount(), 36);
    QCOMPARE(LastMessage(prompter_), core::LoadText(TextId::kMsgBasePoseListFull));
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
    QTableWidget* names = FindControl<QTableWidget>(&dialog, 1109);
    QTableWidget* sliders = FindControl<QTableWidget>(&dialog, 1240);
    QCOMPARE(names->currentRow(), 0);
    QVERIFY(sliders->isEnabled());
    QVERIFY(sliders->item(12, 1)->text().startsWith(QStringLiteral("-200")));
    names->selectRow(1);
    QVERIFY(sliders->item(10, 1)->text().startsWith(QStringLiteral("+300")));

    names->selectRow(0);
    Click(dialog, 1248);
    QCOMPARE(Column(names, 0), QStringList({QStringLiteral("足幅を広げる")}));
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
    QCOMPARE(Column(names, 0), QStringList({fresh, QStringLiteral("広い足幅")}));
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
    WithModal([&] { window_->RunCommand(CommandId::kRegisterBasePose); },
              [&](QWidget& modal) {
                opened = modal.objectName();
                Click(modal, 2);
              });
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
    WithModal([&] { item->trigger(); },
              [&](QWidget& modal) {
                opened = modal.objectName();
                shownSet = FindControl<QTableWidget>(&modal, 1109)->currentRow();
                Click(modal, 1247);
                Click(modal, 1249);
                Click(modal, 2);
              });
    QCOMPARE(opened, QStringLiteral("174"));
    QCOMPARE(shownSet, 1);
    QCOMPARE(session.project.offsets.current, -1);
    QCOMPARE(selector->count(), 4);
    QCOMPARE(selector->currentIndex(), 0);
  }

  // With GESTALON_SCREENSHOT set, both dialogs are saved next to that file for a look by eye.
  void screenshotsWhenAsked() {
    const QString file = qEnvironmentVariable("GESTALON_SCREENSHOT");
    if (file.isEmpty()) {
      QSKIP("GESTALON_SCREENSHOT not set");
    }
    EditorSession& session = window_->Session();
    BasePoseDialog basePoses(session, window_.get());
    basePoses.show();
    QVERIFY(QTest::qWaitForWindowExposed(&basePoses));
    QVERIFY(basePoses.grab().save(file + QStringLiteral(".basepose.png")));
    OffsetDialog offsets(session, {}, window_.get());
    offsets.show();
    QVERIFY(QTest::qWaitForWindowExposed(&offsets));
    QVERIFY(offsets.grab().save(file + QStringLiteral(".offset.png")));
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

#include "dialogs/variable_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>

#include "main_window/command_ids.h"
#include "main_window/editor_session.h"
#include "main_window/main_window.h"
#include "project/robot_project.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "virtual_board.h"
#include "widgets/control_lookup.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;

using testing::SampleRobot;

QTableWidget* List(const QDialog& dialog) {
  return FindControl<QTableWidget>(&dialog, 1003);
}

QStringList Column(const QDialog& dialog, int column) {
  QStringList texts;
  for (int row = 0; row < List(dialog)->rowCount(); ++row) {
    texts << List(dialog)->item(row, column)->text();
  }
  return texts;
}

int RowNamed(const QDialog& dialog, const QString& name) {
  return static_cast<int>(Column(dialog, 2).indexOf(name));
}

}  // namespace

class VariableDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    // Each test starts from the default rectangle and an empty search.
    robot_ = std::make_unique<SampleRobot>();
    session_ = std::make_unique<EditorSession>(robot_->project, &prompter_, nullptr);
  }
  void cleanup() {
    session_.reset();
    robot_.reset();
    prompter_.Clear();
  }

  void doubleClickedRowGivesItsAddressAndSize() {
    std::uint16_t address = 0;
    std::int32_t size = 0;
    VariableDialog dialog(*session_, 0x0EE8, &address, &size);
    dialog.show();
    QCOMPARE(List(dialog)->currentRow(), RowNamed(dialog, QStringLiteral("PAD_RX")));
    QCOMPARE(Column(dialog, 0).first(), QStringLiteral("3812"));

    const int row = RowNamed(dialog, QStringLiteral("タイマ"));
    QVERIFY(row >= 0);
    QTableWidget* list = List(dialog);
    list->scrollToItem(list->item(row, 2));
    const QPoint cell = list->visualItemRect(list->item(row, 2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(address, std::uint16_t{0x0F8C});
    QCOMPARE(size, 4);
    QVERIFY(session_->dialogs.variableDialogRect.isValid());
  }

  void searchKeepsMatchingNamesAndAnEmptyListLeavesTheOutputs() {
    std::uint16_t address = 77;
    std::int32_t size = 5;
    VariableDialog dialog(*session_, 0x0EE4, &address, &size);
    dialog.show();
    QLineEdit* search = FindControl<QLineEdit>(&dialog, 1142);
    search->setText(QStringLiteral("PAD_R"));
    QCOMPARE(Column(dialog, 2), (QStringList{"PAD_RX", "PAD_RY"}));
    search->setText(QStringLiteral("pad"));  // the search is case-sensitive
    QCOMPARE(Column(dialog, 2), QStringList{});
    QCOMPARE(session_->dialogs.variableSearchText, QStringLiteral("pad"));

    FindControl<QPushButton>(&dialog, 1)->click();
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(address, std::uint16_t{77});
    QCOMPARE(size, 5);

    VariableDialog again(*session_, 0, &address, &size);
    QCOMPARE(FindControl<QLineEdit>(&again, 1142)->text(), QStringLiteral("pad"));
  }

  void noDefinitionsRefusesWithTheMessage() {
    fs::remove(
        core::ProjectFilePath(session_->project.project, session_->project.project.MEMMAPINI));
    session_->project.variables.clear();
    std::uint16_t address = 9;
    QCOMPARE(SelectVariable(*session_, nullptr, 0, &address, nullptr), 2);
    QCOMPARE(prompter_.Calls().size(), std::size_t{1});
    QCOMPARE(prompter_.Calls()[0].icon, core::PromptIcon::kWarning);
    QVERIFY(prompter_.Calls()[0].text == core::LoadText(core::TextId::kVarDefsUnreadable));
    QCOMPARE(address, std::uint16_t{9});
  }

  // The memory map on the virtual board: values that change on the board reach the list while
  // online, in the number style the checkbox sets for every view.
  void memoryMapShowsLiveValuesOnline() {
    SessionOptions options;
    options.virtualBoardFolder = robot_->dir.Path() / "card";
    MainWindow window(robot_->project, prompter_, fs::path(GESTALON_RESOURCES_DIR), options);
    window.show();
    EditorSession& session = window.Session();
    session.VirtualBoard()->SetWord(0x0F80, 1234);
    window.RunCommand(CommandId::kOnline);
    QTRY_VERIFY_WITH_TIMEOUT(session.link.Flags().online.load() == 1, 30000);

    VariableDialog dialog(session, session.dialogs.lastVariableAddress,
                          &session.dialogs.lastVariableAddress, nullptr);
    dialog.show();
    const int row = RowNamed(dialog, QStringLiteral("カウンタ"));
    QVERIFY(row >= 0);
    QTableWidgetItem* value = List(dialog)->item(row, 3);
    QTRY_COMPARE_WITH_TIMEOUT(value->text(), QStringLiteral("1234"), 30000);
    session.VirtualBoard()->SetWord(0x0F80, static_cast<std::uint16_t>(-2));
    QTRY_COMPARE_WITH_TIMEOUT(value->text(), QStringLiteral("-2"), 30000);

    FindControl<QCheckBox>(&dialog, 40000)->click();
    QVERIFY(session.project.hexadecimalDisplay);
    QCOMPARE(List(dialog)->item(row, 0)->text(), QStringLiteral("0x0f80"));
    QCOMPARE(value->text(), QStringLiteral("0xfffe"));

    if (const QString file = qEnvironmentVariable("GESTALON_SCREENSHOT"); !file.isEmpty()) {
      QVERIFY(dialog.grab().save(file));
    }
    dialog.reject();
    window.RunCommand(CommandId::kOnline);
    QTRY_VERIFY_WITH_TIMEOUT(session.link.Flags().online.load() == 0, 30000);
  }

 private:
  testing::RecordingPrompter prompter_;
  std::unique_ptr<SampleRobot> robot_;
  std::unique_ptr<EditorSession> session_;
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::VariableDialogTest)
#include "variable_dialog_test.moc"

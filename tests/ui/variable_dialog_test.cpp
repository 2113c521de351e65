#include "dialogs/variable_dialog.h"

#include "dialog_checks.h"
#include "project/robot_project.h"
#include "virtual_board.h"

namespace gestalon::ui {
namespace {

QTableWidget* List(const QDialog& dialog) {
  return FindControl<QTableWidget>(&dialog, 1003);
}

QStringList Column(const QDialog& dialog, int column) {
  return testing::ColumnTexts(List(dialog), column);
}

int RowNamed(const QDialog& dialog, const QString& name) {
  return static_cast<int>(Column(dialog, 2).indexOf(name));
}

}  // namespace

class VariableDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void doubleClickedRowGivesItsAddressAndSize() {
    testing::SampleSession sample;
    std::uint16_t address = 0;
    std::int32_t size = 0;
    VariableDialog dialog(sample.session, 0x0EE8, &address, &size);
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
    QVERIFY(sample.session.dialogs.variableDialogRect.isValid());
  }

  // The search is case-sensitive and remembered; OK on an empty list leaves the outputs.
  void searchKeepsMatchingNamesAndAnEmptyListLeavesTheOutputs() {
    testing::SampleSession sample;
    std::uint16_t address = 77;
    std::int32_t size = 5;
    VariableDialog dialog(sample.session, 0x0EE4, &address, &size);
    dialog.show();
    testing::Type(dialog, 1142, QStringLiteral("PAD_R"));
    QCOMPARE(Column(dialog, 2), (QStringList{"PAD_RX", "PAD_RY"}));
    testing::Type(dialog, 1142, QStringLiteral("pad"));
    QCOMPARE(Column(dialog, 2), QStringList{});
    testing::Click(dialog, 1);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(address, std::uint16_t{77});
    QCOMPARE(size, 5);

    VariableDialog again(sample.session, 0, &address, &size);
    QCOMPARE(FindControl<QLineEdit>(&again, 1142)->text(), QStringLiteral("pad"));
  }

  void noDefinitionsRefusesWithTheMessage() {
    testing::SampleSession sample;
    EditorSession& session = sample.session;
    std::filesystem::remove(
        core::ProjectFilePath(session.project.project, session.project.project.MEMMAPINI));
    session.project.variables.clear();
    std::uint16_t address = 9;
    QCOMPARE(SelectVariable(session, nullptr, 0, &address, nullptr), 2);
    QCOMPARE(sample.prompter.Calls().size(), std::size_t{1});
    QCOMPARE(sample.prompter.Calls()[0].icon, core::PromptIcon::kWarning);
    QVERIFY(sample.prompter.Calls()[0].text == core::LoadText(core::TextId::kVarDefsUnreadable));
    QCOMPARE(address, std::uint16_t{9});
  }

  // The memory map on the virtual board: values that change on the board reach the list while
  // online, in the number style the checkbox sets for every view.
  void memoryMapShowsLiveValuesOnline() {
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    const auto window = testing::WindowOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    session.VirtualBoard()->SetWord(0x0F80, 1234);
    testing::SwitchOnline(*window, true);

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
    testing::Screenshot(dialog, QStringLiteral("memory_map"));
    dialog.reject();
    testing::SwitchOnline(*window, false);
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::VariableDialogTest)
#include "variable_dialog_test.moc"

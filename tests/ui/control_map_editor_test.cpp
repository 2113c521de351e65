#include "controlmap/control_map_editor.h"

#include <QTreeWidget>

#include "block_fields.h"
#include "controlmap/control_map_flowchart.h"
#include "controlmap/map_entry_dialog.h"
#include "controlmap/map_page.h"
#include "dialog_checks.h"
#include "platform/paths.h"
#include "window_driving.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
namespace TextId = core::TextId;
using testing::Click;
using testing::Type;
using testing::WhenModal;

// A session on the sample robot whose save chooser answers with the project's cmap.KX4.
struct Fixture : testing::SampleSession {
  fs::path savePath = robot.Folder() / "cmap.KX4";
  Fixture() {
    session.dialogs.pickFile = [this](QWidget*, const FileChoice&, const QString&) {
      return ToQString(core::TextFromPath(savePath));
    };
  }
};

// Fills the entry dialog for a controller entry playing `motion` on button control `button`.
void AnswerEntry(const QString& motion, int button) {
  WhenModal([motion, button](QDialog& entry) {
    Type(entry, 1205, motion);
    FindControl<QCheckBox>(&entry, button)->setChecked(true);
    Click(entry, 1);
  });
}

QStringList FileColumn(const QTreeWidget& list) {
  QStringList names;
  for (int row = 0; row < list.topLevelItemCount(); ++row) {
    names << list.topLevelItem(row)->text(0);
  }
  return names;
}

QList<int> SelectedRows(const QTreeWidget& list) {
  QList<int> rows;
  for (int row = 0; row < list.topLevelItemCount(); ++row) {
    if (list.topLevelItem(row)->isSelected()) {
      rows << row;
    }
  }
  return rows;
}

QPoint RowCenter(const QTreeWidget& list, int row) {
  return list.visualItemRect(list.topLevelItem(row)).center();
}

// Presses on row `from` and drags to row `to` in steps of a row, then releases.
void Drag(QTreeWidget& list, int from, int to) {
  testing::MouseOn mouse(list.viewport());
  mouse.Press(RowCenter(list, from));
  for (int row = from; row != to;) {
    row += to > from ? 1 : -1;
    mouse.Move(RowCenter(list, row));
  }
  mouse.Release(RowCenter(list, to));
}

MapPage* Page(QWidget* editor, int map) {
  return qobject_cast<MapPage*>(FindControl<QTabWidget>(editor, 1098)->widget(map));
}

}  // namespace

class ControlMapEditorTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Entries added through the entry dialog, reordered by dragging, deleted, saved; the file
  // reads back as that map and opens in the editor again.
  void addReorderDeleteSaveAndReopen() {
    Fixture f;
    f.prompter.QueueAnswer(core::PromptAnswer::kYes);  // "設定を適用しますか？"
    fs::path saved;
    WhenModal([](QDialog& editor) {
      QCOMPARE(editor.windowTitle(), Text(TextId::kCmapEditorNewTitle));
      QWidget* page = Page(&editor, 0);
      auto& list = *FindControl<QTreeWidget>(page, 1127);
      // Each new entry goes before the selected one and becomes the selection.
      AnswerEntry(QStringLiteral("wave.KX4"), 1207);  // triangle
      Click(*page, 1014);
      AnswerEntry(QStringLiteral("bow.KX4"), 1210);  // circle
      Click(*page, 1014);
      AnswerEntry(QStringLiteral("walk.KX4"), 1211);  // cross
      Click(*page, 1014);
      QCOMPARE(FileColumn(list), (QStringList{"walk.KX4", "bow.KX4", "wave.KX4"}));
      QCOMPARE(SelectedRows(list), QList<int>{0});
      testing::Screenshot(editor, QStringLiteral("101"));
      // Both selected rows follow the mouse one row down, in their order.
      list.topLevelItem(1)->setSelected(true);
      Drag(list, 1, 2);
      QCOMPARE(FileColumn(list), (QStringList{"wave.KX4", "walk.KX4", "bow.KX4"}));
      QCOMPARE(SelectedRows(list), (QList<int>{1, 2}));
      // A click on a row selects it alone; delete removes it.
      testing::MouseOn(list.viewport()).Click(RowCenter(list, 2));
      QCOMPARE(SelectedRows(list), QList<int>{2});
      Click(*page, 1112);
      QCOMPARE(FileColumn(list), (QStringList{"wave.KX4", "walk.KX4"}));
      Click(editor, 1);
    });
    QCOMPARE(EditControlMap(f.session, nullptr, std::nullopt, &saved), 1);
    QCOMPARE(saved, f.savePath);
    QCOMPARE(testing::ShownTexts(f.prompter), testing::Texts({TextId::kMsgConfirmApplySettings}));
    core::ControlMap map;
    QVERIFY(core::ReadControlMapFile(saved, map));
    QStringList written;  // motion and button mask of each gamepad entry
    for (const core::MapEntry& entry : map.maps[0].entries) {
      QVERIFY(entry.condition.Is(core::BlockKind::PadIf));
      written << ToQString(entry.condition.fileName) + ' ' +
                     QString::number(entry.condition.constValue, 16);
    }
    QCOMPARE(written, (QStringList{"wave.KX4 1000", "walk.KX4 4000"}));
    // Opened again by its name in the project: the same rows; closing unchanged asks nothing.
    f.prompter.Clear();
    QStringList reopened;
    QString title;
    WhenModal([&reopened, &title](QDialog& editor) {
      title = editor.windowTitle();
      reopened = FileColumn(*FindControl<QTreeWidget>(Page(&editor, 0), 1127));
      Click(editor, 2);
    });
    QCOMPARE(EditControlMap(f.session, nullptr, fs::path("cmap.KX4"), &saved), 0);
    QCOMPARE(title, QStringLiteral("cmap.KX4"));
    QCOMPARE(reopened, (QStringList{"wave.KX4", "walk.KX4"}));
    QVERIFY(f.prompter.Calls().empty());
  }

  // OK refuses a missing motion file first, then the variable page's constant; what it accepts
  // becomes a gamepad test or a branch.
  void entryOkChecksInOrder_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("byVariable");
    QTest::addColumn<QString>("constant");
    QTest::addColumn<int>("message");  // 0: accepted
    QTest::newRow("no file before a bad constant")
        << "" << true << "abc" << TextId::kCmapNoMotionFile;
    QTest::newRow("variable page") << "wave.KX4" << true << "-5" << 0;
    QTest::newRow("controller page") << "wave.KX4" << false << "abc" << 0;
  }
  void entryOkChecksInOrder() {
    QFETCH(QString, file);
    QFETCH(bool, byVariable);
    QFETCH(QString, constant);
    QFETCH(int, message);
    Fixture f;
    const core::ControlMap map = core::NewControlMap();
    core::MapEntry entry = core::NewMapEntry(1);
    const core::MapEntry before = entry;
    MapEntryDialog dialog(f.session, map, 1, entry);
    dialog.show();
    auto* target = FindControl<QComboBox>(&dialog, 1220);
    QCOMPARE(target->currentText(), Text(TextId::kNoMapChange));
    QVERIFY(FindControl<QRadioButton>(&dialog, 1114)->isChecked());
    Type(dialog, 1205, file);
    FindControl<QCheckBox>(&dialog, 1207)->setChecked(true);
    if (byVariable) {
      FindControl<QRadioButton>(&dialog, 1112)->click();
    }
    QCOMPARE(FindControl<QWidget>(&dialog, 213)->isVisible(), byVariable);
    Type(dialog, 1230, constant);
    FindControl<QComboBox>(&dialog, 1227)->setCurrentIndex(3);
    target->setCurrentIndex(3);
    Click(dialog, 1);
    QCOMPARE(testing::ShownTexts(f.prompter),
             message ? testing::Texts({message}) : std::vector<std::u16string>{});
    QCOMPARE(dialog.isVisible(), message != 0);
    if (message != 0) {
      QCOMPARE(testing::DifferingFields(entry.condition, before.condition), QStringList());
      return;
    }
    const core::MotionBlock& condition = entry.condition;
    QCOMPARE(condition.fileName, std::u16string(u"wave.KX4"));
    QCOMPARE(entry.targetMap, std::uint8_t{3});
    QVERIFY(condition.Is(byVariable ? core::BlockKind::If : core::BlockKind::PadIf));
    QCOMPARE(condition.constValue, byVariable ? -5 : 0x1000);
    QCOMPARE(condition.op, std::uint16_t(byVariable ? 3 : 0));
  }

  // A changed map asks before closing: Cancel stays, No closes unsaved, Yes saves under a name.
  void closingAChangedMapAsks_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<int>("result");
    QTest::newRow("cancel") << static_cast<int>(core::PromptAnswer::kCancel) << true << 0;
    QTest::newRow("no") << static_cast<int>(core::PromptAnswer::kNo) << false << 0;
    QTest::newRow("yes") << static_cast<int>(core::PromptAnswer::kYes) << false << 1;
  }
  void closingAChangedMapAsks() {
    QFETCH(int, answer);
    QFETCH(bool, staysOpen);
    QFETCH(int, result);
    Fixture f;
    ControlMapEditor editor(f.session, core::NewControlMap(), std::nullopt);
    editor.show();
    // A 40-character name is cut to 31 and names the tab.
    const QString name = QStringLiteral("0123456789").repeated(4);
    FindControl<QLineEdit>(Page(&editor, 2), 1144)->setText(name);
    QCOMPARE(FindControl<QTabWidget>(&editor, 1098)->tabText(2), name.left(31));
    QVERIFY(editor.Modified());
    f.prompter.QueueAnswer(static_cast<core::PromptAnswer>(answer));
    Click(editor, 2);
    QCOMPARE(testing::ShownTexts(f.prompter), testing::Texts({TextId::kConfirmSaveChanges}));
    QCOMPARE(f.prompter.Calls()[0].buttons, core::PromptButtons::kYesNoCancel);
    QCOMPARE(editor.isVisible(), staysOpen);
    if (!staysOpen) {
      QCOMPARE(editor.result(), result);
      QCOMPARE(editor.File().has_value(), result == 1);
      QCOMPARE(editor.Map().maps[2].name, ToU16(name.left(31)));
    }
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::ControlMapEditorTest)
#include "control_map_editor_test.moc"

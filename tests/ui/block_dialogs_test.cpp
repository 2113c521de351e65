#include <QPlainTextEdit>
#include <QTreeWidget>
#include <tuple>

#include "block_fields.h"
#include "controlmap/control_map_editor.h"
#include "controlmap/control_map_flowchart.h"
#include "controlmap/map_entry_dialog.h"
#include "controlmap/map_page.h"
#include "dialog_checks.h"
#include "dialogs/branch_dialog.h"
#include "dialogs/called_file_dialog.h"
#include "dialogs/comment_block_dialog.h"
#include "dialogs/create_file_dialog.h"
#include "dialogs/data_file_dialog.h"
#include "dialogs/interp_change_block_dialog.h"
#include "dialogs/pad_block_dialog.h"
#include "dialogs/time_block_dialog.h"
#include "dialogs/variable_dialog.h"
#include "flowchart/block_field_checks.h"
#include "motion_area/motion_area.h"
#include "platform/paths.h"
#include "project/project_loader.h"
#include "project/robot_project.h"
#include "project/system_settings.h"
#include "text/format.h"
#include "virtual_board.h"
#include "window_driving.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
using core::BlockKind;
using core::MotionBlock;
namespace TextId = core::TextId;
using testing::Click;
using testing::FilledBlock;
using testing::Type;
using testing::WhenModal;

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
core::MotionBlock FileBlock(BlockKind kind) {
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

QTableWidget* List(const QDialog& dialog) {
  return FindControl<QTableWidget>(&dialog, 1003);
}

QStringList Column(const QDialog& dialog, int column) {
  return testing::ColumnTexts(List(dialog), column);
}

int RowNamed(const QDialog& dialog, const QString& name) {
  return static_cast<int>(Column(dialog, 2).indexOf(name));
}

// A session on the sample robot whose save chooser answers with the project's cmap.KX4.
struct MapSession : testing::SampleSession {
  fs::path savePath = robot.Folder() / "cmap.KX4";
  MapSession() {
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

// The dialogs of the flowchart blocks, the variable picker they open, and the control map editor
// whose entries are gamepad and branch conditions.
class BlockDialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Cancel stores nothing; OK stores the name, the place and the kind's own fields.
  void okStoresTheKindsFieldsAndCancelNothing() {
    for (const KindCase& c : KindCases()) {
      Project s;
      MotionBlock block = FilledBlock(c.kind);
      QCOMPARE(EditAndPress(*s.session, block, c, 2), int{QDialog::Rejected});
      QCOMPARE(Differences(c, block, FilledBlock(c.kind)), QString());
      QCOMPARE(EditAndPress(*s.session, block, c, 1), int{QDialog::Accepted});
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

  // The core's position check with its message; a refused OK keeps the dialog open with what
  // was typed.
  void positionOutsideTheAreaIsRefused() {
    Project s;
    MotionBlock block = FilledBlock(BlockKind::Wait);
    TimeBlockDialog dialog(*s.session, block);
    dialog.show();
    SetPosition(dialog, QStringLiteral("4096"), QStringLiteral("4097"));
    testing::Click(dialog, 1);
    QVERIFY(dialog.isVisible());
    std::int32_t x = 0;
    std::int32_t y = 0;
    QCOMPARE(testing::ShownTexts(s.prompter),
             std::vector<std::u16string>{core::CheckBlockPosition(u"4096", u"4097", x, y)});
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1226)->text(), QStringLiteral("4097"));
    QCOMPARE(block.xpos, 10);
    SetPosition(dialog, QStringLiteral("4096"), QStringLiteral("4096"));
    testing::Click(dialog, 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(block.xpos, 4096);
    QCOMPARE(block.ypos, 4096);
  }

  // In the main window a double click on a block runs the block's dialog; OK makes one undo step.
  void doubleClickOpensTheDialog() {
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    MainWindow window(robot.project, prompter, std::filesystem::path(GESTALON_RESOURCES_DIR));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    EditorSession& session = window.Session();
    MotionBlock& pose = *session.motion.document.current;
    const int steps = session.undo.Count();
    MotionArea& area = *window.Motions();
    area.grab();  // lays the blocks out
    QString seenTitle;
    testing::WhenModal([&seenTitle](QDialog& dialog) {
      seenTitle = dialog.windowTitle();
      testing::Type(dialog, 1142, QStringLiteral("77"));
      testing::Click(dialog, 1);
    });
    const QPoint inside = QPoint(pose.xpos + 5, pose.ypos + 5) - area.ScrollPosition();
    QTest::mouseDClick(area.viewport(), Qt::LeftButton, {}, inside);
    QCOMPARE(seenTitle, Text(core::TextId::kDlgPoseBlockTitle));
    QCOMPARE(pose.time, std::uint16_t(77));
    QCOMPARE(session.undo.Count(), steps + 1);
  }

  // Cancel stores nothing; OK stores the operation, the name and the place, and nothing else.
  void okStoresTheOperationAndNothingElse() {
    for (const BlockKind kind : {BlockKind::If, BlockKind::Calc}) {
      testing::SampleSession sample;
      core::MotionBlock block = OperandBlock(kind);
      core::MotionBlock expected = block;
      for (const int button : {2, 1}) {
        BranchDialog dialog(sample.session, block);
        dialog.show();
        QCOMPARE(FindControl<QLineEdit>(&dialog, 40630)->text(), QStringLiteral("3968:カウンタ"));
        auto* operators = FindControl<QComboBox>(&dialog, 1227);
        QCOMPARE(operators->currentIndex(), 1);
        FindControl<QRadioButton>(&dialog, 1229)->click();
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
  }

  void fileBlockOkStoresTheKindsFieldsAndCancelNothing() {
    struct Case {
      BlockKind kind;
      const char* file;
      bool noFile;
      std::uint32_t useConst;
      bool found;
    };
    for (const Case& c : {Case{BlockKind::SubRoutine, "GONE.KX4", true, 1u, false},
                          {BlockKind::Sound, "VOICE.WAV", false, 0u, true},
                          {BlockKind::Cancel, "sub\\CALLED.KX4", false, 1u, true},
                          {BlockKind::FileRead, "DATA.LOG", true, 1u, true}}) {
      Project project;
      core::MotionBlock block = FileBlock(c.kind);
      block.fileFound = !c.found;
      core::MotionBlock expected = block;
      for (const int button : {2, 1}) {
        auto dialog = OpenDialog(*project.session, block);
        ChangeFields(dialog.get(), c.file);
        testing::Click(*dialog, button);
        QCOMPARE(dialog->result(), button == 1 ? 1 : 0);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(testing::DifferingFields(block, expected), QStringList());
        expected.name = u"after";
        expected.xpos = 4096;
        expected.ypos = 12;
        expected.constValue = 0;
        expected.fileName = ToU16(QString::fromUtf8(c.file));
        expected.fileFound = c.found;
        expected.noFile = c.noFile;
        expected.useConst = c.useConst;
      }
      QVERIFY(project.prompter.Calls().empty());
    }
  }

  // The chooser takes only files in the project folder, and offers to create a missing file
  // to write; an existing one is taken without a question.
  void chooserKeepsOnlyProjectFilesAndOffersToCreate() {
    Project project;
    core::MotionBlock block = FileBlock(BlockKind::FileWrite);
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
    core::MotionBlock sound = FileBlock(BlockKind::Sound);
    sound.noFile = false;
    sound.fileName = u"VOICE.WAV";
    auto soundDialog = OpenDialog(*project.session, sound);
    testing::Click(*soundDialog, 40004);
    QCOMPARE(played, QStringList{ToQString(core::TextFromPath(project.dir / "VOICE.WAV"))});
    QVERIFY(soundDialog->isVisible());
    core::MotionBlock subroutine = FileBlock(BlockKind::SubRoutine);
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

  // The search is case-sensitive and remembered; OK on an empty list leaves the outputs; a double
  // click on a row gives its address and size.
  void searchKeepsMatchingNamesAndADoubleClickedRowGivesItsAddressAndSize() {
    testing::SampleSession sample;
    std::uint16_t address = 77;
    std::int32_t size = 5;
    {
      VariableDialog dialog(sample.session, 0x0EE8, &address, &size);
      dialog.show();
      QCOMPARE(List(dialog)->currentRow(), RowNamed(dialog, QStringLiteral("PAD_RX")));
      testing::Type(dialog, 1142, QStringLiteral("PAD_R"));
      QCOMPARE(Column(dialog, 2), (QStringList{"PAD_RX", "PAD_RY"}));
      testing::Type(dialog, 1142, QStringLiteral("pad"));
      QCOMPARE(Column(dialog, 2), QStringList{});
      testing::Click(dialog, 1);
      QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
      QCOMPARE(address, std::uint16_t{77});
      QCOMPARE(size, 5);
    }
    VariableDialog dialog(sample.session, 0, &address, &size);
    dialog.show();
    testing::Type(dialog, 1142, QString());
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
  }

  // Online on the virtual board, values that change on the board reach the branch dialog and the
  // memory map, the latter in the number style its checkbox sets for every view.
  void liveValuesFollowTheBoardWhileOnline() {
    testing::SampleRobot robot;
    testing::RecordingPrompter prompter;
    const auto window = testing::WindowOnVirtualBoard(robot, prompter);
    EditorSession& session = window->Session();
    core::MotionBlock block = OperandBlock(core::BlockKind::If);
    block.refAddr = 0x2000;  // beyond board memory
    BranchDialog branch(session, block);
    branch.show();
    QCOMPARE(LabelText(branch, 1199), Text(core::TextId::kLabelValueOffline));
    session.VirtualBoard()->SetWord(0x0F80, static_cast<std::uint16_t>(-1234));
    testing::SwitchOnline(*window, true);
    QTRY_COMPARE_WITH_TIMEOUT(LabelText(branch, 1199), QStringLiteral("-1234"), 30000);
    QCOMPARE(LabelText(branch, 1200), Text(core::TextId::kLabelValueOutOfRange));
    branch.reject();
    VariableDialog dialog(session, session.dialogs.lastVariableAddress,
                          &session.dialogs.lastVariableAddress, nullptr);
    dialog.show();
    const int row = RowNamed(dialog, QStringLiteral("カウンタ"));
    QVERIFY(row >= 0);
    QTableWidgetItem* value = List(dialog)->item(row, 3);
    QTRY_COMPARE_WITH_TIMEOUT(value->text(), QStringLiteral("-1234"), 30000);
    session.VirtualBoard()->SetWord(0x0F80, static_cast<std::uint16_t>(-2));
    QTRY_COMPARE_WITH_TIMEOUT(value->text(), QStringLiteral("-2"), 30000);
    FindControl<QCheckBox>(&dialog, 40000)->click();
    QVERIFY(session.project.hexadecimalDisplay);
    QCOMPARE(List(dialog)->item(row, 0)->text(), QStringLiteral("0x0f80"));
    QCOMPARE(value->text(), QStringLiteral("0xfffe"));
    dialog.reject();
    testing::SwitchOnline(*window, false);
  }

  void noDefinitionsRefusesWithTheMessage() {
    testing::SampleSession sample;
    EditorSession& session = sample.session;
    std::filesystem::remove(
        core::ProjectFilePath(session.project.project, session.project.project.MEMMAPINI));
    session.project.variables.clear();
    std::uint16_t address = 9;
    QCOMPARE(SelectVariable(session, nullptr, 0, &address, nullptr), 2);
    QCOMPARE(testing::ShownTexts(sample.prompter),
             testing::Texts({core::TextId::kVarDefsUnreadable}));
    QCOMPARE(address, std::uint16_t{9});
  }

  // Entries added through the entry dialog, reordered by dragging, deleted, saved; the file
  // reads back as that map.
  void addReorderDeleteAndSave() {
    MapSession f;
    f.prompter.QueueAnswer(core::PromptAnswer::kYes);  // "設定を適用しますか？"
    fs::path saved;
    WhenModal([](QDialog& editor) {
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
    MapSession f;
    const core::ControlMap map = core::NewControlMap();
    core::MapEntry entry = core::NewMapEntry(1);
    const core::MapEntry before = entry;
    MapEntryDialog dialog(f.session, map, 1, entry);
    dialog.show();
    auto* target = FindControl<QComboBox>(&dialog, 1220);
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
  void closingAChangedMapAsks() {
    using core::PromptAnswer;
    for (const PromptAnswer answer :
         {PromptAnswer::kCancel, PromptAnswer::kNo, PromptAnswer::kYes}) {
      MapSession f;
      ControlMapEditor editor(f.session, core::NewControlMap(), std::nullopt);
      editor.show();
      // A 40-character name is cut to 31 and names the tab.
      const QString name = QStringLiteral("0123456789").repeated(4);
      FindControl<QLineEdit>(Page(&editor, 2), 1144)->setText(name);
      QCOMPARE(FindControl<QTabWidget>(&editor, 1098)->tabText(2), name.left(31));
      QVERIFY(editor.Modified());
      f.prompter.QueueAnswer(answer);
      Click(editor, 2);
      QCOMPARE(testing::ShownTexts(f.prompter), testing::Texts({TextId::kConfirmSaveChanges}));
      QCOMPARE(editor.isVisible(), answer == PromptAnswer::kCancel);
      if (answer != PromptAnswer::kCancel) {
        QCOMPARE(editor.result(), answer == PromptAnswer::kYes ? 1 : 0);
        QCOMPARE(editor.File().has_value(), answer == PromptAnswer::kYes);
        QCOMPARE(editor.Map().maps[2].name, ToU16(name.left(31)));
      }
    }
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::BlockDialogsTest)
#include "block_dialogs_test.moc"

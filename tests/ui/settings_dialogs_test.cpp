#include <QItemSelectionModel>
#include <QListWidget>
#include <QSpinBox>
#include <QToolBar>

#include "cpusettings/cpu_settings_dialog.h"
#include "cpusettings/cpu_settings_file.h"
#include "dialog_checks.h"
#include "display/display_settings_dialog.h"
#include "main_window/command_actions.h"
#include "main_window/main_toolbar.h"
#include "motion_area/motion_area.h"
#include "platform/paths.h"
#include "pose/base_pose_dialog.h"
#include "pose/batch_offset_dialog.h"
#include "pose/offset_dialog.h"
#include "pose/slider_properties_dialog.h"
#include "pose_area/pose_area.h"
#include "private_app_data.h"
#include "project/base_poses.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "project/value_offsets.h"
#include "text/format.h"
#include "virtual_board.h"
#include "widgets/qt_drawing.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
namespace TextId = core::TextId;

using testing::Click;
using testing::ColumnTexts;
using testing::LastMessage;
using testing::SampleRobot;

// Adds a servo ID on the shown port and types `text` into its row.
void AddServoId(QWidget& dialog, const QString& text) {
  Click(dialog, 1255);
  QLineEdit* editor = FindControl<QTableWidget>(&dialog, 1049)->viewport()->findChild<QLineEdit*>();
  QVERIFY(editor);
  editor->setText(text);
  QTest::keyClick(editor, Qt::Key_Return);
}

// The slider table as the slider definition file of `robot` holds it now.
core::SliderTable SliderFile(const SampleRobot& robot) {
  core::SliderTable sliders{};
  core::WindowLayout layout;
  // An unreadable file gives an all-zero table, which no comparison below accepts.
  core::ReadSliderDefinitions(robot.Folder() / "slider.ini", sliders, layout);
  return sliders;
}

const fs::path kProgramFolder(GESTALON_RESOURCES_DIR);

core::Bitmap SolidBitmap(std::uint32_t pixel) {
  return core::Bitmap{8, 8, std::vector<std::uint32_t>(64, pixel)};
}

}  // namespace

// The settings dialogs of the board, the sliders, the base poses and offsets, and the display.
class SettingsDialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() { s_ = std::make_unique<testing::SampleSession>(); }
  void cleanup() {
    window_.reset();
    s_.reset();
  }

  // Offline: the volume is stored as its attenuator, the settings file is written, the program
  // says so; its servo button reaches the window.
  void applyOfflineStoresAndWritesTheFile() {
    int servoToggles = 0;
    int applied = 0;
    CpuSettingsHooks hooks;
    hooks.toggleServo = [&] { ++servoToggles; };
    hooks.applied = [&] { ++applied; };
    CpuSettingsDialog dialog(s_->session, hooks);
    dialog.show();
    testing::Screenshot(dialog, QStringLiteral("cpu"));
    QSpinBox* volume = FindControl<QSpinBox>(&dialog, 1171);
    QCOMPARE(volume->value(), 5);  // the sample's attenuator is 2
    volume->setValue(7);
    Click(dialog, 1000);
    QCOMPARE(s_->session.project.cpu.voiceAttenuator, std::uint16_t{0});
    QCOMPARE(s_->prompter.Calls().front().text, core::LoadText(TextId::kMsgConfirmApplySettings));
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgSettingsApplied));
    QCOMPARE(applied, 1);
    volume->setValue(0);
    Click(dialog, 1000);
    core::CpuSettings reread;
    QVERIFY(core::ReadCpuSettingsFile(s_->robot.Folder() / "STARTUP.XML", reread, nullptr));
    QCOMPARE(reread.voiceAttenuator, std::uint16_t{7});
    // No to the question: nothing is checked or stored.
    volume->setValue(3);
    s_->prompter.QueueAnswer(core::PromptAnswer::kNo);
    Click(dialog, 1000);
    QCOMPARE(s_->session.project.cpu.voiceAttenuator, std::uint16_t{7});
    Click(dialog, 1117);
    QCOMPARE(servoToggles, 1);
    QVERIFY(dialog.isVisible());
  }

  // A bad coefficient keeps its motor in view and stores nothing. The servo IDs are checked by the
  // core: port 1 of the sample holds IDs 0..9, so another 5 is refused.
  void motorAndServoIdPagesHoldWhatTheyCheck() {
    CpuSettingsDialog dialog(s_->session, {});
    dialog.show();
    FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(1);
    QListWidget* motors = FindControl<QListWidget>(&dialog, 1122);
    motors->setCurrentRow(0);
    FindControl<QLineEdit>(&dialog, 1133)->setText(QStringLiteral("1.5"));
    motors->setCurrentRow(4);
    QCOMPARE(motors->currentRow(), 0);
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgMotorParamNotNumber));
    QCOMPARE(s_->session.project.cpu.motors, s_->robot.project.cpu.motors);
    FindControl<QLineEdit>(&dialog, 1133)->setText(QStringLiteral("-300"));
    FindControl<QComboBox>(&dialog, 1155)->setCurrentIndex(2);
    motors->setCurrentRow(4);
    QCOMPARE(motors->currentRow(), 4);
    const core::MotorRecord& stored = dialog.Edited().motors[0];
    QCOMPARE(static_cast<std::int16_t>(stored.words[11]), std::int16_t{-300});
    QCOMPARE(stored.word20B, std::uint8_t{0x20});
    FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(2);
    QTableWidget* ids = FindControl<QTableWidget>(&dialog, 1049);
    QCOMPARE(ids->rowCount(), 10);
    AddServoId(dialog, QStringLiteral("5"));
    QTRY_COMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgServoIdDuplicate));
    QCOMPARE(ids->rowCount(), 10);
  }

  // A rename renames the project file and the recent entries of the old name, and rewrites the
  // log; a log without the old name is left as it was.
  void renamedRobotRenamesTheProjectFileAndItsRecentEntries() {
    const fs::path folder = s_->robot.Folder();
    core::RecentProjects recent;
    recent.entries[0] = {u"other", u"/elsewhere/other.KJZ", true};
    CpuSettingsHooks hooks;
    hooks.recentProjects = &recent;
    hooks.recentLog = s_->robot.dir.Path() / "kjplog.dat";
    for (const char16_t* name : {u"ニューボット", u"三代目"}) {
      CpuSettingsDialog dialog(s_->session, hooks);
      dialog.show();
      testing::Type(dialog, 1019, ToQString(name));
      Click(dialog, 1);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(core::RobotName(s_->session.project.cpu), name);
      QVERIFY(fs::exists(folder / (std::u16string(name) + u".KJZ")));
      const bool first = name == std::u16string(u"ニューボット");
      QCOMPARE(fs::exists(hooks.recentLog), !first);
      if (first) {  // the log now knows the robot by its new name
        recent.entries[1] = {name, core::TextFromPath(folder / u"ニューボット.KJZ"), true};
      }
    }
    QVERIFY(!fs::exists(folder / "gestaloid.KJZ"));
    const std::u16string newPath = core::TextFromPath(folder / u"三代目.KJZ");
    QCOMPARE(recent.entries[1].robotName, u"三代目");
    QCOMPARE(recent.entries[1].path, newPath);
    core::RecentProjects reread;
    QVERIFY(core::ReadRecentProjects(hooks.recentLog, reread, nullptr));
    QCOMPARE(reread.entries[0].robotName, u"三代目");  // "other" has no file
    QCOMPARE(reread.entries[0].path, newPath);
  }

  // Through the window's command while online on the virtual board: the board's memory takes
  // the settings and the program says the RAM has them.
  void applyOnlineWritesTheBoard() {
    const auto window = testing::WindowOnVirtualBoard(s_->robot, s_->prompter);
    EditorSession& session = window->Session();
    testing::SwitchOnline(*window, true);
    s_->prompter.Clear();
    testing::WhenModal([](QDialog& dialog) {
      testing::Type(dialog, 1170, QStringLiteral("12000"));
      testing::Type(dialog, 1019, QStringLiteral("RENAMED"));
      Click(dialog, 1000);
      Click(dialog, 2);
    });
    window->RunCommand(CommandId::kCpuSettings);
    QCOMPARE(session.VirtualBoard()->Word32(0x0040), 12000u);
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgSettingsAppliedToRam));
    QCOMPARE(session.project.cpu.basicControlCycle, 12000);
    // The board now carries the new name: connecting again raises no name question.
    testing::SwitchOnline(*window, false);
    testing::SwitchOnline(*window, true);
    QVERIFY(!testing::Shows(s_->prompter, TextId::kMsgRobotNameMismatch));
  }

  // Three selected sliders open on the selection entry; checking only "表示反転" inverts the
  // display of those three, and the file written says exactly that.
  void selectionChangesOnlyTheDecidedBox() {
    const core::SliderTable before = SliderFile(s_->robot);
    for (const int k : {1, 4, 7}) {
      s_->session.project.sliders[k].flags1 |= core::SliderFlag1::kSelected;
    }
    SliderPropertiesDialog dialog(s_->session);
    dialog.show();
    QCOMPARE(FindControl<QComboBox>(&dialog, 1120)->count(), 97);  // sliders 96.. not offered
    QCOMPARE(FindControl<QCheckBox>(&dialog, 1099)->checkState(), Qt::PartiallyChecked);
    FindControl<QCheckBox>(&dialog, 1131)->setCheckState(Qt::Checked);
    Click(dialog, 1);
    QCOMPARE(s_->prompter.Calls().size(), std::size_t{1});  // the question only
    core::SliderTable expected = before;
    for (const int k : {1, 4, 7}) {
      expected[k].flags1 |= core::SliderFlag1::kInverted;
    }
    QVERIFY(SliderFile(s_->robot) == expected);
  }

  // One slider: a new name and step, font and background colour from the choosers; the file
  // written holds exactly these changes.
  void oneSliderRoundTripsThroughTheFile() {
    core::FontSpec chosenFont;
    chosenFont.faceName = u"IPAGothic";
    chosenFont.height = -14;
    chosenFont.weight = 700;
    s_->session.dialogs.pickFont = [&](QWidget*, const core::FontSpec& start, core::ColorRef) {
      [&] { QCOMPARE(start, s_->robot.project.sliders[3].font); }();
      return std::optional<FontPick>(FontPick{chosenFont, 0x0000FF});
    };
    s_->session.dialogs.pickColor = [](QWidget*, core::ColorRef) {
      return std::optional<core::ColorRef>(0x00FF00);
    };
    const core::SliderTable before = SliderFile(s_->robot);
    s_->session.project.sliders[3].flags1 |= core::SliderFlag1::kSelected;
    SliderPropertiesDialog dialog(s_->session);
    dialog.show();
    testing::Type(dialog, 1128, QStringLiteral("左肩"));
    testing::Type(dialog, 1188, QStringLiteral("25"));
    Click(dialog, 1156);
    Click(dialog, 1158);
    Click(dialog, 1);
    core::SliderTable expected = before;
    expected[3].axisName = u"左肩";
    expected[3].step = 25;
    expected[3].font = chosenFont;
    expected[3].font.escapement = chosenFont.orientation;
    expected[3].textColor = 0x0000FF;
    expected[3].textBkColor = 0x00FF00;
    QVERIFY(SliderFile(s_->robot) == expected);
    QCOMPARE(FindControl<QComboBox>(&dialog, 1125)->itemText(3), QStringLiteral("03:左肩"));
  }

  // Through the window's command: offsets for two rows, applied to the two selected pose
  // blocks, are one undo step that undo takes back whole.
  void batchOffsetOnSelectedPosesIsOneUndoStep() {
    OpenWindow();
    EditorSession& session = window_->Session();
    window_->RunCommand(CommandId::kBatchOffset);
    QCOMPARE(s_->prompter.Calls().back().text, core::LoadText(TextId::kMsgSelectPoseBlockFirst));
    core::MotionBlock* pose = session.motion.document.current;
    QVERIFY(pose && pose->Is(core::BlockKind::Pose));
    pose->selFlags |= core::kBlockSelected;
    pose->slots[0] = 100;
    const std::int16_t slot1 = pose->slots[1];
    session.undo.RecordUndo();
    const int steps = session.undo.Count();
    testing::WhenModal([&](QDialog& dialog) {
      auto* list = FindControl<QTableWidget>(&dialog, 1240);
      QCOMPARE(list->rowCount(), 96);
      Click(dialog, 1110);  // nothing selected yet
      QCOMPARE(s_->prompter.Calls().back().text, core::LoadText(TextId::kMsgSelectListItem));
      for (const int row : {0, 2}) {
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
      }
      testing::Type(dialog, 1142, QStringLiteral("+250"));
      Click(dialog, 1110);
      QCOMPARE(list->item(2, 1)->text(), QStringLiteral("+250"));
      Click(dialog, 1);
    });
    window_->RunCommand(CommandId::kBatchOffset);
    QCOMPARE(s_->prompter.Calls().back().text, core::LoadText(TextId::kMsgBatchOffsetDone));
    pose = session.motion.document.current;
    QCOMPARE(pose->slots[0], std::int16_t{350});
    QCOMPARE(pose->slots[1], slot1);
    QCOMPARE(session.undo.Count(), steps + 1);
    window_->RunCommand(CommandId::kUndo);
    pose = session.motion.document.current;
    QCOMPARE(pose->slots[0], std::int16_t{100});
  }

  // From the command: a new background colour, a toolbar button taken off and another wallpaper
  // image, applied. The file written is the old one with exactly these changes, the toolbar is
  // built without the button, and both panes paint with the new colour and image.
  void applyStoresRebuildsRepaintsAndWrites() {
    const SampleRobot& robot = s_->robot;
    testing::RecordingPrompter& prompter = s_->prompter;
    const fs::path file =
        core::ProjectFilePath(robot.project.project, robot.project.project.SYSINI);
    core::SystemSettings expected;
    QVERIFY(core::ReadSystemSettings(file, robot.Folder(), kProgramFolder, expected, nullptr));
    const core::ColorRef background = core::MakeColorRef(10, 20, 30);
    const core::Bitmap wallpaper = SolidBitmap(0xFF00A000);
    fs::create_directory(robot.Folder() / "skin");
    QVERIFY(core::SaveBitmapFile(robot.Folder() / "skin" / "wall.bmp", wallpaper));
    OpenWindow();
    MainWindow& window = *window_;
    EditorSession& session = window.Session();
    session.dialogs.pickColor = [&](QWidget*, core::ColorRef) {
      return std::optional<core::ColorRef>(background);
    };
    session.dialogs.pickFile = [&](QWidget*, const FileChoice&, const QString&) {
      return QString::fromStdString((robot.Folder() / "skin" / "wall.bmp").string());
    };
    QAction* memoryMap = window.Actions().Action(CommandId::kMemoryMap);
    testing::WhenModal([&](QDialog& dialog) {
      FindControl<QListWidget>(&dialog, 1126)->item(23)->setCheckState(Qt::Unchecked);
      FindControl<QComboBox>(&dialog, 1235)->setCurrentIndex(0);
      Click(dialog, 1234);
      FindControl<QComboBox>(&dialog, 1165)->setCurrentIndex(core::SkinIndex::kPoseWallpaper);
      Click(dialog, 1161);
      QCOMPARE(FindControl<QLabel>(&dialog, 1162)->text(), QStringLiteral("skin\\wall.bmp"));
      Click(dialog, 1);
      Click(dialog, 2);
    });
    window.RunCommand(CommandId::kDisplaySettings);
    QCOMPARE(prompter.Calls().size(), std::size_t{1});
    QCOMPARE(prompter.Calls().front().text, core::LoadText(core::TextId::kMsgConfirmApplySettings));
    expected.motionAreaColors[0] = background;
    expected.toolbarButtons[23] = false;
    expected.skins[0].folderFlag = 1;
    expected.skins[0].path = u"skin\\wall.bmp";
    const testing::TempDir temp;
    QVERIFY(core::WriteSystemSettings(temp.Path() / "expected.ini", expected));
    QCOMPARE(testing::ReadBytes(file), testing::ReadBytes(temp.Path() / "expected.ini"));
    QVERIFY(!window.Toolbar()->actions().contains(memoryMap));
    QWidget* viewport = window.Motions()->viewport();
    const QImage motion = viewport->grab().toImage();
    QCOMPARE(motion.pixelColor(motion.width() - 3, motion.height() - 3), ToQColor(background));
    QCOMPARE(window.Poses()->grab().toImage().pixelColor(1, 1), QColor(0, 0xA0, 0));
  }

  // A skin file outside the project folder is taken only when the user says Yes.
  void skinOutsideTheProjectAsks() {
    const SampleRobot& robot = s_->robot;
    testing::RecordingPrompter& prompter = s_->prompter;
    EditorSession& session = s_->session;
    QVERIFY(core::SaveBitmapFile(robot.dir.Path() / "outside.bmp", SolidBitmap(0xFFFF0000)));
    session.dialogs.pickFile = [&](QWidget*, const FileChoice&, const QString&) {
      return QString::fromStdString((robot.dir.Path() / "outside.bmp").string());
    };
    DisplaySettingsDialog dialog(session, {kProgramFolder, {}});
    dialog.show();
    QLabel* path = FindControl<QLabel>(&dialog, 1162);
    QCOMPARE(path->text(), QStringLiteral("me_image\\pose_wallpaper.bmp"));
    prompter.QueueAnswer(core::PromptAnswer::kNo);
    Click(dialog, 1161);
    QCOMPARE(prompter.Calls().back().text,
             core::LoadText(core::TextId::kSkinOutsideProjectConfirm));
    QCOMPARE(path->text(), QStringLiteral("me_image\\pose_wallpaper.bmp"));
    Click(dialog, 1161);
    QCOMPARE(prompter.Calls().size(), std::size_t{2});
    QCOMPARE(path->text(), QStringLiteral("..\\outside.bmp"));
    QCOMPARE(session.project.system.skins[0].path, std::u16string(u"me_image\\pose_wallpaper.bmp"));
  }

  // Register (after the last), replace (asked), delete, apply: the base pose file reads back with
  // exactly these changes.
  void basePoseDialogEditsAndWritesTheFile() {
    OpenWindow();
    EditorSession& session = window_->Session();
    core::MotionBlock& pose = *core::CurrentPose(session.context);
    pose.slots[0] = 123;
    const core::BasePoseTable before = session.project.basePoses;
    auto dialog = std::make_unique<BasePoseDialog>(session, window_.get());
    dialog->show();
    QTableWidget* list = FindControl<QTableWidget>(dialog.get(), 1109);
    testing::Type(*dialog, 1141, QStringLiteral("新規"));
    Click(*dialog, 1150);
    QCOMPARE(ColumnTexts(list, 0), (QStringList{"基本姿勢", "気をつけ", "新規"}));
    pose.slots[0] = 321;
    list->setCurrentCell(0, 0);
    s_->prompter.QueueAnswer(core::PromptAnswer::kNo);
    Click(*dialog, 1110);
    QCOMPARE(dialog->Working().entries[0], before.entries[0]);
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgConfirmReplaceBasePose));
    Click(*dialog, 1110);
    list->clearSelection();
    list->item(1, 0)->setSelected(true);
    Click(*dialog, 1151);
    QCOMPARE(session.project.basePoses, before);  // nothing is stored before Apply
    Click(*dialog, 1);
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgConfirmApplySettings));
    QVERIFY(dialog->isVisible());
    core::BasePoseTable read;
    QVERIFY(core::ReadBasePoses(
        core::ProjectFilePath(session.project.project, session.project.project.DEFPOSINI), read));
    QCOMPARE(read, session.project.basePoses);
    const core::BasePose& added = read.entries[1];
    // The replaced base pose is the same pose taken again, under its old name.
    core::BasePoseTable expected = before;
    expected.entries[0] = added;
    expected.entries[0].name = before.entries[0].name;
    expected.entries[0].values[0] = 321;
    expected.entries[1] = added;
    expected.entries[2] = {};
    QCOMPARE(read, expected);
    QCOMPARE(added.values[0], std::int16_t{123});
  }

  // Delete, rename, add, enter offsets, apply: the offset file reads back with exactly these
  // changes.
  void offsetDialogEditsAndWritesTheFile() {
    OpenWindow();
    EditorSession& session = window_->Session();
    const core::ValueOffsetTable before = session.project.offsets;
    OffsetDialog dialog(
        session, [] {}, window_.get());
    dialog.show();
    QTableWidget* names = FindControl<QTableWidget>(&dialog, 1109);
    QTableWidget* sliders = FindControl<QTableWidget>(&dialog, 1240);
    names->selectRow(0);
    Click(dialog, 1248);
    QCOMPARE(ColumnTexts(names, 0), QStringList({QStringLiteral("足幅を広げる")}));
    const std::size_t messages = s_->prompter.Calls().size();
    names->editItem(names->item(0, 0));
    QLineEdit* editor = names->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("広い足幅"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(names->item(0, 0)->text(), QStringLiteral("広い足幅"), 30000);
    QCOMPARE(s_->prompter.Calls().size(), messages);  // the Enter ends the renaming, nothing else
    Click(dialog, 1247);                              // before the focused name
    const QString fresh = Text(TextId::kDefaultOffsetName);
    QCOMPARE(ColumnTexts(names, 0), QStringList({fresh, QStringLiteral("広い足幅")}));
    QCOMPARE(names->currentRow(), 0);
    sliders->item(3, 0)->setSelected(true);
    sliders->item(4, 0)->setSelected(true);
    QLineEdit* value = FindControl<QLineEdit>(&dialog, 1142);
    value->setText(QStringLiteral("+5"));
    Click(dialog, 1110);
    QVERIFY(sliders->item(3, 1)->text().startsWith(QStringLiteral("+5")));
    QVERIFY(sliders->item(4, 1)->text().startsWith(QStringLiteral("+5")));
    QCOMPARE(session.project.offsets, before);  // nothing is stored before Apply
    Click(dialog, 1249);
    QCOMPARE(LastMessage(s_->prompter), core::LoadText(TextId::kMsgConfirmApplySettings));
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
  }

  // The offset dialog opens from its command on the chosen offset; closing it resets the choice
  // and refills the toolbar selector.
  void commandsOpenTheDialogs() {
    OpenWindow();
    EditorSession& session = window_->Session();
    QString opened;
    QComboBox* selector = window_->Toolbar()->findChild<QComboBox*>(QStringLiteral("wheelOffset"));
    Q_EMIT selector->activated(2);
    QCOMPARE(session.project.offsets.current, 1);
    int shownSet = -1;
    testing::WhenModal([&](QDialog& modal) {
      opened = modal.objectName();
      shownSet = FindControl<QTableWidget>(&modal, 1109)->currentRow();
      Click(modal, 1247);
      Click(modal, 1249);
      Click(modal, 2);
    });
    window_->Actions().Action(CommandId::kRegisterOffset)->trigger();
    QCOMPARE(opened, QStringLiteral("174"));
    QCOMPARE(shownSet, 1);
    QCOMPARE(session.project.offsets.current, -1);
    QCOMPARE(selector->count(), 4);
    QCOMPARE(selector->currentIndex(), 0);
  }

 private:
  testing::PrivateAppData appData_;
  std::unique_ptr<testing::SampleSession> s_;
  std::unique_ptr<MainWindow> window_;

  // The main window on the session's robot, shown.
  void OpenWindow() {
    window_ = std::make_unique<MainWindow>(s_->robot.project, s_->prompter,
                                           fs::path(GESTALON_RESOURCES_DIR));
    window_->show();
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::SettingsDialogsTest)
#include "settings_dialogs_test.moc"

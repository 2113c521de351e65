#include <QItemSelectionModel>

#include "dialog_checks.h"
#include "pose/batch_offset_dialog.h"
#include "pose/slider_properties_dialog.h"
#include "private_app_data.h"
#include "project/slider_defs.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;
namespace TextId = core::TextId;

using testing::Click;
using testing::SampleRobot;

// The slider table as the slider definition file of `robot` holds it now.
core::SliderTable SliderFile(const SampleRobot& robot) {
  core::SliderTable sliders{};
  core::WindowLayout layout;
  // An unreadable file gives an all-zero table, which no comparison below accepts.
  core::ReadSliderDefinitions(robot.Folder() / "slider.ini", sliders, layout);
  return sliders;
}

}  // namespace

class SliderDialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() { s_ = std::make_unique<testing::SampleSession>(); }
  void cleanup() { s_.reset(); }

  // Three selected sliders open on the selection entry; checking only "表示反転" inverts the
  // display of those three, and the file written says exactly that.
  void selectionChangesOnlyTheDecidedBox() {
    const core::SliderTable before = SliderFile(s_->robot);
    for (const int k : {1, 4, 7}) {
      s_->session.project.sliders[k].flags1 |= core::SliderFlag1::kSelected;
    }
    SliderPropertiesDialog dialog(s_->session);
    dialog.show();
    testing::Screenshot(dialog, QStringLiteral("131-several"));
    QCOMPARE(FindControl<QComboBox>(&dialog, 1120)->currentIndex(), 0);
    QCOMPARE(FindControl<QComboBox>(&dialog, 1120)->count(), 97);  // sliders 96.. not offered
    QCOMPARE(FindControl<QCheckBox>(&dialog, 1099)->checkState(), Qt::PartiallyChecked);
    QCOMPARE(FindControl<QLineEdit>(&dialog, 1129)->text(), QString());
    FindControl<QCheckBox>(&dialog, 1131)->setCheckState(Qt::Checked);
    Click(dialog, 1);
    QCOMPARE(s_->prompter.Calls().size(), std::size_t{1});  // the question only
    QCOMPARE(s_->prompter.Calls()[0].icon, core::PromptIcon::kWarning);

    core::SliderTable expected = before;
    for (const int k : {1, 4, 7}) {
      expected[k].flags1 |= core::SliderFlag1::kInverted;
    }
    QVERIFY(SliderFile(s_->robot) == expected);
  }

  // One slider: a new name, font and background colour from the choosers, a refused step; the
  // file written holds exactly the accepted changes.
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
    QCOMPARE(dialog.Target(), 3);
    testing::Screenshot(dialog, QStringLiteral("131-single"));
    QCOMPARE(FindControl<QCheckBox>(&dialog, 1099)->isTristate(), false);
    testing::Type(dialog, 1128, QStringLiteral("左肩"));
    testing::Type(dialog, 1188, QStringLiteral("40000"));
    Click(dialog, 1156);
    Click(dialog, 1158);
    Click(dialog, 1);
    QCOMPARE(s_->prompter.Calls().back().text, core::LoadText(TextId::kMsgStepTooLarge));
    QVERIFY(SliderFile(s_->robot) == before);

    testing::Type(dialog, 1188, QStringLiteral("25"));
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

  // Slider 4 made right of 6: the pair reaches the sliders and the file (the core repairs the
  // partners); without a pair the partner combo is not used.
  void pairingReachesTheSlidersAndTheFile() {
    SliderPropertiesDialog dialog(s_->session);
    dialog.show();
    FindControl<QComboBox>(&dialog, 1120)->setCurrentIndex(5);
    QVERIFY(FindControl<QRadioButton>(&dialog, 1116)->isChecked());
    QVERIFY(FindControl<QComboBox>(&dialog, 1125)->isEnabled());
    FindControl<QComboBox>(&dialog, 1125)->setCurrentIndex(6);
    Click(dialog, 1);
    const core::SliderTable& sliders = s_->session.project.sliders;
    QCOMPARE(sliders[4].pairMode, 2);
    QCOMPARE(sliders[4].partner, 6);
    QCOMPARE(sliders[6].partner, 4);
    QCOMPARE(SliderFile(s_->robot)[6].partner, 4);

    FindControl<QRadioButton>(&dialog, 1113)->click();
    QVERIFY(!FindControl<QComboBox>(&dialog, 1125)->isEnabled());
  }

  // Through the window's command: offsets for two rows, applied to the two selected pose
  // blocks, are one undo step that undo takes back whole.
  void batchOffsetOnSelectedPosesIsOneUndoStep() {
    auto window = std::make_unique<MainWindow>(s_->robot.project, s_->prompter,
                                               fs::path(GESTALON_RESOURCES_DIR));
    window->show();
    EditorSession& session = window->Session();
    window->RunCommand(CommandId::kBatchOffset);
    QCOMPARE(s_->prompter.Calls().back().text, core::LoadText(TextId::kMsgSelectPoseBlockFirst));

    core::MotionBlock* pose = session.motion.document.current;
    QVERIFY(pose && pose->Is(core::BlockKind::Pose));
    pose->selFlags |= core::kBlockSelected;
    pose->slots[0] = 100;
    pose->slots[2] = 13400;  // near slider 2's maximum 13500
    const std::int16_t slot1 = pose->slots[1];
    session.undo.RecordUndo();
    const int steps = session.undo.Count();
    testing::WhenModal([&](QDialog& dialog) {
      QCOMPARE(dialog.objectName(), QStringLiteral("172"));
      testing::Screenshot(dialog, QStringLiteral("172"));
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
      QCOMPARE(list->item(1, 1)->text(), QStringLiteral("+0"));
      Click(dialog, 1);
    });
    window->RunCommand(CommandId::kBatchOffset);
    QCOMPARE(s_->prompter.Calls().back().text, core::LoadText(TextId::kMsgBatchOffsetDone));
    pose = session.motion.document.current;
    QCOMPARE(pose->slots[0], std::int16_t{350});
    QCOMPARE(pose->slots[1], slot1);
    QCOMPARE(pose->slots[2], std::int16_t{13500});
    QCOMPARE(session.undo.Count(), steps + 1);
    window->RunCommand(CommandId::kUndo);
    pose = session.motion.document.current;
    QCOMPARE(pose->slots[0], std::int16_t{100});
    QCOMPARE(pose->slots[2], std::int16_t{13400});
  }

 private:
  testing::PrivateAppData appData_;
  std::unique_ptr<testing::SampleSession> s_;
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::SliderDialogsTest)
#include "slider_dialogs_test.moc"

#include "display/display_settings_dialog.h"

#include <QListWidget>
#include <QToolBar>

#include "dialog_checks.h"
#include "main_window/command_actions.h"
#include "main_window/main_toolbar.h"
#include "motion_area/motion_area.h"
#include "pose_area/pose_area.h"
#include "project/robot_project.h"
#include "widgets/qt_drawing.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;

using testing::Click;
using testing::SampleRobot;

const fs::path kProgramFolder(GESTALON_RESOURCES_DIR);

core::Bitmap SolidBitmap(std::uint32_t pixel) {
  return core::Bitmap{8, 8, std::vector<std::uint32_t>(64, pixel)};
}

}  // namespace

class DisplaySettingsDialogTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // From the command: a new background colour, a toolbar button taken off and another wallpaper
  // image, applied. The file written is the old one with exactly these changes, the toolbar is
  // built without the button, and both panes paint with the new colour and image.
  void applyStoresRebuildsRepaintsAndWrites() {
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    const fs::path file =
        core::ProjectFilePath(robot.project.project, robot.project.project.SYSINI);
    core::SystemSettings expected;
    QVERIFY(core::ReadSystemSettings(file, robot.Folder(), kProgramFolder, expected, nullptr));
    const core::ColorRef background = core::MakeColorRef(10, 20, 30);
    const core::Bitmap wallpaper = SolidBitmap(0xFF00A000);
    fs::create_directory(robot.Folder() / "skin");
    QVERIFY(core::SaveBitmapFile(robot.Folder() / "skin" / "wall.bmp", wallpaper));

    MainWindow window(robot.project, prompter, kProgramFolder);
    window.show();
    EditorSession& session = window.Session();
    session.dialogs.pickColor = [&](QWidget*, core::ColorRef) {
      return std::optional<core::ColorRef>(background);
    };
    session.dialogs.pickFile = [&](QWidget*, const FileChoice&, const QString&) {
      return QString::fromStdString((robot.Folder() / "skin" / "wall.bmp").string());
    };
    QAction* memoryMap = window.Actions().Action(CommandId::kMemoryMap);
    QVERIFY(window.Toolbar()->actions().contains(memoryMap));

    testing::WhenModal([&](QDialog& dialog) {
      QCOMPARE(dialog.objectName(), QStringLiteral("132"));
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
    QVERIFY(window.Toolbar()->actions().contains(window.Actions().Action(CommandId::kOnline)));
    QVERIFY(window.Toolbar()->isVisible());
    QWidget* viewport = window.Motions()->viewport();
    const QImage motion = viewport->grab().toImage();
    QCOMPARE(motion.pixelColor(motion.width() - 3, motion.height() - 3), ToQColor(background));
    QCOMPARE(window.Poses()->grab().toImage().pixelColor(1, 1), QColor(0, 0xA0, 0));
  }

  // A skin file outside the project folder is taken only when the user says Yes; the dialog
  // reopens on its page and place.
  void skinOutsideTheProjectAsks() {
    testing::SampleSession sample;
    const SampleRobot& robot = sample.robot;
    testing::RecordingPrompter& prompter = sample.prompter;
    EditorSession& session = sample.session;
    QVERIFY(core::SaveBitmapFile(robot.dir.Path() / "outside.bmp", SolidBitmap(0xFFFF0000)));
    session.dialogs.pickFile = [&](QWidget*, const FileChoice&, const QString&) {
      return QString::fromStdString((robot.dir.Path() / "outside.bmp").string());
    };
    {
      DisplaySettingsDialog dialog(session, {kProgramFolder, {}});
      dialog.show();
      testing::ScreenshotPages(dialog, 1098, QStringLiteral("display"));
      QLabel* path = FindControl<QLabel>(&dialog, 1162);
      QCOMPARE(path->text(), QStringLiteral("me_image\\pose_wallpaper.bmp"));
      prompter.QueueAnswer(core::PromptAnswer::kNo);
      Click(dialog, 1161);
      QCOMPARE(prompter.Calls().back().text,
               core::LoadText(core::TextId::kSkinOutsideProjectConfirm));
      QCOMPARE(prompter.Calls().back().buttons, core::PromptButtons::kYesNo);
      QCOMPARE(path->text(), QStringLiteral("me_image\\pose_wallpaper.bmp"));
      Click(dialog, 1161);
      QCOMPARE(prompter.Calls().size(), std::size_t{2});
      QCOMPARE(path->text(), QStringLiteral("..\\outside.bmp"));
      QCOMPARE(session.project.system.skins[0].path,
               std::u16string(u"me_image\\pose_wallpaper.bmp"));
      FindControl<QTabWidget>(&dialog, 1098)->setCurrentIndex(2);
      dialog.move(130, 110);
      Click(dialog, 2);
    }
    DisplaySettingsDialog reopened(session, {kProgramFolder, {}});
    QCOMPARE(FindControl<QTabWidget>(&reopened, 1098)->currentIndex(), 2);
    QCOMPARE(reopened.pos(), QPoint(130, 110));
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::DisplaySettingsDialogTest)
#include "display_settings_dialog_test.moc"

#include "preview/preview_window.h"

#include <QPainter>
#include <QtTest>
#include <filesystem>

#include "main_window/command_ids.h"
#include "main_window/main_window.h"
#include "preview/preview_player.h"
#include "preview/robot_preview.h"
#include "private_app_data.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "virtual_board.h"

namespace gestalon::ui {
namespace {

namespace fs = std::filesystem;

using testing::SampleRobot;

constexpr QSize kImageSize(400, 400);

QImage Render(PreviewView& view) {
  QImage image(kImageSize, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    view.Paint(painter, kImageSize);
  }
  return image;
}

// Pixels of the robot: neither the background nor the floor grid, which is one grey.
bool IsRobot(QRgb pixel, QRgb grid) {
  return pixel != (PreviewRenderer::kBackground | 0xFF000000u) && pixel != grid;
}

int Differing(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    }
  }
  return count;
}

// The main window on a copy of the sample robot, with the preview window open.
struct WindowWithPreview {
  WindowWithPreview() {
    window.show();
    window.RunCommand(CommandId::kPreviewWindow);
  }
  testing::PrivateAppData appData;
  SampleRobot robot;
  testing::RecordingPrompter prompter;
  MainWindow window{robot.project, prompter, fs::path(GESTALON_RESOURCES_DIR)};
};

}  // namespace

class PreviewWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The sample robot is built mirror-symmetric: seen from the front at the zero pose, its outline
  // is too. A sign or axis slip on one side breaks it.
  void zeroPoseFromTheFrontIsSymmetric() {
    SampleRobot robot;
    preview::RobotPreview loaded;
    preview::FileError error;
    QCOMPARE(preview::LoadRobotPreview(robot.Folder(), robot.project.sliders, loaded, error),
             preview::PreviewLoad::kLoaded);
    PreviewView view;
    view.SetRobot(std::move(loaded));
    view.LookFrom(CannedView::kFront);
    PreviewPose pose;
    pose.values[4] = pose.values[5] = 1000;  // both arms a little out, as the base pose has them
    view.ShowPose(pose);
    const QImage image = Render(view);
    const QRgb grid = QColor(0x4A, 0x50, 0x5A).rgb();
    int robotPixels = 0;
    int unmatched = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const bool here = IsRobot(image.pixel(x, y), grid);
        const bool mirror = IsRobot(image.pixel(image.width() - 1 - x, y), grid);
        robotPixels += here ? 1 : 0;
        unmatched += here != mirror ? 1 : 0;
      }
    }
    QVERIFY2(robotPixels > 8000, qPrintable(QString::number(robotPixels)));
    QVERIFY2(unmatched < robotPixels / 50, qPrintable(QString::number(unmatched)));
  }

  // The window follows the pose being edited, and playing a motion in it runs the motion on a
  // board of its own to the motion's last pose.
  void followsThePoseAndPlaysBowToItsLastPose() {
    WindowWithPreview opened;
    MainWindow& window = opened.window;
    PreviewWindow* preview = window.Preview();
    QVERIFY(preview && preview->isVisible());
    QVERIFY2(preview->View()->HasRobot(), qPrintable(preview->Message()));
    EditorSession& session = window.Session();

    preview->Refresh();
    const QImage before = Render(*preview->View());
    {
      std::lock_guard lock(session.sessionMutex);
      core::CurrentPose(session.context)->slots[4] = 9000;  // right arm straight out
    }
    preview->Refresh();
    QVERIFY(Differing(before, Render(*preview->View())) > 500);

    QVERIFY(window.OpenMotionFile(opened.robot.Folder() / "bow.KX4"));
    core::MotionBlock lastPose;
    for (const core::MotionBlock& block : session.motion.document) {
      if (block.Is(core::BlockKind::Pose)) {
        lastPose = block;
      }
    }
    PreviewPlayer& player = *window.PreviewMotionPlayer();
    window.RunCommand(CommandId::kPlayInPreview);
    QVERIFY(player.Playing());
    QVERIFY(session.MotionLocked());
    // The block the board executes is marked as a real board's playback marks it.
    bool marked = false;
    // Ten minutes of board time is far more than the motion takes.
    for (int step = 0; step < 60000 && player.Playing(); ++step) {
      player.Advance(10000);
      for (const core::MotionBlock& block : session.motion.document) {
        marked = marked || (block.selFlags & core::kBlockSelected) != 0;
      }
    }
    QVERIFY(!player.Playing());
    QVERIFY(!session.MotionLocked());
    QVERIFY(marked);
    QVERIFY(
        std::equal(lastPose.slots.begin(), lastPose.slots.begin() + 20, player.Values().begin()));
    QCOMPARE(opened.prompter.Calls().size(), std::size_t{0});
  }

  // Open with the window layout: open and placed when the program ends, so next time too.
  void openStateGoesWithTheWindowLayout() {
    testing::PrivateAppData appData;
    SampleRobot robot;
    testing::RecordingPrompter prompter;
    const fs::path file =
        core::ProjectFilePath(robot.project.project, robot.project.project.SLDINI);
    {
      MainWindow window(robot.project, prompter, fs::path(GESTALON_RESOURCES_DIR));
      window.show();
      window.RunCommand(CommandId::kPreviewWindow);
      window.Preview()->resize(420, 450);
    }
    core::SliderTable sliders;
    core::WindowLayout layout;
    QVERIFY(core::ReadSliderDefinitions(file, sliders, layout));
    QCOMPARE(layout.previewOpen, 1);
    QCOMPARE(QSize(layout.previewWidth, layout.previewHeight), QSize(420, 450));
    robot.project.layout = layout;
    MainWindow again(robot.project, prompter, fs::path(GESTALON_RESOURCES_DIR));
    QVERIFY(again.Preview() != nullptr);
    QCOMPARE(again.Preview()->size(), QSize(420, 450));
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::PreviewWindowTest)
#include "preview_window_test.moc"

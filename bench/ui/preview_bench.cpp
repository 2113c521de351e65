// Drawing the sample robot in the preview at 800 x 800 into an offscreen image: placing the
// robot (kinematics and stance) and rendering, as one frame of the preview window.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <filesystem>

#include "preview/preview_view.h"
#include "project/slider_defs.h"

namespace {

using namespace gestalon;
namespace fs = std::filesystem;

void BM_DrawSampleRobot800(benchmark::State& state) {
  const fs::path folder = fs::path(GESTALON_RESOURCES_DIR) / "robots" / "gestaloid";
  core::SliderTable sliders{};
  core::WindowLayout layout;
  core::ReadSliderDefinitions(folder / "slider.ini", sliders, layout);
  preview::RobotPreview robot;
  preview::FileError error;
  if (preview::LoadRobotPreview(folder, sliders, robot, error) != preview::PreviewLoad::kLoaded) {
    state.SkipWithError("the sample robot's preview does not load");
    return;
  }
  ui::PreviewView view;
  view.SetRobot(std::move(robot));
  QImage image(800, 800, QImage::Format_RGB32);
  ui::PreviewPose pose;
  pose.values[4] = pose.values[5] = 1000;
  pose.values[12] = -1500;
  pose.values[13] = 1500;
  pose.values[14] = pose.values[15] = 3000;
  std::int16_t wave = 0;
  for (auto _ : state) {
    // A new pose every frame, as during playback.
    wave = static_cast<std::int16_t>((wave + 100) % 9000);
    pose.values[2] = wave;
    view.ShowPose(pose);
    QPainter painter(&image);
    view.Paint(painter, image.size());
  }
}
BENCHMARK(BM_DrawSampleRobot800)->Unit(benchmark::kMillisecond);

}  // namespace

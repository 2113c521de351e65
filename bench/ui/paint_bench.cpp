// Painting the editor's panes into offscreen images: the motion area with 2,000 blocks and the
// pose area with all 128 sliders, each a full redraw.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <memory>

#include "main_window/editor_session.h"
#include "motion_area/motion_area.h"
#include "pose_area/pose_area.h"
#include "project/project_loader.h"

namespace {

using namespace gestalon;
namespace fs = std::filesystem;

core::LoadedProject SampleProject() {
  core::LoadedProject project;
  core::ProjectLoadOptions options;
  options.programFolder = fs::path(GESTALON_RESOURCES_DIR);
  core::LoadRobotProject(
      fs::path(GESTALON_RESOURCES_DIR) / "robots" / "gestaloid" / "gestaloid.KJZ", true, project,
      options);
  return project;
}

// 2,000 blocks over the whole 4096 x 4096 canvas: 20 columns of 100, poses with branches and
// calculations between them, each linked to the next.
void FillLargeMotion(core::MotionDocument& document) {
  document.Clear();
  core::MotionBlock* previous = nullptr;
  for (int i = 0; i < 2000; ++i) {
    core::MotionBlock block;
    const int kind = i % 10;
    block.type = static_cast<std::int32_t>(kind == 3   ? core::BlockKind::If
                                           : kind == 6 ? core::BlockKind::Calc
                                                       : core::BlockKind::Pose);
    block.name = u"P " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
    block.time = static_cast<std::uint16_t>(10 + i % 90);
    block.varAddr = block.refAddr = 0x0F00;
    block.varSize = block.refSize = 2;
    block.useConst = 1;
    block.constValue = i;
    block.xpos = 20 + (i / 100) * 200;
    block.ypos = 10 + (i % 100) * 40;
    block.bluearrow = block.redarrow = 6;
    core::MotionBlock& added = document.Append(block);
    if (previous) {
      previous->next = &added;
    }
    if (added.Is(core::BlockKind::If) && previous) {
      added.branch = previous;
    }
    previous = &added;
  }
  document.current = document.head();
}

void BM_PaintMotionArea(benchmark::State& state) {
  ui::EditorSession session(SampleProject(), nullptr, nullptr);
  FillLargeMotion(session.motion.document);
  ui::MotionArea area(session);
  const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(area.RenderForBenchmark(size));
  }
}
// A large window, and the whole canvas at once.
BENCHMARK(BM_PaintMotionArea)
    ->Args({1920, 1080})
    ->Args({4096, 4096})
    ->Unit(benchmark::kMillisecond);

void BM_PaintPoseArea(benchmark::State& state) {
  core::LoadedProject project = SampleProject();
  // Every slider shown, in eight columns of 16.
  for (int k = 0; k < core::kSliderCount; ++k) {
    core::SliderDef& slider = project.sliders[static_cast<std::size_t>(k)];
    slider.flags2 &= ~core::SliderFlag2::kDisabled;
    slider.flags2 |= core::SliderFlag2::kShowName;
    slider.minimum = -3000;
    slider.maximum = 3000;
    slider.step = 10;
    slider.axisName = u"軸" + std::u16string(1, static_cast<char16_t>(u'A' + k % 26));
    slider.pos = slider.filePos = {10 + (k / 16) * 330, 30 + (k % 16) * 64};
  }
  ui::EditorSession session(std::move(project), nullptr, nullptr);
  core::NewMotion(session.motion.document, session.project.basePoses);
  ui::PoseArea area(session);
  area.resize(2680, 1060);
  QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    area.PaintAll(painter);
  }
}
BENCHMARK(BM_PaintPoseArea)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Compiling a large motion into board byte code (5,000 blocks, mostly full poses) and building
// the start-up image of the sample robot.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_motion.h"
#include "board/copy_list.h"
#include "board/image_builder.h"
#include "board/motion_compiler.h"
#include "project/project_loader.h"

namespace {

using namespace gestalon::core;

// Answers every call with a fixed address, as the image builder's second pass does.
class FixedCompileList : public CompileListPort {
 public:
  std::uint32_t CompileListAdd(std::u16string_view, int) override { return 0x00100000; }
};

void BM_CompileMotion(benchmark::State& state) {
  const MotionDocument document = gestalon::bench::BenchMotion();
  const SliderTable sliders = gestalon::bench::BenchSliders();
  FixedCompileList list;
  CompileOptions options;
  options.overridePercent = 150;
  options.baseAddress = 2795;
  options.sliders = &sliders;
  options.compileList = &list;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const auto code = CompileMotion(document, options);
    bytes += code ? code->size() : 0;
    benchmark::DoNotOptimize(code);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_CompileMotion)->Unit(benchmark::kMillisecond);

// STARTUP.BIN of the sample robot: its settings only, and with its greeting (which calls two
// other motions, read from their files each time) as the start-up motion.
void BM_BuildStartupImage(benchmark::State& state) {
  LoadedProject project;
  if (!LoadRobotProject(GESTALON_RESOURCES_DIR "/robots/gestaloid/gestaloid.KJZ", true, project,
                        {})) {
    state.SkipWithError("cannot load the sample robot");
    return;
  }
  if (state.range(0) != 0) {
    project.cpu.startupMotion = u"greeting.KX4";
  }
  ImageBuildContext context;
  context.projectFolder = GESTALON_RESOURCES_DIR "/robots/gestaloid";
  context.sliders = &project.sliders;
  context.cpu = &project.cpu;
  for (auto _ : state) {
    CopyList copyList;
    const auto image = BuildStartupImage(context, copyList);
    if (!image) {
      state.SkipWithError("no image");
      return;
    }
    benchmark::DoNotOptimize(image->data());
  }
}
BENCHMARK(BM_BuildStartupImage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

// Compiling a large motion into board byte code (5,000 blocks, mostly full poses) and building
// the start-up image of the sample robot.
#include <benchmark/benchmark.h>

#include <vector>

#include "board/copy_list.h"
#include "board/image_builder.h"
#include "board/motion_compiler.h"
#include "project/project_loader.h"

namespace {

using namespace gestalon::core;

constexpr int kCompiledBlocks = 5000;

// Answers every call with a fixed address, as the image builder's second pass does.
class FixedCompileList : public CompileListPort {
 public:
  std::uint32_t CompileListAdd(std::u16string_view, int) override { return 0x00100000; }
};

MotionDocument CompilerBenchMotion() {
  MotionDocument document;
  std::vector<MotionBlock*> blocks;
  MotionBlock start;
  start.type = static_cast<std::int32_t>(BlockKind::Start);
  blocks.push_back(&document.Append(start));
  for (int i = 1; i < kCompiledBlocks - 1; ++i) {
    MotionBlock block;
    if (i % 40 == 0) {
      block.type = static_cast<std::int32_t>(BlockKind::If);
      block.op = static_cast<std::uint16_t>(i % 11);
      block.varAddr = 0x0F00;
      block.varSize = 1 + i % 2;
      block.useConst = 1;
      block.constValue = -i;
    } else if (i % 40 == 1) {
      block.type = static_cast<std::int32_t>(BlockKind::Calc);
      block.op = static_cast<std::uint16_t>(i % 10);
      block.varAddr = 0x0F02;
      block.varSize = 2;
      block.refAddr = 0x0F04;
      block.refSize = 2;
    } else if (i % 500 == 2) {
      block.type = static_cast<std::int32_t>(BlockKind::SubRoutine);
      block.fileName = u"sub.KX4";
    } else {
      block.type = static_cast<std::int32_t>(BlockKind::Pose);
      block.time = static_cast<std::uint16_t>(20 + i % 80);
      block.interpWait = i % 3 == 0;
      block.servoEnableMask = i % 4 == 0 ? 0x3 : 0;
      for (int s = 0; s < kPoseSlotCount; ++s) {
        block.slots[static_cast<std::size_t>(s)] =
            static_cast<std::int16_t>(7500 + (i * 37 + s * 101) % 4000 - 2000);
      }
    }
    blocks.push_back(&document.Append(block));
  }
  MotionBlock end;
  end.type = static_cast<std::int32_t>(BlockKind::End);
  blocks.push_back(&document.Append(end));
  for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
    blocks[i]->next = blocks[i + 1];
    if (i % 50 == 10 && i + 200 < blocks.size()) {
      blocks[i]->next = blocks[i + 200];
    }
    if (blocks[i]->Is(BlockKind::If)) {
      blocks[i]->branch = blocks[i > 20 ? i - 20 : 0];
    }
  }
  return document;
}

void BM_CompileMotion(benchmark::State& state) {
  const MotionDocument document = CompilerBenchMotion();
  SliderTable sliders{};
  sliders[40].flags2 = SliderFlag2::kServoCompanion;
  sliders[41].flags2 = SliderFlag2::kServoCompanion;
  sliders[41].channel = 1;
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

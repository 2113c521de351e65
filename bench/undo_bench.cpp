// Recording undo steps on a large motion: 1,000 steps that each change one pose of a 2,000-block
// motion. Reports the time per step and the memory the history holds after all of them.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <vector>

#include "bench_motion.h"
#include "pose/pose_store.h"
#include "undo/undo_history.h"

namespace {

using namespace gestalon::core;

// Bytes the allocator hands out at the moment (heap and separately mapped blocks).
double AllocatedBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

void BM_UndoRecordPoseStep(benchmark::State& state) {
  LoadedProject project;
  for (SliderDef& slider : project.sliders) {
    slider.minimum = -32768;
    slider.maximum = 32767;
  }
  MotionDocument document = gestalon::bench::BenchMotion(2000);
  std::vector<MotionBlock*> poses;
  for (MotionBlock& block : document) {
    if (block.Is(BlockKind::Pose)) {
      poses.push_back(&block);
    }
  }
  std::atomic<std::uint32_t> flags{0};
  EditState editState;
  EditContext context{project, document, flags, editState};
  UndoHistory history(context);
  context.undo = &history;
  document.current = poses.front();
  history.ResetUndoHistory();

  const double before = AllocatedBytes();
  std::size_t step = 0;
  for (auto _ : state) {
    // Each step edits a different pose block, as stepping through a motion and adjusting does.
    document.current = poses[(step * 97) % poses.size()];
    MotionBlock pose = *document.current;
    pose.slots[step % 20] = static_cast<std::int16_t>(pose.slots[step % 20] + 1);
    StorePose(context, pose, kSliderChangeTime, true);
    ++step;
  }
  state.counters["history_MB"] = (AllocatedBytes() - before) / 1e6;
  state.counters["snapshots"] = history.Count();
}
BENCHMARK(BM_UndoRecordPoseStep)->Iterations(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

// Throughput of writing and reading a large motion file: 5,000 blocks, mostly full poses, with
// branches and calculations linked back and forth.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_motion.h"
#include "motion/motion_writer.h"
#if __has_include("motion/motion_reader.h")
#include "motion/motion_reader.h"
#define GESTALON_BENCH_READER 1
#endif

namespace {

using namespace gestalon::core;
using gestalon::bench::BenchMotion;
using gestalon::bench::BenchSliders;

void BM_WriteMotionText(benchmark::State& state) {
  const SliderTable sliders = BenchSliders();
  const MotionDocument document = BenchMotion();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = BuildMotionFileText(document, sliders, 100, nullptr);
    bytes += text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_WriteMotionText)->Unit(benchmark::kMillisecond);

#ifdef GESTALON_BENCH_READER
void BM_ReadMotionText(benchmark::State& state) {
  const SliderTable sliders = BenchSliders();
  const std::string text = BuildMotionFileText(BenchMotion(), sliders, 100, nullptr);
  for (auto _ : state) {
    MotionDocument document = ReadMotionText(text, sliders, nullptr);
    benchmark::DoNotOptimize(document.head());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadMotionText)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

// Throughput of the text layer that every settings file and motion file passes through.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "settings/settings_file.h"
#include "text/code_page.h"
#include "text/format.h"

namespace {

using namespace gestalon::core;

const std::u16string kJapanese = u"以下の設定ファイルの読み込みに失敗しました ロボット 12345";

void BM_ToAnsi(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ToAnsi(kJapanese));
  }
}
BENCHMARK(BM_ToAnsi);

void BM_FromAnsi(benchmark::State& state) {
  const std::string ansi = ToAnsi(kJapanese);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FromAnsi(ansi));
  }
}
BENCHMARK(BM_FromAnsi);

void BM_Format(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Format(u"_SLD:[%d]-[[%s]]-[%.4f]-[0x%04x]\n", 42, kJapanese, 1.5, 0xAB));
  }
}
BENCHMARK(BM_Format);

// Reading a slider definition file of 128 lines, the largest settings file a project has.
void BM_ReadSettingsFile(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "gestalon_bench_settings.ini";
  {
    auto file = OpenSettingsFile(path, "w");
    for (int i = 0; i < 128; ++i) {
      WriteSettingsText(file.get(),
                        Format(u"_SLIDER:[%d]-[[%s]]-[%d]-[%d]\n", i, kJapanese, -100, 100));
    }
    CloseSettingsFile(std::move(file));
  }
  std::u16string line;
  for (auto _ : state) {
    auto file = OpenSettingsFile(path, "r");
    while (ReadSettingsLine(file.get(), line, 2048) > 0) {
    }
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadSettingsFile);

}  // namespace

BENCHMARK_MAIN();

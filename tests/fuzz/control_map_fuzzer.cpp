// Feeds arbitrary bytes through the motion reader to the control map recogniser; a map that
// comes back keeps its name limit.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "controlmap/control_map_flowchart.h"
#include "fuzz_input_file.h"
#include "motion/motion_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gestalon;
  static const core::SliderTable sliders{};
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const core::MotionDocument document = core::ReadMotionText(bytes, sliders, nullptr);
  core::ControlMap map;
  if (core::RecognizeControlMap(document, map)) {
    for (const auto& one : map.maps) {
      fuzz::Check(one.name.size() <= core::kMapNameChars);
    }
  }
  return 0;
}

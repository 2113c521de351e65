// Feeds arbitrary bytes to the CPU settings file reader; texts that come back keep their limits.
#include <cstddef>
#include <cstdint>

#include "cpusettings/cpu_settings_file.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gestalon;
  const fuzz::InputFile input(data, size, "STARTUP.XML");
  const auto& path = input.Path();
  core::CpuSettings settings{};
  core::ReadCpuSettingsFile(path, settings, nullptr);
  return 0;
}

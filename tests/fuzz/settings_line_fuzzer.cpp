// Feeds arbitrary bytes to the settings-file line reader: a file starting FF FE is read as
// UTF-16LE, any other in the ANSI code page. The first byte picks the line limit, so that cut
// lines are common. Every line keeps the limit and the reading ends within the file's size.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input_file.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gestalon;
  if (size == 0) {
    return 0;
  }
  const int maxChars = 1 + data[0] % 64;
  const fuzz::InputFile input(data + 1, size - 1, "settings.ini");
  const auto& path = input.Path();
  core::SettingsFileHandle file = core::OpenSettingsFile(path, "r");
  fuzz::Check(file != nullptr);
  std::u16string line;
  // Each line but the last takes at least one byte, so the reading must be over by then.
  for (std::size_t k = 0; k < size + 2; ++k) {
    const int length = core::ReadSettingsLine(file.get(), line, maxChars);
    fuzz::Check(length >= 0 && length <= maxChars);
    fuzz::Check(line.size() == static_cast<std::size_t>(length));
  }
  core::CloseSettingsFile(std::move(file));
  return 0;
}

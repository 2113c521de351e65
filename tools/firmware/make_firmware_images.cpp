// Writes the flash images the program ships into <resources>/firm: the updater zupdater.bin that
// the firmware update sends with every firmware, and a sample firmware for the virtual board.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "flash_image.h"

namespace {

using gestalon::sim::FlashImageKind;

// Version word 0x0200: the CPU settings dialog shows it as "ver 2.000".
constexpr std::uint16_t kSampleFirmwareVersion = 0x0200;
constexpr std::string_view kSampleFirmwareBody =
    "Gestalon sample firmware 2.00 for the virtual CPU board.\n"
    "Send it with the firmware update: the board's updater checks it, installs it and restarts,\n"
    "and the board then reports firmware version 0x0200.\n";

bool WriteImage(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s RESOURCES_FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = std::filesystem::path(argv[1]) / "firm";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::vector<std::uint8_t> body(kSampleFirmwareBody.begin(), kSampleFirmwareBody.end());
  const bool written = WriteImage(folder / "zupdater.bin", gestalon::sim::MakeUpdaterImage()) &&
                       WriteImage(folder / "sample_firmware.bin",
                                  gestalon::sim::MakeFlashImage(FlashImageKind::kFirmware,
                                                                kSampleFirmwareVersion, body));
  return written ? 0 : 1;
}

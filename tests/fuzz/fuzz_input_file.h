#pragma once

// Most readers take a file path: a harness writes each input to a file in a folder of the
// process's own, so that parallel fuzzers and corpus tests never share it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "temp_dir.h"

namespace gestalon::fuzz {

// Made on first use and removed at exit; readers looking beside the input find it empty.
inline const std::filesystem::path& InputFolder() {
  static const testing::TempDir folder;
  return folder.Path();
}

// Writes the bytes to `name` in InputFolder() and returns its path.
inline std::filesystem::path WriteInput(const std::uint8_t* data, std::size_t size,
                                        const char* name) {
  const std::filesystem::path path = InputFolder() / name;
  testing::WriteBytes(path, std::string_view(reinterpret_cast<const char*>(data), size));
  return path;
}

inline void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

}  // namespace gestalon::fuzz

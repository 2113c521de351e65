#pragma once

// Most readers take a file path: a harness writes each input to a file in a folder of the
// process's own, so that parallel fuzzers and corpus tests never share it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>

#include "temp_dir.h"

namespace gestalon::fuzz {

// Made on first use and removed at exit; readers looking beside the input find it empty.
inline const std::filesystem::path& InputFolder() {
  static const testing::TempDir folder;
  return folder.Path();
}

inline void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// The input as the file `name` in InputFolder(). Readers never write: leaving scope traps when
// the file changed or anything else appeared beside it.
class InputFile {
 public:
  InputFile(const std::uint8_t* data, std::size_t size, const char* name)
      : path_(InputFolder() / name), bytes_(reinterpret_cast<const char*>(data), size) {
    testing::WriteBytes(path_, bytes_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() {
    Check(testing::ReadBytes(path_) == bytes_);
    const std::filesystem::directory_iterator entries(InputFolder());
    Check(std::distance(begin(entries), end(entries)) == 1);
  }

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::string bytes_;
};

}  // namespace gestalon::fuzz

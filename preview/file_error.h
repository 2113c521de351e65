#pragma once

#include <filesystem>
#include <string>

namespace gestalon::preview {

// What is wrong with one of a robot preview's files, for the user.
struct FileError {
  std::filesystem::path file;
  int line = 0;  // 1-based; 0 = the file as a whole
  std::u16string detail;
};

// The message naming the file, the line (when known) and the detail.
std::u16string FileErrorText(const FileError& error);

}  // namespace gestalon::preview

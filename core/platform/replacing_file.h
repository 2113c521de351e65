#pragma once

#include <cstdio>
#include <filesystem>

namespace gestalon::core {

// A file written through a temporary file beside the target that replaces the target only on a
// successful Commit(), so a failed or interrupted write leaves the previous file untouched.
class ReplacingFile {
 public:
  // Creates the temporary file (opened "w+b"); Valid() tells whether that worked.
  explicit ReplacingFile(std::filesystem::path target);
  ~ReplacingFile();  // discards the temporary file unless committed
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Valid() const { return file_ != nullptr; }
  std::FILE* Stream() const { return file_; }
  const std::filesystem::path& Target() const { return target_; }

  // Flushes to the disk and renames over the target. False (target unchanged) when any step or
  // an earlier write failed.
  bool Commit();
  void Discard();

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::FILE* file_ = nullptr;
};

// Flushes the stream's buffers and asks the system to put the file's data on the disk.
bool SyncFileToDisk(std::FILE* file);

}  // namespace gestalon::core

#include "platform/replacing_file.h"

#include <atomic>
#include <string>
#include <system_error>

#include "platform/process_id.h"

namespace gestalon::core {
namespace {

std::filesystem::path TempPathFor(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temp = target;
  temp += ".tmp" + std::to_string(CurrentProcessId()) + "_" + std::to_string(counter++);
  return temp;
}

std::FILE* OpenForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"w+b");
#else
  return std::fopen(path.c_str(), "w+b");
#endif
}

}  // namespace

ReplacingFile::ReplacingFile(std::filesystem::path target) : target_(std::move(target)) {
  temp_ = TempPathFor(target_);
  file_ = OpenForWriting(temp_);
}

ReplacingFile::~ReplacingFile() {
  Discard();
}

bool ReplacingFile::Commit() {
  if (!file_) {
    return false;
  }
  const bool ok = std::ferror(file_) == 0 && SyncFileToDisk(file_);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  std::error_code ec;
  if (ok && closed) {
    std::filesystem::rename(temp_, target_, ec);
    if (!ec) {
      return true;
    }
  }
  std::filesystem::remove(temp_, ec);
  return false;
}

void ReplacingFile::Discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
  }
}

}  // namespace gestalon::core

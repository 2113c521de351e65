#include <io.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "platform/file_copy.h"
#include "platform/process_id.h"
#include "platform/replacing_file.h"

namespace gestalon::core {
namespace {

// The portable condition of a failed copy where there is one, so that callers can say why.
std::error_code CopyError(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    default:
      return std::error_code(static_cast<int>(error), std::system_category());
  }
}

}  // namespace

unsigned long CurrentProcessId() {
  return GetCurrentProcessId();
}

bool SyncFileToDisk(std::FILE* file) {
  return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target,
                       std::error_code& error) {
  // Not every implementation of the system refuses to copy over a folder.
  if (std::filesystem::is_directory(target, error)) {
    error = std::make_error_code(std::errc::is_a_directory);
    return false;
  }
  if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
    error = CopyError(GetLastError());
    return false;
  }
  error.clear();
  return true;
}

}  // namespace gestalon::core

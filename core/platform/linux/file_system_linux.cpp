#include <unistd.h>

#include <cstdio>

#include "platform/file_copy.h"
#include "platform/process_id.h"
#include "platform/replacing_file.h"

namespace gestalon::core {

unsigned long CurrentProcessId() {
  return static_cast<unsigned long>(getpid());
}

bool SyncFileToDisk(std::FILE* file) {
  return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target,
                       std::error_code& error) {
  return std::filesystem::copy_file(source, target,
                                    std::filesystem::copy_options::overwrite_existing, error);
}

}  // namespace gestalon::core

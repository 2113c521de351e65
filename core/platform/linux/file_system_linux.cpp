#include <unistd.h>

#include <cstdio>

#include "platform/process_id.h"
#include "platform/replacing_file.h"

namespace gestalon::core {

unsigned long CurrentProcessId() {
  return static_cast<unsigned long>(getpid());
}

bool SyncFileToDisk(std::FILE* file) {
  return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

}  // namespace gestalon::core

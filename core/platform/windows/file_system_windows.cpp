#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/process_id.h"
#include "platform/replacing_file.h"

namespace gestalon::core {

unsigned long CurrentProcessId() {
  return GetCurrentProcessId();
}

bool SyncFileToDisk(std::FILE* file) {
  return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

}  // namespace gestalon::core

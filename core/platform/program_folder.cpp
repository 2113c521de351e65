#include "platform/folders.h"

namespace gestalon::core {

std::filesystem::path ProgramFolder() {
  const std::filesystem::path exeFolder = ExecutablePath().parent_path();
  std::error_code ec;
  if (std::filesystem::exists(exeFolder / "defrobots.dat", ec)) {
    return exeFolder;
  }
  const std::filesystem::path installed = exeFolder.parent_path() / "share" / "gestalon";
  if (std::filesystem::exists(installed / "defrobots.dat", ec)) {
    return installed;
  }
  return exeFolder;
}

bool ProgramFolderIsShared() {
  return ProgramFolder() != ExecutablePath().parent_path();
}

}  // namespace gestalon::core

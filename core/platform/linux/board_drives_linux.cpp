#include "platform/board_drives.h"

namespace gestalon::core {

std::vector<BoardDrive> EnumerateDrives() {
  return EnumerateDrivesFrom("/proc/self/mountinfo", "/sys/class/block");
}

}  // namespace gestalon::core

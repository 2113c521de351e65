#pragma once

#include <filesystem>
#include <memory>

#include "board/devmem_port.h"

namespace gestalon::core {

// Opens (creating it when missing) the DEVMEM file in the root of a board drive for unbuffered,
// write-through record exchange: every record is written and read as one 512-byte transfer at
// offset 0, so the board sees each request and the next read fetches the board's reply rather
// than a cached copy. Null when the file cannot be opened. On Linux, a file system that refuses
// direct I/O (tmpfs and the like) gets synchronous buffered I/O instead, with the cached page
// dropped before every read; this keeps DEVMEM usable in an ordinary folder.
// Not shared: only one thread uses the returned port at a time.
std::unique_ptr<DevmemPort> OpenDevmemFile(const std::filesystem::path& driveRoot);

enum class DriveFlushResult {
  kFlushed,
  kDriveMissing,  // the drive (root folder) does not exist
  kAccessDenied,  // the system refused, e.g. files on the drive are open in other programs
  kFailed,
};

// One attempt to write everything cached for the drive's volume out to the card: on Windows by
// locking and unlocking the volume (a folder below a volume's root, standing in for a card, has
// nothing to flush), on Linux by syncing the file system and then flushing the
// block device (the device part is best effort: it needs rights the user may lack).
DriveFlushResult FlushDriveOnce(const std::filesystem::path& driveRoot);

inline bool FlushDrive(const std::filesystem::path& driveRoot) {
  return FlushDriveOnce(driveRoot) == DriveFlushResult::kFlushed;
}

}  // namespace gestalon::core

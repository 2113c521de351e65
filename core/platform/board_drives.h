#pragma once

#include <filesystem>
#include <vector>

#include "board/board_drive.h"

namespace gestalon::core {

// Whether a drive's identification is that of the CPU board: vendor kBoardVendor and product
// kBoardProduct, byte for byte and case-sensitive (the trailing blanks belong to the fixed-width
// fields). Serial number, revision, removable flag and bus type are not looked at.
bool IsBoardDescriptor(const DriveDescriptor& descriptor);

// Every mounted drive of the system that could be a CPU board, in a stable order: on Windows the
// drive letters A..Z that exist (root "X:\", label "X"); on Linux the mounted block devices,
// sorted by mount point (root and label: the mount point). Nothing is opened or queried here:
// each drive's queryDescriptor and openDevmem do that when called.
std::vector<BoardDrive> EnumerateDrives();

// The Linux enumeration over a mount table in the format of /proc/self/mountinfo and a block
// device folder laid out like /sys/class/block (EnumerateDrives passes those two).
// A mount is listed when its device (by major:minor, or for file systems with anonymous device
// numbers by a "/dev/<name>" mount source) is one of the block devices and it mounts the root
// of the file system; a device mounted at several places is listed once, at its first mount
// point. queryDescriptor reads the disk's device/vendor, device/model and device/rev as raw
// bytes without the final newline, the serial from device/serial or a wwid, the removable flag,
// and bus type 7 (USB) when the disk sits below a USB controller; a partition answers for its
// disk. False when the disk's folder is gone.
std::vector<BoardDrive> EnumerateDrivesFrom(const std::filesystem::path& mountInfo,
                                            const std::filesystem::path& sysClassBlock);

}  // namespace gestalon::core

#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "board/devmem_port.h"
#include "platform/devmem_file.h"

namespace gestalon::core {

// Identification texts of a drive's storage device, as the device reports them (fixed-width
// fields: trailing blanks are part of the text).
struct DriveDescriptor {
  std::string serialNumber;
  std::string product;
  std::string vendor;
  std::string revision;
  std::uint32_t removable = 0;  // 1 when the device reports removable media
  std::uint32_t busType = 0;
};

// The identification of the robot's CPU board drive, compared byte for byte.
inline constexpr char kBoardVendor[] = "Quarel  ";
inline constexpr char kBoardProduct[] = "microSD Flash   ";

// A drive that may be a CPU board: where its files are and how to reach its DEVMEM.
struct BoardDrive {
  std::filesystem::path root;  // folder holding the card's files (mount point or card folder)
  std::u16string label;        // shown wherever the program names the drive ("%c" in texts)
  // Opens DEVMEM on this drive; null when it cannot be opened.
  std::function<std::unique_ptr<DevmemPort>()> openDevmem;
  // Queries the drive's identification; false when the query fails.
  std::function<bool(DriveDescriptor&)> queryDescriptor;
  // One attempt to flush the drive's cache to the card; empty: the platform's flush of `root`.
  std::function<DriveFlushResult()> flushOnce;
};

}  // namespace gestalon::core

#include "virtual_drive.h"

#include <utility>

namespace gestalon::sim {

core::BoardDrive VirtualBoardDrive(VirtualBoard& board, std::u16string label) {
  core::BoardDrive drive;
  drive.root = board.CardFolder();
  drive.label = std::move(label);
  drive.openDevmem = [&board] { return board.OpenDevmem(); };
  drive.queryDescriptor = [](core::DriveDescriptor& descriptor) {
    descriptor.serialNumber = kVirtualBoardSerial;
    descriptor.product = core::kBoardProduct;
    descriptor.vendor = core::kBoardVendor;
    descriptor.revision = kVirtualBoardRevision;
    descriptor.removable = 1;
    descriptor.busType = kUsbBusType;
    return true;
  };
  return drive;
}

}  // namespace gestalon::sim

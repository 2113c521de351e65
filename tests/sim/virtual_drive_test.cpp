#include "virtual_drive.h"

#include <gtest/gtest.h>

#include "devmem_records.h"
#include "temp_dir.h"

namespace gestalon::sim {
namespace {

// A CPU board on USB, whose root is the card and whose DEVMEM is the board.
TEST(VirtualBoardDrive, IdentifiesItselfAsACpuBoardOnUsb) {
  gestalon::testing::TempDir card;
  VirtualBoard board(card.Path());
  const core::BoardDrive drive = VirtualBoardDrive(board, u"V");
  core::DriveDescriptor descriptor;
  ASSERT_TRUE(drive.queryDescriptor(descriptor));
  EXPECT_EQ(descriptor.vendor, "Quarel  ");
  EXPECT_EQ(descriptor.product, "microSD Flash   ");
  EXPECT_EQ(descriptor.serialNumber, "VIRTUAL0001");
  EXPECT_EQ(descriptor.revision, "1.00");
  EXPECT_EQ(descriptor.removable, 1u);
  EXPECT_EQ(descriptor.busType, 7u);
  EXPECT_EQ(drive.label, u"V");
  EXPECT_EQ(drive.root, card.Path());
  auto port = drive.openDevmem();
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(port->WriteRecord(testing::WriteRecordOf(0x0A00, std::vector<std::uint8_t>{7})));
  EXPECT_EQ(board.Byte(0x0A00), 7);
}

}  // namespace
}  // namespace gestalon::sim

#include "platform/board_drives.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "board/board_scan.h"
#include "board/drive_label_text.h"
#include "fake_devmem.h"
#include "golden_files.h"
#include "platform/devmem_file.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::BoardNamed;
using testing::FakeBoard;
using testing::FakeBoardDrive;
using testing::TempDir;
using testing::WriteBytes;

namespace fs = std::filesystem;

// The fake sysfs tree needs symbolic links and POSIX paths.
#ifndef _WIN32

struct FakeDisk {
  std::string name;
  std::string number;  // major:minor of the disk; partition n gets minor + n
  std::string busPath;
  std::string vendor;  // file contents, newline included
  std::string model;
  std::string rev;
  std::string removable;
  std::string serialFile;  // name of the file holding the serial, or empty
  std::string serial;
  int partitions = 1;
};

// Lays out a disk the way sysfs does: the device folder below its bus, partitions inside the
// disk's folder, and class/block links to both.
void AddDisk(const fs::path& sys, const FakeDisk& disk) {
  const fs::path folder = sys / "devices" / disk.busPath / "block" / disk.name;
  fs::create_directories(folder / "device");
  WriteBytes(folder / "dev", disk.number + "\n");
  WriteBytes(folder / "removable", disk.removable);
  WriteBytes(folder / "device" / "vendor", disk.vendor);
  WriteBytes(folder / "device" / "model", disk.model);
  WriteBytes(folder / "device" / "rev", disk.rev);
  if (!disk.serialFile.empty()) {
    WriteBytes(folder / "device" / disk.serialFile, disk.serial);
  }
  fs::create_directories(sys / "class" / "block");
  fs::create_directory_symlink(folder, sys / "class" / "block" / disk.name);
  const auto colon = disk.number.find(':');
  const int minor = std::stoi(disk.number.substr(colon + 1));
  for (int n = 1; n <= disk.partitions; ++n) {
    const std::string name = disk.name + std::to_string(n);
    fs::create_directory(folder / name);
    WriteBytes(folder / name / "dev",
               disk.number.substr(0, colon + 1) + std::to_string(minor + n) + "\n");
    WriteBytes(folder / name / "partition", std::to_string(n) + "\n");
    fs::create_directory_symlink(folder / name, sys / "class" / "block" / name);
  }
}

class BoardDrivesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sys_ = temp_ / "sys";
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/";
    AddDisk(sys_, {"sda", "8:0", "pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0",
                   "ATA     \n", "Samsung SSD 860 \n", "1B6Q\n", "0\n", "", "", 1});
    AddDisk(sys_, {"sdb", "8:16", usb + "1-2/1-2:1.0/host6/target6:0:0/6:0:0:0", "Quarel  \n",
                   "microSD Flash   \n", "1.00\n", "1\n", "serial", "0000000012AB\n", 1});
    // sdc's revision lacks the final newline: nothing is cut from it.
    AddDisk(sys_, {"sdc", "8:32", usb + "1-3/1-3:1.0/host7/target7:0:0/7:0:0:0", "Quarel\n",
                   "microSD Flash   \n", "1.00", "1\n", "wwid", "t10.Quarel microSD\n", 2});
    AddDisk(sys_, {"sdd", "8:48", usb + "1-4/1-4:1.0/host8/target8:0:0/8:0:0:0", "Quarel  \n",
                   "microSD Flash   \n", "1.00\n", "1\n", "", "", 1});
    boardRoot_ = temp_ / "BOARD DISK";
    fs::create_directory(boardRoot_);
    // Mount points below the temporary folder (@TEMP@), so that their order does not depend on
    // where it is: a bind mount of a folder, a second mount of one device, a device sysfs does
    // not know and a line cut short after its type.
    std::string table = testing::CoreGolden("drives_mountinfo.txt");
    EXPECT_FALSE(table.empty());
    for (auto at = table.find("@TEMP@"); at != std::string::npos; at = table.find("@TEMP@")) {
      table.replace(at, 6, temp_.Path().string());
    }
    WriteBytes(temp_ / "mountinfo", table);
  }

  std::vector<BoardDrive> Enumerate() const {
    return EnumerateDrivesFrom(temp_ / "mountinfo", sys_ / "class" / "block");
  }

  TempDir temp_;
  fs::path sys_;
  fs::path boardRoot_;
};

// A descriptor's fields as one value: serial, product, vendor, revision, removable, bus.
auto Fields(const DriveDescriptor& d) {
  return std::tuple(d.serialNumber, d.product, d.vendor, d.revision, d.removable, d.busType);
}

TEST_F(BoardDrivesTest, ListsMountsOncePerDeviceWithTheirDisksDescriptorsAndDevmem) {
  const auto drives = Enumerate();
  ASSERT_EQ(drives.size(), 4u);
  EXPECT_EQ(drives[0].root, fs::path("/"));
  EXPECT_EQ(drives[1].root, boardRoot_);
  EXPECT_EQ(drives[2].root, temp_ / "OTHER");
  EXPECT_EQ(drives[3].root, temp_ / "data");
  EXPECT_EQ(drives[0].label, u"/");
  EXPECT_EQ(drives[1].label, temp_.Path().u16string() + u"/BOARD DISK");

  // The descriptor comes from the disk of the partition, byte for byte.
  DriveDescriptor d;
  ASSERT_TRUE(drives[1].queryDescriptor(d));
  EXPECT_EQ(Fields(d), std::tuple("0000000012AB", "microSD Flash   ", "Quarel  ", "1.00", 1u, 7u));
  ASSERT_TRUE(drives[2].queryDescriptor(d));
  EXPECT_EQ(Fields(d),
            std::tuple("t10.Quarel microSD", "microSD Flash   ", "Quarel", "1.00", 1u, 7u));
  d.serialNumber = "stale";
  ASSERT_TRUE(drives[0].queryDescriptor(d));
  EXPECT_EQ(Fields(d), std::tuple("", "Samsung SSD 860 ", "ATA     ", "1B6Q", 0u, 0u));

  // The query fails once the disk is gone.
  fs::remove_all(sys_ / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / "1-2");
  EXPECT_FALSE(drives[1].queryDescriptor(d));
  EXPECT_EQ(d.vendor, "");
  EXPECT_TRUE(EnumerateDrivesFrom(temp_ / "missing", sys_ / "class" / "block").empty());
}

#endif  // _WIN32

// One blank more or fewer, another case, or vendor and product swapped: not the board.
TEST(BoardDescriptor, AcceptsOnlyTheExactIdentification) {
  const auto board = [](const char* vendor, const char* product) {
    DriveDescriptor descriptor;
    descriptor.vendor = vendor;
    descriptor.product = product;
    return IsBoardDescriptor(descriptor);
  };
  EXPECT_TRUE(board("Quarel  ", "microSD Flash   "));
  EXPECT_FALSE(board("Quarel ", "microSD Flash   "));
  EXPECT_FALSE(board("quarel  ", "microSD Flash   "));
  EXPECT_FALSE(board("Quarel  ", "microSD Flash  "));
  EXPECT_FALSE(board("microSD Flash   ", "Quarel  "));
}

DevmemRecord Pattern(std::uint8_t seed) {
  DevmemRecord record{};
  for (std::size_t i = 0; i < record.size(); ++i) {
    record[i] = static_cast<std::uint8_t>(seed + i * 7);
  }
  return record;
}

TEST(DevmemFile, EveryRecordGoesToOffsetZeroOfAFileMadeOrKept) {
  TempDir temp;
  EXPECT_EQ(OpenDevmemFile(temp / "missing"), nullptr);
  auto port = OpenDevmemFile(temp.Path());
  ASSERT_NE(port, nullptr);
  DevmemRecord read = Pattern(3);
  EXPECT_TRUE(port->ReadRecord(read));
  EXPECT_EQ(read, DevmemRecord{}) << "an empty file reads as zeros";
  ASSERT_TRUE(port->WriteRecord(Pattern(1)));
  ASSERT_TRUE(port->WriteRecord(Pattern(5)));
  ASSERT_TRUE(port->ReadRecord(read));
  EXPECT_EQ(read, Pattern(5));
  EXPECT_EQ(std::filesystem::file_size(temp / "DEVMEM"), 512u);
}

std::vector<std::u16string> Labels(const std::vector<BoardDrive>& drives) {
  std::vector<std::u16string> labels;
  for (const auto& drive : drives) {
    labels.push_back(drive.label);
  }
  return labels;
}

// Scans boards on drives D, E, F... with a link whose current drive is Z.
struct Scan {
  BoardLink link;
  BoardScanResult result;
  Scan(const std::vector<std::shared_ptr<FakeBoard>>& boards, std::u16string_view robotName) {
    link.SetCurrentDrive(FakeBoardDrive(BoardNamed("X"), u"Z"));
    std::vector<BoardDrive> drives;
    for (std::size_t i = 0; i < boards.size(); ++i) {
      drives.push_back(
          FakeBoardDrive(boards[i], std::u16string(1, static_cast<char16_t>(u'D' + i))));
    }
    result = ScanBoardDrives(link, drives, robotName);
  }
};

// A board is chosen only when its name is the one exact match; a board whose DEVMEM will not
// open is counted, not listed, and boards that do not identify exactly are not even opened.
TEST(BoardScan, OnlyASingleExactMatchIsChosen) {
  auto closed = BoardNamed("ROBO");
  closed->failOpen = true;
  Scan one({BoardNamed("OTHER"), closed, BoardNamed("ROBO"), BoardNamed("ROBO2")}, u"ROBO");
  EXPECT_TRUE(one.result.singleMatch);
  EXPECT_EQ(one.result.count, 4);
  EXPECT_EQ(one.link.CurrentDrive().label, u"F");
  EXPECT_EQ(one.result.modelNames, (std::vector<std::u16string>{u"OTHER", u"ROBO", u"ROBO2"}));
  EXPECT_EQ(Labels(one.link.DriveList().drives), (std::vector<std::u16string>{u"D", u"F", u"G"}));
  EXPECT_FALSE(one.link.IsBoardOpen());

  Scan none[] = {Scan({BoardNamed("ROBO"), BoardNamed("ROBO")}, u"ROBO"),
                 Scan({BoardNamed("robo"), BoardNamed("ROBO "), BoardNamed("ROB")}, u"ROBO")};
  for (Scan& scan : none) {
    EXPECT_EQ(scan.result.listed.size(), &scan == none ? 2u : 3u);
    EXPECT_FALSE(scan.result.singleMatch);
    EXPECT_EQ(scan.link.CurrentDrive().label, u"Z");
  }

  auto noBlanks = BoardNamed("ROBO");
  noBlanks->descriptor.vendor = "Quarel";
  auto unreadable = BoardNamed("ROBO");
  unreadable->queryFails = true;
  Scan unidentified({noBlanks, unreadable}, u"ROBO");
  EXPECT_EQ(unidentified.result.count, 0);
  EXPECT_EQ(noBlanks->opens + unreadable->opens, 0);
}

TEST(BoardScan, ChoiceTextsAndChoosingAValidIndex) {
  Scan scan({BoardNamed("ROBO"), BoardNamed("TWO")}, u"none");
  EXPECT_EQ(BoardChoiceTexts(scan.result),
            (std::vector<std::u16string>{u"ROBO (Dドライブ)", u"TWO (Eドライブ)"}));
  EXPECT_EQ(CurrentBoardChoice(scan.link, scan.result), 0);
  ChooseBoard(scan.link, scan.result, 2);
  ChooseBoard(scan.link, scan.result, -1);
  EXPECT_EQ(scan.link.CurrentDrive().label, u"Z");
  ChooseBoard(scan.link, scan.result, 1);
  EXPECT_EQ(scan.link.CurrentDrive().label, u"E");
  EXPECT_EQ(CurrentBoardChoice(scan.link, scan.result), 1);

  EXPECT_EQ(DriveLabelFormat(u"%s (%cドライブ)"), u"%s (%sドライブ)");
#ifndef _WIN32
  BoardDrive drive;
  drive.label = u"/media/robot";
  EXPECT_EQ(DriveLabelText(drive), u"/media/robot");
#endif
}

}  // namespace
}  // namespace gestalon::core

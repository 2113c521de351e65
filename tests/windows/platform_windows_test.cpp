#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "board/board_link.h"
#include "board/board_scan.h"
#include "platform/board_drives.h"
#include "platform/devmem_file.h"
#include "platform/folders.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(WindowsFolders, ProgramAndApplicationDataFolders) {
  const fs::path exe = ExecutablePath();
  EXPECT_EQ(exe.filename().wstring(), L"gestalon_windows_tests.exe");
  EXPECT_TRUE(exe.is_absolute());
  EXPECT_TRUE(fs::exists(ProgramFolder() / "defrobots.dat")) << ProgramFolder();

  const fs::path appData = AppDataFolder();
  EXPECT_EQ(appData.filename().wstring(), L"GestalonZ");
  EXPECT_TRUE(fs::is_directory(appData));
  EXPECT_TRUE(IsFolderWritable(appData));
  EXPECT_FALSE(fs::exists(appData / "~gestalon_write_probe.tmp"));
}

TEST(WindowsFolders, WriteProbeLeavesNothingAndFailsForAMissingFolder) {
  TempDir temp;
  EXPECT_TRUE(IsFolderWritable(temp.Path()));
  EXPECT_TRUE(fs::is_empty(temp.Path()));
  EXPECT_FALSE(IsFolderWritable(temp / "missing"));
}

// DEVMEM is opened without sharing: while the program talks to the board, nobody else may open
// the file, and every record reaches offset 0.
TEST(WindowsDevmem, OpenedUnsharedAndWrittenAtOffsetZero) {
  TempDir temp;
  auto port = OpenDevmemFile(temp.Path());
  ASSERT_NE(port, nullptr);
  const std::wstring path = (temp / "DEVMEM").wstring();
  HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (other != INVALID_HANDLE_VALUE) {
    CloseHandle(other);
  }

  DevmemRecord record{};
  for (int i = 0; i < 3; ++i) {
    record.fill(static_cast<std::uint8_t>(0x40 + i));
    ASSERT_TRUE(port->WriteRecord(record));
  }
  DevmemRecord read{};
  ASSERT_TRUE(port->ReadRecord(read));
  EXPECT_EQ(read, record);
  port.reset();
  EXPECT_EQ(fs::file_size(temp / "DEVMEM"), kDevmemRecordSize);
}

// The system's drives are lettered from A to Z; none of them is a CPU board, so a scan finds
// nothing and leaves the current drive alone.
TEST(WindowsDrives, ScanOfTheSystemDrivesFindsNoBoard) {
  const std::vector<BoardDrive> drives = EnumerateDrives();
  ASSERT_FALSE(drives.empty());
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const std::u16string& label = drives[i].label;
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(drives[i].root.wstring(), std::wstring{static_cast<wchar_t>(label[0])} + L":\\");
    if (i > 0) {
      EXPECT_LT(drives[i - 1].label, label);
    }
  }
  BoardLink link;
  const BoardScanResult scan = ScanBoardDrives(link, drives, u"ROBO");
  EXPECT_EQ(scan.count, 0);
  EXPECT_TRUE(scan.listed.empty());
  EXPECT_FALSE(scan.singleMatch);
  EXPECT_TRUE(link.DriveList().drives.empty());
}

}  // namespace
}  // namespace gestalon::core

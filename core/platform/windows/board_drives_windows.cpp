#include <windows.h>
#include <winioctl.h>

#include <array>
#include <cstring>
#include <string>

#include "platform/board_drives.h"
#include "platform/devmem_file.h"

namespace gestalon::core {
namespace {

constexpr DWORD kQueryBufferSize = 4096;
// The texts are kept in 256-byte fields: at most 255 characters and the terminator.
constexpr std::size_t kMaxTextLength = 255;

struct alignas(8) QueryBuffer {
  std::array<BYTE, kQueryBufferSize> bytes{};
};

// The zero-terminated text at `offset` of the returned descriptor; empty for offset 0 or an
// offset outside the buffer.
std::string TextAt(const QueryBuffer& buffer, DWORD offset) {
  if (offset == 0 || offset >= kQueryBufferSize) {
    return {};
  }
  const char* start = reinterpret_cast<const char*>(buffer.bytes.data() + offset);
  std::size_t room = kQueryBufferSize - offset;
  if (room > kMaxTextLength) {
    room = kMaxTextLength;
  }
  std::size_t length = 0;
  while (length < room && start[length] != '\0') {
    ++length;
  }
  return std::string(start, length);
}

// The storage property query of the volume "\\.\X:".
bool QueryDriveDescriptor(wchar_t letter, DriveDescriptor& descriptor) {
  descriptor = DriveDescriptor{};
  const std::wstring volume = std::wstring(L"\\\\.\\") + letter + L':';
  HANDLE handle = CreateFileW(volume.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  QueryBuffer buffer;
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                                  buffer.bytes.data(), kQueryBufferSize, &returned, nullptr);
  CloseHandle(handle);
  if (!ok) {
    return false;
  }
  STORAGE_DEVICE_DESCRIPTOR header{};
  std::memcpy(&header, buffer.bytes.data(), sizeof header);
  descriptor.serialNumber = TextAt(buffer, header.SerialNumberOffset);
  descriptor.product = TextAt(buffer, header.ProductIdOffset);
  descriptor.revision = TextAt(buffer, header.ProductRevisionOffset);
  descriptor.vendor = TextAt(buffer, header.VendorIdOffset);
  descriptor.removable = header.RemovableMedia ? 1 : 0;
  descriptor.busType = static_cast<std::uint32_t>(header.BusType);
  return true;
}

}  // namespace

std::vector<BoardDrive> EnumerateDrives() {
  std::vector<BoardDrive> drives;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((mask & (DWORD{1} << i)) == 0) {
      continue;
    }
    const wchar_t letter = static_cast<wchar_t>(L'A' + i);
    const std::filesystem::path root(std::wstring{letter, L':', L'\\'});
    BoardDrive drive;
    drive.root = root;
    drive.label = std::u16string(1, static_cast<char16_t>(letter));
    drive.openDevmem = [root] { return OpenDevmemFile(root); };
    drive.queryDescriptor = [letter](DriveDescriptor& descriptor) {
      return QueryDriveDescriptor(letter, descriptor);
    };
    drives.push_back(std::move(drive));
  }
  return drives;
}

}  // namespace gestalon::core

#include <windows.h>
#include <winioctl.h>

#include <string>

#include "platform/devmem_file.h"

namespace gestalon::core {
namespace {

// Unbuffered I/O needs the buffer aligned to the device's sector size; a page covers every
// device.
struct alignas(4096) DirectBuffer {
  DevmemRecord bytes{};
};

class DevmemFile : public DevmemPort {
 public:
  explicit DevmemFile(HANDLE handle) : handle_(handle), buffer_(std::make_unique<DirectBuffer>()) {}
  ~DevmemFile() override { CloseHandle(handle_); }
  DevmemFile(const DevmemFile&) = delete;
  DevmemFile& operator=(const DevmemFile&) = delete;

  bool WriteRecord(const DevmemRecord& record) override {
    buffer_->bytes = record;
    DWORD written = 0;
    return Rewind() &&
           WriteFile(handle_, buffer_->bytes.data(), static_cast<DWORD>(kDevmemRecordSize),
                     &written, nullptr) &&
           written == kDevmemRecordSize;
  }

  // The count read is not examined: a short read leaves the rest of the record zero.
  bool ReadRecord(DevmemRecord& record) override {
    buffer_->bytes.fill(0);
    DWORD read = 0;
    const bool ok = Rewind() && ReadFile(handle_, buffer_->bytes.data(),
                                         static_cast<DWORD>(kDevmemRecordSize), &read, nullptr);
    record = buffer_->bytes;
    return ok;
  }

 private:
  bool Rewind() { return SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == 0; }

  HANDLE handle_;
  std::unique_ptr<DirectBuffer> buffer_;
};

bool IsDriveLetterName(const std::wstring& name) {
  return name.size() == 2 && name[1] == L':' &&
         ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'a' && name[0] <= L'z'));
}

// The device path of the volume holding `root`: "\\.\X:" for a drive letter, otherwise the
// volume's GUID path without its trailing backslash. Empty when there is none.
std::wstring VolumeDevicePath(const std::filesystem::path& root) {
  const std::wstring rootName = root.root_name().wstring();
  if (IsDriveLetterName(rootName)) {
    return L"\\\\.\\" + rootName;
  }
  wchar_t mountPoint[MAX_PATH] = {};
  wchar_t volumeName[MAX_PATH] = {};
  if (!GetVolumePathNameW(root.c_str(), mountPoint, MAX_PATH) ||
      !GetVolumeNameForVolumeMountPointW(mountPoint, volumeName, MAX_PATH)) {
    return {};
  }
  std::wstring path(volumeName);
  if (!path.empty() && path.back() == L'\\') {
    path.pop_back();
  }
  return path;
}

bool IsVolumeRoot(const std::filesystem::path& folder) {
  wchar_t mountPoint[MAX_PATH] = {};
  if (!GetVolumePathNameW(folder.c_str(), mountPoint, MAX_PATH)) {
    return false;
  }
  std::error_code ec;
  return std::filesystem::equivalent(std::filesystem::path(mountPoint), folder, ec);
}

DriveFlushResult ResultOfError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return DriveFlushResult::kDriveMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return DriveFlushResult::kAccessDenied;
    default:
      return DriveFlushResult::kFailed;
  }
}

}  // namespace

std::unique_ptr<DevmemPort> OpenDevmemFile(const std::filesystem::path& driveRoot) {
  const std::filesystem::path path = driveRoot / L"DEVMEM";
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_FLAG_WRITE_THROUGH | FILE_FLAG_NO_BUFFERING, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  return std::make_unique<DevmemFile>(handle);
}

// Locking a volume makes the system write out everything it caches for it.
DriveFlushResult FlushDriveOnce(const std::filesystem::path& driveRoot) {
  // A card folder that is gone would otherwise name the volume that held it.
  std::error_code ec;
  if (!std::filesystem::is_directory(driveRoot, ec)) {
    return DriveFlushResult::kDriveMissing;
  }
  // A folder standing in for a card on a fixed drive: its volume holds the system's other files
  // and cannot be locked; there is no card to flush.
  if (!IsVolumeRoot(driveRoot)) {
    return DriveFlushResult::kFlushed;
  }
  const std::wstring volume = VolumeDevicePath(driveRoot);
  if (volume.empty()) {
    return DriveFlushResult::kDriveMissing;
  }
  HANDLE handle = CreateFileW(volume.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return ResultOfError(GetLastError());
  }
  DWORD bytes = 0;
  const bool ok =
      DeviceIoControl(handle, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &bytes, nullptr) &&
      DeviceIoControl(handle, FSCTL_UNLOCK_VOLUME, nullptr, 0, nullptr, 0, &bytes, nullptr);
  const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  CloseHandle(handle);
  return ok ? DriveFlushResult::kFlushed : ResultOfError(error);
}

}  // namespace gestalon::core

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/devmem_file.h"

namespace gestalon::core {
namespace {

// Direct I/O needs the buffer aligned to the device's block size; a page covers every device.
struct alignas(4096) DirectBuffer {
  DevmemRecord bytes{};
};

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_;
};

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd = -1;
  do {
    fd = open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

class DevmemFile : public DevmemPort {
 public:
  DevmemFile(int fd, bool direct)
      : fd_(fd), direct_(direct), buffer_(std::make_unique<DirectBuffer>()) {}

  bool WriteRecord(const DevmemRecord& record) override {
    buffer_->bytes = record;
    ssize_t written = Transfer(/*write=*/true);
    if (written < 0 && errno == EINVAL && direct_ && DropDirectIo()) {
      written = Transfer(/*write=*/true);
    }
    return written == static_cast<ssize_t>(kDevmemRecordSize);
  }

  // The count read is not examined: a short read leaves the rest of the record zero.
  bool ReadRecord(DevmemRecord& record) override {
    if (!direct_) {
      // The record just written is still in the page cache: drop it so that the read reaches
      // the device and returns its reply.
      posix_fadvise(fd_.Get(), 0, kDevmemRecordSize, POSIX_FADV_DONTNEED);
    }
    buffer_->bytes.fill(0);
    ssize_t read = Transfer(/*write=*/false);
    if (read < 0 && errno == EINVAL && direct_ && DropDirectIo()) {
      buffer_->bytes.fill(0);
      read = Transfer(/*write=*/false);
    }
    record = buffer_->bytes;
    return read >= 0;
  }

 private:
  ssize_t Transfer(bool write) {
    ssize_t result = -1;
    do {
      result = write ? pwrite(fd_.Get(), buffer_->bytes.data(), kDevmemRecordSize, 0)
                     : pread(fd_.Get(), buffer_->bytes.data(), kDevmemRecordSize, 0);
    } while (result < 0 && errno == EINTR);
    return result;
  }

  // Some file systems accept O_DIRECT on open but refuse the transfer itself.
  bool DropDirectIo() {
    const int flags = fcntl(fd_.Get(), F_GETFL);
    if (flags < 0 || fcntl(fd_.Get(), F_SETFL, flags & ~O_DIRECT) < 0) {
      return false;
    }
    direct_ = false;
    return true;
  }

  UniqueFd fd_;
  bool direct_;
  std::unique_ptr<DirectBuffer> buffer_;
};

// The kernel's name of the block device that holds a file system ("sdb1"), or empty.
std::string BlockDeviceName(dev_t device) {
  const std::string link =
      "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
  std::error_code ec;
  const auto target = std::filesystem::canonical(link, ec);
  return ec ? std::string() : target.filename().string();
}

}  // namespace

std::unique_ptr<DevmemPort> OpenDevmemFile(const std::filesystem::path& driveRoot) {
  const std::string path = (driveRoot / "DEVMEM").string();
  constexpr int kFlags = O_RDWR | O_CREAT | O_SYNC;
  bool direct = true;
  int fd = OpenRetrying(path.c_str(), kFlags | O_DIRECT, 0644);
  if (fd < 0 && errno == EINVAL) {
    // The file system refuses direct I/O (tmpfs and the like): plain synchronous I/O instead.
    direct = false;
    fd = OpenRetrying(path.c_str(), kFlags, 0644);
  }
  if (fd < 0) {
    return nullptr;
  }
  return std::make_unique<DevmemFile>(fd, direct);
}

DriveFlushResult FlushDriveOnce(const std::filesystem::path& driveRoot) {
  const UniqueFd root(OpenRetrying(driveRoot.c_str(), O_RDONLY | O_DIRECTORY));
  if (!root.IsOpen()) {
    switch (errno) {
      case ENOENT:
      case ENOTDIR:
        return DriveFlushResult::kDriveMissing;
      case EACCES:
      case EPERM:
        return DriveFlushResult::kAccessDenied;
      default:
        return DriveFlushResult::kFailed;
    }
  }
  if (syncfs(root.Get()) != 0) {
    return DriveFlushResult::kFailed;
  }
  // fsync on the block device also empties the device's own write cache; opening it usually
  // takes rights that ordinary users lack, so this part is best effort.
  struct stat info {};
  if (fstat(root.Get(), &info) == 0) {
    const std::string name = BlockDeviceName(info.st_dev);
    if (!name.empty()) {
      const UniqueFd device(OpenRetrying(("/dev/" + name).c_str(), O_RDONLY | O_NONBLOCK));
      if (device.IsOpen()) {
        fsync(device.Get());
      }
    }
  }
  return DriveFlushResult::kFlushed;
}

}  // namespace gestalon::core

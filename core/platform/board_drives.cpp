#include "platform/board_drives.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/devmem_file.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

// Bus type code of USB attached storage, as the storage property query reports it.
constexpr std::uint32_t kBusTypeUsb = 7;

// The whole content of a small file; false when it cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// A sysfs attribute as the device reported it: the raw bytes up to the final newline. The
// identification fields keep their blank padding, so nothing else is trimmed.
std::string ReadAttribute(const std::filesystem::path& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) {
    return {};
  }
  if (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  return text;
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

bool IsOctalDigit(char c) {
  return c >= '0' && c <= '7';
}

// Mount table fields escape blanks, tabs, newlines and backslashes as \ooo.
std::string DecodeMountField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
        IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
      const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      out.push_back(static_cast<char>(value & 0xFF));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const auto start = line.find_first_not_of(' ', pos);
    if (start == std::string_view::npos) {
      break;
    }
    const auto end = std::min(line.find(' ', start), line.size());
    fields.push_back(line.substr(start, end - start));
    pos = end;
  }
  return fields;
}

struct MountEntry {
  std::string mountPoint;
  std::string device;  // name of the block device folder under the class folder
};

struct ParsedMount {
  std::string majorMinor;
  std::string root;
  std::string mountPoint;
  std::string source;
};

// One mountinfo line: "id parent major:minor root mount-point options [optional...] - type
// source super-options". False for a line that does not have that shape.
bool ParseMountLine(std::string_view line, ParsedMount& mount) {
  const auto fields = SplitBlanks(line);
  if (fields.size() < 7) {
    return false;
  }
  const auto separator = std::find(fields.begin() + 6, fields.end(), std::string_view("-"));
  if (separator == fields.end() || std::distance(separator, fields.end()) < 3) {
    return false;
  }
  mount.majorMinor = std::string(fields[2]);
  mount.root = DecodeMountField(fields[3]);
  mount.mountPoint = DecodeMountField(fields[4]);
  mount.source = DecodeMountField(*(separator + 2));
  return true;
}

// major:minor -> device folder name, from each block device's "dev" attribute.
std::map<std::string, std::string> BlockDevicesByNumber(const std::filesystem::path& classFolder) {
  std::map<std::string, std::string> devices;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(classFolder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string number = Trimmed(ReadAttribute(it->path() / "dev"));
    if (!number.empty()) {
      devices.emplace(number, it->path().filename().string());
    }
  }
  return devices;
}

// The block device a mount belongs to; empty for mounts of anything else (proc, tmpfs, ...).
std::string DeviceOfMount(const ParsedMount& mount,
                          const std::map<std::string, std::string>& devicesByNumber,
                          const std::filesystem::path& classFolder) {
  if (const auto found = devicesByNumber.find(mount.majorMinor); found != devicesByNumber.end()) {
    return found->second;
  }
  // File systems such as btrfs report an anonymous device number; their source still names the
  // device.
  constexpr std::string_view kDevPrefix = "/dev/";
  if (mount.source.compare(0, kDevPrefix.size(), kDevPrefix) == 0) {
    const std::string name = std::filesystem::path(mount.source).filename().string();
    std::error_code ec;
    if (!name.empty() && std::filesystem::exists(classFolder / name / "dev", ec)) {
      return name;
    }
  }
  return {};
}

// The sysfs folder of the whole disk that holds `device` (the device itself when it is a disk).
std::filesystem::path DiskFolder(const std::filesystem::path& classFolder,
                                 const std::string& device) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::canonical(classFolder / device, ec);
  if (ec) {
    folder = classFolder / device;
  }
  // A partition's folder sits inside its disk's folder and holds a "partition" attribute.
  if (std::filesystem::exists(folder / "partition", ec)) {
    folder = folder.parent_path();
  }
  return folder;
}

bool IsBelowUsb(const std::filesystem::path& diskFolder) {
  for (const auto& part : diskFolder) {
    if (part.string().compare(0, 3, "usb") == 0) {
      return true;
    }
  }
  return false;
}

bool QuerySysfsDescriptor(const std::filesystem::path& diskFolder, DriveDescriptor& descriptor) {
  descriptor = DriveDescriptor{};
  std::error_code ec;
  if (!std::filesystem::is_directory(diskFolder, ec)) {
    return false;
  }
  const std::filesystem::path device = diskFolder / "device";
  descriptor.vendor = ReadAttribute(device / "vendor");
  descriptor.product = ReadAttribute(device / "model");
  descriptor.revision = ReadAttribute(device / "rev");
  for (const auto& serialFile : {device / "serial", device / "wwid", diskFolder / "wwid"}) {
    descriptor.serialNumber = ReadAttribute(serialFile);
    if (!descriptor.serialNumber.empty()) {
      break;
    }
  }
  descriptor.removable = Trimmed(ReadAttribute(diskFolder / "removable")) == "1" ? 1 : 0;
  descriptor.busType = IsBelowUsb(diskFolder) ? kBusTypeUsb : 0;
  return true;
}

}  // namespace

bool IsBoardDescriptor(const DriveDescriptor& descriptor) {
  return descriptor.vendor == std::string_view(kBoardVendor) &&
         descriptor.product == std::string_view(kBoardProduct);
}

std::vector<BoardDrive> EnumerateDrivesFrom(const std::filesystem::path& mountInfo,
                                            const std::filesystem::path& sysClassBlock) {
  const auto devicesByNumber = BlockDevicesByNumber(sysClassBlock);
  std::vector<MountEntry> mounts;
  std::ifstream in(mountInfo, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    ParsedMount mount;
    // A bind mount of a sub-folder does not show the drive's root, where DEVMEM lives.
    if (!ParseMountLine(line, mount) || mount.root != "/") {
      continue;
    }
    std::string device = DeviceOfMount(mount, devicesByNumber, sysClassBlock);
    if (!device.empty()) {
      mounts.push_back({mount.mountPoint, std::move(device)});
    }
  }
  std::stable_sort(mounts.begin(), mounts.end(), [](const MountEntry& a, const MountEntry& b) {
    return a.mountPoint < b.mountPoint;
  });

  std::vector<BoardDrive> drives;
  std::set<std::string> listedDevices;
  for (const auto& mount : mounts) {
    if (!listedDevices.insert(mount.device).second) {
      continue;
    }
    const std::filesystem::path root(mount.mountPoint);
    const std::filesystem::path diskFolder = DiskFolder(sysClassBlock, mount.device);
    BoardDrive drive;
    drive.root = root;
    drive.label = FromUtf8(mount.mountPoint);
    drive.openDevmem = [root] { return OpenDevmemFile(root); };
    drive.queryDescriptor = [diskFolder](DriveDescriptor& descriptor) {
      return QuerySysfsDescriptor(diskFolder, descriptor);
    };
    drives.push_back(std::move(drive));
  }
  return drives;
}

}  // namespace gestalon::core

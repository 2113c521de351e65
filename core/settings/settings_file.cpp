#include "settings/settings_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/replacing_file.h"
#include "text/code_page.h"

namespace gestalon::core {
namespace {

constexpr std::size_t kChunkBytes = 8190;
constexpr std::size_t kAnsiChunkChars = 4096;
constexpr std::array<unsigned char, 2> kBom = {0xFF, 0xFE};

struct ModeInfo {
  bool write = false;  // "w": create or truncate
  bool plus = false;
};

std::optional<ModeInfo> ParseMode(std::string_view mode) {
  if (mode.empty()) {
    return std::nullopt;
  }
  ModeInfo info;
  const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(mode[0])));
  if (first != 'r' && first != 'w') {
    return std::nullopt;
  }
  info.write = first == 'w';
  for (char c : mode.substr(1)) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == 'b') {
      return std::nullopt;
    }
    if (lower == '+') {
      info.plus = true;
    }
  }
  return info;
}

// An empty name resolves to the folder itself. A folder opens for reading on some systems and
// then reads like an empty file, which would turn a damaged project into a blank robot.
bool NamesAFolder(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.has_filename() || std::filesystem::is_directory(path, ec);
}

std::FILE* OpenExisting(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wide(mode, mode + std::strlen(mode));
  return _wfopen(path.c_str(), wide.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

class SettingsFile {
 public:
  static SettingsFileHandle Open(const std::filesystem::path& path, ModeInfo mode) {
    if (NamesAFolder(path)) {
      return nullptr;
    }
    SettingsFileHandle file(new SettingsFile);
    if (mode.write) {
      file->replacing_ = std::make_unique<ReplacingFile>(path);
      if (!file->replacing_->Valid()) {
        return nullptr;
      }
      file->stream_ = file->replacing_->Stream();
      file->WriteBytes(kBom.data(), kBom.size());
    } else {
      file->stream_ = OpenExisting(path, mode.plus ? "r+b" : "rb");
      if (!file->stream_) {
        return nullptr;
      }
      file->ownsStream_ = true;
      if (mode.plus) {
        file->StartReadWrite();
      }
    }
    return file;
  }

  SettingsFile() = default;
  ~SettingsFile() {
    if (ownsStream_ && stream_) {
      std::fclose(stream_);
    }
  }

  int ReadLine(std::u16string& line, int maxChars);
  void Write(std::u16string_view text);

  bool Close() {
    if (replacing_) {
      const bool ok = !failed_ && replacing_->Commit();
      replacing_.reset();
      stream_ = nullptr;
      return ok;
    }
    bool ok = !failed_;
    if (ownsStream_ && stream_) {
      ok = std::fclose(stream_) == 0 && ok;
      stream_ = nullptr;
    }
    return ok;
  }

 private:
  void WriteBytes(const void* data, std::size_t size) {
    if (std::fwrite(data, 1, size, stream_) != size) {
      failed_ = true;
    }
  }

  bool IsUtf16();
  std::size_t BytesThroughNextLineFeed();
  void StartReadWrite();
  bool Seek(long offset) {
    if (std::fseek(stream_, offset, SEEK_SET) != 0) {
      failed_ = true;
      return false;
    }
    return true;
  }

  std::FILE* stream_ = nullptr;
  bool ownsStream_ = false;
  bool failed_ = false;
  std::unique_ptr<ReplacingFile> replacing_;
};

bool SettingsFile::IsUtf16() {
  const long position = std::ftell(stream_);
  unsigned char head[2] = {0, 0};
  std::fseek(stream_, 0, SEEK_SET);
  const std::size_t got = std::fread(head, 1, 2, stream_);
  if (std::ferror(stream_)) {
    failed_ = true;
  }
  Seek(position);
  return got == 2 && head[0] == kBom[0] && head[1] == kBom[1];
}

// "r+": an empty file gets the byte-order mark; reading and writing then start after the mark
// of a UTF-16 file (so the first write cannot overwrite it) and at the start of any other file.
void SettingsFile::StartReadWrite() {
  if (std::fseek(stream_, 0, SEEK_END) == 0 && std::ftell(stream_) == 0) {
    WriteBytes(kBom.data(), kBom.size());
  }
  Seek(IsUtf16() ? static_cast<long>(kBom.size()) : 0);
}

// Counts the bytes from the current position up to and including the next LF (or to the end).
std::size_t SettingsFile::BytesThroughNextLineFeed() {
  std::size_t count = 0;
  for (int c = std::fgetc(stream_); c != EOF; c = std::fgetc(stream_)) {
    ++count;
    if (c == '\n') {
      break;
    }
  }
  if (std::ferror(stream_)) {
    failed_ = true;
  }
  return count;
}

int SettingsFile::ReadLine(std::u16string& line, int maxChars) {
  line.clear();
  if (failed_) {
    return 0;
  }
  const bool utf16 = IsUtf16();
  const long start = std::ftell(stream_);
  if (start < 0) {
    failed_ = true;
    return 0;
  }
  std::array<unsigned char, kChunkBytes> chunk{};
  const std::size_t bytesRead = std::fread(chunk.data(), 1, chunk.size(), stream_);
  if (std::ferror(stream_) || failed_) {
    failed_ = true;  // a read error ends the reading, and CloseSettingsFile reports it
    return 0;
  }
  const std::size_t limit =
      static_cast<std::size_t>(std::clamp(maxChars, 0, kSettingsLineLimit - 1));

  std::u16string text;
  std::size_t consumed = 0;  // bytes from `start` to where the next read begins
  if (utf16) {
    std::size_t offset = 0;
    if (bytesRead >= 2 && chunk[0] == kBom[0] && chunk[1] == kBom[1] && start == 0) {
      offset = 2;
    }
    for (std::size_t i = offset; i + 1 < bytesRead; i += 2) {
      const auto c = static_cast<char16_t>(chunk[i] | (chunk[i + 1] << 8));
      if (c == u'\0') {
        break;  // the text ends at a NUL character, as a zero-terminated buffer would
      }
      text.push_back(c);
    }
    text.resize(std::min(text.size(), limit));
    const std::size_t lf = text.find(u'\n');
    if (lf != std::u16string::npos) {
      text.resize(lf);
    }
    // The character after the line (its LF, or the one the cut dropped) is skipped too.
    consumed = offset + 2 * (text.size() + 1);
  } else {
    const std::string_view bytes(reinterpret_cast<const char*>(chunk.data()), bytesRead);
    const std::size_t nul = bytes.find('\0');
    const std::string_view valid = bytes.substr(0, nul);
    // A byte 0x0A is always an LF in the code pages used: it is never the second byte of a
    // double-byte character.
    const std::size_t lfByte = valid.find('\n');
    const std::string_view lineBytes = valid.substr(0, lfByte);
    text = FromAnsi(lineBytes);
    text.resize(std::min({text.size(), limit, kAnsiChunkChars}));
    if (lfByte != std::string_view::npos) {
      consumed = lfByte + 1;
    } else if (nul != std::string_view::npos) {
      consumed = nul + 1;
    } else if (bytesRead < kChunkBytes) {
      consumed = bytesRead;  // the last line of the file
    } else {
      consumed = bytesRead + BytesThroughNextLineFeed();  // the rest of an overlong line is lost
    }
  }
  if (!Seek(start + static_cast<long>(consumed))) {
    return 0;
  }
  line = text;
  return static_cast<int>(line.size());
}

void SettingsFile::Write(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2 + 16);
  for (char16_t c : text) {
    if (c == u'\n') {
      bytes.push_back('\r');
      bytes.push_back('\0');
    }
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  WriteBytes(bytes.data(), bytes.size());
}

void SettingsFileDeleter::operator()(SettingsFile* file) const {
  delete file;
}

SettingsFileHandle OpenSettingsFile(const std::filesystem::path& path, std::string_view mode) {
  const auto info = ParseMode(mode);
  if (!info) {
    return nullptr;
  }
  return SettingsFile::Open(path, *info);
}

int ReadSettingsLine(SettingsFile* file, std::u16string& line, int maxChars) {
  if (!file) {
    line.clear();
    return 0;
  }
  return file->ReadLine(line, maxChars);
}

void WriteSettingsText(SettingsFile* file, std::u16string_view text) {
  if (file && !text.empty()) {
    file->Write(text);
  }
}

bool CloseSettingsFile(SettingsFileHandle file) {
  return file && file->Close();
}

}  // namespace gestalon::core

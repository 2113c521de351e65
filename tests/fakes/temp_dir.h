#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace gestalon::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    do {
      path_ = base / ("gestalon_test_" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// UTF-16LE bytes of a text, optionally after the byte-order mark.
inline std::string Utf16Bytes(std::u16string_view text, bool bom = true) {
  std::string bytes = bom ? std::string("\xFF\xFE") : std::string();
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

// The bytes a settings writer produces for `text`: byte-order mark, UTF-16LE, LF as CR LF.
inline std::string Utf16File(std::u16string_view text) {
  std::u16string crlf;
  for (char16_t c : text) {
    if (c == u'\n') {
      crlf += u'\r';
    }
    crlf += c;
  }
  return Utf16Bytes(crlf);
}

// A writer (called with a target path, returning success) must fail into a missing folder without
// creating it, and must fail when a folder stands where the file goes, leaving that folder alone.
template <typename Write>
void ExpectFailedWritesChangeNothing(Write write) {
  TempDir dir;
  EXPECT_FALSE(write(dir / "missing" / "file"));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
  std::filesystem::create_directories(dir / "file" / "inner");
  EXPECT_FALSE(write(dir / "file"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "file" / "inner"));
}

}  // namespace gestalon::testing

#include "card_files.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/paths.h"
#include "platform/replacing_file.h"
#include "text/code_page.h"

namespace gestalon::sim {
namespace {

char16_t FoldCase(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) {
      return false;
    }
  }
  return true;
}

// `name` inside `folder`: the exact entry when it exists, else one that differs only in case,
// else the name as given (a file still to be made).
std::filesystem::path Entry(const std::filesystem::path& folder, std::u16string_view name) {
  std::filesystem::path exact = folder / core::PathFromText(name);
  std::error_code ec;
  if (std::filesystem::exists(exact, ec)) {
    return exact;
  }
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (SameIgnoringCase(core::TextFromPath(it->path().filename()), name)) {
      return it->path();
    }
  }
  return exact;
}

}  // namespace

std::optional<std::filesystem::path> CardPath(const std::filesystem::path& card,
                                              std::string_view ansiName) {
  const std::u16string name = core::FromAnsi(ansiName);
  if (card.empty() || name.empty() || name.find(u':') != std::u16string::npos ||
      name.front() == u'\\' || name.front() == u'/') {
    return std::nullopt;
  }
  std::filesystem::path path = card;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of(u"\\/", start);
    if (end == std::u16string::npos) {
      end = name.size();
    }
    const std::u16string_view part = std::u16string_view(name).substr(start, end - start);
    if (part == u"..") {
      return std::nullopt;
    }
    if (!part.empty() && part != u".") {
      path = Entry(path, part);
    }
    start = end + 1;
  }
  if (path == card) {
    return std::nullopt;
  }
  return path;
}

std::optional<std::vector<std::uint8_t>> ReadCardFile(const std::filesystem::path& path,
                                                      std::size_t maxSize) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  const std::uintmax_t fileSize = std::filesystem::file_size(path, ec);
  std::vector<std::uint8_t> bytes(ec ? maxSize : std::min<std::uintmax_t>(fileSize, maxSize));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) {
    return std::nullopt;
  }
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

bool WriteCardFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  core::ReplacingFile file(path);
  if (!file.Valid()) {
    return false;
  }
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size()) {
    return false;
  }
  return file.Commit();
}

}  // namespace gestalon::sim

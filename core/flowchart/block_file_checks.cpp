#include "flowchart/block_file_checks.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "motion/motion_block.h"
#include "platform/paths.h"
#include "platform/replacing_file.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace gestalon::core {
namespace {

std::filesystem::path ProjectFilePath(std::u16string_view projectFolder, std::u16string_view name) {
  return ResolveInFolder(PathFromText(projectFolder), name);
}

}  // namespace

std::optional<std::uintmax_t> ProjectFileSize(std::u16string_view projectFolder,
                                              std::u16string_view name) {
  if (name.empty()) {
    return std::nullopt;
  }
  const std::filesystem::path path = ProjectFilePath(projectFolder, name);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return std::nullopt;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  return ec ? std::nullopt : std::optional<std::uintmax_t>(size);
}

std::u16string CalledFileStatus(std::u16string_view projectFolder, std::u16string_view name) {
  return ProjectFileExists(projectFolder, name) ? std::u16string()
                                                : LoadText(TextId::kMsgFileNotFoundStatus);
}

std::u16string DataFileStatus(std::u16string_view projectFolder, std::u16string_view name) {
  const std::optional<std::uintmax_t> size = ProjectFileSize(projectFolder, name);
  return size ? Format(LoadText(TextId::kMsgFileSizeStatus), *size)
              : LoadText(TextId::kMsgFileNotFoundStatus);
}

std::u16string BlockFileNameFromField(std::u16string_view text) {
  return std::u16string(text.substr(0, kBlockFileNameChars));
}

std::uint32_t CreateFileSizeFromField(std::u16string_view text) {
  return static_cast<std::uint32_t>(std::max(ParseDecimal(text), 0));
}

bool CreateZeroFilledFile(std::u16string_view projectFolder, std::u16string_view name,
                          std::uint32_t size) {
  if (name.empty()) {
    return false;
  }
  ReplacingFile file(ProjectFilePath(projectFolder, name));
  if (!file.Valid()) {
    return false;
  }
  static constexpr std::array<char, 4096> kZeros{};
  for (std::uint32_t left = size; left > 0;) {
    const std::size_t chunk = std::min<std::size_t>(left, kZeros.size());
    if (std::fwrite(kZeros.data(), 1, chunk, file.Stream()) != chunk) {
      return false;
    }
    left -= static_cast<std::uint32_t>(chunk);
  }
  return file.Commit();
}

}  // namespace gestalon::core

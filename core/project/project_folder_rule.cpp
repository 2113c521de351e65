#include "project/project_folder_rule.h"

#include <algorithm>

namespace gestalon::core {
namespace {

std::u16string Lower(std::u16string_view text) {
  std::u16string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  });
  return lower;
}

bool IsSeparator(char16_t c) {
  return c == u'/' || c == u'\\';
}

}  // namespace

std::optional<std::u16string> NameInProjectFolder(std::u16string_view projectFolder,
                                                  std::u16string_view chosenPath) {
  while (!projectFolder.empty() && IsSeparator(projectFolder.back())) {
    projectFolder.remove_suffix(1);
  }
  if (projectFolder.empty()) {
    return std::nullopt;
  }
  const std::size_t at = Lower(chosenPath).find(Lower(projectFolder));
  if (at == std::u16string::npos) {
    return std::nullopt;
  }
  std::u16string_view rest = chosenPath.substr(at + projectFolder.size());
  while (!rest.empty() && IsSeparator(rest.front())) {
    rest.remove_prefix(1);
  }
  return std::u16string(rest);
}

}  // namespace gestalon::core

#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "text/utf.h"

namespace gestalon::cli {

// JSON strings are UTF-8.
inline nlohmann::json JsonText(std::u16string_view text) {
  return core::ToUtf8(text);
}

// A command-line path argument (UTF-8) as a file system path.
inline std::filesystem::path ArgumentPath(const std::string& argument) {
  return core::PathFromText(core::FromUtf8(argument));
}

}  // namespace gestalon::cli

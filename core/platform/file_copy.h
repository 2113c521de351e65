#pragma once

#include <filesystem>
#include <system_error>

namespace gestalon::core {

// Copies the file `source` to `target`, replacing a file already there. False with `error` set
// when it fails. (The standard library's replacing copy of the Windows build refuses every
// existing target: that runtime cannot tell two files of one drive apart.)
bool CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target,
                       std::error_code& error);

}  // namespace gestalon::core

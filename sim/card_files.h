#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace gestalon::sim {

// The file on the card (`card` is its root folder) that a name from board memory means: ANSI
// text, relative to the card's root, '\' or '/' between folders. Letter case is ignored as on
// the card's own file system: an existing entry that differs only in case is taken. Nothing for
// no card, an empty name, a name with a drive (':') or a leading separator, or one with a ".."
// part: a program can reach only the card.
std::optional<std::filesystem::path> CardPath(const std::filesystem::path& card,
                                              std::string_view ansiName);

// At most `maxSize` bytes from the start of the regular file at `path`; nothing when it can't be
// opened or read.
std::optional<std::vector<std::uint8_t>> ReadCardFile(const std::filesystem::path& path,
                                                      std::size_t maxSize);

// Replaces the file at `path` with `bytes` (through a temporary file beside it). False, leaving
// any old file as it was, when that fails; a missing folder is not created.
bool WriteCardFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace gestalon::sim

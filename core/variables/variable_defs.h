#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gestalon::core {

// A named board variable of the robot project.
struct VariableDef {
  std::int32_t size = 0;  // bytes; 1, 2 and 4 have displayable values
  std::u16string name;    // at most kVariableNameChars characters
  std::uint16_t address = 0;
};

inline constexpr std::size_t kVariableNameChars = 127;

// Reads a variable definition file (settings-file encoding): one definition per line read, in
// file order, from the fields "address,size,name" (each ending at a comma, CR or LF; numbers
// decimal or 0x-hexadecimal). Reading stops at the end of the file or at a line that is a bare
// LF. nullopt when the file cannot be opened or read.
std::optional<std::vector<VariableDef>> LoadVariableDefs(const std::filesystem::path& path);

// Writes "0x%04x,%d,%s" lines as a UTF-16 settings file; the old file stays on failure.
bool WriteVariableDefs(const std::filesystem::path& path, const std::vector<VariableDef>& defs);

// The label of a board address: "address:name" from the first definition with that address
// (and that size, when `size` is not 0), the address decimal or "0x%04x" when `hexadecimal`;
// "address:Unkown" (decimal) when there is none.
std::u16string VariableLabel(const std::vector<VariableDef>& defs, std::uint16_t address,
                             std::int32_t size, bool hexadecimal);

// A board address in the current number style: "%d", or "0x%04x" when `hexadecimal`.
std::u16string VariableAddressText(std::uint16_t address, bool hexadecimal);

// Whether the definition is listed for a search text: its name contains the text as written
// (case-sensitive); an empty text lists every definition.
bool VariableMatchesSearch(const VariableDef& def, std::u16string_view search);

}  // namespace gestalon::core

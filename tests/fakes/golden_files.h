#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fixture_file.h"

namespace gestalon::testing {

// A golden file of the core tests (tests/fixtures/core/).
inline std::string CoreGolden(std::string_view name) {
  return FixtureText("core/" + std::string(name));
}

// A golden byte image written as hex pairs; '#' starts a comment that runs to the end of the line.
inline std::vector<std::uint8_t> CoreGoldenBytes(std::string_view name) {
  std::istringstream lines(CoreGolden(name));
  std::vector<std::uint8_t> bytes;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream pairs(line.substr(0, line.find('#')));
    for (unsigned value = 0; pairs >> std::hex >> value;) {
      bytes.push_back(static_cast<std::uint8_t>(value));
    }
  }
  return bytes;
}

}  // namespace gestalon::testing

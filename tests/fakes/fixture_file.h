#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace gestalon::testing {

// A golden file of the tests (tests/fixtures/), read whole as bytes; empty when it is missing, so
// callers check that it is not.
inline std::string FixtureText(std::string_view name) {
  std::ifstream in(std::string(GESTALON_FIXTURES_DIR) + "/" + std::string(name), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace gestalon::testing

#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace gestalon::testing {

// A golden file of the tests (tests/fixtures/), read whole as bytes. A missing or empty one throws,
// which fails the test that asked for it rather than letting it compare with nothing.
inline std::string FixtureText(std::string_view name) {
  std::ifstream in(std::string(GESTALON_FIXTURES_DIR) + "/" + std::string(name), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (bytes.str().empty()) {
    throw std::runtime_error("missing fixture " + std::string(name));
  }
  return bytes.str();
}

}  // namespace gestalon::testing

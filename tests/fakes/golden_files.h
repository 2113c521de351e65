#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "fixture_file.h"

namespace gestalon::testing {

// A golden file of the core tests (tests/fixtures/core/); a missing one fails the test.
inline std::string CoreGolden(std::string_view name) {
  std::string text = FixtureText("core/" + std::string(name));
  EXPECT_FALSE(text.empty()) << "missing fixture " << name;
  return text;
}

}  // namespace gestalon::testing

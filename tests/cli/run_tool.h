#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli_app.h"

namespace gestalon::cli {

// What one run of the command-line tool gave: its exit status and what it printed.
struct Result {
  int status;
  std::string out, err;
};

inline Result RunTool(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace gestalon::cli

#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace gestalon::cli {

// Exit statuses of gestalon-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;  // a reported error, message on stderr
inline constexpr int kExitUsage = 2;  // bad usage, or a subcommand this build cannot run yet

// Runs gestalon-cli with `args` (without the program name); texts are UTF-8.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace gestalon::cli

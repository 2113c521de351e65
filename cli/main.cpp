#include <iostream>

#include "cli_app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return gestalon::cli::RunCli(args, std::cout, std::cerr);
}

#include <gtest/gtest.h>

#include <sstream>

#include "cli_app.h"

namespace gestalon::cli {
namespace {

struct Result {
  int status;
  std::string out, err;
};

Result RunTool(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(Cli, HelpListsEverySubcommand) {
  const Result r = RunTool({"--help"});
  EXPECT_EQ(r.status, kExitOk);
  for (const char* name :
       {"dump", "rewrite", "compile", "startup", "write", "simulate", "project"}) {
    EXPECT_NE(r.out.find(name), std::string::npos) << name;
  }
}

TEST(Cli, BadUsageExitsWithTwo) {
  EXPECT_EQ(RunTool({}).status, kExitUsage);
  EXPECT_EQ(RunTool({"frobnicate"}).status, kExitUsage);
  const Result missing = RunTool({"compile", "m.KX4"});
  EXPECT_EQ(missing.status, kExitUsage);
  EXPECT_NE(missing.err.find("-o"), std::string::npos);
}

TEST(Cli, SubcommandsNotYetAvailableSaySo) {
  const Result r = RunTool({"dump", "motion.KX4"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("'dump' is not available"), std::string::npos);
}

}  // namespace
}  // namespace gestalon::cli

#pragma once

#include <ostream>
#include <string>

namespace gestalon::cli {

// `gestalon-cli dump MOTION.KX4 [--project P.KJZ]`: the blocks of a motion file as JSON.
int RunDumpCommand(const std::string& motionPath, const std::string& projectPath, std::ostream& out,
                   std::ostream& err);

// `gestalon-cli rewrite IN.KX4 OUT.KX4 [--project P.KJZ] [--override PCT]`: reads a motion file
// and writes it back with the program's writer.
int RunRewriteCommand(const std::string& inPath, const std::string& outPath,
                      const std::string& projectPath, int overridePercent, std::ostream& out,
                      std::ostream& err);

}  // namespace gestalon::cli

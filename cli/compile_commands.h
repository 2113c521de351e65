#pragma once

#include <ostream>
#include <string>

namespace gestalon::cli {

// `gestalon-cli compile MOTION.KX4 -o OUT.BIN [--project P.KJZ] [--override PCT]`: the playback
// image of a motion (base address 0, every called motion included, then the byte 0x80). Block
// file names resolve against the project folder, or the motion's folder without a project.
// Messages the build shows go to `err`; any of them makes the exit status 1 even when the image
// could still be written.
int RunCompileCommand(const std::string& motionPath, const std::string& outPath,
                      const std::string& projectPath, int overridePercent, std::ostream& out,
                      std::ostream& err);

// `gestalon-cli startup P.KJZ -o OUT.BIN`: STARTUP.BIN as writing to the board builds it.
int RunStartupCommand(const std::string& projectPath, const std::string& outPath, std::ostream& out,
                      std::ostream& err);

}  // namespace gestalon::cli

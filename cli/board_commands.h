#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace gestalon::cli {

// `gestalon-cli write P.KJZ --drive PATH`: writes the robot to the board drive at PATH as the
// write dialog does (CPU settings file, STARTUP.BIN, the copy onto the drive, the cache flush and
// the settings load into the board's memory). PATH is taken as the board without asking the drive
// for its identification. The settings go into the board's memory through PATH/DEVMEM; a folder
// without DEVMEM (a virtual board's card folder) gets the files only, with a note on `err`: the
// board loads the settings from STARTUP.BIN when it starts. Every message the write showed goes
// to `err`, a summary (image size, files copied, memory load) to `out`. Exit 0 only when
// everything was written without a message other than the final success.
int RunWriteCommand(const std::string& projectPath, const std::string& drivePath, std::ostream& out,
                    std::ostream& err);

// `gestalon-cli simulate P.KJZ IMAGE.BIN [--ms N] [--pad HEX]`: plays the image on a virtual board
// whose card is a temporary copy of the project folder, after the project's settings program
// has put the CPU settings into its memory and with `pad` as the controller buttons at 0x0EE4.
// Runs `milliseconds` of simulated time, one basic control cycle at a time, and prints JSON lines
// on `out`: a "pose" event for every move queued, a "block" event for every change of the code
// address at 0x0FFC, an "end" event when the play byte clears (the simulation stops there). t_ms
// is the start of the control cycle in which the event happened. Errors the board reports go to
// `err`; a program that stops on an error exits with 1.
int RunSimulateCommand(const std::string& projectPath, const std::string& imagePath,
                       int milliseconds, const std::string& pad, std::ostream& out,
                       std::ostream& err);

// The controller word of --pad: 1 to 4 hexadecimal digits, optionally after "0x". None when the
// text is anything else.
std::optional<std::uint16_t> ParsePadWord(const std::string& text);

}  // namespace gestalon::cli

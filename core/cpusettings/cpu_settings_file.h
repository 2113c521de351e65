#pragma once

#include <filesystem>

#include "cpusettings/cpu_settings.h"

namespace gestalon::core {

class Prompter;

// Writes the settings as the board's start-up script: "#" comment lines in the ANSI code page,
// mem_w elements (address, unit size, values) and the jump element naming the start-up motion,
// CR LF line ends. The firmware version, settings word 0x92, second motion and extra file are
// not stored; motor word 22 is written as 0. The file is replaced only when everything was
// written: false leaves any previous file untouched.
bool WriteCpuSettingsFile(const std::filesystem::path& path, const CpuSettings& settings);

// Reads a settings file into `settings`; fields the file does not name keep their values
// (callers clear the record first). Only the first 16 bytes of the model name are taken. A
// format newer than the program's is reported through `prompter` (null: quiet) and reading goes
// on. Malformed text never stops the reading: what cannot be understood is skipped. False only
// when the file cannot be opened.
bool ReadCpuSettingsFile(const std::filesystem::path& path, CpuSettings& settings,
                         Prompter* prompter);

}  // namespace gestalon::core

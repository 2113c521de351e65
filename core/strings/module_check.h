#pragma once

#include <string>
#include <vector>

#include "strings/string_table.h"

namespace gestalon::core {

// What a formatter takes from a text: one entry per conversion of FormatText ("signed",
// "unsigned", "double", "char", "text", with its length modifier; "*" widths as "signed") and
// "%%" for each literal percent sign, which a text formatted twice turns into a conversion.
std::vector<std::string> FormatSignature(std::u16string_view text);

// The line breaks and tabs of a text in order ("\r\n", "\n", "\r", "\t"): dialogs and message
// boxes lay out the lines and columns they make.
std::vector<std::string> LayoutBreaks(std::u16string_view text);

struct ModuleProblem {
  int id = 0;
  std::string what;
};

// Where a language module cannot stand in for the program's table: ids missing or unknown,
// conversions or line structure that differ, texts over the 4095 characters a text may hold.
std::vector<ModuleProblem> CheckLanguageModule(const StringTable& program,
                                               const StringTable& module);

}  // namespace gestalon::core

#pragma once

#include <optional>
#include <string>

#include "strings/string_table.h"

namespace gestalon::core {

// Where every user-visible text comes from: the program's own table, replaced by a language
// module when one is loaded. Load() is safe from any thread; SetLanguageModule and
// ClearLanguageModule belong to start-up and shut-down, before and after the workers run.
class TextLoader {
 public:
  TextLoader();  // the program's own table
  explicit TextLoader(StringTable builtIn);

  // From now on texts come from `module`; ids it lacks still come from the program's table,
  // so an incomplete translation never shows an empty message.
  void SetLanguageModule(StringTable module);
  void ClearLanguageModule();
  bool HasLanguageModule() const { return module_.has_value(); }

  // The text with that id, at most 4095 characters; empty when no table has it.
  std::u16string Load(int id) const;

  const StringTable& BuiltIn() const { return builtIn_; }

 private:
  StringTable builtIn_;
  std::optional<StringTable> module_;
};

// The process-wide loader that LoadText uses.
TextLoader& ProgramTexts();

// ProgramTexts().Load(id).
std::u16string LoadText(int id);

// The string table compiled into the program (UTF-8 "id<TAB>text" lines).
std::string_view EmbeddedStringTable();

}  // namespace gestalon::core

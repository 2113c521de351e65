#pragma once

#include <map>
#include <string>
#include <string_view>

namespace gestalon::core {

// Texts by id, read from the string-table format: UTF-8 lines "id<TAB>text"; in the text "\\",
// "\r", "\n" and "\t" stand for a backslash, CR, LF and TAB. Empty lines and lines starting with
// '#' are skipped; CR LF line ends are accepted.
class StringTable {
 public:
  // Parses `tsv`. Lines that are not "number<TAB>text" are skipped and counted in BadLines().
  static StringTable Parse(std::string_view tsv);

  // The text, or nullptr when the table has no such id.
  const std::u16string* Find(int id) const;
  std::size_t Size() const { return texts_.size(); }
  int BadLines() const { return badLines_; }
  const std::map<int, std::u16string>& Entries() const { return texts_; }

 private:
  std::map<int, std::u16string> texts_;
  int badLines_ = 0;
};

// The inverse of the escapes above, for writing a table.
std::string EscapeStringTableText(std::u16string_view text);

}  // namespace gestalon::core

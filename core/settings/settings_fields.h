#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gestalon::core {

// Reads the bracketed fields that follow a key in one settings line, left to right:
// numeric fields "[12]", text fields "[[name]]", comma groups "[255,0,0]". Only the brackets
// matter; whatever stands between fields is skipped. A field whose brackets are missing is empty
// and ends the line (every later field is empty too).
class FieldReader {
 public:
  // Starts after the first occurrence of `key` (case-sensitive, anywhere in the line) that does
  // not stand inside a text field.
  FieldReader(std::u16string_view line, std::u16string_view key);

  bool KeyFound() const { return found_; }

  // Text between the next '[' and the next ']' after it.
  std::u16string_view NextField();
  // Text between the next "[[" and the next "]]" after it; when "]]]" closes the field, the first
  // ']' belongs to the text.
  std::u16string_view NextText();
  // NextText as a name: SettingsFieldName(NextText(), maxChars).
  std::u16string NextName(std::size_t maxChars);

  // NextField converted: decimal (empty -> 0), floating point, or its comma-separated parts.
  std::int32_t NextInt();
  double NextDouble();
  std::vector<std::u16string_view> NextGroup();

 private:
  std::u16string_view Between(std::u16string_view open, std::u16string_view close);

  std::u16string_view line_;
  std::size_t pos_ = 0;
  bool found_ = false;
};

// Splits a field at its commas ("255,0,0" -> "255", "0", "0"); an empty field gives one empty part.
std::vector<std::u16string_view> SplitGroup(std::u16string_view field);

// True when `text` written as a text field ("[[text]]") reads back unchanged: it holds no "]]" and
// no control character (a line break would end the line). Single brackets are fine, also at the
// end. Names that the user types are checked with this before they are taken.
bool IsSettingsFieldText(std::u16string_view text);

// `text` made fit for a text field: control characters become blanks and each run of ']' becomes
// one ']'. Returns `text` unchanged when IsSettingsFieldText(text). The writers pass every text
// field through this, so what a file holds always reads back as written.
std::u16string SettingsFieldText(std::u16string_view text);

// A name as it is read and written: cut to `maxChars` (TruncateText), then SettingsFieldText.
std::u16string SettingsFieldName(std::u16string_view text, std::size_t maxChars);

}  // namespace gestalon::core

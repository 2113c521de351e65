#pragma once

#include <cstdint>
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
  // Text between the next "[[" and the next "]]" after it.
  std::u16string_view NextText();

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

}  // namespace gestalon::core

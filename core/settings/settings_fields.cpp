#include "settings/settings_fields.h"

#include "text/number_parse.h"

namespace gestalon::core {

namespace {

// True when `at` lies between the "[[" and "]]" of a text field, pairing them as the reader does:
// each "[[" with the next "]]" after it.
bool InsideTextField(std::u16string_view line, std::size_t at) {
  std::size_t start = 0;
  while (true) {
    const std::size_t open = line.find(u"[[", start);
    if (open == std::u16string_view::npos || open >= at) {
      return false;
    }
    const std::size_t close = line.find(u"]]", open + 2);
    if (close == std::u16string_view::npos) {
      return false;
    }
    if (at < close) {
      return true;
    }
    start = close + 2;
  }
}

}  // namespace

FieldReader::FieldReader(std::u16string_view line, std::u16string_view key) : line_(line) {
  // A name or path that happens to contain a key's text must not act as that key.
  std::size_t at = line.find(key);
  while (at != std::u16string_view::npos && InsideTextField(line, at)) {
    at = line.find(key, at + 1);
  }
  found_ = at != std::u16string_view::npos;
  pos_ = found_ ? at + key.size() : line.size();
}

std::u16string_view FieldReader::Between(std::u16string_view open, std::u16string_view close) {
  const std::size_t begin = line_.find(open, pos_);
  if (begin == std::u16string_view::npos) {
    pos_ = line_.size();
    return {};
  }
  const std::size_t contentStart = begin + open.size();
  const std::size_t end = line_.find(close, contentStart);
  if (end == std::u16string_view::npos) {
    pos_ = line_.size();
    return {};
  }
  pos_ = end + close.size();
  return line_.substr(contentStart, end - contentStart);
}

std::u16string_view FieldReader::NextField() {
  return Between(u"[", u"]");
}

std::u16string_view FieldReader::NextText() {
  return Between(u"[[", u"]]");
}

std::int32_t FieldReader::NextInt() {
  return ParseDecimal(NextField());
}

double FieldReader::NextDouble() {
  return ParseFloat(NextField());
}

std::vector<std::u16string_view> FieldReader::NextGroup() {
  return SplitGroup(NextField());
}

std::vector<std::u16string_view> SplitGroup(std::u16string_view field) {
  std::vector<std::u16string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = field.find(u',', start);
    parts.push_back(
        field.substr(start, comma == std::u16string_view::npos ? comma : comma - start));
    if (comma == std::u16string_view::npos) {
      break;
    }
    start = comma + 1;
  }
  return parts;
}

}  // namespace gestalon::core

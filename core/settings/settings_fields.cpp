#include "settings/settings_fields.h"

#include <algorithm>

#include "text/number_parse.h"
#include "text/truncate.h"

namespace gestalon::core {

namespace {

// Where the "]]" that closes a text field whose text starts at `from` begins: the next "]]", or
// one place later when a third ']' follows, so that a text may end in a single ']' ("Pose[1]" is
// written "[[Pose[1]]]"). npos when the field is not closed.
std::size_t TextFieldClose(std::u16string_view line, std::size_t from) {
  std::size_t close = line.find(u"]]", from);
  if (close != std::u16string_view::npos && close + 2 < line.size() && line[close + 2] == u']') {
    ++close;
  }
  return close;
}

bool IsControl(char16_t c) {
  return c < 0x20;
}

// True when `at` lies between the "[[" and "]]" of a text field, pairing them as the reader does.
bool InsideTextField(std::u16string_view line, std::size_t at) {
  std::size_t start = 0;
  while (true) {
    const std::size_t open = line.find(u"[[", start);
    if (open == std::u16string_view::npos || open >= at) {
      return false;
    }
    const std::size_t close = TextFieldClose(line, open + 2);
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
  const std::size_t end =
      close == u"]]" ? TextFieldClose(line_, contentStart) : line_.find(close, contentStart);
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

std::u16string FieldReader::NextName(std::size_t maxChars) {
  return SettingsFieldName(NextText(), maxChars);
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

bool IsSettingsFieldText(std::u16string_view text) {
  return text.find(u"]]") == std::u16string_view::npos &&
         std::none_of(text.begin(), text.end(), IsControl);
}

std::u16string SettingsFieldText(std::u16string_view text) {
  std::u16string clean;
  clean.reserve(text.size());
  for (char16_t c : text) {
    if (c == u']' && !clean.empty() && clean.back() == u']') {
      continue;
    }
    clean.push_back(IsControl(c) ? u' ' : c);
  }
  return clean;
}

std::u16string SettingsFieldName(std::u16string_view text, std::size_t maxChars) {
  return SettingsFieldText(TruncateText(text, maxChars));
}

}  // namespace gestalon::core

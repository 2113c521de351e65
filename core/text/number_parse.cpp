#include "text/number_parse.h"

#include <charconv>
#include <limits>
#include <string>

#include "text/code_page.h"

namespace gestalon::core {
namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') {
    return c - u'0';
  }
  if (c >= u'a' && c <= u'f') {
    return c - u'a' + 10;
  }
  if (c >= u'A' && c <= u'F') {
    return c - u'A' + 10;
  }
  return -1;
}

bool IsCSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

}  // namespace

std::int32_t ParseDecimal(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min(value * 10 + (text[i] - u'0'), kLimit);
  }
  if (negative) {
    return static_cast<std::int32_t>(-value);
  }
  return static_cast<std::int32_t>(std::min<std::int64_t>(value, kLimit - 1));
}

double ParseFloat(std::u16string_view text) {
  const std::string ansi = ToAnsi(text);
  std::size_t i = 0;
  while (i < ansi.size() && IsCSpace(static_cast<char16_t>(static_cast<unsigned char>(ansi[i])))) {
    ++i;
  }
  bool negative = false;
  if (i < ansi.size() && (ansi[i] == '+' || ansi[i] == '-')) {
    negative = ansi[i] == '-';
    ++i;
  }
  double value = 0.0;
  const char* begin = ansi.data() + i;
  std::from_chars(begin, ansi.data() + ansi.size(), value, std::chars_format::general);
  return negative ? -value : value;
}

std::uint16_t ParseHex4(std::u16string_view text) {
  if (text.size() < 4) {
    return 0;
  }
  unsigned value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) {
      return 0;
    }
    value = value * 16 + static_cast<unsigned>(d);
  }
  return static_cast<std::uint16_t>(value);
}

std::uint32_t ParseHexText(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
    ++i;
  }
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) {
      break;
    }
    value = value * 16 + static_cast<std::uint32_t>(d);
  }
  return value;
}

std::int32_t ParseNumberText(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && HexDigit(text[i]) < 0 && text[i] != u'+' && text[i] != u'-' &&
         text[i] != u'.') {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  const std::u16string_view rest = text.substr(i);
  std::int32_t value;
  if (rest.size() >= 2 && rest[0] == u'0' && (rest[1] == u'x' || rest[1] == u'X')) {
    value = static_cast<std::int32_t>(ParseHexText(rest.substr(2)));
  } else {
    value = ParseDecimal(rest);
  }
  return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(value)) : value;
}

}  // namespace gestalon::core

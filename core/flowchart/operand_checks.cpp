#include "flowchart/operand_checks.h"

#include <algorithm>
#include <limits>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace gestalon::core {
namespace {

constexpr std::u16string_view kHexPrefix = u"0x";

bool IsFullWidthNumberChar(char16_t c) {
  return (c >= u'０' && c <= u'９') || (c >= u'ａ' && c <= u'ｆ') || (c >= u'Ａ' && c <= u'Ｆ') ||
         c == u'ｘ' || c == u'Ｘ';
}

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
}

bool IsNumberPunctuation(char16_t c) {
  return c == u'.' || c == u'+' || c == u' ' || c == u'-';
}

bool AllOf(std::u16string_view text, bool (*allowed)(char16_t)) {
  return std::all_of(text.begin(), text.end(), allowed);
}

// Lower-case hexadecimal digits after leading blanks, up to the first other character; values
// beyond 32 bits stay at the largest one.
std::int64_t ReadHexSaturating(std::u16string_view digits) {
  constexpr std::int64_t kMax = std::numeric_limits<std::uint32_t>::max();
  std::size_t i = digits.find_first_not_of(u' ');
  std::int64_t value = 0;
  for (; i < digits.size() && IsHexDigit(digits[i]); ++i) {
    const char16_t c = digits[i];
    value = std::min(value * 16 + (c <= u'9' ? c - u'0' : c - u'a' + 10), kMax);
  }
  return value;
}

}  // namespace

std::u16string NormalizeFullWidthNumber(std::u16string_view text) {
  std::u16string normal(text);
  for (char16_t& c : normal) {
    if (IsFullWidthNumberChar(c)) {
      c = static_cast<char16_t>(c - (u'０' - u'0'));
    }
  }
  return normal;
}

ConstantTextKind ClassifyConstantText(std::u16string_view text) {
  if (text.size() >= 3 && text.starts_with(kHexPrefix)) {
    return AllOf(text.substr(kHexPrefix.size()),
                 [](char16_t c) { return IsHexDigit(c) || IsNumberPunctuation(c); })
               ? ConstantTextKind::kHexadecimal
               : ConstantTextKind::kInvalid;
  }
  return AllOf(text, [](char16_t c) { return (c >= u'0' && c <= u'9') || IsNumberPunctuation(c); })
             ? ConstantTextKind::kDecimal
             : ConstantTextKind::kInvalid;
}

std::u16string CheckBlockConstant(std::u16string_view text, std::uint32_t varSize,
                                  std::int32_t& value) {
  const std::u16string normal = NormalizeFullWidthNumber(text);
  std::int64_t read = 0;
  switch (ClassifyConstantText(normal)) {
    case ConstantTextKind::kInvalid:
      return LoadText(TextId::kMsgConstNotNumber);
    case ConstantTextKind::kDecimal:
      read = ParseDecimal(normal);
      break;
    case ConstantTextKind::kHexadecimal:
      read = ReadHexSaturating(std::u16string_view(normal).substr(kHexPrefix.size()));
      break;
  }
  if (varSize == 1 && (read < -128 || read > 255)) {
    return LoadText(TextId::kMsgConstOver1Byte);
  }
  if (varSize == 2 && (read < -32768 || read > 65535)) {
    return LoadText(TextId::kMsgConstOver2Byte);
  }
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(read));
  return {};
}

std::u16string BlockConstantText(std::int32_t value, std::uint32_t varSize, bool hexadecimal) {
  if (!hexadecimal) {
    return Format(u"%d", value);
  }
  const int format = varSize == 1   ? TextId::kFmtHex8
                     : varSize == 2 ? TextId::kFmtHex16
                                    : TextId::kFmtHex32;
  return Format(LoadText(format), value);
}

}  // namespace gestalon::core

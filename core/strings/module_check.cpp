#include "strings/module_check.h"

namespace gestalon::core {
namespace {

constexpr std::size_t kMaxTextChars = 4095;

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// Skips digits or one '*' (which takes an argument) at `i`.
void SkipCount(std::u16string_view text, std::size_t& i, std::vector<std::string>& signature) {
  if (i < text.size() && text[i] == u'*') {
    signature.emplace_back("signed");
    ++i;
    return;
  }
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
  }
}

std::string LengthModifier(std::u16string_view text, std::size_t& i) {
  for (const std::u16string_view length : {u"hh", u"h", u"ll", u"l", u"I64"}) {
    if (text.substr(i, length.size()) == length) {
      i += length.size();
      return std::string(length.begin(), length.end()) + " ";
    }
  }
  return {};
}

const char* ArgumentKind(char16_t conversion) {
  switch (conversion) {
    case u'd':
    case u'i':
      return "signed";
    case u'u':
    case u'x':
    case u'X':
    case u'o':
      return "unsigned";
    case u'f':
    case u'F':
    case u'e':
    case u'E':
    case u'g':
    case u'G':
      return "double";
    case u'c':
      return "char";
    case u's':
      return "text";
    default:
      return nullptr;
  }
}

}  // namespace

std::vector<std::string> FormatSignature(std::u16string_view text) {
  std::vector<std::string> signature;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') {
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == u'%') {
      signature.emplace_back("%%");
      ++i;
      continue;
    }
    std::size_t at = i + 1;
    std::vector<std::string> conversion;
    while (at < text.size() &&
           std::u16string_view(u"-+ #0").find(text[at]) != std::u16string_view::npos) {
      ++at;
    }
    SkipCount(text, at, conversion);
    if (at < text.size() && text[at] == u'.') {
      ++at;
      SkipCount(text, at, conversion);
    }
    const std::string length = LengthModifier(text, at);
    const char* kind = at < text.size() ? ArgumentKind(text[at]) : nullptr;
    if (kind == nullptr) {
      continue;  // not a conversion: the formatter copies it as it stands
    }
    conversion.push_back(length + kind);
    signature.insert(signature.end(), conversion.begin(), conversion.end());
    i = at;
  }
  return signature;
}

std::vector<std::string> LayoutBreaks(std::u16string_view text) {
  std::vector<std::string> breaks;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      breaks.emplace_back("\\r\\n");
      ++i;
    } else if (text[i] == u'\r') {
      breaks.emplace_back("\\r");
    } else if (text[i] == u'\n') {
      breaks.emplace_back("\\n");
    } else if (text[i] == u'\t') {
      breaks.emplace_back("\\t");
    }
  }
  return breaks;
}

std::vector<ModuleProblem> CheckLanguageModule(const StringTable& program,
                                               const StringTable& module) {
  std::vector<ModuleProblem> problems;
  for (const auto& [id, text] : program.Entries()) {
    const std::u16string* translated = module.Find(id);
    if (translated == nullptr) {
      problems.push_back({id, "missing"});
      continue;
    }
    if (FormatSignature(*translated) != FormatSignature(text)) {
      problems.push_back({id, "conversions differ"});
    }
    if (LayoutBreaks(*translated) != LayoutBreaks(text)) {
      problems.push_back({id, "line breaks or tabs differ"});
    }
    if (translated->size() > kMaxTextChars) {
      problems.push_back({id, "longer than 4095 characters"});
    }
  }
  for (const auto& entry : module.Entries()) {
    if (program.Find(entry.first) == nullptr) {
      problems.push_back({entry.first, "not in the program's table"});
    }
  }
  return problems;
}

}  // namespace gestalon::core

#include "text/format.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace gestalon::core {
namespace {

constexpr int kMaxWidth = 4096;

enum class Length { kDefault, kChar, kShort, kLong64 };

struct Conversion {
  std::string flags;
  int width = -1;
  int precision = -1;
  Length length = Length::kDefault;
  char16_t conversion = 0;
};

class ArgReader {
 public:
  explicit ArgReader(std::initializer_list<FormatArg> args) : args_(args) {}
  const FormatArg* Next() {
    if (next_ >= args_.size()) {
      return nullptr;
    }
    return args_.begin() + next_++;
  }
  int NextInt() {
    const FormatArg* a = Next();
    return a ? static_cast<int>(a->AsSigned()) : 0;
  }

 private:
  std::initializer_list<FormatArg> args_;
  std::size_t next_ = 0;
};

void AppendAscii(std::u16string& out, const std::string& text) {
  out.append(text.begin(), text.end());
}

std::string Snprintf(const std::string& format, auto value) {
  const int needed = std::snprintf(nullptr, 0, format.c_str(), value);
  if (needed <= 0) {
    return {};
  }
  std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
  std::snprintf(buffer.data(), buffer.size(), format.c_str(), value);
  return std::string(buffer.data(), static_cast<std::size_t>(needed));
}

std::string NarrowFormat(const Conversion& conv, const char* length, char conversion) {
  std::string s = "%";
  s += conv.flags;
  if (conv.width >= 0) {
    s += std::to_string(conv.width);
  }
  if (conv.precision >= 0) {
    s += '.';
    s += std::to_string(conv.precision);
  }
  return s + length + conversion;
}

void Pad(std::u16string& out, std::u16string_view body, const Conversion& conv) {
  const auto width = static_cast<std::size_t>(std::max(conv.width, 0));
  const bool left = conv.flags.find('-') != std::string::npos;
  const std::size_t fill = body.size() < width ? width - body.size() : 0;
  if (!left) {
    out.append(fill, u' ');
  }
  out.append(body);
  if (left) {
    out.append(fill, u' ');
  }
}

std::int64_t SignedForLength(const FormatArg* a, Length length) {
  const std::int64_t v = a ? a->AsSigned() : 0;
  switch (length) {
    case Length::kChar:
      return static_cast<std::int8_t>(v);
    case Length::kShort:
      return static_cast<std::int16_t>(v);
    case Length::kDefault:
      return static_cast<std::int32_t>(v);
    case Length::kLong64:
      return v;
  }
  return v;
}

std::uint64_t UnsignedForLength(const FormatArg* a, Length length) {
  const std::uint64_t v = a ? a->AsUnsigned() : 0;
  switch (length) {
    case Length::kChar:
      return static_cast<std::uint8_t>(v);
    case Length::kShort:
      return static_cast<std::uint16_t>(v);
    case Length::kDefault:
      return static_cast<std::uint32_t>(v);
    case Length::kLong64:
      return v;
  }
  return v;
}

void FormatOne(std::u16string& out, const Conversion& conv, ArgReader& args) {
  const char16_t c = conv.conversion;
  switch (c) {
    case u'd':
    case u'i': {
      const auto v = static_cast<long long>(SignedForLength(args.Next(), conv.length));
      AppendAscii(out, Snprintf(NarrowFormat(conv, "ll", 'd'), v));
      return;
    }
    case u'u':
    case u'x':
    case u'X':
    case u'o': {
      const auto v = static_cast<unsigned long long>(UnsignedForLength(args.Next(), conv.length));
      AppendAscii(out, Snprintf(NarrowFormat(conv, "ll", static_cast<char>(c)), v));
      return;
    }
    case u'f':
    case u'F':
    case u'e':
    case u'E':
    case u'g':
    case u'G': {
      const FormatArg* a = args.Next();
      AppendAscii(out,
                  Snprintf(NarrowFormat(conv, "", static_cast<char>(c)), a ? a->AsDouble() : 0.0));
      return;
    }
    case u'c': {
      const FormatArg* a = args.Next();
      const char16_t ch = a ? static_cast<char16_t>(a->AsUnsigned()) : u'\0';
      Pad(out, std::u16string_view(&ch, 1), conv);
      return;
    }
    case u's':
    case u'S': {
      const FormatArg* a = args.Next();
      std::u16string number;
      std::u16string_view text;
      if (a && a->kind() == FormatArg::Kind::kText) {
        text = a->AsText();
      } else if (a) {
        number = Format(u"%lld", static_cast<long long>(a->AsSigned()));
        text = number;
      }
      if (conv.precision >= 0 && text.size() > static_cast<std::size_t>(conv.precision)) {
        text = text.substr(0, static_cast<std::size_t>(conv.precision));
      }
      Pad(out, text, conv);
      return;
    }
    default:
      return;
  }
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// Reads a width or precision: digits, or '*' taken from the arguments.
int ReadCount(std::u16string_view format, std::size_t& i, ArgReader& args, bool& fromStar) {
  fromStar = false;
  if (i < format.size() && format[i] == u'*') {
    ++i;
    fromStar = true;
    return args.NextInt();
  }
  int n = 0;
  while (i < format.size() && IsDigit(format[i])) {
    n = std::min(n * 10 + (format[i] - u'0'), kMaxWidth);
    ++i;
  }
  return n;
}

}  // namespace

std::int64_t FormatArg::AsSigned() const {
  switch (kind_) {
    case Kind::kSigned:
      return signed_;
    case Kind::kUnsigned:
    case Kind::kChar:
      return static_cast<std::int64_t>(unsigned_);
    case Kind::kDouble:
      return static_cast<std::int64_t>(double_);
    case Kind::kText:
      return 0;
  }
  return 0;
}

std::uint64_t FormatArg::AsUnsigned() const {
  return kind_ == Kind::kUnsigned || kind_ == Kind::kChar ? unsigned_
                                                          : static_cast<std::uint64_t>(AsSigned());
}

double FormatArg::AsDouble() const {
  switch (kind_) {
    case Kind::kDouble:
      return double_;
    case Kind::kSigned:
      return static_cast<double>(signed_);
    case Kind::kUnsigned:
    case Kind::kChar:
      return static_cast<double>(unsigned_);
    case Kind::kText:
      return 0.0;
  }
  return 0.0;
}

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args) {
  ArgReader reader(args);
  std::u16string out;
  out.reserve(format.size() + 16);
  std::size_t i = 0;
  while (i < format.size()) {
    const char16_t ch = format[i];
    if (ch != u'%') {
      out.push_back(ch);
      ++i;
      continue;
    }
    const std::size_t start = i++;
    if (i < format.size() && format[i] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    Conversion conv;
    while (i < format.size() &&
           std::u16string_view(u"-+ #0").find(format[i]) != std::u16string_view::npos) {
      if (conv.flags.find(static_cast<char>(format[i])) == std::string::npos) {
        conv.flags.push_back(static_cast<char>(format[i]));
      }
      ++i;
    }
    bool star = false;
    if (i < format.size() && (format[i] == u'*' || IsDigit(format[i]))) {
      conv.width = ReadCount(format, i, reader, star);
      if (star && conv.width < 0) {
        conv.flags.push_back('-');
        conv.width = -conv.width;
      }
      conv.width = std::min(conv.width, kMaxWidth);
    }
    if (i < format.size() && format[i] == u'.') {
      ++i;
      conv.precision = std::clamp(ReadCount(format, i, reader, star), -1, kMaxWidth);
    }
    if (format.substr(i).starts_with(u"I64") || format.substr(i).starts_with(u"ll")) {
      conv.length = Length::kLong64;
      i += format[i] == u'I' ? 3 : 2;
    } else if (format.substr(i).starts_with(u"hh")) {
      conv.length = Length::kChar;
      i += 2;
    } else if (i < format.size() && format[i] == u'h') {
      conv.length = Length::kShort;
      ++i;
    } else if (i < format.size() && (format[i] == u'l' || format[i] == u'L' || format[i] == u'w')) {
      ++i;  // long is 32 bits on the systems the formats come from; %lf is %f; %ls is %s
    }
    if (i >= format.size() ||
        std::u16string_view(u"diuxXofFeEgGcsS").find(format[i]) == std::u16string_view::npos) {
      // Unknown or cut-off conversion: copied as it stands.
      const std::size_t end = std::min(i + 1, format.size());
      out.append(format.substr(start, end - start));
      i = end;
      continue;
    }
    conv.conversion = format[i++];
    FormatOne(out, conv, reader);
  }
  return out;
}

}  // namespace gestalon::core

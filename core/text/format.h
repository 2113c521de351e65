#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace gestalon::core {

// One argument of FormatText: an integer, a floating-point number, a character or a UTF-16 text.
class FormatArg {
 public:
  enum class Kind { kSigned, kUnsigned, kDouble, kChar, kText };

  template <std::signed_integral T>
  FormatArg(T v) : kind_(Kind::kSigned), signed_(v) {}
  template <std::unsigned_integral T>
  requires(!std::same_as<T, bool>) FormatArg(T v) : kind_(Kind::kUnsigned), unsigned_(v) {}
  FormatArg(bool v) : kind_(Kind::kSigned), signed_(v ? 1 : 0) {}
  FormatArg(double v) : kind_(Kind::kDouble), double_(v) {}
  FormatArg(char16_t c) : kind_(Kind::kChar), unsigned_(c) {}
  FormatArg(std::u16string_view s) : kind_(Kind::kText), text_(s) {}
  FormatArg(const std::u16string& s) : kind_(Kind::kText), text_(s) {}
  FormatArg(const char16_t* s) : kind_(Kind::kText), text_(s ? s : u"") {}

  Kind kind() const { return kind_; }
  std::int64_t AsSigned() const;
  std::uint64_t AsUnsigned() const;
  double AsDouble() const;
  std::u16string_view AsText() const { return text_; }

 private:
  Kind kind_;
  std::int64_t signed_ = 0;
  std::uint64_t unsigned_ = 0;
  double double_ = 0.0;
  std::u16string_view text_;
};

// printf-style formatting into UTF-16, with the conversions d i u x X o c s f F e E g G and %%,
// flags "-+ #0", width and precision (digits or '*'), and the length modifiers h hh l ll I64.
// As with the C library on the systems the files come from, an integer without a length
// modifier is taken as 32 bits (so "%04x" of -1 gives "ffffffff"). Defined results where C
// leaves them undefined: a missing argument reads as 0 or an empty text, a number given for %s
// prints in decimal, a text given for a number reads as 0, and an unknown conversion is copied
// literally. Widths and precisions are capped at 4096.
std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args);

template <typename... Args>
std::u16string Format(std::u16string_view format, const Args&... args) {
  return FormatText(format, {FormatArg(args)...});
}

}  // namespace gestalon::core

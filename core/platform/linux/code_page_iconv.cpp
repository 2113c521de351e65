// Code page conversion through glibc iconv.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "text/code_page.h"

namespace gestalon::core {
namespace {

constexpr const char* kUtf16Host =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One descriptor per direction and code page, per thread: iconv_t keeps shift state and must not
// be shared between threads.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (Valid()) {
      iconv_close(cd_);
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

  // Converts as much as possible; returns errno of the stop (0 when all input was consumed).
  int Convert(const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[4096];
    while (inLeft > 0) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        return errno;
      }
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

std::string IconvName(unsigned codePage) {
  if (codePage == 65001) {
    return "UTF-8";
  }
  return "CP" + std::to_string(codePage);
}

Converter& ConverterFor(unsigned codePage, bool toAnsi) {
  thread_local std::map<std::pair<unsigned, bool>, std::unique_ptr<Converter>> cache;
  auto& slot = cache[{codePage, toAnsi}];
  if (!slot) {
    slot = toAnsi ? std::make_unique<Converter>(IconvName(codePage), kUtf16Host)
                  : std::make_unique<Converter>(kUtf16Host, IconvName(codePage));
  }
  slot->Reset();
  return *slot;
}

// Single bytes that the system converter's code page 932 maps although iconv refuses them; each
// converts back to its byte.
struct ExtraByte {
  unsigned char byte;
  char16_t unit;
};
constexpr ExtraByte kCp932ExtraBytes[] = {
    {0x80, u'\u0080'}, {0xA0, u'\uF8F0'}, {0xFD, u'\uF8F1'}, {0xFE, u'\uF8F2'}, {0xFF, u'\uF8F3'}};

const ExtraByte* FindExtraByte(unsigned codePage, unsigned char byte, char16_t unit) {
  if (codePage != 932) {
    return nullptr;
  }
  for (const ExtraByte& extra : kCp932ExtraBytes) {
    if (extra.byte == byte || extra.unit == unit) {
      return &extra;
    }
  }
  return nullptr;
}

std::u16string BytesToUtf16(const std::string& bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

}  // namespace

unsigned SystemAnsiCodePage() {
  return 932;
}

std::string ToAnsi(std::u16string_view text, unsigned codePage) {
  Converter& conv = ConverterFor(codePage, true);
  std::string out;
  if (!conv.Valid()) {
    // Unknown code page: keep ASCII, default character for everything else.
    for (char16_t c : text) {
      out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
  }
  const char* in = reinterpret_cast<const char*>(text.data());
  std::size_t inLeft = text.size() * 2;
  while (inLeft > 0) {
    if (conv.Convert(in, inLeft, out) == 0) {
      break;
    }
    // Skip the offending character: a surrogate pair counts as one character.
    char16_t unit;
    std::memcpy(&unit, in, 2);
    std::size_t skip = 2;
    if (unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4) {
      char16_t next;
      std::memcpy(&next, in + 2, 2);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        skip = 4;
      }
    }
    skip = std::min(skip, inLeft);
    in += skip;
    inLeft -= skip;
    const ExtraByte* extra = FindExtraByte(codePage, 0, unit);
    out.push_back(extra ? static_cast<char>(extra->byte) : '?');
    conv.Reset();
  }
  return out;
}

std::u16string FromAnsi(std::string_view bytes, unsigned codePage) {
  Converter& conv = ConverterFor(codePage, false);
  std::string out;
  if (!conv.Valid()) {
    std::u16string plain;
    for (char b : bytes) {
      const auto u = static_cast<unsigned char>(b);
      plain.push_back(u < 0x80 ? char16_t{u} : kAnsiDecodeDefault);
    }
    return plain;
  }
  const char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  const char16_t fallback = kAnsiDecodeDefault;
  while (inLeft > 0) {
    if (conv.Convert(in, inLeft, out) == 0) {
      break;
    }
    const ExtraByte* extra = FindExtraByte(codePage, static_cast<unsigned char>(*in), 0);
    ++in;
    --inLeft;
    out.append(reinterpret_cast<const char*>(extra ? &extra->unit : &fallback), 2);
    conv.Reset();
  }
  return BytesToUtf16(out);
}

}  // namespace gestalon::core

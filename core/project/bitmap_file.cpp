#include "project/bitmap_file.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <new>

#include "platform/replacing_file.h"

namespace gestalon::core {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kLargestHeaderSize = 1024;

constexpr std::uint32_t kCompressionNone = 0;  // BI_RGB
constexpr std::uint32_t kBitFields = 3;        // BI_BITFIELDS
constexpr std::uint32_t kAlphaBitFields = 6;   // BI_ALPHABITFIELDS

using Bytes = std::vector<std::uint8_t>;

std::uint16_t U16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Exactly `count` bytes from `offset`, or nothing when the file is shorter.
std::optional<Bytes> ReadAt(std::ifstream& in, std::uint64_t fileSize, std::uint64_t offset,
                            std::uint64_t count) {
  if (offset > fileSize || count > fileSize - offset) {
    return std::nullopt;
  }
  Bytes bytes(static_cast<std::size_t>(count));
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  if (static_cast<std::uint64_t>(in.gcount()) != count) {
    return std::nullopt;
  }
  return bytes;
}

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (m != 0) {
      shift = std::countr_zero(m);
      bits = 32 - std::countl_zero(m) - shift;
    }
  }

  std::uint32_t Extract(std::uint32_t pixel) const {
    if (bits == 0) {
      return 0;
    }
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) {
      return value >> (bits - 8);
    }
    const std::uint32_t maximum = (1u << bits) - 1;
    return (value * 255 + maximum / 2) / maximum;
  }
};

struct Layout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // always positive here
  bool topDown = false;
  std::uint32_t bitCount = 0;
  std::uint32_t compression = kCompressionNone;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
  std::uint64_t paletteOffset = 0;
  std::uint32_t paletteEntries = 0;
  std::uint32_t paletteEntrySize = 4;
};

// Reads the header fields that decide the pixel layout; nullopt for what this reader refuses.
std::optional<Layout> ReadLayout(const Bytes& header, std::uint32_t headerSize, std::ifstream& in,
                                 std::uint64_t fileSize) {
  Layout layout;
  std::uint32_t colorsUsed = 0;
  if (headerSize == kCoreHeaderSize) {
    layout.width = U16(header, 4);
    layout.height = U16(header, 6);
    layout.bitCount = U16(header, 10);
    layout.paletteEntrySize = 3;
  } else {
    layout.width = static_cast<std::int32_t>(U32(header, 4));
    const auto height = static_cast<std::int32_t>(U32(header, 8));
    if (height == INT32_MIN) {
      return std::nullopt;
    }
    layout.topDown = height < 0;
    layout.height = layout.topDown ? -height : height;
    layout.bitCount = U16(header, 14);
    layout.compression = U32(header, 16);
    colorsUsed = U32(header, 32);
  }
  if (layout.width < 1 || layout.width > kMaxBitmapSide || layout.height < 1 ||
      layout.height > kMaxBitmapSide) {
    return std::nullopt;
  }
  const std::uint32_t bits = layout.bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return std::nullopt;
  }
  const bool fields = layout.compression == kBitFields || layout.compression == kAlphaBitFields;
  if (layout.compression != kCompressionNone && !(fields && (bits == 16 || bits == 32))) {
    return std::nullopt;
  }

  std::uint64_t afterHeader = kFileHeaderSize + headerSize;
  if (fields) {
    if (headerSize >= kInfoHeaderSize + 12) {
      const int count = headerSize >= kInfoHeaderSize + 16 ? 4 : 3;
      for (int i = 0; i < count; ++i) {
        layout.masks[i] = U32(header, kInfoHeaderSize + 4 * i);
      }
    } else {
      // A plain info header is followed by the masks.
      const int count = layout.compression == kAlphaBitFields ? 4 : 3;
      const auto masks = ReadAt(in, fileSize, afterHeader, 4 * count);
      if (!masks) {
        return std::nullopt;
      }
      for (int i = 0; i < count; ++i) {
        layout.masks[i] = U32(*masks, 4 * i);
      }
      afterHeader += 4 * count;
    }
  } else if (bits == 16) {
    layout.masks = {0x7C00, 0x03E0, 0x001F, 0};
  } else if (bits == 32) {
    layout.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  }
  if (bits != 32) {
    layout.masks[3] = 0;  // only 32-bit images carry alpha
  }

  if (bits <= 8) {
    const std::uint32_t full = 1u << bits;
    layout.paletteEntries = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
    layout.paletteOffset = afterHeader;
  }
  return layout;
}

std::vector<std::uint32_t> ReadPalette(const Bytes& bytes, const Layout& layout) {
  std::vector<std::uint32_t> palette(std::size_t{1} << layout.bitCount, 0xFF000000u);
  for (std::uint32_t i = 0; i < layout.paletteEntries; ++i) {
    const std::size_t at = i * layout.paletteEntrySize;
    palette[i] = 0xFF000000u | (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
                 (static_cast<std::uint32_t>(bytes[at + 1]) << 8) | bytes[at];
  }
  return palette;
}

void DecodeRow(const std::uint8_t* row, const Layout& layout,
               const std::vector<std::uint32_t>& palette, const std::array<Channel, 4>& channels,
               std::uint32_t* out) {
  const std::int32_t width = layout.width;
  switch (layout.bitCount) {
    case 1:
    case 4:
    case 8: {
      const std::uint32_t bits = layout.bitCount;
      const std::uint32_t perByte = 8 / bits;
      const std::uint32_t valueMask = (1u << bits) - 1;
      for (std::int32_t x = 0; x < width; ++x) {
        const std::uint8_t byte = row[x / perByte];
        const std::uint32_t shift = 8 - bits * (x % perByte + 1);
        out[x] = palette[(byte >> shift) & valueMask];
      }
      break;
    }
    case 24:
      for (std::int32_t x = 0; x < width; ++x) {
        const std::uint8_t* p = row + 3 * x;
        out[x] = 0xFF000000u | (static_cast<std::uint32_t>(p[2]) << 16) |
                 (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
      }
      break;
    default: {
      const bool wide = layout.bitCount == 32;
      const bool alpha = channels[3].bits != 0;
      for (std::int32_t x = 0; x < width; ++x) {
        const std::uint8_t* p = row + (wide ? 4 : 2) * x;
        std::uint32_t pixel = p[0] | (static_cast<std::uint32_t>(p[1]) << 8);
        if (wide) {
          pixel |=
              (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
        }
        const std::uint32_t a = alpha ? channels[3].Extract(pixel) : 0xFF;
        out[x] = (a << 24) | (channels[0].Extract(pixel) << 16) |
                 (channels[1].Extract(pixel) << 8) | channels[2].Extract(pixel);
      }
      break;
    }
  }
}

std::optional<Bitmap> Decode(std::ifstream& in, std::uint64_t fileSize) {
  const auto fileHeader = ReadAt(in, fileSize, 0, kFileHeaderSize + 4);
  if (!fileHeader || (*fileHeader)[0] != 'B' || (*fileHeader)[1] != 'M') {
    return std::nullopt;
  }
  const std::uint32_t pixelOffset = U32(*fileHeader, 10);
  const std::uint32_t headerSize = U32(*fileHeader, kFileHeaderSize);
  if (headerSize != kCoreHeaderSize &&
      (headerSize < kInfoHeaderSize || headerSize > kLargestHeaderSize)) {
    return std::nullopt;
  }
  const auto header = ReadAt(in, fileSize, kFileHeaderSize, headerSize);
  if (!header) {
    return std::nullopt;
  }
  auto layout = ReadLayout(*header, headerSize, in, fileSize);
  if (!layout || pixelOffset < kFileHeaderSize + headerSize) {
    return std::nullopt;
  }

  std::vector<std::uint32_t> palette;
  if (layout->bitCount <= 8) {
    // Writers that leave the colour count at 0 may still store a shorter palette; it ends where
    // the pixels begin, and indexes beyond it show black.
    if (pixelOffset >= layout->paletteOffset) {
      const std::uint64_t room = (pixelOffset - layout->paletteOffset) / layout->paletteEntrySize;
      if (room < layout->paletteEntries) {
        layout->paletteEntries = static_cast<std::uint32_t>(room);
      }
    }
    const auto bytes = ReadAt(in, fileSize, layout->paletteOffset,
                              std::uint64_t{layout->paletteEntries} * layout->paletteEntrySize);
    if (!bytes) {
      return std::nullopt;
    }
    palette = ReadPalette(*bytes, *layout);
  }
  const std::array<Channel, 4> channels{Channel(layout->masks[0]), Channel(layout->masks[1]),
                                        Channel(layout->masks[2]), Channel(layout->masks[3])};

  const std::uint64_t stride =
      (std::uint64_t{static_cast<std::uint32_t>(layout->width)} * layout->bitCount + 31) / 32 * 4;
  const auto data = ReadAt(in, fileSize, pixelOffset, stride * layout->height);
  if (!data) {
    return std::nullopt;
  }

  Bitmap bitmap;
  bitmap.width = layout->width;
  bitmap.height = layout->height;
  bitmap.pixels.resize(static_cast<std::size_t>(layout->width) *
                       static_cast<std::size_t>(layout->height));
  for (std::int32_t y = 0; y < layout->height; ++y) {
    const std::int32_t fileRow = layout->topDown ? y : layout->height - 1 - y;
    DecodeRow(data->data() + stride * static_cast<std::uint64_t>(fileRow), *layout, palette,
              channels, bitmap.pixels.data() + static_cast<std::size_t>(y) * layout->width);
  }
  return bitmap;
}

void PutU16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(Bytes& b, std::uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}

}  // namespace

std::optional<Bitmap> LoadBitmapFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) {
    return std::nullopt;
  }
  const std::streamoff end = in.tellg();
  if (end < 0) {
    return std::nullopt;
  }
  try {
    return Decode(in, static_cast<std::uint64_t>(end));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

bool SaveBitmapFile(const std::filesystem::path& file, const Bitmap& bitmap) {
  if (bitmap.width < 1 || bitmap.width > kMaxBitmapSide || bitmap.height < 1 ||
      bitmap.height > kMaxBitmapSide ||
      bitmap.pixels.size() !=
          static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height)) {
    return false;
  }
  const std::uint32_t stride = (static_cast<std::uint32_t>(bitmap.width) * 24 + 31) / 32 * 4;
  const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(bitmap.height);
  const std::uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize;
  constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

  Bytes bytes;
  try {
    bytes.reserve(dataOffset + dataSize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  bytes.push_back('B');
  bytes.push_back('M');
  PutU32(bytes, dataOffset + dataSize);
  PutU32(bytes, 0);
  PutU32(bytes, dataOffset);
  PutU32(bytes, kInfoHeaderSize);
  PutU32(bytes, static_cast<std::uint32_t>(bitmap.width));
  PutU32(bytes, static_cast<std::uint32_t>(bitmap.height));
  PutU16(bytes, 1);   // planes
  PutU16(bytes, 24);  // bits per pixel
  PutU32(bytes, kCompressionNone);
  PutU32(bytes, dataSize);
  PutU32(bytes, kPixelsPerMetre);
  PutU32(bytes, kPixelsPerMetre);
  PutU32(bytes, 0);  // colours used
  PutU32(bytes, 0);  // important colours
  for (std::int32_t y = bitmap.height - 1; y >= 0; --y) {
    const std::uint32_t* row = bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.width;
    for (std::int32_t x = 0; x < bitmap.width; ++x) {
      bytes.push_back(static_cast<std::uint8_t>(row[x]));
      bytes.push_back(static_cast<std::uint8_t>(row[x] >> 8));
      bytes.push_back(static_cast<std::uint8_t>(row[x] >> 16));
    }
    bytes.resize(bytes.size() + (stride - 3 * static_cast<std::uint32_t>(bitmap.width)), 0);
  }

  ReplacingFile out(file);
  if (!out.Valid()) {
    return false;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), out.Stream()) != bytes.size()) {
    return false;
  }
  return out.Commit();
}

}  // namespace gestalon::core

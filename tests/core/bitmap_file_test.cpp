#include "project/bitmap_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture_file.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

void PutU16(std::string& b, std::uint32_t v) {
  b.push_back(static_cast<char>(v & 0xFF));
  b.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void PutU32(std::string& b, std::uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}
std::uint32_t GetU32(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8) |
         (static_cast<std::uint8_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24);
}

// A hand-built .bmp: info-style header of `headerSize` bytes, palette of 0x00RRGGBB entries, then
// `data` as the pixel rows.
struct BmpFields {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> palette = {};
  std::string data = {};
};

std::string Build(const BmpFields& s) {
  std::string header;
  PutU32(header, s.headerSize);
  PutU32(header, static_cast<std::uint32_t>(s.width));
  PutU32(header, static_cast<std::uint32_t>(s.height));
  PutU16(header, 1);
  PutU16(header, s.bitCount);
  PutU32(header, s.compression);
  PutU32(header, static_cast<std::uint32_t>(s.data.size()));
  PutU32(header, 2835);
  PutU32(header, 2835);
  header.resize(s.headerSize, '\0');  // no colour count, all colours important
  std::string afterHeader;
  for (std::uint32_t entry : s.palette) {
    PutU32(afterHeader, entry);
  }
  const std::uint32_t offset = static_cast<std::uint32_t>(14 + header.size() + afterHeader.size());
  std::string file = "BM";
  PutU32(file, offset + static_cast<std::uint32_t>(s.data.size()));
  PutU32(file, 0);
  PutU32(file, offset);
  return file + header + afterHeader + s.data;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) {
    bytes.push_back(static_cast<char>(v));
  }
  return bytes;
}

std::optional<Bitmap> LoadBytes(const std::string& bytes) {
  TempDir dir;
  WriteBytes(dir / "a.bmp", bytes);
  return LoadBitmapFile(dir / "a.bmp");
}

TEST(BitmapFileSave, RoundTripsAsBottomUp24BitWithPaddedRows) {
  TempDir dir;
  const Bitmap original{
      3, 2, {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF000000}};
  ASSERT_TRUE(SaveBitmapFile(dir / "a.bmp", original));
  const std::string bytes = ReadBytes(dir / "a.bmp");
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);
  EXPECT_EQ(GetU32(bytes, 2), bytes.size());
  EXPECT_EQ(GetU32(bytes, 22), 2u) << "positive height: bottom-up";
  EXPECT_EQ(bytes.substr(54, 12), Bytes({0xC0, 0xB0, 0xA0, 0xF0, 0xE0, 0xD0, 0, 0, 0, 0, 0, 0}))
      << "the bottom row comes first, blue-green-red, padded to 4 bytes";
  EXPECT_EQ(LoadBitmapFile(dir / "a.bmp"), original);
}

TEST(BitmapFileSave, DropsAlphaAndRefusesInconsistentBitmaps) {
  TempDir dir;
  ASSERT_TRUE(SaveBitmapFile(dir / "a.bmp", Bitmap{1, 1, {0x00123456}}));
  EXPECT_EQ(LoadBitmapFile(dir / "a.bmp")->pixels[0], 0xFF123456u);
  const std::string saved = ReadBytes(dir / "a.bmp");
  EXPECT_FALSE(SaveBitmapFile(dir / "a.bmp", Bitmap{2, 2, {1, 2, 3}}));
  EXPECT_FALSE(SaveBitmapFile(dir / "a.bmp", Bitmap{0, 0, {}}));
  EXPECT_FALSE(SaveBitmapFile(dir / "a.bmp", Bitmap{kMaxBitmapSide + 1, 1, {}}));
  EXPECT_EQ(ReadBytes(dir / "a.bmp"), saved) << "a refused save leaves the old file";
  EXPECT_FALSE(SaveBitmapFile(dir / "missing" / "a.bmp", Bitmap{1, 1, {0}}));
}

// The images are hand-built files, one per depth and header kind.
TEST(BitmapFileLoad, EveryDepthAndHeaderGivesItsPixels) {
  const std::uint32_t w = 0xFFFFFFFF, k = 0xFF000000;
  const struct {
    const char* file;
    std::int32_t width, height;
    std::vector<std::uint32_t> pixels;
  } cases[] = {
      // Bottom row 1000000001, top row 0101010101: two bytes of bits, padded to four.
      {"1bit_padded_bottom_up", 10, 2, {k, w, k, w, k, w, k, w, k, w,
                                        w, k, k, k, k, k, k, k, k, w}},
      // Indexes beyond the two colours given are black.
      {"4bit_short_palette", 3, 1, {0xFF445566, 0xFF112233, k}},
      // Two colours and no count: the palette ends where the pixels begin (0 would mean 256).
      {"8bit_palette_ends_at_pixels", 2, 1, {0xFF00FF00, k}},
      {"1bit_oversized_colour_count", 1, 1, {0xFF0000FF}},
      {"8bit_top_down", 2, 2, {0xFFABCDEF, 0xFF010203, 0xFF010203, 0xFFABCDEF}},
      // 5-5-5 by default: pure red, pure blue.
      {"16bit_555", 2, 1, {0xFFFF0000, 0xFF0000FF}},
      // Fields 5-6-5: pure green, half of each channel.
      {"16bit_fields_565", 2, 1, {0xFF00FF00, 0xFF848284}},
      {"24bit_core_header", 1, 2, {0xFF060504, 0xFF030201}},
      {"32bit_plain", 1, 1, {0xFF102030}},  // the fourth byte is ignored
      {"32bit_alpha_mask", 1, 1, {0x40102030}},
      {"32bit_three_masks_header52", 1, 1, {0xFF302010}},  // no alpha
      {"32bit_masks_header108", 1, 1, {0x40302010}},
      {"32bit_masks_uncompressed", 1, 1, {0xFF102030}},  // the masks do not apply
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string bytes = testing::FixtureText("core/bitmap_" + std::string(c.file) + ".bmp");
    ASSERT_FALSE(bytes.empty());
    const auto bitmap = LoadBytes(bytes);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, c.width);
    EXPECT_EQ(bitmap->height, c.height);
    EXPECT_EQ(bitmap->pixels, c.pixels);
  }
}

TEST(BitmapFileLoad, EveryTruncationIsRefused) {
  const std::string full = Build({.width = 2,
                                  .height = 2,
                                  .bitCount = 8,
                                  .palette = {0x0000FF, 0x00FF00},
                                  .data = Bytes({0, 1, 0, 0, 1, 0, 0, 0})});
  ASSERT_TRUE(LoadBytes(full));
  for (std::size_t length = 0; length < full.size(); ++length) {
    EXPECT_FALSE(LoadBytes(full.substr(0, length))) << length;
  }
}

TEST(BitmapFileLoad, MalformedHeadersAreRefused) {
  const BmpFields good{.data = Bytes({1, 2, 3, 0})};
  ASSERT_TRUE(LoadBytes(Build(good)));
  auto refused = [&](auto change, const char* what) {
    BmpFields s = good;
    change(s);
    EXPECT_FALSE(LoadBytes(Build(s))) << what;
  };
  refused([](BmpFields& s) { s.width = 0; }, "zero width");
  refused([](BmpFields& s) { s.height = 0; }, "zero height");
  refused([](BmpFields& s) { s.height = INT32_MIN; }, "height that cannot be negated");
  EXPECT_TRUE(
      LoadBytes(Build({.width = kMaxBitmapSide, .data = std::string(3 * kMaxBitmapSide, 'x')})));
  EXPECT_TRUE(
      LoadBytes(Build({.height = -kMaxBitmapSide, .data = std::string(4 * kMaxBitmapSide, 'x')})));
  refused([](BmpFields& s) { s.width = kMaxBitmapSide + 1; }, "too wide");
  refused([](BmpFields& s) { s.height = -(kMaxBitmapSide + 1); }, "too tall");
  refused([](BmpFields& s) { s.bitCount = 2; }, "2-bit");
  refused([](BmpFields& s) { s = {.bitCount = 32, .compression = 1, .data = s.data}; }, "RLE");
  refused([](BmpFields& s) { s.compression = 3; }, "bit fields on 24 bits");
  refused([](BmpFields& s) { s.headerSize = 20; }, "unknown header size");
  refused([](BmpFields& s) { s.height = 1000; }, "pixel data shorter than the image");

  std::string bytes = Build(good);
  bytes[0] = 'X';
  EXPECT_FALSE(LoadBytes(bytes)) << "signature";
  bytes = Build(good);
  bytes[10] = 0;  // pixel data offset inside the headers
  EXPECT_FALSE(LoadBytes(bytes));
  bytes = Build(good);
  bytes[13] = 0x7F;  // pixel data offset far beyond the end
  EXPECT_FALSE(LoadBytes(bytes));
  bytes = Build(good);
  bytes[17] = static_cast<char>(0xFF);  // header size near 4 GiB
  EXPECT_FALSE(LoadBytes(bytes));

  TempDir dir;
  EXPECT_FALSE(LoadBitmapFile(dir / "missing.bmp"));
  EXPECT_FALSE(LoadBitmapFile(dir.Path())) << "a folder";
}

}  // namespace
}  // namespace gestalon::core

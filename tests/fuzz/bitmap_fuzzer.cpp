// Feeds arbitrary bytes to the bitmap reader used for skins and the toolbar strip: a bitmap that
// comes back has sides within the limit and exactly one pixel per place.
#include <cstddef>
#include <cstdint>

#include "fuzz_input_file.h"
#include "project/bitmap_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gestalon;
  const fuzz::InputFile input(data, size, "image.bmp");
  const auto& path = input.Path();
  if (const auto bitmap = core::LoadBitmapFile(path)) {
    fuzz::Check(bitmap->width > 0 && bitmap->width <= core::kMaxBitmapSide);
    fuzz::Check(bitmap->height > 0 && bitmap->height <= core::kMaxBitmapSide);
    fuzz::Check(bitmap->pixels.size() ==
                static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height));
  }
  return 0;
}

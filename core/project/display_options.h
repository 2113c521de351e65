#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace gestalon::core {

// The SystemFlags options the display settings dialog shows as check boxes and as the choice
// for pose sliders that a loaded motion uses but the robot lacks.
struct DisplayOptions {
  bool showToolbar = false;
  bool showStatusWindow = false;
  bool drawWallpaper = false;
  bool oldArrows = false;
  bool arrowMarks = false;
  bool useJump = false;
  bool doubleClickTogglesSplit = true;  // the inverse of SystemFlag::kDoubleClickSplitOff
  bool spaceServoOff = false;
  bool basePoseSelectedOnly = false;
  // 0 replace with the base pose, 1 keep the values, 2 ask (the order the dialog lists them).
  int unusedSliderChoice = 0;
};

DisplayOptions DisplayOptionsOf(std::uint32_t flags);

// `flags` with the bits of `options` set or cleared. The voice error message bit is cleared, as
// no control shows it; the other bits (run-time state, the second wallpaper option, the writing
// method) are kept.
std::uint32_t WithDisplayOptions(std::uint32_t flags, const DisplayOptions& options);

// Longest path text the skin page shows.
inline constexpr std::size_t kShownSkinPathChars = 117;

// `path` in at most `maxChars` characters: unchanged when it fits, else its beginning, "..." and
// its last component; a last component too long for that is cut and ends in "...".
std::u16string CompactPath(std::u16string_view path, std::size_t maxChars);

// How a chosen skin file is stored: relative to the project folder with '\' separators, or the
// absolute path when the two have no common root. `outsideProject`: the relative path climbs out
// of the project folder (begins with ".."), which the user has to confirm.
struct SkinPathChoice {
  std::u16string path;
  bool outsideProject = false;

  bool operator==(const SkinPathChoice&) const = default;
};
SkinPathChoice SkinPathForFile(const std::filesystem::path& projectFolder,
                               const std::filesystem::path& chosenFile);

// Where a preview of an image goes in a box: an image larger than the box in either dimension is
// scaled down to fit, keeping its proportions; it is centred in the box.
struct PreviewRect {
  int x = 0, y = 0, width = 0, height = 0;

  bool operator==(const PreviewRect&) const = default;
};
PreviewRect FitPreview(int imageWidth, int imageHeight, int boxWidth, int boxHeight);

// A grid spacing typed as a decimal number; stored as its absolute value.
std::int32_t GridSpacingFromText(std::u16string_view text);

}  // namespace gestalon::core

#include "project/display_options.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/paths.h"
#include "project/system_settings.h"
#include "text/number_parse.h"

namespace gestalon::core {
namespace {

constexpr std::uint32_t kUnknownAxisBits =
    SystemFlag::kUnknownAxisAsk | SystemFlag::kUnknownAxisKeep;

struct OptionBit {
  bool DisplayOptions::*option;
  std::uint32_t bit;
};
constexpr OptionBit kOptionBits[] = {
    {&DisplayOptions::showToolbar, SystemFlag::kToolbar},
    {&DisplayOptions::showStatusWindow, SystemFlag::kStatusWindow},
    {&DisplayOptions::drawWallpaper, SystemFlag::kWallpaper},
    {&DisplayOptions::oldArrows, SystemFlag::kOldArrows},
    {&DisplayOptions::arrowMarks, SystemFlag::kArrowMarks},
    {&DisplayOptions::useJump, SystemFlag::kUseJump},
    {&DisplayOptions::spaceServoOff, SystemFlag::kSpaceServoOff},
    {&DisplayOptions::basePoseSelectedOnly, SystemFlag::kBasePoseSelectedOnly},
};

bool IsSeparator(char16_t c) {
  return c == u'\\' || c == u'/';
}

}  // namespace

DisplayOptions DisplayOptionsOf(std::uint32_t flags) {
  DisplayOptions options;
  for (const OptionBit& entry : kOptionBits) {
    options.*entry.option = (flags & entry.bit) != 0;
  }
  options.doubleClickTogglesSplit = (flags & SystemFlag::kDoubleClickSplitOff) == 0;
  const std::uint32_t unknownAxis = flags & kUnknownAxisBits;
  options.unusedSliderChoice = unknownAxis == SystemFlag::kUnknownAxisAsk    ? 2
                               : unknownAxis == SystemFlag::kUnknownAxisKeep ? 1
                                                                             : 0;
  return options;
}

std::uint32_t WithDisplayOptions(std::uint32_t flags, const DisplayOptions& options) {
  for (const OptionBit& entry : kOptionBits) {
    flags = options.*entry.option ? flags | entry.bit : flags & ~entry.bit;
  }
  flags = options.doubleClickTogglesSplit ? flags & ~SystemFlag::kDoubleClickSplitOff
                                          : flags | SystemFlag::kDoubleClickSplitOff;
  flags &= ~SystemFlag::kVoiceErrorMessage;
  flags &= ~kUnknownAxisBits;
  flags |= options.unusedSliderChoice == 2   ? SystemFlag::kUnknownAxisAsk
           : options.unusedSliderChoice == 1 ? SystemFlag::kUnknownAxisKeep
                                             : kUnknownAxisBits;
  return flags;
}

std::u16string CompactPath(std::u16string_view path, std::size_t maxChars) {
  constexpr std::u16string_view kEllipsis = u"...";
  if (path.size() <= maxChars) {
    return std::u16string(path);
  }
  if (maxChars <= kEllipsis.size()) {
    return std::u16string(kEllipsis.substr(0, maxChars));
  }
  const auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
  // The last component with its separator, or the whole text when it has none.
  const std::size_t tailStart = last == path.rend() ? 0 : path.rend() - last - 1;
  const std::u16string_view tail = path.substr(tailStart);
  if (tailStart == 0 || tail.size() + kEllipsis.size() > maxChars) {
    const std::u16string_view name = tailStart == 0 ? tail : tail.substr(1);
    return std::u16string(name.substr(0, maxChars - kEllipsis.size())) + std::u16string(kEllipsis);
  }
  const std::size_t head = maxChars - kEllipsis.size() - tail.size();
  return std::u16string(path.substr(0, head)) + std::u16string(kEllipsis) + std::u16string(tail);
}

SkinPathChoice SkinPathForFile(const std::filesystem::path& projectFolder,
                               const std::filesystem::path& chosenFile) {
  const std::filesystem::path folder = projectFolder.lexically_normal();
  const std::filesystem::path file = chosenFile.lexically_normal();
  const std::filesystem::path relative = file.lexically_relative(folder);
  if (relative.empty() || folder.root_path() != file.root_path()) {
    return {TextFromPath(file), false};
  }
  std::u16string text;
  for (const auto& part : relative) {
    if (!text.empty()) {
      text += u'\\';
    }
    text += TextFromPath(part);
  }
  return {text, text.starts_with(u"..")};
}

PreviewRect FitPreview(int imageWidth, int imageHeight, int boxWidth, int boxHeight) {
  if (imageWidth <= 0 || imageHeight <= 0 || boxWidth <= 0 || boxHeight <= 0) {
    return {};
  }
  int width = imageWidth;
  int height = imageHeight;
  if (width > boxWidth || height > boxHeight) {
    // The tighter of the two ratios, in integers: width / boxWidth against height / boxHeight.
    if (static_cast<long long>(width) * boxHeight >= static_cast<long long>(height) * boxWidth) {
      height = static_cast<int>(static_cast<long long>(height) * boxWidth / width);
      width = boxWidth;
    } else {
      width = static_cast<int>(static_cast<long long>(width) * boxHeight / height);
      height = boxHeight;
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
  }
  return {(boxWidth - width) / 2, (boxHeight - height) / 2, width, height};
}

std::int32_t GridSpacingFromText(std::u16string_view text) {
  const std::int32_t value = ParseDecimal(text);
  return value == std::numeric_limits<std::int32_t>::min()
             ? std::numeric_limits<std::int32_t>::max()
             : std::abs(value);
}

}  // namespace gestalon::core

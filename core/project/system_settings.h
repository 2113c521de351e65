#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "project/bitmap_file.h"
#include "project/logical_font.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// Bits of SystemSettings::systemFlags. kOnline, kServoOn and kModified are run-time state; the
// others are options stored in the system settings file.
namespace SystemFlag {
inline constexpr std::uint32_t kOnline = 0x1;
inline constexpr std::uint32_t kServoOn = 0x8;
inline constexpr std::uint32_t kWallpaper = 0x80;
inline constexpr std::uint32_t kWallpaperSecond = 0x100;
inline constexpr std::uint32_t kModified = 0x400;
inline constexpr std::uint32_t kStatusWindow = 0x2000;
inline constexpr std::uint32_t kToolbar = 0x4000;
// Pose sliders a motion uses but the robot lacks: kUnknownAxisAsk alone asks, kUnknownAxisKeep
// alone keeps the values, both (or neither) replace them with the base pose.
inline constexpr std::uint32_t kUnknownAxisAsk = 0x8000;
inline constexpr std::uint32_t kUnknownAxisKeep = 0x10000;
inline constexpr std::uint32_t kDoubleClickSplitOff = 0x20000;
inline constexpr std::uint32_t kSpaceServoOff = 0x40000;
inline constexpr std::uint32_t kBasePoseSelectedOnly = 0x80000;
inline constexpr std::uint32_t kVoiceErrorMessage = 0x100000;
inline constexpr std::uint32_t kOldArrows = 0x200000;
inline constexpr std::uint32_t kArrowMarks = 0x400000;
// Lets a subroutine block be set to jump to its motion instead of calling it.
inline constexpr std::uint32_t kUseJump = 0x800000;
inline constexpr std::uint32_t kNewWriteMethod = 0x1000000;
}  // namespace SystemFlag

inline constexpr int kToolbarButtonCount = 28;
inline constexpr int kSkinImageCount = 12;
inline constexpr int kMotionAreaColorCount = 10;
// Colours the file stores: motionAreaColors[0..8]; [9], the start block background, is not stored.
inline constexpr int kStoredMotionAreaColors = 9;

// Skin image roles (index into SystemSettings::skins).
namespace SkinIndex {
inline constexpr int kPoseWallpaper = 0;
inline constexpr int kPoseTrack = 1;
inline constexpr int kPoseKnob = 2;
inline constexpr int kPoseSpin = 3;
inline constexpr int kPoseBaseMarker = 4;
inline constexpr int kPoseKnobShadow = 5;
inline constexpr int kPoseCheckBox = 6;
inline constexpr int kMotionTrack = 7;
inline constexpr int kMotionKnob = 8;
inline constexpr int kMotionSpin = 9;
inline constexpr int kMotionDigits = 10;
inline constexpr int kMotionSignal = 11;
}  // namespace SkinIndex

// Check box image used for skin entry 6 by settings files older than the motion area options,
// relative to the program folder.
inline constexpr char16_t kCheckBoxSkinPath[] = u"me_image\\checkbtn_.bmp";

struct SkinImage {
  std::int32_t folderFlag = 0;   // 0: path relative to the program folder, else the project folder
  std::u16string path;           // as stored in the file, at most 259 characters
  std::optional<Bitmap> bitmap;  // none when the path is empty or the image failed to load
};

struct SystemSettings {
  std::uint32_t systemFlags = 0;  // SystemFlag bits
  std::array<bool, kToolbarButtonCount> toolbarButtons{};
  std::int32_t statusWindowX = 120;  // kept by ReadSystemSettings
  std::int32_t statusWindowY = 120;
  // 0 background, 1 pose block, 2 block lines, 3 font text, 4 selected arrow, 5 normal flow,
  // 6 branch flow, 7 calculation block, 8 branch block, 9 start block (0x00BBGGRR each).
  std::array<ColorRef, kMotionAreaColorCount> motionAreaColors{};
  std::int32_t gridX = 0;
  std::int32_t gridY = 0;
  FontSpec motionAreaFont;
  char16_t boardDrive = u'D';
  std::int32_t comPort = 0;  // kept for writing back; unused
  std::int32_t comTimeout = 0;
  std::array<SkinImage, kSkinImageCount> skins;
};

// Full path of a skin image: a relative path against the program folder (folder flag 0) or the
// project folder (any other flag).
std::filesystem::path SkinImagePath(const SkinImage& skin,
                                    const std::filesystem::path& projectFolder,
                                    const std::filesystem::path& programFolder);

// Loads the image of every entry afresh, quietly: an empty path or a file that cannot be read
// leaves its entry without a bitmap.
void LoadSkinImages(std::array<SkinImage, kSkinImageCount>& skins,
                    const std::filesystem::path& projectFolder,
                    const std::filesystem::path& programFolder);

// The motion area font, colours and grid and the board drive letter a settings file starts from.
void SetSystemSettingsDefaults(SystemSettings& settings);

// Reads the system settings file into `settings`, loading the skin images: relative paths with
// folder flag 0 against `programFolder`, others against `projectFolder`. Everything but the
// status window position is cleared first. Failed skin images and fewer than 12 loaded images are
// reported through `prompter` (null: quiet). False only when the file cannot be opened or read;
// the record is then left cleared, without defaults.
bool ReadSystemSettings(const std::filesystem::path& file,
                        const std::filesystem::path& projectFolder,
                        const std::filesystem::path& programFolder, SystemSettings& settings,
                        Prompter* prompter);

// Writes the options of `settings` (run-time flag bits and bitmaps are not stored). False when
// the file could not be written completely; the previous file is then unchanged.
bool WriteSystemSettings(const std::filesystem::path& file, const SystemSettings& settings);

}  // namespace gestalon::core

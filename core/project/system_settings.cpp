#include "project/system_settings.h"

#include <string_view>
#include <system_error>
#include <utility>

#include "platform/paths.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

constexpr int kLineChars = 1024;
constexpr std::size_t kMaxPathChars = 259;  // the program's path buffers hold 260 with the end
constexpr std::size_t kMaxFaceNameChars = 31;

// Option keys that hold one on/off field for one flag bit, in the order they are written.
struct FlagKey {
  std::u16string_view key;
  std::uint32_t bit;
};
constexpr FlagKey kFlagKeys[] = {
    {u"_DOUBLECLK_LINEMOV:", SystemFlag::kDoubleClickSplitOff},
    {u"_SPACE_GAINOFF_FLAG:", SystemFlag::kSpaceServoOff},
    {u"_INIPOSSEL:", SystemFlag::kBasePoseSelectedOnly},
    {u"_VOICE_ERRORMES_FLG:", SystemFlag::kVoiceErrorMessage},
    {u"_OLDARROWFLAG:", SystemFlag::kOldArrows},
    {u"_ARROWMARKFLAG:", SystemFlag::kArrowMarks},
    {u"NEWWRITEMETHOD:", SystemFlag::kNewWriteMethod},
};

constexpr std::uint32_t kUnknownAxisBoth =
    SystemFlag::kUnknownAxisAsk | SystemFlag::kUnknownAxisKeep;

void SetIf(SystemSettings& settings, bool on, std::uint32_t bit) {
  if (on) {
    settings.systemFlags |= bit;
  }
}

int Bit(const SystemSettings& settings, std::uint32_t bit) {
  return (settings.systemFlags & bit) != 0 ? 1 : 0;
}

void ClearForReading(SystemSettings& settings) {
  SystemSettings cleared;
  cleared.statusWindowX = settings.statusWindowX;
  cleared.statusWindowY = settings.statusWindowY;
  settings = std::move(cleared);
}

std::filesystem::path FullPath(const std::filesystem::path& folder, std::u16string_view name) {
  const std::filesystem::path resolved = ResolveInFolder(folder, name);
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(resolved, ec);
  return (ec ? resolved : full).lexically_normal();
}

// What reading one file has found so far.
struct ReadState {
  bool motionAreaKeySeen = false;  // a MOTAREA_ key came before the skin lines
  bool skinError = false;
};

void ReadSkinLine(FieldReader& fields, const std::filesystem::path& projectFolder,
                  const std::filesystem::path& programFolder, SystemSettings& settings,
                  ReadState& state, Prompter* prompter) {
  const std::int32_t index = fields.NextInt();
  const std::int32_t folderFlag = fields.NextInt();
  const std::u16string_view path = fields.NextText();
  if (index < 0 || index >= kSkinImageCount) {
    return;
  }
  SkinImage& skin = settings.skins[static_cast<std::size_t>(index)];
  skin.folderFlag = folderFlag;
  skin.path = TruncateText(path, kMaxPathChars);
  if (index == SkinIndex::kPoseCheckBox && !state.motionAreaKeySeen) {
    // Files written before the motion area options existed name an older check box image.
    std::error_code ec;
    if (std::filesystem::exists(ResolveInFolder(programFolder, kCheckBoxSkinPath), ec)) {
      skin.folderFlag = 0;
      skin.path = kCheckBoxSkinPath;
    }
  }
  skin.bitmap.reset();
  if (skin.path.empty()) {
    return;
  }
  const std::filesystem::path full = SkinImagePath(skin, projectFolder, programFolder);
  skin.bitmap = LoadBitmapFile(full);
  if (!skin.bitmap) {
    state.skinError = true;
    if (prompter) {
      prompter->Show(PromptIcon::kError,
                     Format(LoadText(TextId::kMsgSkinImageLoadFailed), TextFromPath(full)));
    }
  }
}

void ReadLine(std::u16string_view line, const std::filesystem::path& projectFolder,
              const std::filesystem::path& programFolder, SystemSettings& settings,
              ReadState& state, Prompter* prompter) {
  if (FieldReader f(line, u"_TOOLBAR_ENABLE:"); f.KeyFound()) {
    SetIf(settings, f.NextInt() != 0, SystemFlag::kToolbar);
    for (std::u16string_view part : SplitGroup(f.NextField())) {
      const std::int32_t button = part.empty() ? -1 : ParseDecimal(part);
      if (button >= 0 && button < kToolbarButtonCount) {
        settings.toolbarButtons[static_cast<std::size_t>(button)] = true;
      }
    }
  }
  if (FieldReader f(line, u"_STATUSWINDOW_ENABLE:"); f.KeyFound()) {
    SetIf(settings, f.NextInt() != 0, SystemFlag::kStatusWindow);
    settings.statusWindowX = f.NextInt();
    settings.statusWindowY = f.NextInt();
  }
  if (FieldReader f(line, u"_WALLPAPER_ENABLE:"); f.KeyFound()) {
    SetIf(settings, f.NextInt() != 0, SystemFlag::kWallpaper);
    SetIf(settings, f.NextInt() != 0, SystemFlag::kWallpaperSecond);
  }
  if (FieldReader f(line, u"_UNKNOWNAXIS_PARAMLOAD:"); f.KeyFound()) {
    const std::int32_t choice = f.NextInt();
    settings.systemFlags |= choice == 2   ? kUnknownAxisBoth
                            : choice == 1 ? SystemFlag::kUnknownAxisKeep
                                          : SystemFlag::kUnknownAxisAsk;
  }
  for (const FlagKey& flag : kFlagKeys) {
    if (FieldReader f(line, flag.key); f.KeyFound()) {
      SetIf(settings, f.NextInt() != 0, flag.bit);
    }
  }
  if (FieldReader f(line, u"COMPORT:"); f.KeyFound()) {
    settings.comPort = f.NextInt();
  }
  if (FieldReader f(line, u"COMTIMEOUT:"); f.KeyFound()) {
    settings.comTimeout = f.NextInt();
  }
  if (FieldReader f(line, u"MOTAREA_COLOR:"); f.KeyFound()) {
    for (int i = 0; i < kStoredMotionAreaColors; ++i) {
      settings.motionAreaColors[static_cast<std::size_t>(i)] = static_cast<ColorRef>(f.NextInt());
    }
    state.motionAreaKeySeen = true;
  }
  if (FieldReader f(line, u"MOTAREA_GRID:"); f.KeyFound()) {
    settings.gridX = f.NextInt();
    settings.gridY = f.NextInt();
    state.motionAreaKeySeen = true;
  }
  if (FieldReader f(line, u"MOTAREA_FONT:"); f.KeyFound()) {
    FontSpec& font = settings.motionAreaFont;
    font.height = f.NextInt();
    font.width = f.NextInt();
    font.escapement = font.orientation = f.NextInt();
    font.quality = static_cast<std::uint8_t>(f.NextInt());
    font.pitchAndFamily = static_cast<std::uint8_t>(f.NextInt());
    font.charSet = static_cast<std::uint8_t>(f.NextInt());
    font.outPrecision = static_cast<std::uint8_t>(f.NextInt());
    font.clipPrecision = static_cast<std::uint8_t>(f.NextInt());
    font.weight = f.NextInt();
    font.SetStyleBits(f.NextInt());
    font.faceName = f.NextName(kMaxFaceNameChars);
    state.motionAreaKeySeen = true;
  }
  if (FieldReader f(line, u"_SKINDATA_FILEPATH:"); f.KeyFound()) {
    ReadSkinLine(f, projectFolder, programFolder, settings, state, prompter);
  }
}

std::u16string ToolbarButtonList(const SystemSettings& settings) {
  std::u16string list;
  for (int i = 0; i < kToolbarButtonCount; ++i) {
    if (settings.toolbarButtons[static_cast<std::size_t>(i)]) {
      if (!list.empty()) {
        list += u',';
      }
      list += Format(u"%d", i);
    }
  }
  return list;
}

// 0 ask, 1 keep the values, 2 replace with the base pose (also when no choice was ever made).
int UnknownAxisChoice(std::uint32_t flags) {
  switch (flags & kUnknownAxisBoth) {
    case SystemFlag::kUnknownAxisAsk:
      return 0;
    case SystemFlag::kUnknownAxisKeep:
      return 1;
    default:
      return 2;
  }
}

}  // namespace

std::filesystem::path SkinImagePath(const SkinImage& skin,
                                    const std::filesystem::path& projectFolder,
                                    const std::filesystem::path& programFolder) {
  return FullPath(skin.folderFlag == 0 ? programFolder : projectFolder, skin.path);
}

void LoadSkinImages(std::array<SkinImage, kSkinImageCount>& skins,
                    const std::filesystem::path& projectFolder,
                    const std::filesystem::path& programFolder) {
  for (SkinImage& skin : skins) {
    skin.bitmap.reset();
    if (!skin.path.empty()) {
      skin.bitmap = LoadBitmapFile(SkinImagePath(skin, projectFolder, programFolder));
    }
  }
}

void SetSystemSettingsDefaults(SystemSettings& settings) {
  settings.motionAreaColors = {0xFFC8C8, 0xFFFFB3, 0x000000, 0x800000, 0xC000C0,
                               0xFF0000, 0x0000FF, 0xB3FFFF, 0xFFB3FF, 0xB3FFB3};
  settings.gridX = 10;
  settings.gridY = 10;
  FontSpec& font = settings.motionAreaFont;
  font = FontSpec{};
  font.height = -12;
  font.quality = 1;
  font.pitchAndFamily = 0x31;
  font.charSet = 128;
  font.outPrecision = 3;
  font.clipPrecision = 2;
  font.weight = 700;
  font.faceName = u"MS UI Gothic";
  settings.boardDrive = u'D';
}

bool ReadSystemSettings(const std::filesystem::path& file,
                        const std::filesystem::path& projectFolder,
                        const std::filesystem::path& programFolder, SystemSettings& settings,
                        Prompter* prompter) {
  auto handle = OpenSettingsFile(file, "r");
  ClearForReading(settings);
  if (!handle) {
    return false;
  }
  SetSystemSettingsDefaults(settings);

  ReadState state;
  std::u16string line;
  while (ReadSettingsLine(handle.get(), line, kLineChars) > 0) {
    ReadLine(line, projectFolder, programFolder, settings, state, prompter);
  }
  if (!CloseSettingsFile(std::move(handle))) {
    ClearForReading(settings);
    return false;
  }

  // Counted over the entries rather than per line, so a repeated entry cannot hide a missing one.
  int loaded = 0;
  for (const SkinImage& skin : settings.skins) {
    loaded += skin.bitmap ? 1 : 0;
  }
  if (prompter) {
    if (loaded < kSkinImageCount) {
      prompter->Show(PromptIcon::kError, LoadText(TextId::kMsgSkinImagesMissing));
    }
    if (loaded < kSkinImageCount || state.skinError) {
      prompter->Show(PromptIcon::kWarning, LoadText(TextId::kMsgSkinDataProblems));
    }
  }
  return true;
}

bool WriteSystemSettings(const std::filesystem::path& file, const SystemSettings& settings) {
  auto handle = OpenSettingsFile(file, "w");
  if (!handle) {
    return false;
  }
  SettingsFile* out = handle.get();
  WriteSettingsText(out, Format(u"_TOOLBAR_ENABLE:[%d]-[%s]\n", Bit(settings, SystemFlag::kToolbar),
                                ToolbarButtonList(settings)));
  WriteSettingsText(out, Format(u"_STATUSWINDOW_ENABLE:[%d]-[%d]-[%d]\n",
                                Bit(settings, SystemFlag::kStatusWindow), settings.statusWindowX,
                                settings.statusWindowY));
  WriteSettingsText(
      out, Format(u"_UNKNOWNAXIS_PARAMLOAD:[%d]\n", UnknownAxisChoice(settings.systemFlags)));
  for (const FlagKey& flag : kFlagKeys) {
    WriteSettingsText(out, Format(u"%s[%d]\n", flag.key, Bit(settings, flag.bit)));
  }
  const auto& c = settings.motionAreaColors;
  WriteSettingsText(out, Format(u"MOTAREA_COLOR:[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]\n",
                                c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]));
  const FontSpec& font = settings.motionAreaFont;
  WriteSettingsText(
      out, Format(u"MOTAREA_FONT:[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[[%s]]\n\n",
                  font.height, font.width, font.orientation, font.quality, font.pitchAndFamily,
                  font.charSet, font.outPrecision, font.clipPrecision, font.weight,
                  font.StyleBits(), SettingsFieldName(font.faceName, kMaxFaceNameChars)));
  // Both keys on one line: readers search each key anywhere in a line.
  WriteSettingsText(out, Format(u"MOTAREA_GRID:[%d]-[%d]", settings.gridX, settings.gridY));
  WriteSettingsText(out,
                    Format(u"_WALLPAPER_ENABLE:[%d]-[%d]\n", Bit(settings, SystemFlag::kWallpaper),
                           Bit(settings, SystemFlag::kWallpaperSecond)));
  WriteSettingsText(out, u"\n");
  for (int i = 0; i < kSkinImageCount; ++i) {
    const SkinImage& skin = settings.skins[static_cast<std::size_t>(i)];
    WriteSettingsText(out, Format(u"_SKINDATA_FILEPATH:[%d]-[%d]-[[%s]]\n", i, skin.folderFlag,
                                  SettingsFieldText(skin.path)));
  }
  return CloseSettingsFile(std::move(handle));
}

}  // namespace gestalon::core

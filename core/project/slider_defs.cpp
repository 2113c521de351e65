#include "project/slider_defs.h"

#include <string_view>

#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace gestalon::core {
namespace {

constexpr int kLineChars = 2048;

unsigned ColorComponent(std::u16string_view text) {
  const std::int32_t value = ParseDecimal(text);
  return static_cast<unsigned>(((value % 256) + 256) % 256);
}

ColorRef ReadColor(FieldReader& fields) {
  const auto parts = fields.NextGroup();
  const auto part = [&parts](std::size_t i) {
    return i < parts.size() ? ColorComponent(parts[i]) : 0u;
  };
  return MakeColorRef(part(0), part(1), part(2));
}

std::uint8_t ReadByte(FieldReader& fields) {
  return static_cast<std::uint8_t>(fields.NextInt());
}

void ReadFont(FieldReader& fields, SliderDef& slider) {
  FontSpec& font = slider.font;
  font.height = fields.NextInt();
  font.width = fields.NextInt();
  font.orientation = fields.NextInt();
  font.escapement = font.orientation;
  font.quality = ReadByte(fields);
  font.pitchAndFamily = ReadByte(fields);
  font.charSet = ReadByte(fields);
  font.outPrecision = ReadByte(fields);
  font.clipPrecision = ReadByte(fields);
  slider.textColor = ReadColor(fields);
  slider.textBkColor = ReadColor(fields);
  font.weight = fields.NextInt();
  font.SetStyleBits(fields.NextInt());
  font.faceName = fields.NextName(kFaceNameMaxChars);
}

void ReadSliderKeys(std::u16string_view line, SliderDef& slider) {
  if (auto fields = FieldReader(line, u"_AXISNAME"); fields.KeyFound()) {
    slider.axisName = fields.NextName(kAxisNameMaxChars);
  }
  if (auto fields = FieldReader(line, u"_POSITION"); fields.KeyFound()) {
    slider.filePos[0] = fields.NextInt();
    slider.filePos[1] = fields.NextInt();
    slider.pos = slider.filePos;
  }
  if (auto fields = FieldReader(line, u"_MESSAGE"); fields.KeyFound()) {
    slider.upperText = fields.NextName(kSideTextMaxChars);
    slider.lowerText = fields.NextName(kSideTextMaxChars);
  }
  if (auto fields = FieldReader(line, u"_FONT"); fields.KeyFound()) {
    ReadFont(fields, slider);
  }
  if (auto fields = FieldReader(line, u"_PAIR"); fields.KeyFound()) {
    slider.pairMode = fields.NextInt();
    slider.partner = fields.NextInt();
  }
  if (auto fields = FieldReader(line, u"_PUTSTYLE"); fields.KeyFound()) {
    slider.putStyle = fields.NextInt();
    slider.decimals = fields.NextInt();
    slider.countsPerDegree = fields.NextDouble();
  }
  if (auto fields = FieldReader(line, u"_DIVISION"); fields.KeyFound()) {
    slider.minimum = static_cast<std::int16_t>(fields.NextInt());
    slider.maximum = static_cast<std::int16_t>(fields.NextInt());
    slider.step = static_cast<std::uint16_t>(fields.NextInt());
  }
  if (auto fields = FieldReader(line, u"_FLAG"); fields.KeyFound()) {
    slider.flags1 = static_cast<std::uint32_t>(fields.NextInt());
    slider.flags2 = static_cast<std::uint32_t>(fields.NextInt());
  }
}

// Flags and the collapsed toggle are written as signed numbers so that the decimal reader
// takes every bit pattern back.
std::int32_t AsSigned(std::uint32_t bits) {
  return static_cast<std::int32_t>(bits);
}

std::u16string SliderBlock(int number, const SliderDef& slider) {
  const FontSpec& font = slider.font;
  std::u16string block = Format(u"_NUMBER:[%02d]\n", number);
  block += Format(u"_AXISNAME:[[%s]]\n", SettingsFieldName(slider.axisName, kAxisNameMaxChars));
  block += Format(u"_POSITION:[%d]-[%d]\n", slider.pos[0], slider.pos[1]);
  block +=
      Format(u"_MESSAGE:[[%s]]-[[%s]]\n", SettingsFieldName(slider.upperText, kSideTextMaxChars),
             SettingsFieldName(slider.lowerText, kSideTextMaxChars));
  block += Format(
      u"_FONT:[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d]-[%d,%d,%d]-[%d,%d,%d]-[%d]-[%d]-[[%s]]\n",
      font.height, font.width, font.orientation, font.quality, font.pitchAndFamily, font.charSet,
      font.outPrecision, font.clipPrecision, RedOf(slider.textColor), GreenOf(slider.textColor),
      BlueOf(slider.textColor), RedOf(slider.textBkColor), GreenOf(slider.textBkColor),
      BlueOf(slider.textBkColor), font.weight, font.StyleBits(),
      SettingsFieldName(font.faceName, kFaceNameMaxChars));
  block += Format(u"_PAIR:[%d]-[%d]\n", slider.pairMode, slider.partner);
  block += Format(u"_PUTSTYLE:[%d]-[%d]-[%.4f]\n", slider.putStyle, slider.decimals,
                  slider.countsPerDegree);
  block += Format(u"_DIVISION:[%d]-[%d]-[%d]\n", slider.minimum, slider.maximum, slider.step);
  block += Format(u"_FLAG:[%d]-[%d]\n", AsSigned(slider.flags1 & ~SliderFlag1::kSelected),
                  AsSigned(slider.flags2));
  block += u"\n";
  return block;
}

}  // namespace

bool ReadSliderDefinitions(const std::filesystem::path& file, SliderTable& sliders,
                           WindowLayout& layout) {
  auto handle = OpenSettingsFile(file, "r");
  if (!handle) {
    return false;
  }
  // Read into copies so that a file that fails half way leaves the table as it was.
  SliderTable read{};
  WindowLayout readLayout;
  int current = -1;
  std::u16string line;
  while (ReadSettingsLine(handle.get(), line, kLineChars) > 0) {
    if (auto fields = FieldReader(line, u"_CENTER_BAR"); fields.KeyFound()) {
      readLayout.splitRatio = fields.NextDouble();
      readLayout.collapsed = static_cast<std::uint32_t>(fields.NextInt());
    }
    if (auto fields = FieldReader(line, u"_WINDOW_SIZW"); fields.KeyFound()) {
      readLayout.clientWidth = fields.NextInt();
      readLayout.clientHeight = fields.NextInt();
    }
    if (auto fields = FieldReader(line, u"_WINDOW_POS"); fields.KeyFound()) {
      readLayout.left = fields.NextInt();
      readLayout.top = fields.NextInt();
    }
    if (auto fields = FieldReader(line, u"_PREVIEW_WINDOW"); fields.KeyFound()) {
      readLayout.previewOpen = fields.NextInt();
      readLayout.previewLeft = fields.NextInt();
      readLayout.previewTop = fields.NextInt();
      readLayout.previewWidth = fields.NextInt();
      readLayout.previewHeight = fields.NextInt();
    }
    if (auto fields = FieldReader(line, u"_NUMBER"); fields.KeyFound()) {
      current = fields.NextInt();
    }
    if (current >= 0 && current < kSliderCount) {
      ReadSliderKeys(line, read[static_cast<std::size_t>(current)]);
    }
  }
  if (!CloseSettingsFile(std::move(handle))) {
    return false;
  }
  sliders = std::move(read);
  layout = readLayout;
  return true;
}

bool WriteSliderDefinitions(const std::filesystem::path& file, const SliderTable& sliders,
                            const WindowLayout& layout) {
  auto handle = OpenSettingsFile(file, "w");
  if (!handle) {
    return false;
  }
  WriteSettingsText(handle.get(), Format(u"_CENTER_BAR:[%f]-[%d]\n", layout.splitRatio,
                                         AsSigned(layout.collapsed)));
  WriteSettingsText(handle.get(),
                    Format(u"_WINDOW_SIZW:[%d]-[%d]\n\n", layout.clientWidth, layout.clientHeight));
  WriteSettingsText(handle.get(), Format(u"_WINDOW_POS:[%d]-[%d]\n\n", layout.left, layout.top));
  if (layout.previewWidth > 0) {
    WriteSettingsText(
        handle.get(),
        Format(u"_PREVIEW_WINDOW:[%d]-[%d]-[%d]-[%d]-[%d]\n\n", layout.previewOpen,
               layout.previewLeft, layout.previewTop, layout.previewWidth, layout.previewHeight));
  }
  for (int n = 0; n < kSliderCount; ++n) {
    WriteSettingsText(handle.get(), SliderBlock(n, sliders[static_cast<std::size_t>(n)]));
  }
  return CloseSettingsFile(std::move(handle));
}

}  // namespace gestalon::core

#include "preview/joint_mapping.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>

#include "settings/settings_fields.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/utf.h"

namespace gestalon::preview {

namespace {

// The file's lines: UTF-16LE after a byte-order mark FF FE, else UTF-8; CR LF or LF.
bool ReadLines(const std::filesystem::path& file, std::vector<std::u16string>& lines) {
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    return false;
  }
  const std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  if (stream.bad()) {
    return false;
  }
  std::u16string text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
  } else {
    text = core::FromUtf8(bytes);
  }
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) {
      end = text.size();
    }
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') {
      line.pop_back();
    }
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return true;
}

bool IsBlank(std::u16string_view line) {
  return line.find_first_not_of(u" \t") == std::u16string_view::npos;
}

}  // namespace

bool ReadMappingFile(const std::filesystem::path& file, MappingFile& mapping, FileError& error) {
  error = FileError{file, 0, {}};
  std::vector<std::u16string> lines;
  if (!ReadLines(file, lines)) {
    error.detail = core::LoadText(core::TextId::kPreviewCannotOpen);
    return false;
  }
  MappingFile read;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::u16string& line = lines[i];
    error.line = static_cast<int>(i + 1);
    if (IsBlank(line)) {
      continue;
    }
    if (auto fields = core::FieldReader(line, u"_URDF"); fields.KeyFound()) {
      read.description = std::u16string(fields.NextText());
      continue;
    }
    auto fields = core::FieldReader(line, u"_JOINT");
    if (!fields.KeyFound()) {
      error.detail = core::LoadText(core::TextId::kPreviewUnknownLine);
      return false;
    }
    MappingEntry entry;
    entry.joint = core::ToUtf8(fields.NextText());
    entry.slider = fields.NextInt();
    entry.sign = fields.NextInt();
    entry.zero = fields.NextDouble();
    entry.countsPerUnit = fields.NextDouble();
    entry.line = error.line;
    if (!core::IsSliderIndex(entry.slider)) {
      error.detail = core::LoadText(core::TextId::kPreviewSliderRange);
      return false;
    }
    if (entry.sign != 1 && entry.sign != -1) {
      error.detail = core::LoadText(core::TextId::kPreviewSignValue);
      return false;
    }
    read.entries.push_back(std::move(entry));
  }
  mapping = std::move(read);
  error.line = 0;
  return true;
}

bool ResolveMapping(const MappingFile& mapping, const std::filesystem::path& file,
                    const RobotModel& model, const core::SliderTable& sliders,
                    std::vector<JointDrive>& drives, FileError& error) {
  std::vector<JointDrive> resolved;
  std::vector<bool> driven(model.joints.size(), false);
  for (const MappingEntry& entry : mapping.entries) {
    error = FileError{file, entry.line, {}};
    const int joint = JointIndex(model, entry.joint);
    if (joint < 0) {
      error.detail = core::Format(core::LoadText(core::TextId::kFmtPreviewUnknownJoint),
                                  core::FromUtf8(entry.joint));
      return false;
    }
    if (driven[static_cast<std::size_t>(joint)]) {
      error.detail = core::Format(core::LoadText(core::TextId::kFmtPreviewDuplicateJoint),
                                  core::FromUtf8(entry.joint));
      return false;
    }
    driven[static_cast<std::size_t>(joint)] = true;
    const double counts = entry.countsPerUnit != 0.0
                              ? entry.countsPerUnit
                              : sliders[static_cast<std::size_t>(entry.slider)].countsPerDegree;
    if (!(std::abs(counts) > 0.0) || !std::isfinite(counts)) {
      error.detail = core::LoadText(core::TextId::kPreviewNoScale);
      return false;
    }
    resolved.push_back({joint, entry.slider, entry.sign, entry.zero, counts});
  }
  drives = std::move(resolved);
  error = FileError{};
  return true;
}

void JointPositions(const RobotModel& model, const std::vector<JointDrive>& drives,
                    const std::array<std::int16_t, core::kPoseSlotCount>& values,
                    std::vector<double>& positions) {
  positions.assign(model.joints.size(), 0.0);
  for (const JointDrive& drive : drives) {
    const double units = drive.sign *
                         (values[static_cast<std::size_t>(drive.slider)] - drive.zero) /
                         drive.countsPerUnit;
    const bool sliding =
        model.joints[static_cast<std::size_t>(drive.joint)].type == JointType::kPrismatic;
    positions[static_cast<std::size_t>(drive.joint)] =
        sliding ? units / 1000.0 : units * std::numbers::pi / 180.0;
  }
}

}  // namespace gestalon::preview

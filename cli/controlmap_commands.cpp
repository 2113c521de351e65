#include "controlmap_commands.h"

#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <type_traits>

#include "cli_app.h"
#include "controlmap/control_map.h"
#include "controlmap/control_map_flowchart.h"
#include "json_text.h"
#include "project/slider_defs.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::cli {
namespace {

using nlohmann::json;

constexpr const char* kPadKind = "pad";
constexpr const char* kVariableKind = "variable";

json EntryJson(const core::MapEntry& entry) {
  const core::MotionBlock& c = entry.condition;
  return {{"motion", JsonText(c.fileName)},
          {"kind", c.Is(core::BlockKind::PadIf) ? kPadKind : kVariableKind},
          {"varAddr", c.varAddr},
          {"op", c.op},
          {"constValue", c.constValue},
          {"useConst", c.useConst},
          {"varSize", c.varSize},
          {"refAddr", c.refAddr},
          {"refSize", c.refSize},
          {"targetMap", entry.targetMap}};
}

json ControlMapJson(const core::ControlMap& controlMap) {
  json maps = json::array();
  for (const core::ControlMap::Map& map : controlMap.maps) {
    json entries = json::array();
    for (const core::MapEntry& entry : map.entries) {
      entries.push_back(EntryJson(entry));
    }
    maps.push_back({{"name", JsonText(map.name)},
                    {"used", map.used},
                    {"idlingMotion", JsonText(map.idlingMotion)},
                    {"entries", std::move(entries)}});
  }
  return {{"bootMotion", JsonText(controlMap.bootMotion)}, {"maps", std::move(maps)}};
}

// Takes `key` of `object` into `field` when present; a value of the wrong type or outside the
// field's range is an error.
template <typename Field>
void Take(const json& object, const char* key, Field& field) {
  if (!object.contains(key)) {
    return;
  }
  if constexpr (std::is_same_v<Field, bool>) {
    field = object.at(key).get<bool>();
  } else {
    const auto value = object.at(key).get<std::int64_t>();
    if (value < std::numeric_limits<Field>::min() || value > std::numeric_limits<Field>::max()) {
      throw std::out_of_range(std::string(key) + " is out of range");
    }
    field = static_cast<Field>(value);
  }
}

void TakeText(const json& object, const char* key, std::u16string& field) {
  if (object.contains(key)) {
    field = core::FromUtf8(object.at(key).get<std::string>());
  }
}

core::MapEntry EntryFromJson(const json& object, int map) {
  core::MapEntry entry = core::NewMapEntry(map);
  core::MotionBlock& c = entry.condition;
  TakeText(object, "motion", c.fileName);
  if (object.contains("kind")) {
    const std::string kind = object.at("kind").get<std::string>();
    if (kind != kPadKind && kind != kVariableKind) {
      throw std::invalid_argument("kind must be \"pad\" or \"variable\"");
    }
    c.type =
        static_cast<std::int32_t>(kind == kPadKind ? core::BlockKind::PadIf : core::BlockKind::If);
  }
  Take(object, "varAddr", c.varAddr);
  Take(object, "op", c.op);
  Take(object, "constValue", c.constValue);
  Take(object, "useConst", c.useConst);
  Take(object, "varSize", c.varSize);
  Take(object, "refAddr", c.refAddr);
  Take(object, "refSize", c.refSize);
  Take(object, "targetMap", entry.targetMap);
  if (entry.targetMap >= core::kControlMapCount) {
    throw std::invalid_argument("targetMap must be 0..3");
  }
  return entry;
}

core::ControlMap ControlMapFromJson(const json& document) {
  core::ControlMap controlMap = core::NewControlMap();
  TakeText(document, "bootMotion", controlMap.bootMotion);
  const json maps = document.value("maps", json::array());
  if (!maps.is_array() || maps.size() > core::kControlMapCount) {
    throw std::invalid_argument("maps must be a list of at most four maps");
  }
  for (std::size_t m = 0; m < maps.size(); ++m) {
    const json& object = maps[m];
    core::ControlMap::Map& map = controlMap.maps[m];
    if (object.contains("name")) {
      core::SetMapName(controlMap, static_cast<int>(m),
                       core::FromUtf8(object.at("name").get<std::string>()));
    }
    Take(object, "used", map.used);
    TakeText(object, "idlingMotion", map.idlingMotion);
    for (const json& entry : object.value("entries", json::array())) {
      map.entries.push_back(EntryFromJson(entry, static_cast<int>(m)));
    }
  }
  return controlMap;
}

}  // namespace

int RunControlMapDump(const std::string& mapPath, std::ostream& out, std::ostream& err) {
  core::ControlMap controlMap;
  if (!core::ReadControlMapFile(ArgumentPath(mapPath), controlMap)) {
    err << "gestalon-cli: " << mapPath << ": "
        << core::ToUtf8(core::LoadText(core::TextId::kFileFormatError)) << "\n";
    return kExitError;
  }
  out << ControlMapJson(controlMap).dump(2) << "\n";
  return kExitOk;
}

int RunControlMapBuild(const std::string& jsonPath, const std::string& outPath, std::ostream&,
                       std::ostream& err) {
  std::ifstream in(ArgumentPath(jsonPath), std::ios::binary);
  if (!in) {
    err << "gestalon-cli: cannot read " << jsonPath << "\n";
    return kExitError;
  }
  core::ControlMap controlMap;
  try {
    controlMap = ControlMapFromJson(json::parse(in));
  } catch (const std::exception& e) {
    err << "gestalon-cli: " << jsonPath << ": " << e.what() << "\n";
    return kExitError;
  }
  // The map's flowchart holds no poses of the robot, so no slider table is needed.
  if (!core::WriteControlMapFile(ArgumentPath(outPath), controlMap, core::SliderTable{})) {
    err << "gestalon-cli: " << outPath << ": "
        << core::ToUtf8(core::LoadText(core::TextId::kFileSaveFailed)) << "\n";
    return kExitError;
  }
  return kExitOk;
}

}  // namespace gestalon::cli

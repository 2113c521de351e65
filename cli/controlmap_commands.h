#pragma once

#include <ostream>
#include <string>

namespace gestalon::cli {

// The JSON form of a control map, shared by `controlmap dump` and `controlmap build`:
//   {"bootMotion": "BOOT.KX4",
//    "maps": [ // four, in tab order
//      {"name": "MAP1", "used": true, "idlingMotion": "",
//       "entries": [ // in evaluation order
//         {"motion": "wave.KX4", "kind": "pad" | "variable", "varAddr": 3812, "op": 0,
//          "constValue": 4096, "useConst": 1, "varSize": 2, "refAddr": 0, "refSize": 2,
//          "targetMap": 0}]}]}
// "pad" conditions test the controller word (0x0EE4) against a button mask; "variable"
// conditions compare a board variable with a constant or another variable (op as in the branch
// block). In `build`, missing keys keep the values of a new map and entry, and fewer than four
// maps leave the others as a new control map has them.
inline constexpr const char* kControlMapJsonHelp =
    "JSON: {\"bootMotion\", \"maps\": [{\"name\", \"used\", \"idlingMotion\", \"entries\": "
    "[{\"motion\", \"kind\": \"pad\"|\"variable\", \"varAddr\", \"op\", \"constValue\", "
    "\"useConst\", \"varSize\", \"refAddr\", \"refSize\", \"targetMap\"}]}]}";

// `gestalon-cli controlmap dump MAP.KX4`: a control map file as JSON.
int RunControlMapDump(const std::string& mapPath, std::ostream& out, std::ostream& err);

// `gestalon-cli controlmap build MAP.json -o MAP.KX4`: writes a control map file from JSON with
// the editor's writer.
int RunControlMapBuild(const std::string& jsonPath, const std::string& outPath, std::ostream& out,
                       std::ostream& err);

}  // namespace gestalon::cli

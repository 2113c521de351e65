#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "motion/motion_block.h"
#include "preview/file_error.h"
#include "preview/robot_model.h"
#include "project/slider_defs.h"

namespace gestalon::preview {

// The mapping file beside a robot project's other settings files, in the shared settings syntax:
//   _URDF:[[preview.urdf]]                       the robot description, relative to the folder
//   _JOINT:[[joint]]-[slider]-[sign]-[zero]-[counts]
// one _JOINT line per driven joint: the pose slider (0..127), the sign (1 or -1), the slider
// value at which the joint stands at 0, and the slider counts per degree (per millimetre for a
// prismatic joint); counts 0 or left out take the slider's own countsPerDegree.
inline constexpr char16_t kMappingFileName[] = u"preview.ini";
inline constexpr char16_t kDefaultDescriptionName[] = u"preview.urdf";

struct MappingEntry {
  std::string joint;  // UTF-8, as the robot description names it
  int slider = 0;
  int sign = 1;
  double zero = 0.0;
  double countsPerUnit = 0.0;  // 0: the slider's own
  int line = 0;                // in the mapping file
};

struct MappingFile {
  std::u16string description = kDefaultDescriptionName;
  std::vector<MappingEntry> entries;
};

// How one joint follows its slider: position = sign x (value - zero) / countsPerUnit, in degrees
// (turned into radians) or millimetres (turned into metres).
struct JointDrive {
  int joint = -1;
  int slider = 0;
  int sign = 1;
  double zero = 0.0;
  double countsPerUnit = 1.0;
};

// Reads the mapping file. False with `error` naming the file and the line when it cannot be
// opened or a line is not one of the two keys or has a slider outside 0..127 or a sign other
// than 1 and -1.
bool ReadMappingFile(const std::filesystem::path& file, MappingFile& mapping, FileError& error);

// Ties the entries to the model's joints and the sliders' scales. False with `error` (the
// mapping file and the entry's line) for a joint the model lacks, a joint named twice, or a
// scale that is neither given nor the slider's own.
bool ResolveMapping(const MappingFile& mapping, const std::filesystem::path& file,
                    const RobotModel& model, const core::SliderTable& sliders,
                    std::vector<JointDrive>& drives, FileError& error);

// Joint positions (one per model joint) for the slot values of a pose; joints without a drive
// stay at 0.
void JointPositions(const RobotModel& model, const std::vector<JointDrive>& drives,
                    const std::array<std::int16_t, core::kPoseSlotCount>& values,
                    std::vector<double>& positions);

}  // namespace gestalon::preview

#pragma once

#include <filesystem>

#include "controlmap/control_map.h"
#include "motion/motion_document.h"
#include "project/slider_defs.h"

namespace gestalon::core {

// Replaces the document by the start-up flowchart that runs `controlMap` on the board: the boot
// motion once, then a loop that tests the map number (0x0FFA) against each used map's head and,
// in the current map, each entry's condition in order; a matching entry sets the motion number
// (0x0FF8, the entry's position from 1), calls its motion and sets the map number to its target.
// A map without a matching entry calls its idling motion. Unused maps are written but not chained.
void BuildControlMapFlowchart(const ControlMap& controlMap, MotionDocument& document);

// Writes the flowchart as a motion file, atomically. False when the file cannot be written; the
// previous file is then untouched.
bool WriteControlMapFile(const std::filesystem::path& path, const ControlMap& controlMap,
                         const SliderTable& sliders);

// Recognises a control map flowchart (as BuildControlMapFlowchart lays it out, or edited by hand
// within its shape). False for a format error, with `out` untouched; the caller reports it.
bool RecognizeControlMap(const MotionDocument& document, ControlMap& out);

// Reads a motion file and recognises it. False, with `out` untouched, when the file cannot be
// read or is not a control map.
bool ReadControlMapFile(const std::filesystem::path& path, ControlMap& out);

}  // namespace gestalon::core

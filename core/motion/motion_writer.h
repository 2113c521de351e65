#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "motion/motion_document.h"
#include "project/slider_defs.h"

namespace gestalon::core {

// The motion file (.KX4) text of `document`: the blocks in list order from head(), each as its
// editor record followed by its rendering as board instructions, CR LF line ends, texts in the
// ANSI code page. Links become jumps to the byte offsets of their targets' sections.
//
// `sliders` tells which slots are servo-channel companions (written as 0, their values going to
// servoenable lines). `speedPercent` scales every pose's transition time (100 for saving; the
// playback override otherwise). With `startBlock` given, every Start block is written as if its
// next were `startBlock` (playback from a chosen block); the links in memory stay as they are.
//
// Sets fileStart and fileEnd of every block to the offsets of its section in the text.
std::string BuildMotionFileText(const MotionDocument& document, const SliderTable& sliders,
                                std::uint32_t speedPercent, const MotionBlock* startBlock);

// Writes BuildMotionFileText to `path` through a temporary file renamed over the old one. False
// when the file cannot be written; the previous file is then untouched. fileStart and fileEnd
// are set either way.
bool WriteMotionFile(const std::filesystem::path& path, const MotionDocument& document,
                     const SliderTable& sliders, std::uint32_t speedPercent,
                     const MotionBlock* startBlock);

}  // namespace gestalon::core

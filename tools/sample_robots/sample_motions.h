#pragma once

#include <filesystem>

#include "project/base_poses.h"
#include "project/slider_defs.h"

// Writes the sample motions of the humanoid (wave, bow, walk, greeting) into `folder`.
bool WriteSampleMotions(const std::filesystem::path& folder,
                        const gestalon::core::SliderTable& sliders,
                        const gestalon::core::BasePoseTable& basePoses);

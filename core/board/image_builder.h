#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "board/copy_list.h"
#include "cpusettings/cpu_settings.h"
#include "motion/motion_document.h"
#include "project/slider_defs.h"
#include "ui_port/progress_sink.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// What building a board image needs from the project and the task.
struct ImageBuildContext {
  std::filesystem::path projectFolder;   // relative motion and file names resolve against it
  const SliderTable* sliders = nullptr;  // servo-channel companions; null: none
  const CpuSettings* cpu = nullptr;      // the task's scratch settings; null: cleared settings
  // Receives the code ranges of the main motion's blocks (fileStart / fileEnd by list position).
  MotionDocument* editedMotion = nullptr;
  ProgressSink* progress = nullptr;  // texts of the writing dialog; null: none
  Prompter* prompter = nullptr;      // null: quiet
};

struct MotionImage {
  std::vector<std::uint8_t> bytes;
  // Code address of the main motion's first block (the motion image's base address plus the
  // size of the second motion's code).
  std::uint32_t startAddress = 0;
};

// Compiles `mainMotion` and, when not empty, `secondMotion` (placed first) with every motion they
// call into one motion image whose code starts at `baseAddress`; pose times are scaled by
// `overridePercent`. Every motion and file the image uses is appended to `copyList` (motions as
// CopyKind 0 and 1, sound files 2, data files 3). Progress goes to the step, current-file, counts
// and size texts of the writing dialog.
//
// A called motion that cannot be opened, read or compiled is reported and replaced by a single
// end instruction, so that calling it returns at once. None when the main motion cannot be
// compiled (it is reported too); nothing is then added to `copyList`.
std::optional<MotionImage> BuildMotionImage(const ImageBuildContext& context,
                                            std::u16string_view mainMotion,
                                            std::u16string_view secondMotion,
                                            std::uint32_t overridePercent,
                                            std::uint32_t baseAddress, CopyList& copyList);

// "STARTUP.BIN": the settings image of context.cpu followed by the image of its start-up motion
// and second motion (at 100 %), whose first block the settings program calls before it stops.
// Only the settings image when no start-up motion is named. None when a start-up motion is named
// but its image cannot be built (the write has failed), or when context.cpu is null.
std::optional<std::vector<std::uint8_t>> BuildStartupImage(const ImageBuildContext& context,
                                                           CopyList& copyList);

// Writes an image file through a temporary file; false (old file untouched) when that fails.
bool WriteImageFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

// Creates every missing folder of `folder`, parents first. True when it exists afterwards.
bool CreateFolders(const std::filesystem::path& folder);

}  // namespace gestalon::core

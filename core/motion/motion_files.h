#pragma once

#include <filesystem>
#include <string>

#include "motion/block_factory.h"
#include "motion/motion_document.h"
#include "motion/recent_motions.h"
#include "project/project_loader.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// The open motion with its file name and the motions used during this run.
struct MotionSession {
  MotionDocument document;
  std::u16string path;  // current motion file; empty for a new, unsaved motion
  RecentMotions recent;
};

// Opens a motion file: the file's blocks replace the document (a file without blocks gives a new
// motion), the path becomes current and goes into the recent list, and the pose to edit is chosen
// (ChooseOpenedPose). False, with nothing changed, when the file cannot be read. A newer format
// version is reported through `prompter` and the file is opened anyway.
bool OpenMotion(MotionSession& session, const std::filesystem::path& file,
                const LoadedProject& project, Prompter* prompter,
                const NewMotionLayout& layout = {});

// Saves the document to `file`. On success the path becomes current and goes into the recent
// list. A failed write is reported through `prompter`, leaves the previous file, the current path
// and the document as they were, and gives false: the motion stays unsaved.
bool SaveMotion(MotionSession& session, const std::filesystem::path& file,
                const LoadedProject& project, Prompter* prompter);

// The pose to edit after opening: the first pose block the Start block's chain of next links
// reaches (every selection mark cleared); when the chain loops or ends before a pose, the first
// pose in list order, with the blocks of the chain left selected. Sets `current` and returns it.
MotionBlock* ChooseOpenedPose(MotionDocument& document);

}  // namespace gestalon::core

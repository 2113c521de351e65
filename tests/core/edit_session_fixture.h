#pragma once

#include <atomic>
#include <cstdint>

#include "platform/paths.h"
#include "pose/edit_context.h"
#include "recording_ports.h"
#include "temp_dir.h"

namespace gestalon::testing {

// Counts the undo steps an operation records.
class CountingUndo : public core::UndoRecorder {
 public:
  void RecordUndo() override { ++steps; }
  int steps = 0;
};

// An editing context over an empty project whose folder is a fresh temporary folder (settings
// files written by the operations land there), with recording ports attached.
struct EditSession {
  TempDir dir;
  core::LoadedProject project;
  core::MotionDocument document;
  std::atomic<std::uint32_t> flags{0};
  core::EditState state;
  RecordingPrompter prompter;
  RecordingViewNotifier views;
  CountingUndo undo;
  core::EditContext context{project, document, flags, state};

  EditSession() {
    project.project.folder = core::TextFromPath(dir.Path() / "");
    project.project.DEFPOSINI = u"base.pos";
    project.project.DEFOFSINI = u"offsets.ini";
    context.prompter = &prompter;
    context.views = &views;
    context.undo = &undo;
  }
};

}  // namespace gestalon::testing

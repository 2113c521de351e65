#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "motion/motion_document.h"
#include "platform/paths.h"
#include "pose/edit_context.h"
#include "recording_ports.h"
#include "temp_dir.h"

namespace gestalon::testing {

// Counts the undo steps the operations record.
class CountingUndo : public core::UndoRecorder {
 public:
  void RecordUndo() override { ++steps; }
  int steps = 0;
};

// An editing context over an empty project whose folder is a fresh temporary folder (settings
// files the operations write land there), recording undo steps, view requests, messages and every
// pose handed to the robot.
struct EditingSession {
  TempDir dir;
  core::LoadedProject project;
  core::MotionDocument document;
  std::atomic<std::uint32_t> flags{0};
  core::EditState state;
  CountingUndo undo;
  RecordingViewNotifier views;
  RecordingPrompter prompter;
  std::vector<std::pair<const core::MotionBlock*, std::uint16_t>> handed;
  core::EditContext context{project,
                            document,
                            flags,
                            state,
                            [this](const core::MotionBlock& pose, std::uint16_t time) {
                              handed.emplace_back(&pose, time);
                            },
                            &undo,
                            &views,
                            &prompter};

  EditingSession() {
    project.project.folder = core::TextFromPath(dir.Path() / "");
    project.project.DEFPOSINI = u"base.pos";
    project.project.DEFOFSINI = u"offsets.ini";
  }

  // Appends a block drawn 100 x 30 at (x, y) with time 50.
  core::MotionBlock& Add(core::BlockKind kind, std::int32_t x, std::int32_t y,
                         std::u16string name = u"") {
    core::MotionBlock record;
    record.type = static_cast<std::int32_t>(kind);
    record.name = std::move(name);
    record.time = 50;
    record.xpos = x;
    record.ypos = y;
    record.rect = {x + 100, y + 30, 0, 0};
    return document.Append(record);
  }

  // How often the views were asked for `event` ("repaint pose", "scroll", ...).
  int Count(const char* event) const {
    int n = 0;
    for (const std::string& e : views.events) {
      n += e == event ? 1 : 0;
    }
    return n;
  }
};

// Every arrow of every block of `motion` points at a block of `motion` (or nowhere).
inline bool LinksStayInside(const core::MotionDocument& motion) {
  for (const core::MotionBlock& block : motion) {
    if ((block.next && motion.IndexOf(block.next) < 0) ||
        (block.branch && motion.IndexOf(block.branch) < 0)) {
      return false;
    }
  }
  return true;
}

}  // namespace gestalon::testing

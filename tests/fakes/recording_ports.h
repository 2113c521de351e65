#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ui_port/progress_sink.h"
#include "ui_port/prompter.h"
#include "ui_port/view_notifier.h"

namespace gestalon::testing {

// Records every message box and answers from a queue (default: OK for OK boxes, otherwise the
// first button). Thread-safe, since workers may prompt.
class RecordingPrompter : public core::Prompter {
 public:
  struct Call {
    core::PromptIcon icon;
    std::u16string text;
    core::PromptButtons buttons;
  };

  void QueueAnswer(core::PromptAnswer answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
  }
  core::PromptAnswer Ask(core::PromptIcon icon, std::u16string_view text,
                         core::PromptButtons buttons) override {
    std::lock_guard lock(mutex_);
    calls_.push_back({icon, std::u16string(text), buttons});
    if (!answers_.empty()) {
      const auto answer = answers_.front();
      answers_.pop_front();
      return answer;
    }
    return buttons == core::PromptButtons::kOk || buttons == core::PromptButtons::kOkCancel
               ? core::PromptAnswer::kOk
               : core::PromptAnswer::kYes;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    calls_.clear();
    answers_.clear();
  }
  std::vector<Call> Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Call> calls_;
  std::deque<core::PromptAnswer> answers_;
};

class RecordingProgressSink : public core::ProgressSink {
 public:
  void SetText(int controlId, std::u16string_view text) override {
    std::lock_guard lock(mutex_);
    texts.emplace_back(controlId, std::u16string(text));
  }
  void SetProgress(int value, int maximum) override {
    std::lock_guard lock(mutex_);
    progress.emplace_back(value, maximum);
  }
  void Finish(int result) override {
    std::lock_guard lock(mutex_);
    results.push_back(result);
  }

  std::mutex mutex_;
  std::vector<std::pair<int, std::u16string>> texts;
  std::vector<std::pair<int, int>> progress;
  std::vector<int> results;
};

class RecordingViewNotifier : public core::ViewNotifier {
 public:
  void Repaint(core::Pane pane) override {
    Record(pane == core::Pane::kPose ? "repaint pose" : "repaint motion");
  }
  void Relayout(core::Pane pane) override {
    Record(pane == core::Pane::kPose ? "relayout pose" : "relayout motion");
  }
  void SetTitle(std::u16string_view title) override {
    std::lock_guard lock(mutex_);
    titles.emplace_back(title);
    events.push_back("title");
  }
  void RefreshMenuChecks() override { Record("menu checks"); }
  void SetPlaybackLock(bool playing) override { Record(playing ? "lock" : "unlock"); }
  void SetUndoState(bool canUndo, bool canRedo) override {
    std::lock_guard lock(mutex_);
    undoStates.emplace_back(canUndo, canRedo);
    events.push_back("undo state");
  }
  void ScrollIntoView(int left, int top, int, int) override {
    std::lock_guard lock(mutex_);
    scrolls.emplace_back(left, top);
    events.push_back("scroll");
  }

  std::mutex mutex_;
  std::vector<std::string> events;
  std::vector<std::u16string> titles;
  std::vector<std::pair<bool, bool>> undoStates;
  std::vector<std::pair<int, int>> scrolls;  // left, top of each scrolled-to rectangle

 private:
  void Record(const char* event) {
    std::lock_guard lock(mutex_);
    events.push_back(event);
  }
};

}  // namespace gestalon::testing

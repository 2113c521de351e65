#pragma once

#include <string_view>

namespace gestalon::core {

// The progress dialogs of long board work (writing, playback preparation, firmware transfer).
// Called from the worker thread; the front end forwards to its dialog on the user-interface
// thread without blocking the worker.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // Replaces the text of the dialog's static control `controlId`.
  virtual void SetText(int controlId, std::u16string_view text) = 0;
  // Moves the progress bar: `value` of `maximum` (maximum > 0).
  virtual void SetProgress(int value, int maximum) = 0;
  // The work ended with `result` (1 success, 0 failure); the dialog closes with that result.
  virtual void Finish(int result) = 0;
};

}  // namespace gestalon::core

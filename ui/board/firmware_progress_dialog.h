#pragma once

#include <QDialog>
#include <thread>

#include "board/board_link.h"
#include "board/firmware_update.h"
#include "ui_port/progress_sink.h"

class QLabel;
class QProgressBar;

namespace gestalon::ui {

// The firmware update's progress dialog (124): the status text (1020), the progress bar over the
// 128-byte pieces (40642) and the fixed warning not to touch the board. It runs the update on a
// worker thread of its own while it is shown and is its progress sink: the worker's reports are
// carried to the user-interface thread. Only the end of the update closes it: Escape and the
// close box do nothing, since a board left half-written is worse than a wait.
class FirmwareProgressDialog : public QDialog, public core::ProgressSink {
  Q_OBJECT

 public:
  explicit FirmwareProgressDialog(QWidget* parent = nullptr);
  ~FirmwareProgressDialog() override;

  // Runs `request` on `link` (its progress comes here), modal until the update has ended; the
  // update's result (1 = the board runs the updater). `link` must outlive the call.
  int Run(core::BoardLink& link, core::FirmwareUpdateRequest request);

  // From the worker.
  void SetText(int controlId, std::u16string_view text) override;
  void SetProgress(int value, int maximum) override;
  void Finish(int result) override;

 public Q_SLOTS:
  void reject() override {}

 private:
  QLabel* status_;
  QProgressBar* bar_;
  std::thread worker_;
};

}  // namespace gestalon::ui

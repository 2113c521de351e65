#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "board/board_link.h"
#include "board/board_scan.h"
#include "widgets/qt_prompter.h"

class QComboBox;

namespace gestalon::ui {

// The choice among the CPU boards a drive scan listed: one entry per listed board, "<model name>
// (<drive>ドライブ)", the current board drive preselected (else the first). OK makes the selected
// board the current board drive and ends with 1 (with no selection the drive stays, still 1);
// Cancel or closing ends with 0. While the dialog exists it owns the prompter's message boxes;
// the previous owner is restored when it goes.
class DriveSelectionDialog : public QDialog {
  Q_OBJECT

 public:
  // `prompter` may be null. `link` must outlive the dialog.
  DriveSelectionDialog(core::BoardLink& link, core::BoardScanResult scan, QtPrompter* prompter,
                       QWidget* parent = nullptr);
  ~DriveSelectionDialog() override;

 private:
  void Confirm();

  core::BoardLink& link_;
  core::BoardScanResult scan_;
  QtPrompter* prompter_;
  QPointer<QWidget> previousOwner_;
  QComboBox* boards_;
};

// Runs the drive-selection dialog for `scan`, modal to `parent`. True when the user confirmed
// (the choice is then the current board drive), false when cancelled. Call it on the
// user-interface thread; from a worker use MakeBoardChooser, which watches `parent` safely.
bool ChooseBoardDrive(core::BoardLink& link, const core::BoardScanResult& scan, QWidget* parent,
                      QtPrompter* prompter);

// ChooseBoardDrive for the board-writing task's chooseBoard; with the link bound it also serves
// the firmware update's. Callable from any thread: from a worker the dialog runs on the
// user-interface thread and the worker blocks until it is answered. Made on the user-interface
// thread; `parent` may go away meanwhile (the dialog then has no parent).
std::function<bool(core::BoardLink&, const core::BoardScanResult&)> MakeBoardChooser(
    QWidget* parent, QtPrompter* prompter);

}  // namespace gestalon::ui

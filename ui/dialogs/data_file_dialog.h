#pragma once

#include "dialogs/file_block_dialog.h"

class QLineEdit;

namespace gestalon::ui {

// The chooser of the data files: a save dialog "Write Log File" or an open dialog "Open LOG
// File", LOG files first.
FileChoice LogFileChoice(bool save);

// The file read and file write block dialog (191): the data file with its size (or the not-found
// notice), the first variable of the data (1021, picked with 1029) and, for a file write block,
// "作成..." (1008), which makes a zero-filled file; choosing a file to write that does not exist
// offers to make it at once.
class DataFileDialog : public FileBlockDialog {
  Q_OBJECT

 public:
  DataFileDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent = nullptr);

 protected:
  std::u16string CheckAndStore(core::MotionBlock& copy) override;
  std::u16string StatusText() const override;
  void ChooserClicked() override;

 private:
  void PickVariable();
  void CreateFile();

  bool write_ = false;
  QLineEdit* variable_ = nullptr;
};

}  // namespace gestalon::ui

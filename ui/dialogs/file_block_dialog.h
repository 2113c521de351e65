#pragma once

#include <filesystem>
#include <string>

#include "dialogs/block_dialog.h"
#include "widgets/project_file_chooser.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace gestalon::ui {

// What the dialogs of the blocks that name a project file share: the file field 1142 with its
// chooser button 1206 and the status line 1001 below it, which follows every change of the name.
// OK resets `constValue` and stores the name and whether that file exists.
class FileBlockDialog : public BlockDialog {
  Q_OBJECT

 protected:
  FileBlockDialog(EditorSession& session, core::MotionBlock& block, int titleTextId,
                  QWidget* parent);

  // Adds the file row and the status line at `row` and `row` + 1 of Body() (three columns).
  void AddFileRows(int row);

  QLineEdit* FileField() const { return file_; }
  QPushButton* Chooser() const { return chooser_; }
  // The name in the file field as the block would store it.
  std::u16string FileName() const;
  const std::u16string& ProjectFolder() const;
  // The file in the field as a path: relative names in the project folder.
  std::filesystem::path FilePath() const;
  bool FileExists() const;

  // Lets the user pick a project file; the field takes its name. False when cancelled or
  // refused (the field stays as it was).
  bool ChooseFile(const FileChoice& choice);
  void RefreshStatus();

  // The kind's status text for the name in the field.
  virtual std::u16string StatusText() const = 0;
  // The chooser button was clicked.
  virtual void ChooserClicked() = 0;

  // Stores what every file block dialog stores on OK.
  void StoreFile(core::MotionBlock& copy) const;

 private:
  QLineEdit* file_ = nullptr;
  QPushButton* chooser_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace gestalon::ui

#include "dialogs/file_block_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "flowchart/block_file_checks.h"
#include "main_window/editor_session.h"
#include "motion/motion_block.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

FileBlockDialog::FileBlockDialog(EditorSession& session, core::MotionBlock& block, int titleTextId,
                                 QWidget* parent)
    : BlockDialog(session, block, titleTextId, parent) {}

void FileBlockDialog::AddFileRows(int row) {
  Body()->addWidget(new QLabel(Text(core::TextId::kColFileName), this), row, 0);
  file_ = Named(new QLineEdit(ToQString(Copy().fileName), this), 1142);
  file_->setMaxLength(static_cast<int>(core::kBlockFileNameChars));
  file_->setMinimumWidth(280);
  Body()->addWidget(file_, row, 1);
  chooser_ = Named(new QPushButton(Text(core::TextId::kBtnBrowse), this), 1206);
  Body()->addWidget(chooser_, row, 2);
  status_ = Named(new QLabel(this), 1001);
  Body()->addWidget(status_, row + 1, 1, 1, 2);
  connect(file_, &QLineEdit::textChanged, this, &FileBlockDialog::RefreshStatus);
  connect(chooser_, &QPushButton::clicked, this, &FileBlockDialog::ChooserClicked);
  RefreshStatus();
}

std::u16string FileBlockDialog::FileName() const {
  return core::BlockFileNameFromField(ToU16(file_->text()));
}

const std::u16string& FileBlockDialog::ProjectFolder() const {
  return Session().project.project.folder;
}

std::filesystem::path FileBlockDialog::FilePath() const {
  return core::ResolveInFolder(core::PathFromText(ProjectFolder()), FileName());
}

bool FileBlockDialog::FileExists() const {
  return core::ProjectFileExists(ProjectFolder(), FileName());
}

bool FileBlockDialog::ChooseFile(const FileChoice& choice) {
  core::Prompter* prompter = Session().context.prompter;
  if (!prompter) {
    return false;
  }
  const std::optional<QString> name = ChooseProjectFile(
      this, *prompter, Session().dialogs.pickFile, core::PathFromText(ProjectFolder()), choice);
  if (!name) {
    return false;
  }
  file_->setText(*name);
  return true;
}

void FileBlockDialog::RefreshStatus() {
  status_->setText(ToQString(StatusText()));
}

void FileBlockDialog::StoreFile(core::MotionBlock& copy) const {
  copy.constValue = 0;
  copy.fileName = FileName();
  copy.fileFound = core::ProjectFileExists(ProjectFolder(), copy.fileName);
}

}  // namespace gestalon::ui

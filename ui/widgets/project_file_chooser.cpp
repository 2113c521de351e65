#include "widgets/project_file_chooser.h"

#include <QFileDialog>

#include "platform/paths.h"
#include "project/project_folder_rule.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

QString PickFileWithDialog(QWidget* parent, const FileChoice& choice, const QString& startFolder) {
  QFileDialog dialog(parent, choice.title, startFolder);
  dialog.setNameFilters(choice.filters);
  dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setDefaultSuffix(choice.defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return dialog.selectedFiles().first();
}

QString PickFolderWithDialog(QWidget* parent, const QString& title, const QString& startFolder) {
  return QFileDialog::getExistingDirectory(parent, title, startFolder);
}

QString FileFilter(int descriptionTextId, int patternTextId) {
  return QStringLiteral("%1 (%2)").arg(Text(descriptionTextId), Text(patternTextId));
}

std::optional<QString> ChooseProjectFile(QWidget* parent, core::Prompter& prompter,
                                         const FilePicker& picker,
                                         const std::filesystem::path& projectFolder,
                                         const FileChoice& choice) {
  const std::u16string folder = core::TextFromPath(projectFolder);
  const QString chosen = picker(parent, choice, ToQString(folder));
  if (chosen.isEmpty()) {
    return std::nullopt;
  }
  const std::optional<std::u16string> name =
      core::NameInProjectFolder(folder, core::TextFromPath(std::filesystem::path(ToU16(chosen))));
  if (!name) {
    prompter.Show(core::PromptIcon::kWarning, core::LoadText(core::TextId::kMsgFileOutsideProject));
    return std::nullopt;
  }
  return ToQString(*name);
}

}  // namespace gestalon::ui

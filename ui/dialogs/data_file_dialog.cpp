#include "dialogs/data_file_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/create_file_dialog.h"
#include "dialogs/variable_dialog.h"
#include "flowchart/block_file_checks.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

FileChoice LogFileChoice(bool save) {
  FileChoice choice;
  choice.title = Text(save ? core::TextId::kDlgWriteLogTitle : core::TextId::kDlgOpenLogTitle);
  choice.filters = {FileFilter(core::TextId::kFilterLogName, core::TextId::kFilterLogPattern),
                    FileFilter(core::TextId::kFilterAll, core::TextId::kFilterAll)};
  choice.save = save;
  choice.defaultSuffix = Text(core::TextId::kFilterLogName);
  return choice;
}

DataFileDialog::DataFileDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent)
    : FileBlockDialog(session, block, core::TextId::kDlgFileReadTitle, parent),
      write_(block.Is(core::BlockKind::FileWrite)) {
  setObjectName(QStringLiteral("191"));
  AddFileRows(0);

  Body()->addWidget(new QLabel(Text(core::TextId::kLabelDataVariable), this), 2, 0);
  variable_ =
      Named(new QLineEdit(ToQString(core::VariableLabel(session.project, block.fileAddr, 0)), this),
            1021);
  variable_->setReadOnly(true);
  Body()->addWidget(variable_, 2, 1);
  auto* pick = Named(new QPushButton(Text(core::TextId::kBtnPickVariable1), this), 1029);
  Body()->addWidget(pick, 2, 2);
  connect(pick, &QPushButton::clicked, this, &DataFileDialog::PickVariable);

  auto* create = Named(new QPushButton(Text(core::TextId::kBtnCreateFile), this), 1008);
  create->setEnabled(write_);
  Body()->addWidget(create, 3, 2);
  connect(create, &QPushButton::clicked, this, &DataFileDialog::CreateFile);
}

std::u16string DataFileDialog::StatusText() const {
  return core::DataFileStatus(ProjectFolder(), FileName());
}

void DataFileDialog::ChooserClicked() {
  if (!ChooseFile(LogFileChoice(write_))) {
    return;
  }
  if (write_ && !FileExists() && Session().context.prompter &&
      Session().context.prompter->Ask(core::PromptIcon::kWarning,
                                      core::LoadText(core::TextId::kMsgConfirmCreateMissingFile),
                                      core::PromptButtons::kYesNo) == core::PromptAnswer::kYes) {
    CreateFile();
  }
  RefreshStatus();
}

void DataFileDialog::PickVariable() {
  std::uint16_t address = Copy().fileAddr;
  if (SelectVariable(Session(), this, address, &address, nullptr) == 1) {
    // The dialog's copy takes it; OK writes the copy back whole.
    Copy().fileAddr = address;
    variable_->setText(ToQString(core::VariableLabel(Session().project, address, 0)));
  }
}

void DataFileDialog::CreateFile() {
  CreateFileDialog dialog(Session(), FileField()->text(), this);
  if (dialog.Run() == 1) {
    FileField()->setText(dialog.FileName());
  }
  RefreshStatus();
}

std::u16string DataFileDialog::CheckAndStore(core::MotionBlock& copy) {
  StoreFile(copy);
  return {};
}

}  // namespace gestalon::ui

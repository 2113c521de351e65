#include "dialogs/create_file_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "dialogs/data_file_dialog.h"
#include "flowchart/block_file_checks.h"
#include "main_window/editor_session.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

CreateFileDialog::CreateFileDialog(EditorSession& session, const QString& name, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("201"));
  setWindowTitle(Text(core::TextId::kDlgCreateFileTitle));
  auto* outer = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Text(core::TextId::kColFileName), this), 0, 0);
  name_ = Named(new QLineEdit(name, this), 1142);
  name_->setMinimumWidth(280);
  grid->addWidget(name_, 0, 1);
  auto* chooser = Named(new QPushButton(Text(core::TextId::kBtnBrowse), this), 1110);
  grid->addWidget(chooser, 0, 2);
  grid->addWidget(new QLabel(Text(core::TextId::kLabelCreateFileSize), this), 1, 0);
  const std::optional<std::uintmax_t> existing =
      core::ProjectFileSize(session.project.project.folder, ToU16(name));
  size_ = Named(
      new QLineEdit(QString::number(existing ? *existing : session.dialogs.createFileSize), this),
      1017);
  size_->setValidator(new QIntValidator(0, 0x7FFFFFFF, size_));
  grid->addWidget(size_, 1, 1);
  outer->addLayout(grid);

  auto* buttons = new QDialogButtonBox(this);
  auto* ok =
      Named(buttons->addButton(Text(core::TextId::kButtonOk), QDialogButtonBox::AcceptRole), 1);
  Named(buttons->addButton(Text(core::TextId::kButtonCancel), QDialogButtonBox::RejectRole), 2);
  ok->setDefault(true);
  outer->addWidget(buttons);
  connect(chooser, &QPushButton::clicked, this, &CreateFileDialog::Choose);
  connect(buttons, &QDialogButtonBox::accepted, this, &CreateFileDialog::TryCreate);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CreateFileDialog::Run() {
  const PrompterOwnerScope owner(session_.context.prompter, this);
  return exec() == QDialog::Accepted ? 1 : 0;
}

QString CreateFileDialog::FileName() const {
  return name_->text();
}

void CreateFileDialog::Choose() {
  if (!session_.context.prompter) {
    return;
  }
  if (const std::optional<QString> name = ChooseProjectFile(
          this, *session_.context.prompter, session_.dialogs.pickFile,
          core::PathFromText(session_.project.project.folder), LogFileChoice(true))) {
    name_->setText(*name);
  }
}

void CreateFileDialog::TryCreate() {
  const std::uint32_t size = core::CreateFileSizeFromField(ToU16(size_->text()));
  const bool created =
      core::CreateZeroFilledFile(session_.project.project.folder, ToU16(name_->text()), size);
  if (created) {
    session_.dialogs.createFileSize = size;
  }
  if (session_.context.prompter) {
    session_.context.prompter->Show(
        created ? core::PromptIcon::kInformation : core::PromptIcon::kWarning,
        core::LoadText(created ? core::TextId::kMsgFileCreated
                               : core::TextId::kMsgFileCreateFailed));
  }
  if (created) {
    accept();
  }
}

}  // namespace gestalon::ui

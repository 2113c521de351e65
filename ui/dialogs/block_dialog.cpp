#include "dialogs/block_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "flowchart/block_field_checks.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

BlockDialog::BlockDialog(EditorSession& session, core::MotionBlock& block, int titleTextId,
                         QWidget* parent)
    : QDialog(parent), session_(session), block_(block), copy_(block) {
  setWindowTitle(Text(titleTextId));
  auto* outer = new QVBoxLayout(this);

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(Text(core::TextId::kLabelBlockName), this));
  name_ = Named(new QLineEdit(ToQString(copy_.name), this), 1224);
  name_->setMaxLength(static_cast<int>(core::kBlockDialogNameChars));
  nameRow->addWidget(name_, 1);
  outer->addLayout(nameRow);

  body_ = new QGridLayout;
  outer->addLayout(body_);

  auto* positionRow = new QHBoxLayout;
  positionRow->addWidget(new QLabel(Text(core::TextId::kLabelX), this));
  x_ = Named(new QLineEdit(QString::number(copy_.xpos), this), 1225);
  positionRow->addWidget(x_);
  positionRow->addWidget(new QLabel(Text(core::TextId::kLabelY), this));
  y_ = Named(new QLineEdit(QString::number(copy_.ypos), this), 1226);
  positionRow->addWidget(y_);
  positionRow->addStretch(1);
  outer->addLayout(positionRow);

  auto* buttons = new QDialogButtonBox(this);
  auto* ok =
      Named(buttons->addButton(Text(core::TextId::kButtonOk), QDialogButtonBox::AcceptRole), 1);
  Named(buttons->addButton(Text(core::TextId::kButtonCancel), QDialogButtonBox::RejectRole), 2);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &BlockDialog::TryAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  outer->addWidget(buttons);
  move(session_.dialogs.blockDialogPosition);
}

int BlockDialog::Run() {
  const PrompterOwnerScope owner(session_.context.prompter, this);
  return exec() == QDialog::Accepted ? 1 : 0;
}

void BlockDialog::TryAccept() {
  core::MotionBlock edited = copy_;
  std::u16string problem =
      core::CheckBlockPosition(ToU16(x_->text()), ToU16(y_->text()), edited.xpos, edited.ypos);
  if (problem.empty()) {
    problem = CheckAndStore(edited);
  }
  if (!problem.empty()) {
    if (session_.context.prompter) {
      session_.context.prompter->Show(core::PromptIcon::kWarning, problem);
    }
    return;
  }
  if (StoresName()) {
    edited.name = core::BlockNameFromField(ToU16(name_->text()));
  }
  copy_ = edited;
  block_ = copy_;
  accept();
}

void BlockDialog::done(int result) {
  session_.dialogs.blockDialogPosition = pos();
  QDialog::done(result);
}

}  // namespace gestalon::ui

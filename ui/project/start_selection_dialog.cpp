#include "project/start_selection_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

using namespace core::TextId;

// Control ids of the dialog.
constexpr int kOpenRadio = 1112, kCreateRadio = 1114, kRobotCombo = 1121, kPathField = 1142;
constexpr int kBrowseButton = 1110, kOkButton = 1, kCancelButton = 2;
constexpr int kIndent = 20;

}  // namespace

StartSelectionDialog::StartSelectionDialog(const ProjectStartContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setObjectName(QStringLiteral("155"));
  setWindowTitle(Text(kDlgStartSelectTitle));
  openExisting_ = Named(new QRadioButton(Text(kRadioOpenExistingProject)), kOpenRadio);
  createNew_ = Named(new QRadioButton(Text(kRadioCreateNewProject)), kCreateRadio);
  robots_ = Named(new QComboBox, kRobotCombo);
  path_ = Named(new QLineEdit, kPathField);
  browse_ = Named(new QPushButton(Text(kBtnBrowse)), kBrowseButton);
  path_->setMaxLength(259);
  path_->setMinimumWidth(360);

  core::ReadRecentProjects(context_.recentLog, recent_, nullptr);
  int proposed = -1;
  for (int i = 0; i < core::kRecentProjectCount; ++i) {
    const core::RecentProject& entry = recent_.entries[static_cast<std::size_t>(i)];
    if (!entry.valid) {
      continue;
    }
    if (proposed < 0 && !context_.proposedRobotName.empty() &&
        entry.robotName == context_.proposedRobotName) {
      proposed = robots_->count();
    }
    robots_->addItem(ToQString(entry.robotName));
    entries_.push_back(i);
  }
  robots_->setCurrentIndex(proposed);
  if (proposed >= 0) {
    openExisting_->setChecked(true);
    RobotChosen(proposed);
  } else {
    createNew_->setChecked(true);
  }

  auto* choice = new QGridLayout;
  choice->setColumnMinimumWidth(0, kIndent);
  choice->addWidget(openExisting_, 0, 0, 1, 4);
  choice->addWidget(new QLabel(Text(kSubmenuRecentProjects)), 1, 1);
  choice->addWidget(robots_, 1, 2, 1, 2);
  choice->addWidget(new QLabel(Text(kLabelProjectFile)), 2, 1);
  choice->addWidget(path_, 2, 2);
  choice->addWidget(browse_, 2, 3);
  choice->addWidget(createNew_, 3, 0, 1, 4);
  choice->setColumnStretch(2, 1);

  auto* ok = Named(new QPushButton(Text(kButtonOk)), kOkButton);
  auto* cancel = Named(new QPushButton(Text(kButtonCancel)), kCancelButton);
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choice);
  layout->addSpacing(8);
  layout->addLayout(buttons);

  connect(openExisting_, &QRadioButton::toggled, this, &StartSelectionDialog::UpdateEnabled);
  connect(robots_, &QComboBox::activated, this, &StartSelectionDialog::RobotChosen);
  connect(browse_, &QPushButton::clicked, this, &StartSelectionDialog::Browse);
  connect(ok, &QPushButton::clicked, this, &StartSelectionDialog::Confirm);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  UpdateEnabled();
}

void StartSelectionDialog::UpdateEnabled() {
  const bool open = openExisting_->isChecked();
  for (QWidget* control : std::initializer_list<QWidget*>{robots_, path_, browse_}) {
    control->setEnabled(open);
  }
}

void StartSelectionDialog::RobotChosen(int index) {
  if (index >= 0 && index < std::ssize(entries_)) {
    path_->setText(ToQString(recent_.entries[static_cast<std::size_t>(entries_[index])].path));
  }
}

void StartSelectionDialog::Browse() {
  FileChoice choice;
  choice.title = Text(kMenuFileOpenProject).section(QLatin1Char('\t'), 0, 0);
  choice.filters = {FileFilter(kFilterProjectDesc, kFilterProjectPattern)};
  choice.defaultSuffix = Text(kFilterProjectDesc);
  const QString chosen = context_.pickFile(this, choice, ToQString(context_.projectFolder));
  if (!chosen.isEmpty()) {
    path_->setText(chosen);
  }
}

void StartSelectionDialog::Confirm() {
  if (createNew_->isChecked()) {
    accept();
    return;
  }
  if (path_->text().isEmpty()) {
    context_.prompter->Show(core::PromptIcon::kWarning, core::LoadText(kMsgProjectPathEmpty));
    return;
  }
  // The new instance reads the path as it was typed; it says so itself when nothing loads.
  context_.startInstance(ToU16(path_->text()), context_.passedOnOptions);
  reject();
}

int RunStartSelectionDialog(const ProjectStartContext& context, QWidget* owner) {
  StartSelectionDialog dialog(context, owner);
  const PrompterOwnerScope scope(context.prompter, &dialog);
  return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace gestalon::ui

#include "controlmap/map_entry_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "controlmap/map_entry_text.h"
#include "controlmap/map_file_choice.h"
#include "dialogs/operands_panel.h"
#include "flowchart/block_field_checks.h"
#include "flowchart/block_file_checks.h"
#include "flowchart/condition_texts.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/pad_button_boxes.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

namespace TextId = core::TextId;

MapEntryDialog::MapEntryDialog(EditorSession& session, const core::ControlMap& controlMap, int map,
                               core::MapEntry& entry, QWidget* parent)
    : QDialog(parent), session_(session), entry_(entry), copy_(entry) {
  setObjectName(QStringLiteral("113"));
  setWindowTitle(Text(TextId::kCmapEntryTitle));
  auto* outer = new QVBoxLayout(this);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel(Text(TextId::kCmapEntryMotionFileLabel), this));
  file_ = Named(new QLineEdit(ToQString(copy_.condition.fileName), this), 1205);
  fileRow->addWidget(file_, 1);
  auto* chooser = Named(new QPushButton(Text(TextId::kButtonBrowse), this), 1206);
  connect(chooser, &QPushButton::clicked, this, &MapEntryDialog::ChooseMotion);
  fileRow->addWidget(chooser);
  outer->addLayout(fileRow);

  auto* modes = new QHBoxLayout;
  byController_ = Named(new QRadioButton(Text(TextId::kCmapInputByController), this), 1114);
  byVariable_ = Named(new QRadioButton(Text(TextId::kCmapInputByVariable), this), 1112);
  modes->addWidget(byController_);
  modes->addWidget(byVariable_);
  modes->addStretch(1);
  outer->addLayout(modes);

  auto* group = Named(new QGroupBox(this), 1006);
  auto* groupLayout = new QVBoxLayout(group);
  pages_ = new QStackedWidget(group);
  const bool controller = core::IsControllerCondition(copy_.condition);
  auto* controllerPage = Named(new QWidget(pages_), 212);
  auto* controllerLayout = new QVBoxLayout(controllerPage);
  buttons_ = new PadButtonBoxes(
      controller ? static_cast<std::uint32_t>(copy_.condition.constValue) : 0u, controllerPage);
  controllerLayout->addWidget(buttons_, 0, Qt::AlignCenter);
  pages_->addWidget(controllerPage);
  auto* variablePage = Named(new QWidget(pages_), 213);
  auto* variableLayout = new QVBoxLayout(variablePage);
  operands_ =
      new OperandsPanel(session, copy_.condition, core::kBranchOperatorTextIds, variablePage);
  variableLayout->addWidget(operands_);
  variableLayout->addStretch(1);
  pages_->addWidget(variablePage);
  groupLayout->addWidget(pages_);
  outer->addWidget(group);

  auto* targetRow = new QHBoxLayout;
  targetRow->addWidget(new QLabel(Text(TextId::kCmapMapTransition), this));
  target_ = Named(new QComboBox(this), 1220);
  for (int m = 0; m < core::kControlMapCount; ++m) {
    target_->addItem(m == map ? Text(TextId::kNoMapChange)
                              : ToQString(controlMap.maps[static_cast<std::size_t>(m)].name));
  }
  target_->setCurrentIndex(copy_.targetMap < core::kControlMapCount ? copy_.targetMap : map);
  targetRow->addWidget(target_);
  targetRow->addStretch(1);
  outer->addLayout(targetRow);

  auto* buttons = new QDialogButtonBox(this);
  auto* ok = Named(buttons->addButton(Text(TextId::kButtonOk), QDialogButtonBox::AcceptRole), 1);
  Named(buttons->addButton(Text(TextId::kButtonCancel), QDialogButtonBox::RejectRole), 2);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &MapEntryDialog::TryAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  outer->addWidget(buttons);

  (controller ? byController_ : byVariable_)->setChecked(true);
  ShowPage();
  connect(byController_, &QRadioButton::toggled, this, &MapEntryDialog::ShowPage);
  if (session.dialogs.controlMapEditorPosition) {
    move(*session.dialogs.controlMapEditorPosition);
  }
}

int MapEntryDialog::Run() {
  const PrompterOwnerScope owner(session_.context.prompter, this);
  return exec() == QDialog::Accepted ? 1 : 0;
}

void MapEntryDialog::ShowPage() {
  pages_->setCurrentIndex(byController_->isChecked() ? 0 : 1);
}

void MapEntryDialog::ChooseMotion() {
  if (const std::optional<QString> name = ChooseMapMotion(session_, this)) {
    file_->setText(*name);
  }
}

void MapEntryDialog::TryAccept() {
  core::MapEntry edited = copy_;
  core::MotionBlock& condition = edited.condition;
  std::u16string problem;
  if (file_->text().isEmpty()) {
    problem = core::LoadText(TextId::kCmapNoMotionFile);
  } else if (byController_->isChecked()) {
    condition.type = static_cast<std::int32_t>(core::BlockKind::PadIf);
    core::SetPadComparison(condition);
    condition.constValue = static_cast<std::int32_t>(buttons_->Mask());
  } else {
    condition.type = static_cast<std::int32_t>(core::BlockKind::If);
    problem = operands_->CheckAndStore(condition);
  }
  if (!problem.empty()) {
    if (session_.context.prompter) {
      session_.context.prompter->Show(core::PromptIcon::kWarning, problem);
    }
    return;
  }
  condition.fileName = core::BlockFileNameFromField(ToU16(file_->text()));
  edited.targetMap = static_cast<std::uint8_t>(target_->currentIndex());
  entry_ = edited;
  accept();
}

}  // namespace gestalon::ui

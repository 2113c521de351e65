#include "pose/base_pose_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>
#include <vector>

#include "main_window/editor_session.h"
#include "pose/base_pose_editing.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr int kListWidth = 180;

// The current pose as the sliders show it; an empty pose when the motion has no pose block.
core::MotionBlock CurrentPoseOrEmpty(const core::EditContext& context) {
  const core::MotionBlock* pose = core::CurrentPose(context);
  return pose ? *pose : core::MotionBlock{};
}

QPushButton* AddButton(QLayout* layout, QWidget* parent, int textId, int id) {
  auto* button = Named(new QPushButton(Text(textId), parent), id);
  button->setAutoDefault(false);
  layout->addWidget(button);
  return button;
}

}  // namespace

BasePoseDialog::BasePoseDialog(EditorSession& session, QWidget* parent)
    : QDialog(parent), session_(session), working_(session.project.basePoses) {
  setObjectName(QStringLiteral("135"));
  setWindowTitle(Text(TextId::kDlgBasePoseTitle));

  list_ = Named(new QTableWidget(0, 1, this), 1109);
  list_->setHorizontalHeaderLabels({Text(TextId::kColBasePoseList)});
  list_->horizontalHeader()->setHighlightSections(false);
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setShowGrid(false);
  list_->setWordWrap(false);
  list_->setMinimumWidth(kListWidth + list_->frameWidth() * 2);

  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel(Text(TextId::kLabelPoseName), this));
  name_ = Named(new QLineEdit(this), 1141);
  name_->setMaxLength(static_cast<int>(core::kBasePoseNameMaxChars));
  side->addWidget(name_);
  auto* registerButton = AddButton(side, this, TextId::kBtnRegister, 1150);
  side->addSpacing(fontMetrics().height());
  auto* replace = AddButton(side, this, TextId::kBtnReplaceWithCurrent, 1110);
  // The button reads as the toolbar's "delete pose" tip: the same text.
  auto* remove = AddButton(side, this, TextId::kTipDeletePose, 1151);
  side->addStretch(1);
  auto* bottom = new QHBoxLayout;
  auto* apply = AddButton(bottom, this, TextId::kButtonApply, 1);
  auto* close = AddButton(bottom, this, TextId::kBtnClose, 2);
  side->addLayout(bottom);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(side);

  connect(registerButton, &QPushButton::clicked, this, &BasePoseDialog::Register);
  // Typing a name and pressing Enter registers it.
  connect(name_, &QLineEdit::returnPressed, this, &BasePoseDialog::Register);
  connect(replace, &QPushButton::clicked, this, &BasePoseDialog::Replace);
  connect(remove, &QPushButton::clicked, this, &BasePoseDialog::DeleteSelected);
  connect(apply, &QPushButton::clicked, this, &BasePoseDialog::Apply);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  FillList();
  resize(sizeHint().width(), fontMetrics().height() * 24);
  if (session_.dialogs.basePoseDialogPosition) {
    move(*session_.dialogs.basePoseDialogPosition);
  }
}

void BasePoseDialog::FillList() {
  const std::vector<std::u16string> names = core::BasePoseNames(working_);
  list_->clearSelection();
  list_->setRowCount(0);
  list_->setRowCount(static_cast<int>(names.size()));
  for (int row = 0; row < list_->rowCount(); ++row) {
    list_->setItem(row, 0, new QTableWidgetItem(ToQString(names[static_cast<std::size_t>(row)])));
  }
  // A refilled list has no focused item: the next registration goes after the last base pose.
  list_->setCurrentCell(-1, -1);
}

int BasePoseDialog::FocusedItem() const {
  return list_->currentRow();
}

void BasePoseDialog::Register() {
  if (core::RegisterBasePose(working_, ToU16(name_->text()), FocusedItem(),
                             CurrentPoseOrEmpty(session_.context), session_.project.sliders,
                             session_.context.prompter) != 0) {
    FillList();
  }
}

void BasePoseDialog::Replace() {
  core::ReplaceBasePose(working_, FocusedItem(), CurrentPoseOrEmpty(session_.context),
                        session_.project.sliders, session_.context.prompter);
}

void BasePoseDialog::DeleteSelected() {
  std::set<int> rows;
  for (const QTableWidgetItem* item : list_->selectedItems()) {
    rows.insert(item->row());
  }
  if (core::DeleteBasePoses(working_, std::vector<std::int32_t>(rows.begin(), rows.end())) != 0) {
    FillList();
  }
}

void BasePoseDialog::Apply() {
  core::ApplyBasePoseTable(session_.context, working_);
}

void BasePoseDialog::done(int result) {
  session_.dialogs.basePoseDialogPosition = pos();
  QDialog::done(result);
}

void RunBasePoseDialog(EditorSession& session, QWidget* owner) {
  BasePoseDialog dialog(session, owner);
  const PrompterOwnerScope ownerScope(session.context.prompter, &dialog);
  dialog.exec();
}

}  // namespace gestalon::ui

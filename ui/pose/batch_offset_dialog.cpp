#include "pose/batch_offset_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

namespace ControlId {
constexpr int kList = 1240;
constexpr int kOffset = 1142;
constexpr int kSetOffset = 1110;
constexpr int kApply = 1;
constexpr int kClose = 2;
}  // namespace ControlId

constexpr int kNameColumnWidth = 140;
constexpr int kOffsetColumnWidth = 66;
constexpr int kVisibleRows = 20;

}  // namespace

BatchOffsetDialog::BatchOffsetDialog(EditorSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("172"));
  setWindowTitle(Text(TextId::kMenuBatchOffsetSelectedPoses));

  list_ = Named(new QTableWidget(core::kBatchOffsetSliders, 2, this), ControlId::kList);
  list_->setHorizontalHeaderLabels({Text(TextId::kColSliderName), Text(TextId::kColOffsetValue)});
  list_->verticalHeader()->hide();
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setShowGrid(true);
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
  list_->setColumnWidth(0, kNameColumnWidth);
  list_->setColumnWidth(1, kOffsetColumnWidth);
  list_->horizontalHeader()->setStretchLastSection(true);
  const std::u16string itemFormat = core::LoadText(TextId::kFmtSliderItem);
  for (int k = 0; k < core::kBatchOffsetSliders; ++k) {
    const core::SliderDef& slider = session.project.sliders[static_cast<std::size_t>(k)];
    list_->setItem(k, 0,
                   new QTableWidgetItem(ToQString(core::Format(itemFormat, k, slider.axisName))));
    auto* offset = new QTableWidgetItem;
    offset->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    list_->setItem(k, 1, offset);
  }
  list_->setMinimumWidth(kNameColumnWidth + kOffsetColumnWidth + 48);
  list_->setMinimumHeight(list_->horizontalHeader()->sizeHint().height() +
                          kVisibleRows * list_->verticalHeader()->defaultSectionSize());

  offset_ = Named(new QLineEdit(this), ControlId::kOffset);
  offset_->setMaximumWidth(96);
  auto* setOffset =
      Named(new QPushButton(Text(TextId::kBtnApplyToList), this), ControlId::kSetOffset);
  auto* entry = new QHBoxLayout;
  entry->addWidget(new QLabel(Text(TextId::kLabelOffsetInput), this));
  entry->addWidget(offset_);
  entry->addWidget(setOffset);
  entry->addStretch(1);

  auto* apply = Named(new QPushButton(Text(TextId::kButtonApply), this), ControlId::kApply);
  auto* close = Named(new QPushButton(Text(TextId::kBtnClose), this), ControlId::kClose);
  setOffset->setAutoDefault(false);
  apply->setAutoDefault(false);
  close->setAutoDefault(false);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(apply);
  bottom->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(entry);
  layout->addLayout(bottom);

  // Return in the offset field sets the offset: it must not apply the whole dialog.
  connect(offset_, &QLineEdit::returnPressed, this, &BatchOffsetDialog::SetOffsetsOfSelectedRows);
  connect(setOffset, &QPushButton::clicked, this, &BatchOffsetDialog::SetOffsetsOfSelectedRows);
  connect(apply, &QPushButton::clicked, this, [this] {
    if (Apply()) {
      accept();
    }
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  ShowOffsets();
  if (session_.dialogs.batchOffsetPosition) {
    move(*session_.dialogs.batchOffsetPosition);
  }
}

void BatchOffsetDialog::ShowOffsets() {
  const std::u16string format = core::LoadText(TextId::kFmtSignedDecimal);
  for (int k = 0; k < core::kBatchOffsetSliders; ++k) {
    list_->item(k, 1)->setText(
        ToQString(core::Format(format, offsets_[static_cast<std::size_t>(k)])));
  }
}

bool BatchOffsetDialog::SetOffsetsOfSelectedRows() {
  std::set<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
    rows.insert(index.row());
  }
  if (!core::SetBatchOffsetsFromText(offsets_, ToU16(offset_->text()),
                                     std::vector<std::int32_t>(rows.begin(), rows.end()),
                                     session_.context.prompter)) {
    return false;
  }
  ShowOffsets();
  return true;
}

bool BatchOffsetDialog::Apply() {
  return core::ApplyBatchOffset(session_.context, offsets_);
}

void BatchOffsetDialog::done(int result) {
  session_.dialogs.batchOffsetPosition = pos();
  QDialog::done(result);
}

void RunBatchOffsetDialog(EditorSession& session, QWidget* owner) {
  if (!core::CanStartBatchOffset(session.motion.document, session.context.prompter)) {
    return;
  }
  BatchOffsetDialog dialog(session, owner);
  const PrompterOwnerScope ownerScope(session.context.prompter, &dialog);
  dialog.exec();
}

}  // namespace gestalon::ui

#include "pose/offset_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "main_window/editor_session.h"
#include "pose/offset_editing.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

enum SliderColumn { kNameColumn, kOffsetColumn, kStepColumn };

constexpr int kNamesWidth = 180;
constexpr int kSliderColumnWidths[] = {92, 90, 90};
constexpr int kOffsetTextMaxChars = 255;
// "追加" and "削除" read as the control map editor's entry commands: the same texts.
constexpr int kTextAdd = TextId::kMenuCmapAddEntry;
constexpr int kTextDelete = TextId::kMenuCmapDeleteEntry;

QPushButton* AddButton(QBoxLayout* layout, QWidget* parent, int textId, int id) {
  auto* button = Named(new QPushButton(Text(textId), parent), id);
  button->setAutoDefault(false);
  layout->addWidget(button);
  return button;
}

void SetupList(QTableWidget* list, QAbstractItemView::SelectionMode mode) {
  list->horizontalHeader()->setHighlightSections(false);
  list->verticalHeader()->hide();
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(mode);
  list->setWordWrap(false);
}

}  // namespace

OffsetDialog::OffsetDialog(EditorSession& session, std::function<void()> closed, QWidget* parent)
    : QDialog(parent),
      session_(session),
      closed_(std::move(closed)),
      working_(core::OpenOffsetDialog(session.project.offsets)) {
  setObjectName(QStringLiteral("174"));
  setWindowTitle(Text(TextId::kDlgOffsetTitle));

  names_ = Named(new QTableWidget(0, 1, this), 1109);
  SetupList(names_, QAbstractItemView::SingleSelection);
  // The one column has no header text, so the header is left out.
  names_->horizontalHeader()->hide();
  names_->horizontalHeader()->setStretchLastSection(true);
  names_->setShowGrid(false);
  names_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::DoubleClicked);
  names_->setMinimumWidth(kNamesWidth + names_->frameWidth() * 2);

  sliders_ = Named(new QTableWidget(core::kSliderCount, 3, this), 1240);
  SetupList(sliders_, QAbstractItemView::ExtendedSelection);
  sliders_->setHorizontalHeaderLabels(
      {Text(TextId::kColSliderName), Text(TextId::kColOffsetValue), Text(TextId::kColStep)});
  sliders_->setShowGrid(true);
  sliders_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Names and steps do not depend on the set: shown even before a set is chosen.
  for (int k = 0; k < core::kSliderCount; ++k) {
    const core::SliderDef& slider = session_.project.sliders[static_cast<std::size_t>(k)];
    sliders_->setItem(k, kNameColumn,
                      new QTableWidgetItem(ToQString(core::FormatSliderNameCell(k, slider))));
    sliders_->setItem(k, kOffsetColumn, new QTableWidgetItem);
    sliders_->setItem(k, kStepColumn,
                      new QTableWidgetItem(ToQString(core::FormatStepCell(slider))));
  }

  value_ = Named(new QLineEdit(this), 1142);
  value_->setMaxLength(kOffsetTextMaxChars);

  auto* left = new QVBoxLayout;
  left->addWidget(names_, 1);
  auto* setButtons = new QHBoxLayout;
  auto* add = AddButton(setButtons, this, kTextAdd, 1247);
  auto* remove = AddButton(setButtons, this, kTextDelete, 1248);
  left->addLayout(setButtons);

  auto* right = new QVBoxLayout;
  right->addWidget(sliders_, 1);
  auto* entry = new QHBoxLayout;
  entry->addWidget(new QLabel(Text(TextId::kLabelOffsetInput), this));
  entry->addWidget(value_, 1);
  auto* applyToList = AddButton(entry, this, TextId::kBtnApplyToList, 1110);
  right->addLayout(entry);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  auto* apply = AddButton(bottom, this, TextId::kButtonApply, 1249);
  auto* cancel = AddButton(bottom, this, TextId::kButtonCancel, 2);
  right->addLayout(bottom);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right, 1);

  connect(names_, &QTableWidget::itemSelectionChanged, this, &OffsetDialog::NameSelected);
  connect(names_, &QTableWidget::itemChanged, this,
          [this](QTableWidgetItem* item) { NameEdited(item->row()); });
  connect(add, &QPushButton::clicked, this, &OffsetDialog::AddSet);
  connect(remove, &QPushButton::clicked, this, &OffsetDialog::DeleteSet);
  connect(applyToList, &QPushButton::clicked, this, &OffsetDialog::ApplyToList);
  // Enter in the value edit puts the value into the list.
  connect(value_, &QLineEdit::returnPressed, this, &OffsetDialog::ApplyToList);
  connect(apply, &QPushButton::clicked, this,
          [this] { core::ApplyOffsetTable(session_.context, working_); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  FillNames();  // the offset texts count for the column widths
  for (int column = 0; column < 3; ++column) {
    sliders_->resizeColumnToContents(column);
    sliders_->setColumnWidth(column,
                             std::max(sliders_->columnWidth(column), kSliderColumnWidths[column]));
  }
  const int listWidth = sliders_->horizontalHeader()->length() + sliders_->frameWidth() * 2 +
                        sliders_->verticalScrollBar()->sizeHint().width();
  sliders_->setMinimumWidth(listWidth);
  resize(sizeHint().width(), fontMetrics().height() * 30);
  if (session_.dialogs.offsetDialogPosition) {
    move(*session_.dialogs.offsetDialogPosition);
  }
}

void OffsetDialog::FillNames() {
  {
    const QSignalBlocker blocker(names_);
    const std::vector<std::u16string> names = core::OffsetSetNames(working_);
    names_->setRowCount(0);
    names_->setRowCount(static_cast<int>(names.size()));
    for (int row = 0; row < names_->rowCount(); ++row) {
      names_->setItem(row, 0,
                      new QTableWidgetItem(ToQString(names[static_cast<std::size_t>(row)])));
    }
    names_->setCurrentCell(working_.current, 0);
  }
  FillSliders();
}

void OffsetDialog::FillSliders() {
  if (working_.current < 0 || working_.current >= core::kOffsetSetCount ||
      !working_.entries[static_cast<std::size_t>(working_.current)].registered) {
    sliders_->setEnabled(false);
    return;
  }
  sliders_->setEnabled(true);
  const core::ValueOffsetSet& set = working_.entries[static_cast<std::size_t>(working_.current)];
  for (int k = 0; k < core::kSliderCount; ++k) {
    const auto index = static_cast<std::size_t>(k);
    sliders_->item(k, kOffsetColumn)
        ->setText(
            ToQString(core::FormatOffsetCell(session_.project.sliders[index], set.offsets[index])));
  }
}

void OffsetDialog::NameSelected() {
  const QList<QTableWidgetItem*> selected = names_->selectedItems();
  if (selected.size() == 1) {
    core::SelectOffsetSet(working_, selected.front()->row());
    FillSliders();
  }
}

void OffsetDialog::NameEdited(int row) {
  QTableWidgetItem* item = names_->item(row, 0);
  core::RenameOffsetSet(working_, row, ToU16(item->text()));
  // The label shows the name as it will be stored.
  const QSignalBlocker blocker(names_);
  item->setText(ToQString(working_.entries[static_cast<std::size_t>(row)].name));
}

void OffsetDialog::AddSet() {
  if (core::AddOffsetSet(working_, names_->currentRow(), session_.context.prompter) != 0) {
    FillNames();
  }
}

void OffsetDialog::DeleteSet() {
  const QList<QTableWidgetItem*> selected = names_->selectedItems();
  if (!selected.empty() && core::DeleteOffsetSet(working_, selected.front()->row()) != 0) {
    FillNames();
  }
}

void OffsetDialog::ApplyToList() {
  std::set<std::int32_t> rows;
  for (const QTableWidgetItem* item : sliders_->selectedItems()) {
    rows.insert(item->row());
  }
  if (core::SetOffsetsFromText(working_, ToU16(value_->text()),
                               std::vector<std::int32_t>(rows.begin(), rows.end()),
                               session_.context.prompter)) {
    FillSliders();
  }
}

void OffsetDialog::done(int result) {
  core::CloseOffsetDialog(session_.context);
  session_.dialogs.offsetDialogPosition = pos();
  if (closed_) {
    closed_();
  }
  QDialog::done(result);
}

void RunOffsetDialog(EditorSession& session, QWidget* owner, std::function<void()> closed) {
  OffsetDialog dialog(session, std::move(closed), owner);
  const PrompterOwnerScope ownerScope(session.context.prompter, &dialog);
  dialog.exec();
}

}  // namespace gestalon::ui

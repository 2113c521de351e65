#include "controlmap/map_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "controlmap/map_entry_dialog.h"
#include "controlmap/map_entry_text.h"
#include "controlmap/map_file_choice.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

// The list's columns: file name, condition variable, play condition, target map, file path.
constexpr int kColumnTextIds[] = {TextId::kColFileName, TextId::kColRefVariable,
                                  TextId::kColPlayCondition, TextId::kColTargetMap,
                                  TextId::kColFilePath};
constexpr int kColumnWidths[] = {120, 120, 170, 90, 200};

}  // namespace

MapPage::MapPage(EditorSession& session, core::ControlMap& controlMap, int map, QWidget* parent)
    : QWidget(parent), session_(session), controlMap_(controlMap), map_(map) {
  setObjectName(QStringLiteral("115"));
  auto* outer = new QVBoxLayout(this);

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(Text(TextId::kCmapMapNameLabel), this));
  name_ = Named(new QLineEdit(this), 1144);
  name_->setMaxLength(static_cast<int>(core::kMapNameChars));
  name_->setText(ToQString(Map().name));
  nameRow->addWidget(name_, 1);
  used_ = Named(new QCheckBox(Text(TextId::kCmapUseThisMap), this), 1191);
  used_->setChecked(Map().used);
  nameRow->addWidget(used_);
  outer->addLayout(nameRow);

  auto* idlingRow = new QHBoxLayout;
  idlingRow->addWidget(new QLabel(Text(TextId::kCmapIdlingMotionLabel), this));
  idling_ = FileNameStatic(this, 1209);
  idlingRow->addWidget(idling_, 1);
  idlingChooser_ = Named(new QPushButton(Text(TextId::kButtonBrowse), this), 1203);
  idlingClear_ = Named(new QPushButton(Text(TextId::kMenuCmapDeleteEntry), this), 1204);
  idlingRow->addWidget(idlingChooser_);
  idlingRow->addWidget(idlingClear_);
  outer->addLayout(idlingRow);

  list_ = Named(new QTreeWidget(this), 1127);
  QStringList headers;
  for (const int id : kColumnTextIds) {
    headers << Text(id);
  }
  list_->setHeaderLabels(headers);
  for (int column = 0; column < static_cast<int>(std::size(kColumnWidths)); ++column) {
    list_->setColumnWidth(column, kColumnWidths[column]);
  }
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->viewport()->installEventFilter(this);
  outer->addWidget(list_, 1);

  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch(1);
  add_ = Named(new QPushButton(Text(TextId::kMenuCmapAddEntry), this), 1014);
  edit_ = Named(new QPushButton(Text(TextId::kMenuCmapEditEntry), this), 1015);
  delete_ = Named(new QPushButton(Text(TextId::kMenuCmapDeleteEntry), this), 1112);
  buttonRow->addWidget(add_);
  buttonRow->addWidget(edit_);
  buttonRow->addWidget(delete_);
  outer->addLayout(buttonRow);

  popup_ = Named(new QMenu(this), 114);
  auto* addAction = Named(popup_->addAction(Text(TextId::kMenuCmapAddEntry)), 40041);
  auto* editAction = Named(popup_->addAction(Text(TextId::kMenuCmapEditEntry)), 40049);
  auto* deleteAction = Named(popup_->addAction(Text(TextId::kMenuCmapDeleteEntry)), 40045);

  ShowIdlingMotion();
  ShowEntries();
  ApplyUsed();

  connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
    core::SetMapName(controlMap_, map_, ToU16(text));
    Q_EMIT NameChanged();
    Q_EMIT Changed();
  });
  connect(used_, &QCheckBox::toggled, this, [this](bool on) {
    Map().used = on;
    ApplyUsed();
    Q_EMIT Changed();
  });
  connect(idlingChooser_, &QPushButton::clicked, this, [this] {
    if (const std::optional<QString> name = ChooseMapMotion(session_, this)) {
      Map().idlingMotion = ToU16(*name);
      ShowIdlingMotion();
      Q_EMIT Changed();
    }
  });
  connect(idlingClear_, &QPushButton::clicked, this, [this] {
    if (!Map().idlingMotion.empty()) {
      Map().idlingMotion.clear();
      ShowIdlingMotion();
      Q_EMIT Changed();
    }
  });
  connect(add_, &QPushButton::clicked, this, &MapPage::AddEntry);
  connect(edit_, &QPushButton::clicked, this, &MapPage::EditSelectedEntry);
  connect(delete_, &QPushButton::clicked, this, &MapPage::DeleteSelectedEntries);
  connect(addAction, &QAction::triggered, this, &MapPage::AddEntry);
  connect(editAction, &QAction::triggered, this, &MapPage::EditSelectedEntry);
  connect(deleteAction, &QAction::triggered, this, &MapPage::DeleteSelectedEntries);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { popup_->exec(list_->viewport()->mapToGlobal(at)); });
}

core::ControlMap::Map& MapPage::Map() const {
  return controlMap_.maps[static_cast<std::size_t>(map_)];
}

void MapPage::ShowEntries() {
  const std::vector<int> selected = SelectedRows();
  const core::LoadedProject& project = session_.project;
  list_->clear();
  QList<QTreeWidgetItem*> rows;
  for (const core::MapEntry& entry : Map().entries) {
    const core::MotionBlock& condition = entry.condition;
    rows << new QTreeWidgetItem(QStringList{
        ToQString(core::EntryFileName(condition.fileName)),
        ToQString(core::VariableLabel(project, condition.varAddr,
                                      static_cast<std::int32_t>(condition.varSize))),
        ToQString(
            core::EntryConditionText(condition, project.variables, project.hexadecimalDisplay)),
        ToQString(core::TargetMapText(controlMap_, map_, entry)), ToQString(condition.fileName)});
  }
  list_->addTopLevelItems(rows);
  SelectRows(selected);
}

std::vector<int> MapPage::SelectedRows() const {
  std::vector<int> rows;
  for (int row = 0; row < list_->topLevelItemCount(); ++row) {
    if (list_->topLevelItem(row)->isSelected()) {
      rows.push_back(row);
    }
  }
  return rows;
}

void MapPage::SelectRows(const std::vector<int>& rows) {
  list_->clearSelection();
  bool first = true;
  for (const int row : rows) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) {
      continue;
    }
    if (first) {
      list_->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
      first = false;
    }
    item->setSelected(true);
  }
}

void MapPage::ShowIdlingMotion() {
  idling_->setText(ToQString(Map().idlingMotion));
}

void MapPage::ApplyUsed() {
  const bool used = Map().used;
  for (QWidget* control :
       {static_cast<QWidget*>(list_), static_cast<QWidget*>(add_), static_cast<QWidget*>(edit_),
        static_cast<QWidget*>(delete_), static_cast<QWidget*>(idling_),
        static_cast<QWidget*>(idlingChooser_), static_cast<QWidget*>(idlingClear_)}) {
    control->setEnabled(used);
  }
}

void MapPage::AddEntry() {
  core::MapEntry entry = core::NewMapEntry(map_);
  MapEntryDialog dialog(session_, controlMap_, map_, entry, this);
  if (dialog.Run() != 1) {
    ShowEntries();  // the dialog may have switched the number style
    return;
  }
  const std::vector<int> selected = SelectedRows();
  const int row = core::InsertEntry(Map().entries, entry, selected.empty() ? -1 : selected.front());
  ShowEntries();
  SelectRows({row});
  Q_EMIT Changed();
}

void MapPage::EditEntry(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= Map().entries.size()) {
    return;
  }
  MapEntryDialog dialog(session_, controlMap_, map_, Map().entries[static_cast<std::size_t>(row)],
                        this);
  const bool stored = dialog.Run() == 1;
  ShowEntries();
  if (stored) {
    SelectRows({row});
    Q_EMIT Changed();
  }
}

void MapPage::EditSelectedEntry() {
  const std::vector<int> selected = SelectedRows();
  if (selected.empty()) {
    return;
  }
  const int current = list_->indexOfTopLevelItem(list_->currentItem());
  const bool currentSelected = current >= 0 && list_->currentItem()->isSelected();
  EditEntry(currentSelected ? current : selected.front());
}

void MapPage::DeleteSelectedEntries() {
  const std::vector<int> selected = SelectedRows();
  if (selected.empty()) {
    return;
  }
  core::DeleteEntries(Map().entries, selected);
  list_->clearSelection();
  ShowEntries();
  Q_EMIT Changed();
}

void MapPage::MoveSelected(int step) {
  const std::vector<int> selected = SelectedRows();
  const std::vector<int> placed = core::MoveEntries(Map().entries, selected, step);
  if (placed != selected) {
    ShowEntries();
    SelectRows(placed);
    Q_EMIT Changed();
  }
}

bool MapPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport()) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseMove:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        return ListMouseEvent(event);
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool MapPage::ListMouseEvent(QEvent* event) {
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const int row = list_->indexOfTopLevelItem(list_->itemAt(mouse->position().toPoint()));
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (mouse->button() != Qt::LeftButton) {
        return false;
      }
      dragRow_ = row;
      dragMoved_ = false;
      // The view would select the pressed row alone at once; a click does that on release.
      pressOnSelected_ = row >= 0 && mouse->modifiers() == Qt::NoModifier &&
                         list_->topLevelItem(row)->isSelected();
      return pressOnSelected_;
    case QEvent::MouseMove:
      if (dragRow_ < 0 || !(mouse->buttons() & Qt::LeftButton)) {
        return false;
      }
      // Outside the rows the held rows stay where they are.
      while (row >= 0 && row != dragRow_) {
        const int step = row > dragRow_ ? 1 : -1;
        MoveSelected(step);
        dragRow_ += step;
        dragMoved_ = true;
      }
      return true;  // no rubber-band selection while dragging
    case QEvent::MouseButtonRelease: {
      if (mouse->button() != Qt::LeftButton || dragRow_ < 0) {
        return false;
      }
      const bool consumed = pressOnSelected_;
      if (pressOnSelected_ && !dragMoved_) {
        SelectRows({dragRow_});
      }
      dragRow_ = -1;
      pressOnSelected_ = false;
      return consumed;
    }
    case QEvent::MouseButtonDblClick:
      if (mouse->button() != Qt::LeftButton || row < 0) {
        return false;
      }
      EditEntry(row);
      return true;
    default:
      return false;
  }
}

void MapPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ShowEntries();
}

}  // namespace gestalon::ui

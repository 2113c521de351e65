#include "cpusettings/cpu_servo_id_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "cpusettings/cpu_settings_checks.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr int kIdColumnWidth = 100;

}  // namespace

CpuServoIdPage::CpuServoIdPage(EditorSession& session, core::CpuSettings& copy, QWidget* parent)
    : QWidget(parent), session_(session), copy_(copy) {
  setObjectName(QStringLiteral("215"));
  ports_ = Named(new QComboBox(this), 1254);
  for (int port = 1; port <= core::kSerialBusCount; ++port) {
    ports_->addItem(ToQString(core::Format(core::LoadText(TextId::kFmtPortName), port)));
  }
  protocols_ = Named(new QComboBox(this), 1041);
  protocols_->addItem(Text(TextId::kComboProtocolNone));
  protocols_->addItem(Text(TextId::kComboProtocolFutaba));

  ids_ = Named(new QTableWidget(0, 1, this), 1049);
  ids_->setHorizontalHeaderLabels({Text(TextId::kColServoId)});
  ids_->setColumnWidth(0, kIdColumnWidth);
  ids_->horizontalHeader()->setStretchLastSection(true);
  ids_->verticalHeader()->hide();
  ids_->setSelectionBehavior(QAbstractItemView::SelectRows);
  ids_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ids_->setShowGrid(true);
  ids_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::SelectedClicked);
  ids_->setFixedWidth(kIdColumnWidth + 2 * ids_->frameWidth() + 24);

  auto* add = Named(new QPushButton(Text(TextId::kCpuDlgAddServoId), this), 1255);
  auto* remove = Named(new QPushButton(Text(TextId::kCpuDlgDeleteServoId), this), 1256);

  auto* choice = new QGridLayout;
  choice->addWidget(ports_, 0, 0, 1, 2);
  choice->addWidget(new QLabel(Text(TextId::kCpuDlgLabelProtocol), this), 1, 0);
  choice->addWidget(protocols_, 1, 1);
  choice->setColumnStretch(2, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch(1);
  auto* list = new QHBoxLayout;
  list->addWidget(ids_);
  list->addLayout(buttons);
  list->addStretch(1);
  auto* page = new QVBoxLayout(this);
  page->addLayout(choice);
  page->addLayout(list, 1);

  connect(ports_, &QComboBox::currentIndexChanged, this, [this](int port) {
    port_ = std::clamp(port, 0, core::kSerialBusCount - 1);
    Show();
  });
  connect(protocols_, &QComboBox::activated, this,
          [this](int protocol) { Bus().SBUS_PROTOCOL = static_cast<std::uint32_t>(protocol); });
  connect(add, &QPushButton::clicked, this, &CpuServoIdPage::AddId);
  connect(remove, &QPushButton::clicked, this, &CpuServoIdPage::DeleteIds);
  // Checked once the editor has gone and its text is in the list (a message box while the
  // editor still has the focus would end the edit a second time).
  connect(
      ids_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
      [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) { EditEnded(hint); },
      Qt::QueuedConnection);
}

core::SerialBus& CpuServoIdPage::Bus() {
  return copy_.serialBuses[static_cast<std::size_t>(port_)];
}

void CpuServoIdPage::Show() {
  {
    const QSignalBlocker blocker(ports_);
    ports_->setCurrentIndex(port_);
  }
  const std::uint32_t protocol = Bus().SBUS_PROTOCOL & 0xFFu;
  protocols_->setCurrentIndex(protocol < 2 ? static_cast<int>(protocol) : -1);
  ShowIds();
}

void CpuServoIdPage::ShowIds() {
  const core::SerialBus& bus = Bus();
  const int count = core::ServoIdCount(bus);
  ids_->setRowCount(count);
  for (int row = 0; row < count; ++row) {
    ids_->setItem(
        row, 0, new QTableWidgetItem(QString::number(bus.SBUS_ID[static_cast<std::size_t>(row)])));
  }
}

void CpuServoIdPage::AddId() {
  core::SerialBus& bus = Bus();
  if (const std::u16string full = core::CheckServoIdAdd(bus); !full.empty()) {
    if (session_.context.prompter) {
      session_.context.prompter->Show(core::PromptIcon::kWarning, full);
    }
    return;
  }
  const QList<QTableWidgetSelectionRange> selected = ids_->selectedRanges();
  const int row = selected.isEmpty() ? core::ServoIdCount(bus) : selected.first().topRow();
  core::InsertServoId(bus, row);
  ShowIds();
  addedRow_ = row;
  // The new row starts empty: leaving it so is refused and takes the row away again.
  QTableWidgetItem* item = ids_->item(row, 0);
  item->setText(QString());
  ids_->setCurrentItem(item);
  ids_->editItem(item);
}

void CpuServoIdPage::DeleteIds() {
  std::vector<int> rows;
  for (const QModelIndex& index : ids_->selectionModel()->selectedRows()) {
    rows.push_back(index.row());
  }
  std::sort(rows.rbegin(), rows.rend());
  for (const int row : rows) {
    core::RemoveServoId(Bus(), row);
  }
  ShowIds();
}

void CpuServoIdPage::EditEnded(QAbstractItemDelegate::EndEditHint hint) {
  const int added = std::exchange(addedRow_, -1);
  const int row = ids_->currentRow();
  core::SerialBus& bus = Bus();
  if (row < 0 || row >= core::ServoIdCount(bus)) {
    return;
  }
  if (row == added && hint == QAbstractItemDelegate::RevertModelCache) {
    core::RemoveServoId(bus, row);  // the new row's edit was given up
    ShowIds();
    return;
  }
  const QString text = ids_->item(row, 0)->text();
  if (row != added && text == QString::number(bus.SBUS_ID[static_cast<std::size_t>(row)])) {
    return;
  }
  std::uint8_t id = 0;
  const std::u16string problem = core::CheckServoIdEdit(bus, row, ToU16(text), id);
  if (problem.empty()) {
    bus.SBUS_ID[static_cast<std::size_t>(row)] = id;
  } else {
    if (session_.context.prompter) {
      session_.context.prompter->Show(core::PromptIcon::kWarning, problem);
    }
    if (row == added) {
      core::RemoveServoId(bus, row);
    }
  }
  ShowIds();
}

}  // namespace gestalon::ui

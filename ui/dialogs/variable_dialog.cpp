#include "dialogs/variable_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <mutex>
#include <optional>

#include "board/variable_values.h"
#include "main_window/editor_session.h"
#include "project/robot_project.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

enum Column { kAddressColumn, kSizeColumn, kNameColumn, kValueColumn };

constexpr int kColumnWidths[] = {70, 36, 150, 70};
constexpr int kRefreshMs = 500;

// Reads the project's variable definitions again; a file that cannot be read keeps the list.
void ReloadVariableDefs(EditorSession& session) {
  auto defs = core::LoadVariableDefs(
      core::ProjectFilePath(session.project.project, session.project.project.MEMMAPINI));
  if (defs) {
    std::lock_guard lock(session.sessionMutex);
    session.project.variables = std::move(*defs);
  }
}

}  // namespace

int SelectVariable(EditorSession& session, QWidget* owner, std::uint16_t currentAddress,
                   std::uint16_t* address, std::int32_t* size) {
  ReloadVariableDefs(session);
  if (session.project.variables.empty()) {
    if (session.context.prompter) {
      session.context.prompter->Show(core::PromptIcon::kWarning,
                                     core::LoadText(core::TextId::kVarDefsUnreadable));
    }
    return 2;
  }
  VariableDialog dialog(session, currentAddress,
                        address ? address : &session.dialogs.lastVariableAddress, size, owner);
  const PrompterOwnerScope ownerScope(session.context.prompter, &dialog);
  return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

VariableDialog::VariableDialog(EditorSession& session, std::uint16_t currentAddress,
                               std::uint16_t* address, std::int32_t* size, QWidget* parent)
    : QDialog(parent), session_(session), address_(address), size_(size) {
  setObjectName(QStringLiteral("187"));
  setWindowTitle(Text(core::TextId::kVarSelectTitle));
  auto* outer = new QVBoxLayout(this);

  list_ = Named(new QTableWidget(0, 4, this), 1003);
  list_->setHorizontalHeaderLabels({Text(core::TextId::kVarColAdr), Text(core::TextId::kVarColSize),
                                    Text(core::TextId::kVarColName),
                                    Text(core::TextId::kVarColParam)});
  for (int column = 0; column < 4; ++column) {
    list_->setColumnWidth(column, kColumnWidths[column]);
  }
  list_->horizontalHeader()->setHighlightSections(false);
  // The values take the width the list has left, so that 4-byte values in hexadecimal fit.
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  list_->setShowGrid(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setWordWrap(false);
  outer->addWidget(list_, 1);

  // The search and the number style sit under the list, the buttons at the right; the layout
  // keeps them at the bottom edge and gives the list the rest when the dialog is resized.
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new QLabel(Text(core::TextId::kVarSearchPrefix), this));
  search_ = Named(new QLineEdit(session_.dialogs.variableSearchText, this), 1142);
  search_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 8);
  bottom->addWidget(search_, 1);
  bottom->addWidget(new QLabel(Text(core::TextId::kVarSearchSuffix), this));
  hexadecimal_ = Named(new QCheckBox(Text(core::TextId::kCheckHexDisplay), this), 40000);
  hexadecimal_->setChecked(session_.project.hexadecimalDisplay);
  bottom->addWidget(hexadecimal_);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok =
      Named(buttons->addButton(Text(core::TextId::kButtonOk), QDialogButtonBox::AcceptRole), 1);
  Named(buttons->addButton(Text(core::TextId::kButtonCancel), QDialogButtonBox::RejectRole), 2);
  ok->setDefault(true);
  bottom->addWidget(buttons);
  outer->addLayout(bottom);

  connect(buttons, &QDialogButtonBox::accepted, this, &VariableDialog::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QTableWidget::cellDoubleClicked, this, &VariableDialog::Accept);
  connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
    session_.dialogs.variableSearchText = text;
    Fill();
  });
  connect(hexadecimal_, &QCheckBox::toggled, this, [this](bool on) {
    session_.SetHexadecimalDisplay(on);
    RewriteNumbers();
  });

  Fill();
  SelectAddress(currentAddress);
  timer_.setInterval(kRefreshMs);
  connect(&timer_, &QTimer::timeout, this, &VariableDialog::Refresh);
  timer_.start();

  if (session_.dialogs.variableDialogRect.isValid()) {
    setGeometry(session_.dialogs.variableDialogRect);
  } else {
    resize(500, 380);
  }
}

void VariableDialog::Fill() {
  const QTableWidgetItem* selected =
      list_->currentRow() >= 0 ? list_->item(list_->currentRow(), 0) : nullptr;
  const std::optional<int> keep =
      selected ? std::optional<int>(selected->data(Qt::UserRole).toInt()) : std::nullopt;
  const std::u16string search = ToU16(search_->text());
  list_->setRowCount(0);
  for (const core::VariableDef& def : session_.project.variables) {
    if (!core::VariableMatchesSearch(def, search)) {
      continue;
    }
    const int row = list_->rowCount();
    list_->insertRow(row);
    // The address and size ride along with their texts, so that a refresh need not read them
    // back from the texts in whichever number style they were written.
    auto* address = new QTableWidgetItem;
    address->setData(Qt::UserRole, def.address);
    list_->setItem(row, kAddressColumn, address);
    auto* size = new QTableWidgetItem(QString::number(def.size));
    size->setData(Qt::UserRole, def.size);
    list_->setItem(row, kSizeColumn, size);
    list_->setItem(row, kNameColumn, new QTableWidgetItem(ToQString(def.name)));
    list_->setItem(row, kValueColumn, new QTableWidgetItem);
  }
  RewriteNumbers();
  if (keep) {
    SelectAddress(static_cast<std::uint16_t>(*keep));
  }
}

void VariableDialog::Refresh() {
  if (session_.link.Flags().online.load() == 0) {
    return;
  }
  readCursor_ = core::RequestVariableReads(session_.link, session_.project.variables, readCursor_);
  RewriteNumbers();
}

void VariableDialog::RewriteNumbers() {
  const bool hexadecimal = session_.project.hexadecimalDisplay;
  // The mirror belongs to whoever holds the board; taken by another task, values wait a tick.
  const bool mirror = session_.link.TryTakeBoard();
  for (int row = 0; row < list_->rowCount(); ++row) {
    QTableWidgetItem* address = list_->item(row, kAddressColumn);
    const auto value = static_cast<std::uint16_t>(address->data(Qt::UserRole).toInt());
    address->setText(ToQString(core::VariableAddressText(value, hexadecimal)));
    if (mirror) {
      const int size = list_->item(row, kSizeColumn)->data(Qt::UserRole).toInt();
      list_->item(row, kValueColumn)
          ->setText(
              ToQString(core::VariableValueText(session_.link.Mirror(), value, size, hexadecimal)));
    }
  }
  if (mirror) {
    session_.link.ReleaseBoard();
  }
}

void VariableDialog::SelectAddress(std::uint16_t address) {
  for (int row = 0; row < list_->rowCount(); ++row) {
    if (list_->item(row, kAddressColumn)->data(Qt::UserRole).toInt() == address) {
      list_->setCurrentCell(row, kAddressColumn);
      list_->scrollToItem(list_->item(row, kAddressColumn));
      return;
    }
  }
}

void VariableDialog::Accept() {
  const int row = list_->currentRow();
  if (row >= 0 && list_->item(row, kAddressColumn)->isSelected()) {
    if (address_) {
      *address_ =
          static_cast<std::uint16_t>(list_->item(row, kAddressColumn)->data(Qt::UserRole).toInt());
    }
    if (size_) {
      *size_ = list_->item(row, kSizeColumn)->data(Qt::UserRole).toInt();
    }
  }
  accept();
}

void VariableDialog::done(int result) {
  timer_.stop();
  session_.dialogs.variableDialogRect = geometry();
  QDialog::done(result);
}

}  // namespace gestalon::ui

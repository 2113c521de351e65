#include "display/display_toolbar_page.h"

#include <QCheckBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "main_window/command_ids.h"
#include "main_window/main_toolbar.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

// The menu text of a toolbar button's command without its shortcut hint.
QString ButtonText(int index) {
  const int command = ToolbarButtonCommand(index);
  const QString text =
      Text(command == CommandId::kBasePoseButton ? TextId::kListBasePoseButton : command);
  return text.section(QLatin1Char('\t'), 0, 0);
}

}  // namespace

DisplayToolbarPage::DisplayToolbarPage(const core::SystemSettings& settings,
                                       const core::DisplayOptions& options, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("138"));
  list_ = Named(new QListWidget(this), 1126);
  for (int i = 0; i < kToolbarButtons + 2; ++i) {
    const QString text = i < kToolbarButtons  ? ButtonText(i)
                         : i == kLoopSpinFlag ? Text(TextId::kListLoopCount)
                                              : Text(TextId::kListPlaybackOverride);
    auto* item = new QListWidgetItem(text, list_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(settings.toolbarButtons[static_cast<std::size_t>(i)] ? Qt::Checked
                                                                             : Qt::Unchecked);
  }
  showToolbar_ = Named(new QCheckBox(Text(TextId::kOptShowToolbar), this), 1101);
  showStatusWindow_ = Named(new QCheckBox(Text(TextId::kOptShowStatusWindow), this), 1103);
  showToolbar_->setChecked(options.showToolbar);
  showStatusWindow_->setChecked(options.showStatusWindow);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addWidget(showToolbar_);
  layout->addWidget(showStatusWindow_);
}

void DisplayToolbarPage::StoreButtons(core::SystemSettings& settings) const {
  for (int i = 0; i < list_->count(); ++i) {
    settings.toolbarButtons[static_cast<std::size_t>(i)] =
        list_->item(i)->checkState() == Qt::Checked;
  }
}

void DisplayToolbarPage::StoreOptions(core::DisplayOptions& options) const {
  options.showToolbar = showToolbar_->isChecked();
  options.showStatusWindow = showStatusWindow_->isChecked();
}

}  // namespace gestalon::ui

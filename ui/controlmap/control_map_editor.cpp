#include "controlmap/control_map_editor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <mutex>

#include "controlmap/control_map_flowchart.h"
#include "controlmap/map_entry_text.h"
#include "controlmap/map_file_choice.h"
#include "controlmap/map_page.h"
#include "main_window/editor_session.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

void Warn(EditorSession& session, int textId) {
  if (session.context.prompter) {
    session.context.prompter->Show(core::PromptIcon::kWarning, core::LoadText(textId));
  }
}

core::PromptAnswer Ask(EditorSession& session, int textId, core::PromptButtons buttons) {
  if (!session.context.prompter) {
    return core::PromptAnswer::kCancel;
  }
  return session.context.prompter->Ask(core::PromptIcon::kQuestion, core::LoadText(textId),
                                       buttons);
}

}  // namespace

int EditControlMap(EditorSession& session, QWidget* owner,
                   const std::optional<std::filesystem::path>& file, std::filesystem::path* saved) {
  core::ControlMap controlMap = core::NewControlMap();
  std::optional<std::filesystem::path> path;
  if (file) {
    path = core::ResolveInFolder(core::PathFromText(session.project.project.folder),
                                 core::TextFromPath(*file));
    if (!core::ReadControlMapFile(*path, controlMap)) {
      Warn(session, TextId::kFileFormatError);
      return 0;
    }
  }
  ControlMapEditor editor(session, std::move(controlMap), path, owner);
  if (editor.Run() != 1 || !editor.File()) {
    return 0;
  }
  bool written = false;
  {
    // The board workers read the slider table under the session lock.
    std::lock_guard lock(session.sessionMutex);
    written = core::WriteControlMapFile(*editor.File(), editor.Map(), session.project.sliders);
  }
  if (!written) {
    Warn(session, TextId::kFileSaveFailed);
    return 0;
  }
  if (saved) {
    *saved = *editor.File();
  }
  return 1;
}

ControlMapEditor::ControlMapEditor(EditorSession& session, core::ControlMap controlMap,
                                   std::optional<std::filesystem::path> file, QWidget* parent)
    : QDialog(parent), session_(session), map_(std::move(controlMap)), file_(std::move(file)) {
  setObjectName(QStringLiteral("101"));
  setWindowTitle(file_ ? ToQString(core::EntryFileName(core::TextFromPath(*file_)))
                       : Text(TextId::kCmapEditorNewTitle));
  auto* outer = new QVBoxLayout(this);

  auto* bootRow = new QHBoxLayout;
  bootRow->addWidget(new QLabel(Text(TextId::kCmapBootMotionLabel), this));
  bootMotion_ = FileNameStatic(this, 1016);
  bootRow->addWidget(bootMotion_, 1);
  auto* bootChooser = Named(new QPushButton(Text(TextId::kButtonBrowse), this), 1206);
  auto* bootClear = Named(new QPushButton(Text(TextId::kMenuCmapDeleteEntry), this), 1207);
  bootRow->addWidget(bootChooser);
  bootRow->addWidget(bootClear);
  outer->addLayout(bootRow);

  tabs_ = Named(new QTabWidget(this), 1098);
  for (int m = 0; m < core::kControlMapCount; ++m) {
    auto* page = new MapPage(session, map_, m, tabs_);
    pages_[static_cast<std::size_t>(m)] = page;
    tabs_->addTab(page, QString());
    connect(page, &MapPage::Changed, this, &ControlMapEditor::MarkModified);
    connect(page, &MapPage::NameChanged, this, &ControlMapEditor::ShowTabNames);
  }
  ShowTabNames();
  outer->addWidget(tabs_, 1);

  auto* buttonRow = new QHBoxLayout;
  auto* saveOver = Named(new QPushButton(Text(TextId::kButtonOverwriteSave), this), 1);
  auto* saveAs = Named(new QPushButton(Text(TextId::kButtonSaveAs), this), 1149);
  auto* close = Named(new QPushButton(Text(TextId::kBtnClose), this), 2);
  buttonRow->addWidget(saveOver);
  buttonRow->addWidget(saveAs);
  buttonRow->addStretch(1);
  buttonRow->addWidget(close);
  outer->addLayout(buttonRow);

  // Enter in a field must neither save the map nor press a page's button.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
  }
  ShowBootMotion();
  connect(bootChooser, &QPushButton::clicked, this, [this] {
    if (const std::optional<QString> name = ChooseMapMotion(session_, this)) {
      map_.bootMotion = ToU16(*name);
      ShowBootMotion();
      MarkModified();
    }
  });
  connect(bootClear, &QPushButton::clicked, this, [this] {
    if (!map_.bootMotion.empty()) {
      map_.bootMotion.clear();
      ShowBootMotion();
      MarkModified();
    }
  });
  connect(saveOver, &QPushButton::clicked, this, &ControlMapEditor::SaveOver);
  connect(saveAs, &QPushButton::clicked, this, &ControlMapEditor::SaveAs);
  connect(close, &QPushButton::clicked, this, &ControlMapEditor::reject);
  resize(sizeHint().expandedTo(QSize(720, 460)));
  if (session.dialogs.controlMapEditorPosition) {
    move(*session.dialogs.controlMapEditorPosition);
  }
}

int ControlMapEditor::Run() {
  const PrompterOwnerScope owner(session_.context.prompter, this);
  return exec() == QDialog::Accepted ? 1 : 0;
}

void ControlMapEditor::ShowBootMotion() {
  bootMotion_->setText(ToQString(map_.bootMotion));
}

void ControlMapEditor::ShowTabNames() {
  for (int m = 0; m < core::kControlMapCount; ++m) {
    tabs_->setTabText(m, ToQString(map_.maps[static_cast<std::size_t>(m)].name));
  }
}

bool ControlMapEditor::ChooseSaveFile() {
  const QString chosen = session_.dialogs.pickFile(this, ControlMapFileChoice(true),
                                                   ToQString(session_.project.project.folder));
  if (chosen.isEmpty()) {
    return false;
  }
  file_ = std::filesystem::path(ToU16(chosen));
  return true;
}

void ControlMapEditor::SaveOver() {
  if (Ask(session_, TextId::kMsgConfirmApplySettings, core::PromptButtons::kYesNo) !=
      core::PromptAnswer::kYes) {
    return;
  }
  if (!file_ && !ChooseSaveFile()) {
    return;
  }
  modified_ = false;
  accept();
}

void ControlMapEditor::SaveAs() {
  if (!ChooseSaveFile()) {
    return;
  }
  modified_ = false;
  accept();
}

void ControlMapEditor::reject() {
  if (modified_) {
    switch (Ask(session_, TextId::kConfirmSaveChanges, core::PromptButtons::kYesNoCancel)) {
      case core::PromptAnswer::kYes:
        SaveAs();
        return;
      case core::PromptAnswer::kNo:
        break;
      default:
        return;
    }
  }
  QDialog::reject();
}

void ControlMapEditor::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  if (isVisible()) {
    session_.dialogs.controlMapEditorPosition = pos();
  }
}

void ControlMapEditor::done(int result) {
  session_.dialogs.controlMapEditorPosition = pos();
  QDialog::done(result);
}

}  // namespace gestalon::ui

#include "controlmap/map_file_choice.h"

#include <QLabel>

#include "main_window/editor_session.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

FileChoice ControlMapFileChoice(bool save) {
  FileChoice choice;
  choice.title = Text(core::TextId::kCmapFileChooserTitle);
  choice.filters = {
      FileFilter(core::TextId::kFilterMotionDesc, core::TextId::kFilterMotionPattern)};
  choice.save = save;
  choice.defaultSuffix = Text(core::TextId::kFilterMotionDesc);
  return choice;
}

std::optional<QString> ChooseMapMotion(EditorSession& session, QWidget* parent) {
  if (!session.context.prompter) {
    return std::nullopt;
  }
  return ChooseProjectFile(parent, *session.context.prompter, session.dialogs.pickFile,
                           core::PathFromText(session.project.project.folder),
                           ControlMapFileChoice(false));
}

QLabel* FileNameStatic(QWidget* parent, int id) {
  auto* label = Named(new QLabel(parent), id);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(u'0') * 30);
  return label;
}

}  // namespace gestalon::ui

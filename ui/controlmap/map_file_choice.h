#pragma once

#include <QString>
#include <optional>

#include "widgets/project_file_chooser.h"

class QLabel;
class QWidget;

namespace gestalon::ui {

class EditorSession;

// The file chooser of the control map editor ("ファイルの割り当て", motion files): for saving the
// control map itself, or for opening a motion.
FileChoice ControlMapFileChoice(bool save);

// Lets the user pick a motion file of the project for a control map (boot, idling or entry
// motion): its name relative to the project folder, or nullopt when cancelled or refused.
std::optional<QString> ChooseMapMotion(EditorSession& session, QWidget* parent);

// The static text (control `id`) that shows a motion file of the map: sunken, and never wider
// than its layout gives it, so that a long name does not widen the dialog.
QLabel* FileNameStatic(QWidget* parent, int id);

}  // namespace gestalon::ui

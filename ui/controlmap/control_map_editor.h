#pragma once

#include <filesystem>
#include <optional>

class QWidget;

namespace gestalon::ui {

class EditorSession;

// Runs the control map editor, owned by `owner`, on the control map file `file` (none: a new
// control map). 1 when the map was saved: `saved` then holds the file's full path. 0 when the
// editor closed without saving, or the file could not be read as a control map (reported).
int EditControlMap(EditorSession& session, QWidget* owner,
                   const std::optional<std::filesystem::path>& file, std::filesystem::path* saved);

}  // namespace gestalon::ui

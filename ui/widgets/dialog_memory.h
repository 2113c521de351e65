#pragma once

#include <QPoint>

#include "widgets/project_file_chooser.h"

namespace gestalon::ui {

// What the program's dialogs remember between openings for the run of the program.
struct DialogMemory {
  // Top-left corner (screen) where every block property dialog opens; each stores its own
  // position here when it closes.
  QPoint blockDialogPosition{100, 100};
  // How the project-data file choosers ask for a file.
  FilePicker pickFile = PickFileWithDialog;
};

}  // namespace gestalon::ui

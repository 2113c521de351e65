#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

#include "widgets/project_file_chooser.h"

namespace gestalon::ui {

// What the program's dialogs remember between openings for the run of the program.
struct DialogMemory {
  // Top-left corner (screen) where every block property dialog opens; each stores its own
  // position here when it closes.
  QPoint blockDialogPosition{100, 100};
  // How the project-data file choosers ask for a file.
  FilePicker pickFile = PickFileWithDialog;
  // The variable selection dialog (memory map): its last rectangle (none yet: the default size),
  // the search text typed last, and the address chosen when it was used without an address
  // output, which the memory map command preselects.
  QRect variableDialogRect;
  QString variableSearchText;
  std::uint16_t lastVariableAddress = 0;
};

}  // namespace gestalon::ui

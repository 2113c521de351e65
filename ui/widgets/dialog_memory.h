#pragma once

#include <QDesktopServices>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/relaunch.h"
#include "widgets/font_color_pickers.h"
#include "widgets/project_file_chooser.h"

namespace gestalon::ui {

// Opens a file with the program the desktop has for it; false when none took it.
using FileOpener = std::function<bool(const QString& path)>;
inline bool OpenWithDesktop(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// Starts another instance of the program on a project file with the options passed on to it;
// false when it could not be started.
using InstanceStarter = std::function<bool(std::u16string_view projectPath,
                                           const std::vector<std::u16string>& options)>;

// What the program's dialogs remember between openings for the run of the program.
struct DialogMemory {
  // Top-left corner (screen) where every block property dialog opens; each stores its own
  // position here when it closes.
  QPoint blockDialogPosition{100, 100};
  // How the project-data file choosers ask for a file.
  FilePicker pickFile = PickFileWithDialog;
  // How the new project dialog asks for the folder to create the project in.
  FolderPicker pickFolder = PickFolderWithDialog;
  // How the project dialogs start the program on the project they opened or made.
  InstanceStarter startInstance = core::RelaunchWithProject;
  // The variable selection dialog (memory map): its last rectangle (none yet: the default size),
  // the search text typed last, and the address chosen when it was used without an address
  // output, which the memory map command preselects.
  QRect variableDialogRect;
  QString variableSearchText;
  std::uint16_t lastVariableAddress = 0;
  // How the sound dialog plays a sound file.
  FileOpener openFile = OpenWithDesktop;
  // Opens another motion in the editor after asking whether to save the changed one (the main
  // window's); true when it opened. Empty: the block dialogs cannot switch motions.
  std::function<bool(const std::filesystem::path& file)> openMotion;
  // Size in bytes that the file creation dialog proposes for a file that does not exist yet.
  std::uint32_t createFileSize = 8;
  // The board writing dialog's choice to write the voice map file too.
  bool writeVoiceFile = true;
  // The CPU settings dialog: the page and the top-left corner it had when it closed (none yet:
  // placed by the system), the motor record of its servo output page and the pose slider of its
  // interpolation combo.
  int cpuSettingsPage = 0;
  std::optional<QPoint> cpuSettingsPosition;
  int cpuSettingsMotor = 0;
  int cpuSettingsSlider = 0;
  // Top-left corner (screen) of the control map editor, where its entry dialog opens too; none
  // until the editor has been shown.
  std::optional<QPoint> controlMapEditorPosition;
  // Top-left corners (screen) of the base pose dialog and the offset dialog when they last
  // closed; none yet: placed by the system.
  std::optional<QPoint> basePoseDialogPosition;
  std::optional<QPoint> offsetDialogPosition;
  // How fonts (with their text colour) and colours are chosen.
  FontPicker pickFont = PickFontWithDialog;
  ColorPicker pickColor = PickColorWithDialog;
  // Top-left corners (screen) of the slider properties and batch offset dialogs when they last
  // closed; none yet: placed by the system.
  std::optional<QPoint> sliderPropertiesPosition;
  std::optional<QPoint> batchOffsetPosition;
  // The display settings dialog: the page and the top-left corner it had when it closed (none
  // yet: placed by the system).
  int displaySettingsPage = 0;
  std::optional<QPoint> displaySettingsPosition;
};

}  // namespace gestalon::ui

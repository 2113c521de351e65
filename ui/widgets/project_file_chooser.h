#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>

#include "ui_port/prompter.h"

class QWidget;

namespace gestalon::ui {

// One file chooser of the project data: its title, its filters ("KX4 (*.KX4)" built from the
// description and pattern pairs), whether it saves or opens (an open chooser wants an existing
// file), and the suffix a typed name gets.
struct FileChoice {
  QString title;
  QStringList filters;
  bool save = false;
  QString defaultSuffix;
};

// Shows a chooser that starts in `startFolder` and returns the chosen path, empty when cancelled.
// The program uses the desktop's file dialog; tests put their own picker in its place.
using FilePicker =
    std::function<QString(QWidget* parent, const FileChoice& choice, const QString& startFolder)>;
QString PickFileWithDialog(QWidget* parent, const FileChoice& choice, const QString& startFolder);

// Shows a folder chooser titled `title` that starts in `startFolder`; the chosen folder, empty
// when cancelled. Tests put their own picker in its place.
using FolderPicker =
    std::function<QString(QWidget* parent, const QString& title, const QString& startFolder)>;
QString PickFolderWithDialog(QWidget* parent, const QString& title, const QString& startFolder);

// A filter entry "description (pattern)".
QString FileFilter(int descriptionTextId, int patternTextId);

// Lets the user pick a file of the project: the chooser starts in the project folder; a file
// outside it is refused with the program's message (exclamation icon). The name relative to the
// project folder, or nullopt when cancelled or refused.
std::optional<QString> ChooseProjectFile(QWidget* parent, core::Prompter& prompter,
                                         const FilePicker& picker,
                                         const std::filesystem::path& projectFolder,
                                         const FileChoice& choice);

}  // namespace gestalon::ui

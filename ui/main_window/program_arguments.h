#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "main_window/editor_session.h"

namespace gestalon::ui {

inline constexpr char kVirtualBoardOption[] = "--virtual-board";
inline constexpr char kLanguageOption[] = "--language";

inline constexpr char kHelpOption[] = "--help";
inline constexpr char kShortHelpOption[] = "-h";

// What the command line asks for: a robot project path or a motion file, and the session options.
struct ProgramArguments {
  std::u16string projectPath;  // empty: none given
  QString motionPath;          // a motion file to open as a dropped one; empty: none given
  SessionOptions session;
};

// Reads the arguments after the program name. "--virtual-board" offers a virtual board on the
// default card folder in the application data folder, "--virtual-board=FOLDER" on FOLDER (made
// absolute against the current folder, which the project load changes). "--language CODE" (or
// "--language=CODE") picks the interface language by its code ("en", "ja"). Everything else is the
// project path: a path with blanks may arrive split into arguments, which are joined by blanks.
// A path whose name ends in ".KX4" (any case; the file manager opens motion files so) is a motion
// file instead.
ProgramArguments ParseProgramArguments(QStringList arguments);

// Whether the arguments ask for the usage ("--help" or "-h"), which is all the program then does.
bool AsksForHelp(const QStringList& arguments);

// The options of this instance that a new instance started on another project keeps, as that
// instance's arguments: a user trying the program on the virtual board stays on it.
std::vector<std::u16string> PassedOnOptions(const SessionOptions& options);

}  // namespace gestalon::ui

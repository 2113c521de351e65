#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "main_window/file_hand_over.h"
#include "main_window/main_window.h"
#include "main_window/program_arguments.h"
#include "platform/folders.h"
#include "platform/locale_id.h"
#include "platform/paths.h"
#include "project/language_list.h"
#include "project/project_loader.h"
#include "project/project_start.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/utf.h"
#include "widgets/qt_prompter.h"
#include "widgets/qt_text.h"
#include "widgets/qt_translations.h"

using namespace gestalon;

int main(int argc, char** argv) {
  const std::filesystem::path programFolder = core::ProgramFolder();
  const std::filesystem::path appData = core::AppDataFolder();
  // The arguments are read before the application starts, so that the usage needs no display
  // and is printed in the interface language.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  ui::ProgramArguments command = ui::ParseProgramArguments(arguments);
  core::SelectInterfaceLanguage(programFolder, appData, command.session.language,
                                core::UserDefaultLocaleId(), core::ProgramTexts());
  if (ui::AsksForHelp(arguments)) {
    std::fputs(core::ToUtf8(core::LoadText(core::TextId::kProgramUsage)).c_str(), stdout);
    return 0;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Gestalon"));
  QApplication::setApplicationVersion(QStringLiteral(GESTALON_VERSION));
  QApplication::setOrganizationName(QStringLiteral("Gestalon"));
  ui::InstallQtTranslations();

  // Without the options Qt has taken for itself.
  arguments = app.arguments();
  arguments.removeFirst();
  command = ui::ParseProgramArguments(arguments);
  const QString handOverName = ui::HandOverServerName(appData);
  if (!command.motionPath.isEmpty()) {
    // A motion file opened from the file manager: a running editor takes it as a dropped file.
    // The wait is a ceiling for an editor that is busy; one that runs answers at once.
    command.motionPath = QFileInfo(command.motionPath).absoluteFilePath();
    if (ui::HandOverToRunningEditor(handOverName, command.motionPath, 10000)) {
      return 0;
    }
  }
  ui::QtPrompter prompter;
  core::LoadedProject project;
  core::ProjectLoadOptions loadOptions;
  loadOptions.programFolder = programFolder;
  loadOptions.programFolderShared = core::ProgramFolderIsShared();
  loadOptions.prompter = &prompter;
  const bool loaded = core::LoadStartupProject(command.projectPath, appData, project, loadOptions);

  app.setWindowIcon(QIcon(ui::ToQString(core::TextFromPath(programFolder / "icons" / "gestalon.png"))));
  int result = 0;
  if (!loaded) {
    // Opening or creating a project starts another instance on it; this one ends.
    ui::RunStartupProjectChoice(programFolder, prompter, command.session);
  } else {
    ui::MainWindow window(std::move(project), prompter, programFolder, std::move(command.session));
    window.ServeHandedOverFiles(handOverName);
    window.show();
    if (!command.motionPath.isEmpty()) {
      QTimer::singleShot(0, &window,
                         [&window, &command] { window.DroppedFile(command.motionPath); });
    }
    result = app.exec();
  }
  core::ProgramTexts().ClearLanguageModule();
  return result;
}

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <filesystem>

#include "main_window/main_window.h"
#include "main_window/program_arguments.h"
#include "platform/folders.h"
#include "platform/locale_id.h"
#include "project/language_list.h"
#include "project/project_loader.h"
#include "project/project_start.h"
#include "strings/text_loader.h"
#include "widgets/qt_prompter.h"
#include "widgets/qt_text.h"
#include "widgets/qt_translations.h"

using namespace gestalon;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Gestalon"));
  QApplication::setApplicationVersion(QStringLiteral(GESTALON_VERSION));
  QApplication::setOrganizationName(QStringLiteral("Gestalon"));
  const std::filesystem::path programFolder = core::ProgramFolder();
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  ui::ProgramArguments command = ui::ParseProgramArguments(arguments);
  core::SelectInterfaceLanguage(programFolder, core::AppDataFolder(), command.session.language,
                                core::UserDefaultLocaleId(), core::ProgramTexts());
  ui::InstallQtTranslations();

  ui::QtPrompter prompter;
  core::LoadedProject project;
  core::ProjectLoadOptions loadOptions;
  loadOptions.programFolder = programFolder;
  loadOptions.prompter = &prompter;
  const bool loaded =
      core::LoadStartupProject(command.projectPath, core::AppDataFolder(), project, loadOptions);

  app.setWindowIcon(QIcon(ui::ToQString((programFolder / "icons" / "gestalon.png").u16string())));
  int result = 0;
  if (!loaded) {
    // Opening or creating a project starts another instance on it; this one ends.
    ui::RunStartupProjectChoice(programFolder, prompter, command.session);
  } else {
    ui::MainWindow window(std::move(project), prompter, programFolder, std::move(command.session));
    window.show();
    result = app.exec();
  }
  core::ProgramTexts().ClearLanguageModule();
  return result;
}

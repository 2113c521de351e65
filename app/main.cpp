#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <filesystem>

#include "main_window.h"
#include "platform/folders.h"
#include "platform/locale_id.h"
#include "project/language_list.h"
#include "project/project_loader.h"
#include "qt_prompter.h"
#include "qt_text.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

using namespace gestalon;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::filesystem::path programFolder = core::ProgramFolder();
  core::LoadLanguageResources(programFolder, core::UserDefaultLocaleId(), core::ProgramTexts());

  // The command line is one project path; a path with blanks may arrive split into arguments.
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  ui::QtPrompter prompter;
  core::LoadedProject project;
  core::ProjectLoadOptions options;
  options.programFolder = programFolder;
  options.prompter = &prompter;
  const bool loaded = core::LoadStartupProject(ui::ToU16(arguments.join(QLatin1Char(' '))),
                                               core::AppDataFolder(), project, options);

  app.setWindowIcon(QIcon(ui::ToQString((programFolder / "icons" / "gestalon.png").u16string())));
  ui::MainWindow window;
  prompter.SetOwner(&window);
  if (!loaded) {
    prompter.Show(core::PromptIcon::kNone, core::LoadText(core::TextId::kMsgNoProjectFound));
    return 0;
  }
  window.SetRobotName(core::ProjectRobotName(project));
  window.show();
  const int result = app.exec();
  core::ProgramTexts().ClearLanguageModule();
  return result;
}

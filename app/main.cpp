#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <filesystem>
#include <optional>

#include "main_window.h"
#include "platform/folders.h"
#include "platform/locale_id.h"
#include "platform/paths.h"
#include "project/language_list.h"
#include "project/project_loader.h"
#include "qt_prompter.h"
#include "qt_text.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

using namespace gestalon;

namespace {

constexpr char kVirtualBoardOption[] = "--virtual-board";

// Takes the virtual-board option out of the arguments: none, the default card folder in the
// application data folder, or the folder given after "=".
std::optional<std::filesystem::path> TakeVirtualBoardOption(QStringList& arguments) {
  std::optional<std::filesystem::path> folder;
  for (auto it = arguments.begin(); it != arguments.end();) {
    if (*it == QLatin1String(kVirtualBoardOption)) {
      folder = core::AppDataFolder() / "virtual-board";
    } else if (it->startsWith(QLatin1String(kVirtualBoardOption) + QLatin1Char('='))) {
      folder = core::PathFromText(ui::ToU16(it->section(QLatin1Char('='), 1)));
    } else {
      ++it;
      continue;
    }
    it = arguments.erase(it);
  }
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Gestalon"));
  QApplication::setApplicationVersion(QStringLiteral(GESTALON_VERSION));
  QApplication::setOrganizationName(QStringLiteral("Gestalon"));
  const std::filesystem::path programFolder = core::ProgramFolder();
  core::LoadLanguageResources(programFolder, core::UserDefaultLocaleId(), core::ProgramTexts());

  // The command line is one project path (a path with blanks may arrive split into arguments)
  // and the virtual-board option.
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  ui::SessionOptions options;
  options.virtualBoardFolder = TakeVirtualBoardOption(arguments);
  ui::QtPrompter prompter;
  core::LoadedProject project;
  core::ProjectLoadOptions loadOptions;
  loadOptions.programFolder = programFolder;
  loadOptions.prompter = &prompter;
  const bool loaded = core::LoadStartupProject(ui::ToU16(arguments.join(QLatin1Char(' '))),
                                               core::AppDataFolder(), project, loadOptions);

  app.setWindowIcon(QIcon(ui::ToQString((programFolder / "icons" / "gestalon.png").u16string())));
  if (!loaded) {
    // Creating or choosing a project happens in dialogs of their own, not offered yet.
    prompter.Show(core::PromptIcon::kNone, core::LoadText(core::TextId::kMsgNoProjectFound));
    prompter.Show(core::PromptIcon::kInformation,
                  core::LoadText(core::TextId::kMsgNotYetAvailable));
    return 0;
  }
  int result = 0;
  {
    ui::MainWindow window(std::move(project), prompter, programFolder, std::move(options));
    window.show();
    result = app.exec();
  }
  core::ProgramTexts().ClearLanguageModule();
  return result;
}

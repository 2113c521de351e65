#include <QApplication>
#include <filesystem>

#include "main_window.h"
#include "platform/locale_id.h"
#include "project/language_list.h"
#include "strings/text_loader.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::filesystem::path programFolder =
      QCoreApplication::applicationDirPath().toStdU16String();
  gestalon::core::LoadLanguageResources(programFolder, gestalon::core::UserDefaultLocaleId(),
                                        gestalon::core::ProgramTexts());
  gestalon::ui::MainWindow window;
  window.show();
  const int result = app.exec();
  gestalon::core::ProgramTexts().ClearLanguageModule();
  return result;
}

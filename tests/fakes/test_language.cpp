// The widget tests run in the program's own language. With GESTALON_TEST_LANGUAGE set to a
// language code ("en"), they run with that language module of the source tree instead, so that
// their checks and screenshots can be repeated in that language.
#include <QCoreApplication>

#include "project/language_list.h"
#include "strings/text_loader.h"

namespace {

void LoadTestLanguage() {
  const QString code = qEnvironmentVariable("GESTALON_TEST_LANGUAGE");
  if (!code.isEmpty()) {
    gestalon::core::LoadLanguageByCode(GESTALON_RESOURCES_DIR, code.toStdU16String(),
                                       gestalon::core::ProgramTexts());
  }
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(LoadTestLanguage)

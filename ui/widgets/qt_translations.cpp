#include "widgets/qt_translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "strings/text_id.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

QString InterfaceLanguage() {
  const QString language = Text(core::TextId::kInterfaceLanguage).trimmed();
  return language.isEmpty() ? QStringLiteral("ja") : language;
}

bool InstallQtTranslations(const QString& folder) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) {
    return false;
  }
  // Dates and other texts that Qt builds itself (file dialogs, file types) follow the locale.
  QLocale::setDefault(QLocale(InterfaceLanguage()));
  // qtbase holds the texts of the standard buttons and dialogs.
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_") + InterfaceLanguage(), folder)) {
    return false;
  }
  translator->setParent(app);  // the application owns it from here on
  return QCoreApplication::installTranslator(translator.release());
}

}  // namespace gestalon::ui

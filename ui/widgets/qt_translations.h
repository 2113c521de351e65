#pragma once

#include <QLibraryInfo>
#include <QString>

namespace gestalon::ui {

// The language of the interface texts: the code that the loaded string table (or the language
// module that replaces it) gives for itself; Japanese when it gives none.
QString InterfaceLanguage();

// Makes the interface language Qt's default locale and installs Qt's own translations for it
// (standard buttons, file dialogs), read from `folder`, into the application, so that every text a
// user sees is in one language. False when they cannot be loaded: Qt's built-in texts stay and the
// program runs on.
bool InstallQtTranslations(
    const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace gestalon::ui

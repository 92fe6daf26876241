// The language the screens speak, chosen in one place. The program's own texts are
// Japanese; Qt's texts (the file dialog, the message boxes' standard buttons, the edit
// menu of a box) follow the same choice through Qt's translations.
#pragma once

#include <QLocale>

class QCoreApplication;

namespace kestrel {

enum class UiLanguage { Japanese };

// The language of every window. Japanese is the only one so far.
UiLanguage ProgramLanguage();

// The locale whose translations Qt's own texts take for the language.
QLocale QtTextLocale(UiLanguage language);

// Loads Qt's translations for the language from Qt's translations folder (Debian's
// qt6-translations-l10n installs them there) into the application, which keeps them.
// False when they are not there: Qt's texts then stay English and nothing else changes.
bool InstallQtTranslations(QCoreApplication& app, UiLanguage language);

}  // namespace kestrel

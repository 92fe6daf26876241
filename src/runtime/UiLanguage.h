// The language the screens speak, chosen in one place. The windows' texts are written in
// Japanese, which is also their source text: in English a compiled catalogue translates
// them. Qt's texts (the file dialog, the message boxes' standard buttons, the edit menu of
// a box) follow the same choice through Qt's translations.
#pragma once

#include <QLocale>

class QCoreApplication;

namespace kestrel {

enum class UiLanguage { Japanese, English };

// The language of every window.
UiLanguage ProgramLanguage();

// The locale whose translations Qt's own texts take for the language.
QLocale QtTextLocale(UiLanguage language);

// Loads Qt's translations for the language from Qt's translations folder (Debian's
// qt6-translations-l10n installs them there) into the application, which keeps them.
// False when they are not there: Qt's texts then stay English and nothing else changes.
// English needs none (Qt's texts are English) and is true.
bool InstallQtTranslations(QCoreApplication& app, UiLanguage language);

// Makes the windows speak the language: Qt's translations as above, and for English the
// windows' catalogue compiled into the program (:/i18n/kestrel_en.qm). False when a
// catalogue the language needs is missing; the windows then keep their Japanese texts.
bool InstallTranslations(QCoreApplication& app, UiLanguage language);

}  // namespace kestrel

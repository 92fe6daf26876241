// The windows in the program's language, which runtime/Language chooses for both programs.
// The windows' texts are written in Japanese, which is also their source text: in English a
// catalogue compiled into the program translates them. Qt's own texts (the file dialog, the
// message boxes' standard buttons, the edit menu of a box) follow the same choice through
// Qt's translations.
#pragma once

#include <QLocale>

#include "runtime/Language.h"

class QCoreApplication;

namespace kestrel {

// The locale whose translations Qt's own texts take for the language.
QLocale QtTextLocale(Language language);

// Makes Qt's own texts speak the language. Japanese loads Qt's translations from Qt's
// translations folder (Debian's qt6-translations-l10n installs them there) into the
// application, which keeps them; false when they are not there, and Qt's texts then stay
// English. English needs none: Qt's texts are English as written.
bool InstallQtTranslations(QCoreApplication& app, Language language);

// Makes the windows speak the language: Qt's translations as above, and for English the
// windows' catalogue compiled into the program (:/i18n/kestrel_en.qm). False when a
// catalogue the language needs is missing; the windows then keep their Japanese texts.
bool InstallTranslations(QCoreApplication& app, Language language);

}  // namespace kestrel

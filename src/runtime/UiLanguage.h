// Qt's own texts (the file dialog, the message boxes' standard buttons, the edit menu of a
// box) in the program's language, which runtime/Language chooses for both programs.
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

}  // namespace kestrel

#include "runtime/UiLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kestrel {

QLocale QtTextLocale(Language language) {
    switch (language) {
        case Language::Japanese:
            return QLocale(QLocale::Japanese, QLocale::Japan);
        case Language::English:
            return QLocale(QLocale::English, QLocale::UnitedStates);
    }
    return QLocale::c();
}

bool InstallQtTranslations(QCoreApplication& app, Language language) {
    if (language == Language::English) return true;
    // "qtbase" holds every text of the widgets and dialogs the program uses.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QtTextLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace kestrel

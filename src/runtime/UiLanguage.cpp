#include "runtime/UiLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kestrel {

UiLanguage ProgramLanguage() {
    return UiLanguage::Japanese;
}

QLocale QtTextLocale(UiLanguage language) {
    switch (language) {
        case UiLanguage::Japanese:
            return QLocale(QLocale::Japanese, QLocale::Japan);
    }
    return QLocale::c();
}

bool InstallQtTranslations(QCoreApplication& app, UiLanguage language) {
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

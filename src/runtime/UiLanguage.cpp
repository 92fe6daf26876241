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

namespace {

// Installs the catalogue at path into the application, which keeps it; false when it is
// missing or unreadable.
bool InstallCatalogue(QCoreApplication& app, const QString& path) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(path)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace

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

bool InstallTranslations(QCoreApplication& app, Language language) {
    const bool qt = InstallQtTranslations(app, language);
    if (language == Language::English) {
        return InstallCatalogue(app, QStringLiteral(":/i18n/kestrel_en.qm")) && qt;
    }
    return qt;
}

}  // namespace kestrel

#include "app/ApplicationSetup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

struct FontFallback {
    const char* family;
    const char* substitute;
};

// Liberation Sans has Arial's metrics and comes closer to Tahoma's widths than
// DejaVu Sans, so captions fit the places they were drawn for.
constexpr FontFallback kFontFallbacks[] = {
    {"Arial", "Liberation Sans"},
    {"Tahoma", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
};

void LoadPolishTranslations(QApplication& app) {
    // Owned by the application: it must live as long as the texts it translates.
    auto* translator = new QTranslator(&app);
    // The Windows program carries the catalogue inside; elsewhere it is Qt's own.
    if (translator->load(QStringLiteral("qtbase_pl"), QStringLiteral(":/translations")) ||
        translator->load(QStringLiteral("qtbase_pl"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }
}

} // namespace

void InstallFontFallbacks() {
    for (const FontFallback& fallback : kFontFallbacks) {
        const QString family = QString::fromLatin1(fallback.family);
        if (!QFontDatabase::hasFamily(family)) {
            QFont::insertSubstitution(family, QString::fromLatin1(fallback.substitute));
        }
    }
}

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("RejKMX"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(kProgramTitle));
    LoadPolishTranslations(app);
}

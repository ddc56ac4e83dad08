#include "app/ApplicationSetup.h"

#include "app/ButtonPictures.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#ifdef _WIN32
#include <windows.h>
#endif

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

// Drawn from the icon the package installs, in the sizes window managers ask for.
QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(RenderPicture(QStringLiteral(":/rejkmx.svg"), QSize(side, side)));
    }
    return icon;
}

// Owned by the application: a catalogue must live as long as the texts it translates.
void InstallCatalogue(QApplication& app, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (translator->load(name, folder)) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

// The catalogue installed last is asked first, so ours goes after Qt's. The
// Windows program carries Qt's catalogue inside; elsewhere it is Qt's own file.
void LoadPolishTranslations(QApplication& app) {
    const QString inside = QStringLiteral(":/translations");
    InstallCatalogue(app, QStringLiteral("qtbase_pl"),
                     QFile::exists(inside + QStringLiteral("/qtbase_pl.qm"))
                         ? inside
                         : QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    InstallCatalogue(app, QStringLiteral("rejkmx_pl"), inside);
}

} // namespace

void ChooseFontEngine() {
#ifdef _WIN32
    // Wine's GDI leaves out glyphs one pixel wide (the I of "OBSBIEG" at 8 points)
    // from Qt's default engine; DirectWrite draws them. Windows keeps the default,
    // and a -platform option or QT_QPA_PLATFORM still wins.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool underWine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    if (underWine && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=directwrite");
    }
#endif
}

void InstallFontFallbacks() {
    for (const FontFallback& fallback : kFontFallbacks) {
        const QString family = QString::fromLatin1(fallback.family);
        if (!QFontDatabase::hasFamily(family)) {
            QFont::insertSubstitution(family, QString::fromLatin1(fallback.substitute));
        }
    }
}

void SetUpApplication(QApplication& app) {
    // No display name: Qt would append it to every window's title.
    QApplication::setApplicationName(QStringLiteral("RejKMX"));
    QApplication::setWindowIcon(ProgramIcon());
    LoadPolishTranslations(app);
}

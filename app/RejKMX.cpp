// RejKMX: converts KMX 685 recorder files into the suite's OBSBIEG file.

#include "app/ApplicationSetup.h"
#include "app/ButtonPictures.h"
#include "app/URejKMXF.h"
#include "common/UPlikIni.h"
#include "converter/URejestratorKMX685.h"

#include <QApplication>

#include <cstdio>

namespace {

// Lets the start-up benchmark see when the window is on screen.
void ReportShownForBenchmark() {
    if (qEnvironmentVariableIsSet("REJKMX_REPORT_SHOWN")) {
        QApplication::processEvents();
        std::printf("shown\n");
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    // Single instances for the whole run, in this order: settings, pictures,
    // converter, application, main window. The settings need no Qt. The pictures
    // are pixmaps and need the application object, so it is created before them,
    // but it is set up (title, translations) only after the converter exists.
    static const TPlikIni settings;
    ChooseFontEngine();
    QApplication app(argc, argv);
    InstallFontFallbacks(); // the help picture has lettering
    LoadButtonPictures();
    static TRejestratorKMX685 converter;
    SetUpApplication(app);

    TForm1 form(settings, converter);
    form.show();
    ReportShownForBenchmark();
    return QApplication::exec();
}

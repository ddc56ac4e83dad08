// The yardstick for RejKMX's start-up: an empty Qt window of the same size and
// title, reporting the moment it is shown the same way.

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8("Konwersja plików formatu KMX 685 1.0"));
    window.setFixedSize(552, 405);
    window.show();
    if (qEnvironmentVariableIsSet("REJKMX_REPORT_SHOWN")) {
        QApplication::processEvents();
        std::printf("shown\n");
        std::fflush(stdout);
    }
    return QApplication::exec();
}

// Editor benchmarks: opening a 50 MB OBSBIEG-like file in an editor window
// against a raw QScintilla load of the same bytes, a file of one 10 MB line
// against that window, tab expansion over 200 000 lines, and the memory an
// open window takes.
#include "editor/SynEdit.h"
#include "editor/UEdytorF.h"
#include "editor/UEdytorFrame.h"
#include "gui/Dialogs.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 3;

// Station blocks as the converter writes them, with a Polish comment line now and then.
QByteArray ObsbiegLike(qsizetype size) {
    QByteArray bytes;
    bytes.reserve(size + 100);
    for (int station = 1000; bytes.size() < size; ++station) {
        bytes += QByteArray::number(station) + "    42\r\n";
        for (int i = 0; i < 20; ++i) {
            bytes += QByteArray::number(station + i + 1) + "  " +
                     QByteArray::number(i * 17.4521, 'f', 4) + "  " +
                     QByteArray::number(99.8765 + i, 'f', 4) + "  212.875  1.500\r\n";
        }
        if (station % 50 == 0) {
            bytes += "\xA3\xF3\x64\xBC \xBF\xF3\xB3w \xEA\xB9\r\n";
        }
        bytes += "0 0 0 0 1.562\r\n";
    }
    return bytes;
}

long ResidentKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stol(line.substr(std::string(field).size()));
        }
    }
    return -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double RawLoadMs(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QsciScintilla editor;
    editor.show();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    editor.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    editor.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()),
                         bytes.constData());
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double WindowLoadMs(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    auto* window = new TEdytorF;
    window->SetTextSize(8);
    window->OpenFile(path);
    QApplication::processEvents();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    delete window;
    return ms;
}

void BenchLoad(const QString& path, qsizetype size) {
    std::vector<double> raw;
    std::vector<double> window;
    for (int run = 0; run < kRuns; ++run) { // interleaved, so both see the same machine
        raw.push_back(RawLoadMs(path));
        window.push_back(WindowLoadMs(path));
    }
    const double rawMs = Median(raw);
    const double windowMs = Median(window);
    std::printf(
        "load %.1f MB: raw QScintilla %.0f ms, editor window %.0f ms, ratio %.2f (goal <= 1.5)\n",
        static_cast<double>(size) / 1e6, rawMs, windowMs, windowMs / rawMs);
}

void BenchMemory(const QString& path, qsizetype size) {
    const long before = ResidentKilobytes("VmRSS:");
    QPointer<TEdytorF> window = new TEdytorF;
    window->OpenFile(path);
    QApplication::processEvents();
    const long after = ResidentKilobytes("VmRSS:");
    std::printf(
        "memory: open window on %.1f MB adds %.1f MB resident (%.2f x file), peak %.1f MB\n",
        static_cast<double>(size) / 1e6, static_cast<double>(after - before) / 1024,
        static_cast<double>(after - before) * 1024 / static_cast<double>(size),
        static_cast<double>(ResidentKilobytes("VmHWM:")) / 1024);
    delete window;
}

// Answers every question with one button and counts the questions.
class Answering : public DialogProvider {
public:
    explicit Answering(QMessageBox::StandardButton answer) : answer_(answer) {
        previous_ = SetDialogs(this);
    }
    ~Answering() override { SetDialogs(previous_); }
    Answering(const Answering&) = delete;
    Answering& operator=(const Answering&) = delete;

    QMessageBox::StandardButton Ask(QWidget*, QMessageBox::Icon, const QString&, const QString&,
                                    QMessageBox::StandardButtons, const QString&) override {
        ++questions;
        return answer_;
    }

    int questions = 0;

private:
    QMessageBox::StandardButton answer_;
    DialogProvider* previous_ = nullptr;
};

// From the button's call to a painted window with one key typed into its text,
// or to the window closed again when the user declines to open the file.
double OpenPaintTypeMs(const QString& path, QMessageBox::StandardButton answer, int* questions) {
    Answering dialogs(answer);
    QElapsedTimer timer;
    timer.start();
    QPointer<TEdytorF> window = new TEdytorF;
    window->SetTextSize(8);
    window->OpenFile(path);
    if (window && window->isVisible()) {
        window->repaint();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(window->EdytorFrame->SynEdit1, &key);
        window->repaint();
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    *questions = dialogs.questions;
    delete window;
    return ms;
}

void BenchLongLine(const QString& folder, const QString& ordinary) {
    QByteArray line;
    for (unsigned seed = 1; line.size() < 10 * 1024 * 1024;) {
        seed = seed * 1103515245u + 12345u;
        line += QByteArray::number((seed >> 8) % 100000) + ",";
    }
    const QString path = folder + "/long.txt";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(line);
    file.close();
    int questions = 0;
    const double reference = OpenPaintTypeMs(ordinary, QMessageBox::Yes, &questions);
    const double declined = OpenPaintTypeMs(path, QMessageBox::No, &questions);
    std::printf("one 10 MB line: %.0f ms until the user is asked (%d question), ordinary "
                "50 MB file opened, painted and typed in %.0f ms, ratio %.2f\n",
                declined, questions, reference, declined / reference);
    const double anyway = OpenPaintTypeMs(path, QMessageBox::Yes, &questions);
    std::printf("one 10 MB line opened anyway: painted and one key typed in %.0f ms\n", anyway);
}

void BenchExpandTabs(const QString& folder) {
    QByteArray bytes;
    for (int line = 0; line < 200000; ++line) {
        bytes += "\t" + QByteArray::number(line) + "\t12.3456\tab\t\xB3\xF3\t1.500\r\n";
    }
    const QString path = folder + "/tabs.txt";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        TEdytorFrame frame;
        frame.show();
        frame.LoadTextFile(path);
        QElapsedTimer timer;
        timer.start();
        frame.ExpandTabs();
        QApplication::processEvents();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("ExpandTabs: 200000 lines, %.1f MB, 1200000 tabs: %.0f ms\n",
                static_cast<double>(bytes.size()) / 1e6, Median(times));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath("OBSBIEG");
    const QByteArray bytes = ObsbiegLike(50 * 1000 * 1000);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    file.close();
    BenchMemory(path, bytes.size()); // first, so the peak reflects one window
    BenchLoad(path, bytes.size());
    BenchExpandTabs(folder.path());
    BenchLongLine(folder.path(), path);
    return 0;
}

// Our Windows-1250 search against QScintilla's own search, on the same 50 MB
// document in one run: an absent word, case-insensitive, the whole text.
// Usage: search_bench [SIZE_MB]
#include "editor/search/EditorSearch.h"

#include <QApplication>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

using Sci = QsciScintillaBase;

// Lines like an observation file with Polish notes, each a little different.
std::string MakeText(std::size_t bytes) {
    static const char* const notes[] = {"słup narożny", "Źródło przy drodze",   "ŁĄKA",
                                        "punkt osnowy", "róg budynku",          "Żwirownia",
                                        "ogrodzenie",   "studnia ŚWIĘTOKRZYSKA"};
    std::string text;
    text.reserve(bytes + 128);
    char line[160];
    for (unsigned i = 0; text.size() < bytes; ++i) {
        const int n =
            std::snprintf(line, sizeof line, "%6u  %10.4f  %9.4f  %7.3f  %s  kod_%u\r\n",
                          i % 100000, (i * 7919 % 400000) / 1.7, (i * 104729 % 400000) / 3.1,
                          (i % 997) / 9.0, notes[i % 8], i % 50);
        text.append(line, std::size_t(n));
    }
    return text;
}

double BestMs(int runs, const std::function<void()>& run) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

long ScintillaSearch(QsciScintilla& editor, const std::string& needle, bool backwards) {
    const long length = editor.SendScintilla(Sci::SCI_GETLENGTH);
    editor.SendScintilla(Sci::SCI_SETSEARCHFLAGS, 0L);
    editor.SendScintilla(Sci::SCI_SETTARGETSTART, backwards ? length : 0L);
    editor.SendScintilla(Sci::SCI_SETTARGETEND, backwards ? 0L : length);
    return editor.SendScintilla(Sci::SCI_SEARCHINTARGET, needle.size(), needle.c_str());
}

bool OursFinds(QsciScintilla& editor, const std::string& needle, bool backwards) {
    const long length = editor.SendScintilla(Sci::SCI_GETLENGTH);
    editor.SendScintilla(Sci::SCI_GOTOPOS, backwards ? length : 0L);
    textsearch::SearchOptions options;
    options.backwards = backwards;
    return editorsearch::Search(editor, needle, options);
}

void Compare(QsciScintilla& editor, const std::string& needle, bool backwards) {
    const int runs = 5;
    bool found = false;
    const double ours = BestMs(runs, [&] { found = OursFinds(editor, needle, backwards); });
    long theirs = 0;
    const double target =
        BestMs(runs, [&] { theirs = ScintillaSearch(editor, needle, backwards); });
    std::printf("%-9s ours %7.1f ms   SCI_SEARCHINTARGET %7.1f ms   ratio %.3f x   \"%s\"%s\n",
                backwards ? "upwards" : "downwards", ours, target, ours / target, needle.c_str(),
                found || theirs >= 0 ? "   (FOUND: not absent!)" : "");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;

    QsciScintilla editor;
    editor.setUtf8(true);
    {
        const std::string text = MakeText(megabytes * 1000 * 1000);
        editor.SendScintilla(Sci::SCI_APPENDTEXT, text.size(), text.data());
    }
    std::printf("document: %.1f MB, %ld lines\n", editor.SendScintilla(Sci::SCI_GETLENGTH) / 1e6,
                editor.SendScintilla(Sci::SCI_GETLINECOUNT));

    for (const std::string needle : {"kod_77", "Łódź", "ŻWIR-X", " 0.0z"}) {
        Compare(editor, needle, false);
        Compare(editor, needle, true);
    }

    // findFirst, QScintilla's own high-level call, once for the record.
    editor.SendScintilla(Sci::SCI_GOTOPOS, 0L);
    bool found = false;
    const double theirs = BestMs(1, [&] {
        found = editor.findFirst(QStringLiteral("Łódź"), false, false, false, false, true, 0, 0);
    });
    const double ours = BestMs(1, [&] { found = OursFinds(editor, "Łódź", false) || found; });
    std::printf("downwards ours %7.1f ms   findFirst          %7.1f ms   ratio %.3f x   "
                "\"Łódź\"%s\n",
                ours, theirs, ours / theirs, found ? "   (FOUND: not absent!)" : "");

    // The first search after an edit in the middle pays for moving the gap once.
    editor.SendScintilla(Sci::SCI_INSERTTEXT, editor.SendScintilla(Sci::SCI_GETLENGTH) / 2, "x");
    const double afterEdit = BestMs(1, [&] { OursFinds(editor, "Łódź", false); });
    std::printf("ours right after an edit in the middle: %.1f ms\n", afterEdit);
    return 0;
}

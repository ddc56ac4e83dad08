#include "editor/print/SelectionText.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Sci = QsciScintillaBase;
using Range = std::pair<long, long>;

// Appends text[from, to) with every line end written as CR LF.
void AppendWithCrLf(QByteArray& out, const char* text, long from, long to) {
    for (long i = from; i < to; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out.append("\r\n");
            if (text[i] == '\r' && i + 1 < to && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out.append(text[i]);
        }
    }
}

std::vector<Range> ColumnRows(const QsciScintilla& editor) {
    std::vector<Range> rows;
    const long count = editor.SendScintilla(Sci::SCI_GETSELECTIONS);
    for (long i = 0; i < count; ++i) {
        rows.emplace_back(editor.SendScintilla(Sci::SCI_GETSELECTIONNSTART, i),
                          editor.SendScintilla(Sci::SCI_GETSELECTIONNEND, i));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

Range WholeLines(const QsciScintilla& editor, long start, long end) {
    const long firstLine = editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, start);
    const long lastLine = editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, end);
    return {editor.SendScintilla(Sci::SCI_POSITIONFROMLINE, firstLine),
            editor.SendScintilla(Sci::SCI_GETLINEENDPOSITION, lastLine)};
}

} // namespace

QByteArray SelectedTextForPrint(const QsciScintilla& editor) {
    const char* text =
        reinterpret_cast<const char*>(editor.SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
    QByteArray out;
    if (editor.SendScintilla(Sci::SCI_SELECTIONISRECTANGLE)) {
        bool first = true;
        for (const auto& [from, to] : ColumnRows(editor)) {
            if (!first) {
                out.append("\r\n");
            }
            first = false;
            out.append(text + from, to - from);
        }
        return out;
    }
    Range range{editor.SendScintilla(Sci::SCI_GETSELECTIONSTART),
                editor.SendScintilla(Sci::SCI_GETSELECTIONEND)};
    if (editor.SendScintilla(Sci::SCI_GETSELECTIONMODE) == Sci::SC_SEL_LINES) {
        range = WholeLines(editor, range.first, range.second);
    }
    AppendWithCrLf(out, text, range.first, range.second);
    return out;
}

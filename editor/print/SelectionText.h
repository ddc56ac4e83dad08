#pragma once

#include <QByteArray>

class QsciScintilla;

// The selected text as a selection print takes it: UTF-8, rows separated by
// CR LF, no line end after the last row. A column selection gives the selected
// part of each line, unpadded; a whole-line selection gives whole lines.
// NUL bytes are kept, unlike SCI_GETSELTEXT.
QByteArray SelectedTextForPrint(const QsciScintilla& editor);

#include "editor/SynEdit.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QCursor>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace {

// QScintilla's fixed modifier for a rectangular mouse selection.
#if defined(Q_OS_LINUX)
constexpr Qt::KeyboardModifier kRectangleModifier = Qt::ControlModifier;
#else
constexpr Qt::KeyboardModifier kRectangleModifier = Qt::AltModifier;
#endif

QFont DefaultTextFont() {
    const QString family = QFontDatabase::hasFamily(QStringLiteral("Courier New"))
                               ? QStringLiteral("Courier New")
                               : QStringLiteral("Liberation Mono");
    QFont font(family, 10);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

bool IsBlank(long character) {
    return character == ' ' || character == '\t';
}

} // namespace

SynEdit::SynEdit(QWidget* parent) : QsciScintilla(parent) {
    ConfigureEditing();
    ConfigureKeys();
    connect(verticalScrollBar(), &QScrollBar::sliderMoved, this, &SynEdit::ShowScrollHint);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char*, int, int, int, int, int, int, int) {
                NoteModification(type);
            });
}

void SynEdit::ConfigureEditing() {
    setUtf8(true);
    textFont = DefaultTextFont();
    setFont(textFont);
    setAutoIndent(true);
    setIndentationsUseTabs(false);
    setTabWidth(8);
    setTabIndents(true);
    setBackspaceUnindents(true);
    SendScintilla(SCI_SETVIRTUALSPACEOPTIONS, SCVS_USERACCESSIBLE | SCVS_RECTANGULARSELECTION);
    // Typing over a column block replaces it on every row, as Delete does.
    SendScintilla(SCI_SETADDITIONALSELECTIONTYPING, 1);
    setMargins(0);
    setEdgeMode(EdgeNone);
    setWrapMode(WrapNone);
    SendScintilla(SCI_SETHSCROLLBAR, 1);
    SendScintilla(SCI_SETVSCROLLBAR, 1);
    // The horizontal range is the widest line shown so far, not a fixed 2000
    // pixels; both bars stay on screen even when everything fits.
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    ResetScrollWidth();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setOverwriteMode(false);
    SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
}

void SynEdit::ConfigureKeys() {
    // Ctrl+V belongs to the frame's paste action and Tab to focus navigation;
    // a key left bound here would win over both. Shift+Insert stays a plain paste.
    const int ctrlV = (Qt::CTRL | Qt::Key_V).toCombined();
    for (QsciCommand* command : standardCommands()->commands()) {
        const bool tab =
            command->command() == QsciCommand::Tab || command->command() == QsciCommand::Backtab;
        if (tab || command->key() == ctrlV) {
            command->setKey(0);
        }
        if (tab || command->alternateKey() == ctrlV) {
            command->setAlternateKey(0);
        }
    }
}

void SynEdit::SetTextSize(int points) {
    textFont.setPointSize(points);
    setFont(textFont);
}

std::string_view SynEdit::Utf8Text() const {
    const auto length = static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH));
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return {text, length};
}

void SynEdit::LoadUtf8Text(std::string_view utf8, textlayer::EolStyle eol) {
    const bool wasModified = Modified();
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.data());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    const int mode = eol == textlayer::EolStyle::Lf   ? SC_EOL_LF
                     : eol == textlayer::EolStyle::Cr ? SC_EOL_CR
                                                      : SC_EOL_CRLF;
    SendScintilla(SCI_SETEOLMODE, mode);
    // Caret and view to the start without laying out the first line now: a
    // very long line takes long to measure, and painting will do it anyway.
    SendScintilla(SCI_SETEMPTYSELECTION, 0UL);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0UL);
    SendScintilla(SCI_SETXOFFSET, 0UL);
    ResetScrollWidth();
    forcedModified = wasModified;
}

void SynEdit::ReplaceUtf8Text(std::string_view utf8, std::size_t caret) {
    const bool wasModified = Modified();
    const long firstLine = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    SendScintilla(SCI_SETTARGETRANGE, 0UL, SendScintilla(SCI_GETLENGTH));
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(utf8.size()), utf8.data());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, firstLine);
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(caret));
    forcedModified = wasModified;
}

textlayer::EolStyle SynEdit::EolStyle() const {
    switch (SendScintilla(SCI_GETEOLMODE)) {
    case SC_EOL_LF:
        return textlayer::EolStyle::Lf;
    case SC_EOL_CR:
        return textlayer::EolStyle::Cr;
    default:
        return textlayer::EolStyle::CrLf;
    }
}

bool SynEdit::Modified() const {
    return forcedModified || SendScintilla(SCI_GETMODIFY) != 0;
}

void SynEdit::SetModified(bool value) {
    // QScintilla's setModified(true) does nothing, so "modified" is kept here.
    forcedModified = value;
    if (!value) {
        SendScintilla(SCI_SETSAVEPOINT);
    }
}

void SynEdit::ClearAll() {
    SendScintilla(SCI_CLEARALL);
    ResetScrollWidth();
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SetModified(false);
}

void SynEdit::FitScrollWidth(std::size_t characters) {
    // The font is monospaced; a hundred cells measure the cell to a hundredth.
    const QByteArray cells(100, '0');
    const double cell = SendScintilla(SCI_TEXTWIDTH, STYLE_DEFAULT, cells.constData()) / 100.0;
    const double width = std::min(cell * static_cast<double>(characters), 1e9);
    SendScintilla(SCI_SETSCROLLWIDTH, static_cast<unsigned long>(std::max(width, 1.0)));
}

// Tracking only widens the range: a new text starts it afresh.
void SynEdit::ResetScrollWidth() {
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
}

void SynEdit::EmptyUndoBuffer() {
    // Emptying the buffer also moves the save point here: keep the flag.
    const bool wasModified = Modified();
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    forcedModified = wasModified;
}

long SynEdit::SelStart() const {
    return SendScintilla(SCI_GETSELECTIONSTART);
}

void SynEdit::SetSelStart(long position) {
    SendScintilla(SCI_GOTOPOS, position);
}

void SynEdit::SelectRecordLine(std::uint64_t number) {
    const std::string_view text = Utf8Text();
    std::size_t start = 0;
    for (std::uint64_t line = 1; line < number && start < text.size(); ++line) {
        const std::size_t lf = text.find('\n', start);
        start = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    std::size_t end = std::min(text.find('\n', start), text.size());
    if (end > start && text[end - 1] == '\r') {
        --end;
    }
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(end), static_cast<long>(start));
    SendScintilla(SCI_SCROLLCARET);
}

void SynEdit::ShowScrollHint(int value) {
    const long line = SendScintilla(SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(value));
    QToolTip::showText(QCursor::pos(), tr("Linia: %1").arg(line + 1), this);
}

void SynEdit::NoteModification(int type) {
    if ((type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) && (type & SC_PERFORMED_USER)) {
        editedByKey = true;
    }
}

void SynEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::ControlModifier) {
        emit ContextHelp();
        return;
    }
    if (selection.GrowByKey(*event)) {
        return;
    }
    selection.BeforeKey(*event);
    constexpr auto commandModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->modifiers() & commandModifiers) {
        QsciScintilla::keyPressEvent(event); // undo, redo, clipboard: no trimming around them
    } else if (!SkipTrailingBlank(event)) {
        TypeKey(event);
    }
}

// One typed key is one undo step, trailing blanks of the lines it edited included.
void SynEdit::TypeKey(QKeyEvent* event) {
    const long linesBefore = SendScintilla(SCI_GETLINECOUNT);
    editedByKey = false;
    SendScintilla(SCI_BEGINUNDOACTION);
    QsciScintilla::keyPressEvent(event);
    if (editedByKey && !isReadOnly()) {
        const long caretLine =
            SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS));
        TrimTrailingBlanks(caretLine);
        if (SendScintilla(SCI_GETLINECOUNT) > linesBefore && caretLine > 0) {
            TrimTrailingBlanks(caretLine - 1); // the line just broken
        }
    }
    SendScintilla(SCI_ENDUNDOACTION);
}

// A blank typed at the end of a line is never stored: the caret moves on into
// virtual space, as if it had been typed and trimmed, without an edit.
bool SynEdit::SkipTrailingBlank(const QKeyEvent* event) {
    if (event->text() != QStringLiteral(" ") || isReadOnly() || overwriteMode() ||
        SendScintilla(SCI_GETSELECTIONS) != 1 || SendScintilla(SCI_GETSELECTIONEMPTY) == 0) {
        return false;
    }
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, caret);
    if (caret != SendScintilla(SCI_GETLINEENDPOSITION, line)) {
        return false;
    }
    const long space = SendScintilla(SCI_GETSELECTIONNCARETVIRTUALSPACE, 0UL) + 1;
    SendScintilla(SCI_SETSELECTIONNCARETVIRTUALSPACE, 0UL, space);
    SendScintilla(SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0UL, space);
    SendScintilla(SCI_CHOOSECARETX);
    SendScintilla(SCI_SCROLLCARET);
    return true;
}

// Trailing blanks of an edited line are dropped; a caret standing among them
// keeps its column in virtual space.
void SynEdit::TrimTrailingBlanks(long line) {
    const long start = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, line);
    long blanks = end;
    while (blanks > start && IsBlank(SendScintilla(SCI_GETCHARAT, blanks - 1))) {
        --blanks;
    }
    if (blanks == end) {
        return;
    }
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const bool caretInBlanks = SendScintilla(SCI_GETSELECTIONS) == 1 &&
                               SendScintilla(SCI_GETSELECTIONEMPTY) != 0 && caret >= blanks &&
                               caret <= end;
    const long column = caret - blanks + SendScintilla(SCI_GETSELECTIONNCARETVIRTUALSPACE, 0UL);
    SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(blanks), end - blanks);
    if (caretInBlanks) {
        SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(blanks));
        SendScintilla(SCI_SETSELECTIONNCARETVIRTUALSPACE, 0UL, column);
        SendScintilla(SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0UL, column);
        SendScintilla(SCI_CHOOSECARETX);
    }
}

void SynEdit::mousePressEvent(QMouseEvent* event) {
    selection.BeforeMousePress(*event);
    if (event->button() == Qt::LeftButton && GetSelectionMode() == SelectionMode::Column) {
        // QScintilla starts a column selection only with its modifier held.
        QMouseEvent columnPress(event->type(), event->position(), event->scenePosition(),
                                event->globalPosition(), event->button(), event->buttons(),
                                event->modifiers() | kRectangleModifier);
        QsciScintilla::mousePressEvent(&columnPress);
    } else {
        QsciScintilla::mousePressEvent(event);
    }
    selection.AfterMousePress(*event);
}

// A double click chooses a word; in whole-line mode, the word's line.
void SynEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    selection.BeforeMousePress(*event);
    QsciScintilla::mouseDoubleClickEvent(event);
    selection.AfterMousePress(*event);
}

void SynEdit::mouseMoveEvent(QMouseEvent* event) {
    QsciScintilla::mouseMoveEvent(event);
    selection.AfterMouseMove(*event);
}

void SynEdit::mouseReleaseEvent(QMouseEvent* event) {
    QsciScintilla::mouseReleaseEvent(event);
    selection.AfterMouseRelease(*event);
}

bool SynEdit::focusNextPrevChild(bool next) {
    // QScintilla keeps Tab while editable; the editor leaves it to the window.
    return QWidget::focusNextPrevChild(next);
}

// Scintilla ends every row of a copied block with a line end, the last one
// too; pasted, that last line end would break the line after the block.
QMimeData* SynEdit::toMimeData(const QByteArray& text, bool rectangular) const {
    if (!rectangular) {
        return QsciScintilla::toMimeData(text, rectangular);
    }
    QByteArray rows = text;
    if (rows.endsWith("\r\n")) {
        rows.chop(2);
    } else if (rows.endsWith('\n') || rows.endsWith('\r')) {
        rows.chop(1);
    }
    return QsciScintilla::toMimeData(rows, rectangular);
}

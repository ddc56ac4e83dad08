#pragma once

#include "editor/text/TextLayer.h"

#include <Qsci/qsciscintilla.h>

#include <string_view>

// SynEdit1: QScintilla with the editor's defaults. The document holds UTF-8
// with the file's own line ends; new line breaks take the file's style.
class TSynEdit : public QsciScintilla {
    Q_OBJECT

public:
    // Values are QScintilla's own selection modes, so SCI_GETSELECTIONMODE
    // and SelectionMode() agree.
    enum class SelectionMode {
        Normal = SC_SEL_STREAM,
        Lines = SC_SEL_LINES,
        Column = SC_SEL_RECTANGLE
    };

    explicit TSynEdit(QWidget* parent = nullptr);

    void SetTextSize(int points);

    // The whole document with explicit lengths, so NUL bytes survive both ways.
    // The view is valid until the next change of the text.
    std::string_view Utf8Text() const;
    // Replaces the text without an undo step, empties the undo history and
    // puts the caret at the start; the modified flag keeps its value.
    void LoadUtf8Text(std::string_view utf8, textlayer::EolStyle eol);
    // Replaces the text as ExpandTabs does: no undo step, undo history emptied,
    // modified flag unchanged, caret at `caret` (a byte position in `utf8`).
    void ReplaceUtf8Text(std::string_view utf8, std::size_t caret);
    textlayer::EolStyle EolStyle() const;

    // Modified: not at the save point, or set by hand (after Open, or when the
    // undo history was emptied while modified).
    bool Modified() const;
    void SetModified(bool value);
    // "Wyczyść": empty text, empty undo and redo history, flag cleared.
    void ClearAll();
    void EmptyUndoBuffer();

    // Selection start as a byte position; setting it removes the selection.
    long SelStart() const;
    void SetSelStart(long position);

    // The sticky mode chosen on the toolbar; it survives mouse presses and keys.
    SelectionMode GetSelectionMode() const { return stickyMode; }
    void SetSelectionMode(SelectionMode mode);

signals:
    // Ctrl+F1: the context-help command.
    void ContextHelp();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void ConfigureEditing();
    void ConfigureKeys();
    void ShowScrollHint(int value);
    void ApplySelectionMode();
    void TypeKey(QKeyEvent* event);
    bool SkipTrailingBlank(const QKeyEvent* event);
    void TrimTrailingBlanks(long line);
    void NoteModification(int type);
    void ExtendLineSelection(const QPoint& point);

    QFont textFont;
    SelectionMode stickyMode = SelectionMode::Normal;
    bool forcedModified = false;
    bool editedByKey = false;
    long lineAnchor = -1; // first line of a whole-line mouse selection
};

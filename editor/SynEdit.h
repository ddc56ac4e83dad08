#pragma once

#include "editor/SelectionGrowth.h"
#include "editor/text/SelectionMode.h"
#include "editor/text/TextLayer.h"

#include <Qsci/qsciscintilla.h>

#include <cstdint>
#include <string_view>

// SynEdit1: QScintilla with the editor's defaults. The document holds UTF-8
// with the file's own line ends; new line breaks take the file's style.
class SynEdit : public QsciScintilla {
    Q_OBJECT

public:
    explicit SynEdit(QWidget* parent = nullptr);

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
    // The horizontal range for a text whose longest line has this many
    // characters, before that line was ever shown.
    void FitScrollWidth(std::size_t characters);

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
    // Selects line `number` (from 1) as a recorder file counts its lines (only LF
    // ends one; its CR LF is not selected) with the caret at its start and the
    // line in view; past the last line, the caret goes to the end.
    void SelectRecordLine(std::uint64_t number);

    // The mode chosen on the toolbar: how the user's selecting grows a selection.
    SelectionMode GetSelectionMode() const { return selection.Mode(); }
    void SetSelectionMode(SelectionMode mode) { selection.SetMode(mode); }

signals:
    // Ctrl+F1: the context-help command.
    void ContextHelp();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;

private:
    void ConfigureEditing();
    void ConfigureKeys();
    void ShowScrollHint(int value);
    void ResetScrollWidth();
    void TypeKey(QKeyEvent* event);
    bool SkipTrailingBlank(const QKeyEvent* event);
    void TrimTrailingBlanks(long line);
    void NoteModification(int type);

    QFont textFont;
    SelectionGrowth selection{*this};
    bool forcedModified = false;
    bool editedByKey = false;
};

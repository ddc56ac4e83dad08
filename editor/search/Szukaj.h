#pragma once

#include "editor/search/TextSearch.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QKeyEvent;
class QsciScintilla;

namespace Ui {
class TForm_Szukaj;
}

// The editor's search dialog: non-modal, always on top, shown at once. Closing
// it or "Anuluj" only hides it, so its text and options last as long as it does.
class TForm_Szukaj : public QDialog {
    Q_OBJECT

public:
    explicit TForm_Szukaj(QWidget* parent = nullptr);
    ~TForm_Szukaj() override;

    // The text control searched; not owned.
    void SetEditor(QsciScintilla* editor);
    QsciScintilla* Editor() const;

    // Visible and raised again, the focus in Edit1 with its text selected.
    void ShowAgain();
    // One press of "Szukaj".
    void DoSearch();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Button1Click();
    void Button2Click();
    bool Edit1KeyDown(const QKeyEvent* event);

    textsearch::SearchOptions SearchOptions() const;
    bool SearchCoversWholeText() const;
    bool AskToWrap();
    void MoveCaretToOtherEnd();

    std::unique_ptr<Ui::TForm_Szukaj> ui;
    QPointer<QsciScintilla> editor;
};

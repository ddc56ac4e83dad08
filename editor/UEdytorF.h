#pragma once

#include <QWidget>

#include <memory>

class TEdytorFrame;

namespace Ui {
class TEdytorF;
}

// An editor window bound to one file; it deletes itself when closed.
class TEdytorF : public QWidget {
    Q_OBJECT

public:
    explicit TEdytorF(QWidget* parent = nullptr);
    ~TEdytorF() override;

    TEdytorFrame* EdytorFrame = nullptr;

    void SetTextSize(int points);
    // Loads the file if it exists and binds the window to that path. The
    // window closes when the user chooses not to open a file with a very long line.
    void OpenFile(const QString& name);
    // The closing question: true when the window may close (no unsaved changes,
    // or the user saved them or chose to drop them).
    bool FormCloseQuery();

signals:
    // The window has closed (the closing question allowed it).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();

    std::unique_ptr<Ui::TEdytorF> ui;
};

#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QPrintDialog;
class QWidget;

// Every modal question and common dialog of the program goes through here, so
// tests can answer them; the default provider shows Qt's own dialogs.
class DialogProvider {
public:
    virtual ~DialogProvider() = default;

    virtual QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            const QString& detail = QString());
    // Multiple selection, no filter; empty when cancelled.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& folder);
    virtual QString GetOpenFileName(QWidget* parent, const QString& folder);
    virtual QString GetSaveFileName(QWidget* parent, const QString& folder);
    // Returns QDialog::Accepted or QDialog::Rejected.
    virtual int ExecPrintDialog(QPrintDialog& dialog);
};

DialogProvider& Dialogs();

// The program's title, the caption of its plain messages. It is given to each
// message box explicitly: set as the application's display name, it would also
// be appended to every window's own title on X11.
QString ProgramTitle();
// Installs another provider (not owned) and returns the previous one; nullptr restores the default.
DialogProvider* SetDialogs(DialogProvider* provider);

// A plain message with OK, the program's title as caption; `detail` goes beneath the text.
void ShowMessage(QWidget* parent, const QString& text, const QString& detail = QString());
// A failure reported to the user: as ShowMessage, with the critical icon.
void ShowError(QWidget* parent, const QString& text, const QString& detail = QString());

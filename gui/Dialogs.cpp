#include "gui/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>

namespace {

DialogProvider& DefaultProvider() {
    static DialogProvider provider;
    return provider;
}

DialogProvider* current = nullptr;

} // namespace

QMessageBox::StandardButton DialogProvider::Ask(QWidget* parent, QMessageBox::Icon icon,
                                                const QString& caption, const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                const QString& detail) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setInformativeText(detail);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList DialogProvider::GetOpenFileNames(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileNames(parent, QString(), folder);
}

QString DialogProvider::GetOpenFileName(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QString(), folder);
}

QString DialogProvider::GetSaveFileName(QWidget* parent, const QString& folder) {
    return QFileDialog::getSaveFileName(parent, QString(), folder);
}

int DialogProvider::ExecPrintDialog(QPrintDialog& dialog) {
    return dialog.exec();
}

DialogProvider& Dialogs() {
    return current ? *current : DefaultProvider();
}

DialogProvider* SetDialogs(DialogProvider* provider) {
    DialogProvider* previous = current;
    current = provider;
    return previous;
}

QString ProgramTitle() {
    return QStringLiteral("Konwersja plików formatu KMX 685 1.0");
}

void ShowMessage(QWidget* parent, const QString& text, const QString& detail) {
    Dialogs().Ask(parent, QMessageBox::NoIcon, ProgramTitle(), text, QMessageBox::Ok, detail);
}

void ShowError(QWidget* parent, const QString& text, const QString& detail) {
    Dialogs().Ask(parent, QMessageBox::Critical, ProgramTitle(), text, QMessageBox::Ok, detail);
}

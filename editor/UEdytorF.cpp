#include "editor/UEdytorF.h"

#include "editor/SynEdit.h"
#include "editor/TextFile.h"
#include "editor/UEdytorFrame.h"
#include "gui/Dialogs.h"
#include "ui_UEdytorF.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QScreen>

TEdytorF::TEdytorF(QWidget* parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::TEdytorF>()) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    FormCreate();
    move(screen()->geometry().topLeft());
    show();
}

TEdytorF::~TEdytorF() = default;

void TEdytorF::FormCreate() {
    EdytorFrame = new TEdytorFrame(this);
    EdytorFrame->setMinimumHeight(70);
    layout()->addWidget(EdytorFrame);
    EdytorFrame->FixedFileName = true;
    setWindowTitle(QStringLiteral("---"));
    EdytorFrame->SynEdit1->ClearAll();
}

void TEdytorF::SetTextSize(int points) {
    EdytorFrame->SynEdit1->SetTextSize(points);
}

void TEdytorF::OpenFile(const QString& name) {
    const QFileInfo file(name);
    if (file.exists() && !file.isDir()) {
        try {
            if (!EdytorFrame->LoadTextFile(name)) {
                close(); // the user chose not to open it
                return;
            }
        } catch (const TextFileError& error) {
            ShowError(this, error.Text());
            return;
        }
    }
    setWindowTitle(name);
    EdytorFrame->FileName = name;
}

void TEdytorF::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

bool TEdytorF::FormCloseQuery() {
    if (!EdytorFrame->SynEdit1->Modified()) {
        return true;
    }
    const auto answer = Dialogs().Ask(this, QMessageBox::Warning, QStringLiteral("Warning"),
                                      tr("Plik nie został zapisany. Zapisać?"),
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        return EdytorFrame->SaveFile();
    }
    return answer == QMessageBox::No;
}

void TEdytorF::FormClose() {
    emit Closed();
}

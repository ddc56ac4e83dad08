#include "help/TAcroPDF.h"

#include "help/PdfPageView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPdfDocument>
#include <QStackedLayout>

namespace {

QString ErrorCause(QPdfDocument::Error error) {
    switch (error) {
    case QPdfDocument::Error::FileNotFound:
        return QStringLiteral("Nie można odczytać pliku.");
    case QPdfDocument::Error::InvalidFileFormat:
        return QStringLiteral("Plik jest uszkodzony albo nie jest plikiem PDF.");
    case QPdfDocument::Error::IncorrectPassword:
        return QStringLiteral("Plik jest chroniony hasłem.");
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return QStringLiteral("Plik używa nieobsługiwanego zabezpieczenia.");
    default:
        return QStringLiteral("Nieznany błąd odczytu pliku PDF.");
    }
}

// Why the file cannot even be opened, in words a user can act on; empty when it can.
QString FileProblem(const QString& path) {
    if (path.isEmpty()) {
        return QStringLiteral("Nie podano nazwy pliku.");
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("Plik nie istnieje.");
    }
    if (info.isDir()) {
        return QStringLiteral("To jest folder, a nie plik.");
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("Brak uprawnień do odczytu pliku albo plik jest zablokowany.");
    }
    return QString();
}

} // namespace

TAcroPDF::TAcroPDF(QWidget* parent) : QWidget(parent) {
    document_ = new QPdfDocument(this);
    view_ = new PdfPageView(this);
    view_->setDocument(document_);
    view_->setPageMode(QPdfView::PageMode::MultiPage);
    view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    view_->setFocusPolicy(Qt::StrongFocus);
    createMessage();

    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(view_);
    stack_->addWidget(message_);
    setFocusProxy(view_);
}

void TAcroPDF::createMessage() {
    message_ = new QLabel(this);
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setMargin(24);
    QFont font = message_->font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    message_->setFont(font);
}

void TAcroPDF::LoadFile(const QString& path) {
    document_->close();
    errorText_.clear();
    QString problem = FileProblem(path);
    if (problem.isEmpty()) {
        const QPdfDocument::Error error = document_->load(path);
        if (error != QPdfDocument::Error::None) {
            problem = ErrorCause(error);
        } else if (document_->pageCount() == 0) {
            problem = QStringLiteral("Plik nie zawiera żadnej strony.");
        }
    }
    if (!problem.isEmpty()) {
        document_->close();
        showError(path, problem);
        emit loaded();
        return;
    }
    stack_->setCurrentWidget(view_);
    view_->fitToWidth();
    view_->showPlace({0, 0});
    emit loaded();
}

void TAcroPDF::showError(const QString& path, const QString& cause) {
    errorText_ = QStringLiteral("Nie można otworzyć podręcznika: %1\n%2")
                     .arg(QDir::toNativeSeparators(path), cause);
    message_->setText(errorText_);
    stack_->setCurrentWidget(message_);
}

void TAcroPDF::zoomIn() {
    view_->zoomIn();
}

void TAcroPDF::zoomOut() {
    view_->zoomOut();
}

void TAcroPDF::fitToWidth() {
    view_->fitToWidth();
}

void TAcroPDF::fitPage() {
    view_->fitPage();
}

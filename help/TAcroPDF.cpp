#include "help/TAcroPDF.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QScreen>
#include <QScrollBar>
#include <QStackedLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;
constexpr int kWheelNotch = 120;

enum class ZoomCommand { In, Out, FitWidth };

// The reader's keys on top of QPdfView: Ctrl+wheel and Ctrl +/-/0 zoom,
// Page Up/Down move a screen, Home/End go to the ends of the document.
class PdfPageView : public QPdfView {
public:
    PdfPageView(QWidget* parent, std::function<void(ZoomCommand)> zoom)
        : QPdfView(parent), zoom_(std::move(zoom)) {}

protected:
    void wheelEvent(QWheelEvent* event) override {
        if (!(event->modifiers() & Qt::ControlModifier)) {
            QPdfView::wheelEvent(event);
            return;
        }
        // Touchpads send fractions of a notch: one zoom step per whole notch.
        wheelAngle_ += event->angleDelta().y();
        while (std::abs(wheelAngle_) >= kWheelNotch) {
            const bool in = wheelAngle_ > 0;
            zoom_(in ? ZoomCommand::In : ZoomCommand::Out);
            wheelAngle_ -= in ? kWheelNotch : -kWheelNotch;
        }
        event->accept();
    }

    void keyPressEvent(QKeyEvent* event) override {
        const bool handled = (event->modifiers() & Qt::ControlModifier) ? zoomKey(event->key())
                                                                        : scrollKey(event->key());
        if (!handled) {
            QPdfView::keyPressEvent(event);
        }
    }

private:
    bool scrollKey(int key) {
        QScrollBar* bar = verticalScrollBar();
        // A screen less one line, so the reader keeps the last line for context.
        const int screen = std::max(1, viewport()->height() - bar->singleStep());
        switch (key) {
        case Qt::Key_PageDown:
            bar->setValue(bar->value() + screen);
            return true;
        case Qt::Key_PageUp:
            bar->setValue(bar->value() - screen);
            return true;
        case Qt::Key_Home:
            bar->setValue(bar->minimum());
            return true;
        case Qt::Key_End:
            bar->setValue(bar->maximum());
            return true;
        default:
            return false;
        }
    }

    bool zoomKey(int key) {
        switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal: // the plus key without Shift on most layouts
            zoom_(ZoomCommand::In);
            return true;
        case Qt::Key_Minus:
            zoom_(ZoomCommand::Out);
            return true;
        case Qt::Key_0:
            zoom_(ZoomCommand::FitWidth);
            return true;
        default:
            return false;
        }
    }

    std::function<void(ZoomCommand)> zoom_;
    int wheelAngle_ = 0;
};

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
    createView();
    createMessage();

    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(view_);
    stack_->addWidget(message_);
    setFocusProxy(view_);
}

void TAcroPDF::createView() {
    view_ = new PdfPageView(this, [this](ZoomCommand command) {
        switch (command) {
        case ZoomCommand::In:
            zoomIn();
            break;
        case ZoomCommand::Out:
            zoomOut();
            break;
        case ZoomCommand::FitWidth:
            fitToWidth();
            break;
        }
    });
    view_->setDocument(document_);
    view_->setPageMode(QPdfView::PageMode::MultiPage);
    view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    view_->setFocusPolicy(Qt::StrongFocus);
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
        return;
    }
    fitToWidth();
    view_->verticalScrollBar()->setValue(0);
    stack_->setCurrentWidget(view_);
}

void TAcroPDF::showError(const QString& path, const QString& cause) {
    errorText_ = QStringLiteral("Nie można otworzyć podręcznika: %1\n%2")
                     .arg(QDir::toNativeSeparators(path), cause);
    message_->setText(errorText_);
    stack_->setCurrentWidget(message_);
}

void TAcroPDF::zoomIn() {
    zoomBy(kZoomStep);
}

void TAcroPDF::zoomOut() {
    zoomBy(1.0 / kZoomStep);
}

void TAcroPDF::fitToWidth() {
    view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    view_->setZoomFactor(1.0);
}

void TAcroPDF::zoomBy(double factor) {
    if (document_->pageCount() == 0) {
        return;
    }
    const double zoom = std::clamp(effectiveZoom() * factor, kMinZoom, kMaxZoom);
    view_->setZoomMode(QPdfView::ZoomMode::Custom);
    view_->setZoomFactor(zoom);
}

// The scale the view draws with; in fit-to-width mode the view keeps it to itself.
double TAcroPDF::effectiveZoom() const {
    if (view_->zoomMode() == QPdfView::ZoomMode::Custom) {
        return view_->zoomFactor();
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double pixelsPerPoint = (screen ? screen->logicalDotsPerInch() : 96.0) / 72.0;
    const double pageWidth = document_->pagePointSize(0).width() * pixelsPerPoint;
    const QMargins margins = view_->documentMargins();
    const int width = view_->viewport()->width() - margins.left() - margins.right();
    return pageWidth > 0 && width > 0 ? width / pageWidth : 1.0;
}

#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPdfDocument;
class PdfPageView;
class QStackedLayout;

// Shows a PDF file in an embedded viewer: all pages in one scrolling column,
// fitted to the width at first. When the file cannot be shown, a Polish message
// naming the file takes the document's place.
class TAcroPDF : public QWidget {
    Q_OBJECT

public:
    explicit TAcroPDF(QWidget* parent = nullptr);

    // Loads and shows `path`; replaces whatever was shown before.
    void LoadFile(const QString& path);

    QPdfDocument* document() const { return document_; }
    PdfPageView* view() const { return view_; }
    bool hasError() const { return !errorText_.isEmpty(); }
    QString errorText() const { return errorText_; }

    // Zoom steps and fits; each keeps the text at the top of the view in place.
    void zoomIn();
    void zoomOut();
    void fitToWidth();
    void fitPage();

signals:
    // A document was shown, or a message in its place.
    void loaded();

private:
    void createMessage();
    void showError(const QString& path, const QString& cause);

    QStackedLayout* stack_ = nullptr;
    PdfPageView* view_ = nullptr;
    QLabel* message_ = nullptr;
    QPdfDocument* document_ = nullptr;
    QString errorText_;
};

#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPdfDocument;
class QPdfView;
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
    QPdfView* view() const { return view_; }
    bool hasError() const { return !errorText_.isEmpty(); }
    QString errorText() const { return errorText_; }

    // Zoom steps and the fitted start, also bound to Ctrl+wheel and Ctrl +/-.
    void zoomIn();
    void zoomOut();
    void fitToWidth();

private:
    void createView();
    void createMessage();
    void showError(const QString& path, const QString& cause);
    void zoomBy(double factor);
    double effectiveZoom() const;

    QStackedLayout* stack_ = nullptr;
    QPdfView* view_ = nullptr;
    QLabel* message_ = nullptr;
    QPdfDocument* document_ = nullptr;
    QString errorText_;
};

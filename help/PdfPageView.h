#pragma once

#include <QList>
#include <QPdfView>
#include <QRectF>

// An area of a page, such as a search match: rectangles in points from the
// page's top-left corner.
struct PdfArea {
    int page = -1;
    QList<QRectF> rects;
};

// A height on a page, in points from its top edge.
struct PdfPlace {
    int page = -1;
    double top = 0;
};

// QPdfView with what a reader expects of it: zoom that keeps the text at the
// top of the view where it was (also when the window is resized), the page
// being read, moves to a page or a place on it, and search matches drawn over
// the pages. Keys: Page Up/Down move a screen, Home/End go to the ends;
// Ctrl+wheel zooms.
class PdfPageView : public QPdfView {
    Q_OBJECT

public:
    explicit PdfPageView(QWidget* parent = nullptr);

    void zoomIn();
    void zoomOut();
    void fitToWidth();
    void fitPage();

    // The page (from 0) the reader is at: the one under the upper part of the view.
    int currentPage() const { return currentPage_; }
    // What the top of the view shows; the page is -1 without a document.
    PdfPlace topOfView() const;
    // Shows the place at the top of the view; a page's top edge with a little
    // of the gap above it.
    void showPlace(const PdfPlace& place);
    // Scrolls as little as needed to show the area, centred when it was out of sight.
    void reveal(const PdfArea& area);
    // Matches drawn over the pages; `current` stands out.
    void setMatches(const QList<PdfArea>& matches, int current);

    // Where the view draws a page, in its scrolled coordinates (pixels from the
    // top-left of all pages).
    QRectF pageRect(int page) const;

signals:
    void currentPageChanged(int page);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The text at the top of the view: the page and how far down it, and the
    // horizontal middle of the view across it, both as shares of the page.
    struct ReadingPosition {
        int page = -1;
        double down = 0;
        double across = 0.5;
    };

    QList<QRect> layOutPages() const;
    // How many pixels a point is on the page the view draws at `rect`.
    double pixelsPerPoint(int page, const QRectF& rect) const;
    void documentStatusChanged();
    ReadingPosition positionNow(const QList<QRect>& pages) const;
    void keepPosition(const ReadingPosition& position);
    void setZoom(ZoomMode mode, double factor);
    double zoomNow() const;
    void updateCurrentPage(const QList<QRect>& pages);
    bool scrollKey(int key);

    const double pixelsPerPointAt100_; // as QPdfView takes it at its construction
    ReadingPosition position_;
    bool holding_ = false;
    int currentPage_ = -1;
    int wheelAngle_ = 0;
    QList<PdfArea> matches_;
    int currentMatch_ = -1;
};

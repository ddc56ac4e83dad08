#include "help/PdfPageView.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPdfDocument>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;
constexpr int kWheelNotch = 120;
constexpr double kCurrentPageLine = 0.4; // where QPdfView, too, looks for the current page
const QColor kMatchColour(255, 215, 0, 110);
const QColor kCurrentMatchColour(255, 120, 0, 140);

// A page's rectangle from a layout; an invalid one when there is no such page.
QRectF PageIn(const QList<QRect>& pages, int page) {
    return page >= 0 && page < pages.size() ? QRectF(pages[page]) : QRectF();
}

// The page at a height of the column of pages; the gap above a page is its own.
int PageAt(const QList<QRect>& pages, double y, int spacing) {
    int page = 0;
    while (page + 1 < pages.size() && pages[page + 1].top() - spacing <= y) {
        ++page;
    }
    return page;
}

// An area given in points on a page, where the view draws it: `page` is the
// page's rectangle in pixels, `scale` pixels per point there.
QRectF AreaInPixels(const QRectF& page, const QRectF& area, double scale) {
    return QRectF(page.topLeft() + area.topLeft() * scale, area.size() * scale);
}

double ScreenPixelsPerPoint() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? screen->logicalDotsPerInch() : 96.0) / 72.0;
}

} // namespace

PdfPageView::PdfPageView(QWidget* parent)
    : QPdfView(parent), pixelsPerPointAt100_(ScreenPixelsPerPoint()) {
    connect(this, &QPdfView::documentChanged, this, [this](QPdfDocument* document) {
        if (document) {
            connect(document, &QPdfDocument::statusChanged, this,
                    &PdfPageView::documentStatusChanged);
        }
        documentStatusChanged();
    });
}

void PdfPageView::documentStatusChanged() {
    position_ = {};
    matches_.clear();
    currentMatch_ = -1;
    updateCurrentPage(layOutPages());
}

// The same arithmetic as QPdfView's own layout, which it keeps to itself: pages
// one under the other, centred, each scaled by the zoom mode.
QList<QRect> PdfPageView::layOutPages() const {
    const QPdfDocument* doc = document();
    if (!doc || doc->status() != QPdfDocument::Status::Ready) {
        return {};
    }
    const QMargins margins = documentMargins();
    const QSize viewportSize = viewport()->size();
    QList<QRect> pages;
    int widest = 0;
    for (int page = 0; page < doc->pageCount(); ++page) {
        const QSizeF points = doc->pagePointSize(page);
        QSize size = (points * pixelsPerPointAt100_).toSize();
        switch (zoomMode()) {
        case ZoomMode::Custom:
            size = (points * pixelsPerPointAt100_ * zoomFactor()).toSize();
            break;
        case ZoomMode::FitToWidth:
            size *= qreal(viewportSize.width() - margins.left() - margins.right()) /
                    qreal(size.width());
            break;
        case ZoomMode::FitInView:
            size =
                size.scaled(viewportSize - QSize(margins.left() + margins.right(), pageSpacing()),
                            Qt::KeepAspectRatio);
            break;
        }
        widest = std::max(widest, size.width());
        pages.append(QRect(QPoint(0, 0), size));
    }
    const int width = std::max(widest + margins.left() + margins.right(), viewportSize.width());
    int y = margins.top();
    for (QRect& page : pages) {
        page.moveTopLeft(QPoint((width - page.width()) / 2, y));
        y += page.height() + pageSpacing();
    }
    return pages;
}

QRectF PdfPageView::pageRect(int page) const {
    return PageIn(layOutPages(), page);
}

double PdfPageView::pixelsPerPoint(int page, const QRectF& rect) const {
    const double width = rect.isValid() ? document()->pagePointSize(page).width() : 0;
    return width > 0 ? rect.width() / width : pixelsPerPointAt100_;
}

PdfPageView::ReadingPosition PdfPageView::positionNow(const QList<QRect>& pages) const {
    if (pages.isEmpty()) {
        return {};
    }
    const int y = verticalScrollBar()->value();
    const int page = PageAt(pages, y, pageSpacing());
    const QRect& rect = pages[page];
    const double middle = horizontalScrollBar()->value() + viewport()->width() / 2.0;
    return {page, (y - rect.top()) / double(rect.height()),
            (middle - rect.left()) / double(rect.width())};
}

void PdfPageView::keepPosition(const ReadingPosition& position) {
    const QList<QRect> pages = layOutPages();
    const QRectF rect = PageIn(pages, position.page);
    if (rect.isValid()) {
        holding_ = true;
        verticalScrollBar()->setValue(qRound(rect.top() + position.down * rect.height()));
        horizontalScrollBar()->setValue(
            qRound(rect.left() + position.across * rect.width() - viewport()->width() / 2.0));
        holding_ = false;
    }
    updateCurrentPage(pages);
}

PdfPlace PdfPageView::topOfView() const {
    const ReadingPosition now = positionNow(layOutPages());
    if (now.page < 0) {
        return {};
    }
    return {now.page, now.down * document()->pagePointSize(now.page).height()};
}

void PdfPageView::showPlace(const PdfPlace& place) {
    const QList<QRect> pages = layOutPages();
    const QRectF rect = PageIn(pages, place.page);
    if (!rect.isValid()) {
        return;
    }
    double y = rect.top() + place.top * pixelsPerPoint(place.page, rect);
    if (place.top <= 0) {
        y -= place.page == 0 ? documentMargins().top() : pageSpacing();
    }
    verticalScrollBar()->setValue(qRound(y));
    position_ = positionNow(pages);
    updateCurrentPage(pages);
}

void PdfPageView::reveal(const PdfArea& area) {
    const QRectF page = pageRect(area.page);
    const double scale = pixelsPerPoint(area.page, page);
    QRectF target;
    for (const QRectF& r : area.rects) {
        target |= AreaInPixels(page, r, scale);
    }
    if (target.isEmpty()) {
        return;
    }
    const QRectF visible(horizontalScrollBar()->value(), verticalScrollBar()->value(),
                         viewport()->width(), viewport()->height());
    if (target.top() < visible.top() || target.bottom() > visible.bottom()) {
        verticalScrollBar()->setValue(qRound(target.center().y() - visible.height() / 2));
    }
    if (target.left() < visible.left() || target.right() > visible.right()) {
        horizontalScrollBar()->setValue(qRound(target.center().x() - visible.width() / 2));
    }
}

void PdfPageView::setMatches(const QList<PdfArea>& matches, int current) {
    matches_ = matches;
    currentMatch_ = current;
    viewport()->update();
}

// The scale the view draws with; the fit modes keep theirs to themselves.
double PdfPageView::zoomNow() const {
    if (zoomMode() == ZoomMode::Custom) {
        return zoomFactor();
    }
    const int page = std::max(0, currentPage_);
    return pixelsPerPoint(page, pageRect(page)) / pixelsPerPointAt100_;
}

void PdfPageView::setZoom(ZoomMode mode, double factor) {
    if (!document() || document()->pageCount() == 0) {
        return;
    }
    if (position_.page < 0) {
        position_ = positionNow(layOutPages());
    }
    holding_ = true;
    setZoomFactor(factor);
    setZoomMode(mode);
    holding_ = false;
    keepPosition(position_);
}

void PdfPageView::zoomIn() {
    setZoom(ZoomMode::Custom, std::clamp(zoomNow() * kZoomStep, kMinZoom, kMaxZoom));
}

void PdfPageView::zoomOut() {
    setZoom(ZoomMode::Custom, std::clamp(zoomNow() / kZoomStep, kMinZoom, kMaxZoom));
}

void PdfPageView::fitToWidth() {
    setZoom(ZoomMode::FitToWidth, zoomFactor());
}

void PdfPageView::fitPage() {
    setZoom(ZoomMode::FitInView, zoomFactor());
}

void PdfPageView::updateCurrentPage(const QList<QRect>& pages) {
    const double line = verticalScrollBar()->value() + viewport()->height() * kCurrentPageLine;
    const int page = pages.isEmpty() ? -1 : PageAt(pages, line, pageSpacing());
    if (page != currentPage_) {
        currentPage_ = page;
        emit currentPageChanged(page);
    }
}

void PdfPageView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QPdfView::wheelEvent(event);
        return;
    }
    // Touchpads send fractions of a notch: one zoom step per whole notch.
    wheelAngle_ += event->angleDelta().y();
    while (std::abs(wheelAngle_) >= kWheelNotch) {
        const bool in = wheelAngle_ > 0;
        in ? zoomIn() : zoomOut();
        wheelAngle_ -= in ? kWheelNotch : -kWheelNotch;
    }
    event->accept();
}

void PdfPageView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & Qt::ControlModifier || !scrollKey(event->key())) {
        QPdfView::keyPressEvent(event);
    }
}

bool PdfPageView::scrollKey(int key) {
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

// The view lays the pages out again for its new size; the text that was at
// the top goes back there.
void PdfPageView::resizeEvent(QResizeEvent* event) {
    holding_ = true;
    QPdfView::resizeEvent(event);
    holding_ = false;
    keepPosition(position_);
}

void PdfPageView::scrollContentsBy(int dx, int dy) {
    QPdfView::scrollContentsBy(dx, dy);
    if (!holding_) {
        const QList<QRect> pages = layOutPages();
        position_ = positionNow(pages);
        updateCurrentPage(pages);
    }
}

void PdfPageView::paintEvent(QPaintEvent* event) {
    QPdfView::paintEvent(event);
    if (matches_.isEmpty()) {
        return;
    }
    QPainter painter(viewport());
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const QRectF visible(horizontalScrollBar()->value(), verticalScrollBar()->value(),
                         viewport()->width(), viewport()->height());
    const QList<QRect> pages = layOutPages();
    for (int i = 0; i < matches_.size(); ++i) {
        const PdfArea& match = matches_[i];
        if (match.page < 0 || match.page >= pages.size() ||
            !visible.intersects(pages[match.page])) {
            continue;
        }
        const QRectF page = pages[match.page];
        const double scale = page.width() / document()->pagePointSize(match.page).width();
        for (const QRectF& r : match.rects) {
            const QRectF area = AreaInPixels(page, r, scale);
            if (i == currentMatch_) {
                painter.setPen(QPen(kCurrentMatchColour.darker(), 1.5));
                painter.setBrush(kCurrentMatchColour);
                painter.drawRect(area.adjusted(-1, -1, 1, 1));
            } else {
                painter.fillRect(area, kMatchColour);
            }
        }
    }
}

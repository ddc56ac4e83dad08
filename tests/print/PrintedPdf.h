#pragma once

#include <QPdfDocument>
#include <QRectF>
#include <QString>
#include <QStringList>

// A text split at white space, as a reader of the printed page sees it: a
// reader does not keep runs of spaces nor, reliably, the breaks between rows.
QStringList WordsOf(const QString& text);

// A PDF written by the print engine, read back the way a reader sees it.
// Coordinates are PDF points from the top-left corner of the page.
class PrintedPdf {
public:
    static constexpr double kPointsPerMm = 72.0 / 25.4;

    explicit PrintedPdf(const QString& path);

    bool IsReady() const { return document_.status() == QPdfDocument::Status::Ready; }
    int PageCount() const { return document_.pageCount(); }
    QSizeF PageSize(int page) const { return document_.pagePointSize(page); }
    QString Title() const;

    // The words of one page, and of each page in turn.
    QStringList Words(int page);
    QList<QStringList> WordsOfPages();
    // The box around every glyph on the page.
    QRectF InkBounds(int page);
    // The box of the `occurrence`-th (0-based) glyph `c` on the page; null if absent.
    QRectF GlyphBox(int page, QChar c, int occurrence = 0);
    // Distance on page 1 between the first glyph `c` and the one `columns`
    // characters later on its row, divided by `columns`.
    double Pitch(QChar c, int columns);

private:
    QPdfDocument document_;
};

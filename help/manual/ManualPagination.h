#pragma once

#include <QList>
#include <QStringList>

class QPainter;
class QTextDocument;

// The stretch of a document laid out as one column that one page shows, in
// layout pixels from the document's top.
struct PageSpan {
    double top = 0;
    double bottom = 0;
};

// Cuts a document laid out as one column (QTextDocument::setTextWidth) into
// pages at most `pageHeight` high, as a typesetter would:
// - a page never ends right after a heading or after a paragraph that ends with
//   a colon (it introduces what follows);
// - a paragraph is cut only with at least two of its lines on either side, and
//   so is a block of preformatted lines; list items and table rows are never cut;
// - a table's header row stays with its first row;
// - a chapter (top-level heading) that would begin in the last fifth of a page
//   begins the next page, and a block marked page-break-before always does.
// A paragraph cut by a page break is split into two blocks there, so that every
// page shows whole blocks and whole table rows: drawn with the clip of its span
// (DrawPage), a page then shows each line of text exactly once. Places where
// these rules cannot hold (content taller than a page) are added to `warnings`.
QList<PageSpan> Paginate(QTextDocument& doc, double pageHeight, QStringList& warnings);

// The page (from 0) that shows the document height `y`.
int PageAt(const QList<PageSpan>& pages, double y);

// Draws one page's span of the document at the painter's origin. Only the
// blocks and rows of that span are drawn, so no line of a neighbouring page
// gets into the page's text; table borders on the cut are kept.
void DrawPage(QPainter& painter, const QTextDocument& doc, const PageSpan& span);

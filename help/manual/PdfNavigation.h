#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

// A place in a PDF: a page (from 0) and a height on it, in points from the
// page's top edge.
struct PdfPlace {
    int page = 0;
    double top = 0;
};

// A bookmark; level 1 is a chapter, level 2 a section shown under the
// chapter before it.
struct PdfBookmark {
    QString title;
    int level = 1;
    PdfPlace place;
};

// A clickable area of a page, in points from the page's top-left corner, that
// leads to another place of the document.
struct PdfLink {
    int page = 0;
    QRectF area;
    PdfPlace target;
};

// Gives a finished PDF an outline (bookmarks) and internal links. Qt's PDF
// writer has neither, so they are appended as an incremental update, the
// standard way of changing a PDF without rewriting it: new versions of the
// catalog and of the pages' annotation arrays, the new objects, and a
// cross-reference section of its own chained to the original one. Returns an
// error text (English, for the build log), empty on success; `pdf` is
// unchanged on failure.
QString AddNavigation(QByteArray& pdf, const QList<PdfBookmark>& bookmarks,
                      const QList<PdfLink>& links);

#pragma once

#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The manual's HTML source made ready for layout: figures whose picture is
// missing left out, pictures read and narrowed to the page.
struct ManualSource {
    QString html;
    QMap<QString, QImage> pictures; // by the name the HTML uses
};

ManualSource PrepareSource(const QString& html, const QString& folder, double pageWidth,
                           QStringList& warnings);

// One line of the table of contents: a chapter and the page it begins on.
struct ContentsEntry {
    QString title;
    int page = 0;
    bool operator==(const ContentsEntry&) const = default;
};

// The source with the table of contents in place of its marker. Each entry's
// title carries an anchor name from which ContentsIndex gives the entry's
// index back, so that the builder can make the entry a link.
QString WithContents(const QString& html, const QList<ContentsEntry>& entries);
int ContentsIndex(const QString& anchorName); // -1 for other anchors

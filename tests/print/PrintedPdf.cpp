#include "PrintedPdf.h"

#include <QPdfSelection>
#include <QRegularExpression>

PrintedPdf::PrintedPdf(const QString& path) {
    document_.load(path);
}

QString PrintedPdf::Title() const {
    return document_.metaData(QPdfDocument::MetaDataField::Title).toString();
}

QStringList WordsOf(const QString& text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.split(space, Qt::SkipEmptyParts);
}

QStringList PrintedPdf::Words(int page) {
    return WordsOf(document_.getAllText(page).text());
}

QList<QStringList> PrintedPdf::WordsOfPages() {
    QList<QStringList> pages;
    for (int page = 0; page < PageCount(); ++page) {
        pages.append(Words(page));
    }
    return pages;
}

QRectF PrintedPdf::InkBounds(int page) {
    return document_.getAllText(page).boundingRectangle();
}

QRectF PrintedPdf::GlyphBox(int page, QChar c, int occurrence) {
    const QString text = document_.getAllText(page).text();
    qsizetype index = -1;
    for (int i = 0; i <= occurrence; ++i) {
        index = text.indexOf(c, index + 1);
        if (index < 0) {
            return {};
        }
    }
    return document_.getSelectionAtIndex(page, static_cast<int>(index), 1).boundingRectangle();
}

double PrintedPdf::Pitch(QChar c, int columns) {
    return (GlyphBox(0, c, columns).left() - GlyphBox(0, c, 0).left()) / columns;
}

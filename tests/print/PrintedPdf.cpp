#include "PrintedPdf.h"

#include <QPdfSelection>
#include <QRegularExpression>

PrintedPdf::PrintedPdf(const QString& path) {
    document_.load(path);
}

QString PrintedPdf::Title() const {
    return document_.metaData(QPdfDocument::MetaDataField::Title).toString();
}

QStringList PrintedPdf::Words(int page) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return document_.getAllText(page).text().split(space, Qt::SkipEmptyParts);
}

QRectF PrintedPdf::InkBounds(int page) {
    return document_.getAllText(page).boundingRectangle();
}

QRectF PrintedPdf::GlyphBox(int page, QChar c, int occurrence) {
    const QString text = document_.getAllText(page).text();
    qsizetype index = -1;
    for (int i = 0; i <= occurrence; ++i) {
        index = text.indexOf(c, index + 1);
        if (index < 0)
            return {};
    }
    return document_.getSelectionAtIndex(page, static_cast<int>(index), 1).boundingRectangle();
}

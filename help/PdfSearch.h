#pragma once

#include "help/PdfPageView.h"

#include <QList>
#include <QObject>
#include <QPdfSearchModel>
#include <QString>

class QPdfDocument;

// Search in a PDF through Qt's search model: every match of a text, in page
// order, and the one the reader is at. Letter case does not matter.
class PdfSearch : public QObject {
    Q_OBJECT

public:
    explicit PdfSearch(QPdfDocument* document, QObject* parent = nullptr);

    // Finds every match of `text` (again, after the document changed); none
    // is current until the first move.
    void setText(const QString& text);
    QString text() const { return text_; }
    const QList<PdfArea>& matches() const { return matches_; }

    // With no current match, the first one at or after `from`; else the one
    // after (before) the current one, going round the ends. -1 without matches.
    int next(const PdfPlace& from);
    int previous(const PdfPlace& from);

private:
    int firstFrom(const PdfPlace& from) const;
    int moveTo(int index);

    QPdfSearchModel model_;
    QString text_;
    QList<PdfArea> matches_;
    int current_ = -1;
};

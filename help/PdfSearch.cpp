#include "help/PdfSearch.h"

#include <QPdfDocument>
#include <QPdfLink>

PdfSearch::PdfSearch(QPdfDocument* document, QObject* parent) : QObject(parent) {
    model_.setDocument(document);
}

void PdfSearch::setText(const QString& text) {
    text_ = text;
    matches_.clear();
    current_ = -1;
    // The model searches a page when asked for it; a fresh string drops what it found before.
    model_.setSearchString(QString());
    model_.setSearchString(text);
    const QPdfDocument* document = model_.document();
    for (int page = 0; !text.isEmpty() && document && page < document->pageCount(); ++page) {
        for (const QPdfLink& found : model_.resultsOnPage(page)) {
            matches_.append({page, found.rectangles()});
        }
    }
}

int PdfSearch::firstFrom(const PdfPlace& from) const {
    for (int i = 0; i < matches_.size(); ++i) {
        const PdfArea& match = matches_[i];
        const double top = match.rects.isEmpty() ? 0 : match.rects.first().top();
        if (match.page > from.page || (match.page == from.page && top >= from.top)) {
            return i;
        }
    }
    return 0;
}

int PdfSearch::moveTo(int index) {
    current_ = matches_.isEmpty() ? -1 : (index + int(matches_.size())) % int(matches_.size());
    return current_;
}

int PdfSearch::next(const PdfPlace& from) {
    return moveTo(current_ < 0 ? firstFrom(from) : current_ + 1);
}

int PdfSearch::previous(const PdfPlace& from) {
    return moveTo(current_ < 0 ? firstFrom(from) - 1 : current_ - 1);
}

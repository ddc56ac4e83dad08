#include "help/manual/ManualPagination.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <limits>

namespace {

constexpr int kMinLines = 2;         // lines of a cut paragraph left on either page
constexpr double kChapterRoom = 0.2; // share of a page a chapter needs below its heading
constexpr double kEdge = 0.5;        // keeps the text on a cut out of the neighbouring page
constexpr double kBleed = 2.0;       // shows table borders that lie on a cut

// A place where a page may end and the next begin.
struct Break {
    double top = 0; // where the next page begins
    double end = 0; // where the content before it ends
    bool allowed = true;
    bool forced = false;
    bool chapter = false;
    int splitAt = -1; // inside a paragraph: the position at which to split it
};

bool IsEmpty(const QTextBlock& block) {
    return block.text().trimmed().isEmpty() && !block.blockFormat().nonBreakableLines();
}

// Walks the top level of a laid-out document and lists every place where a
// page could break, with the rules that forbid or force a break there.
class BreakFinder {
public:
    explicit BreakFinder(const QTextDocument& doc) : doc_(doc), layout_(doc.documentLayout()) {}

    QList<Break> Find() {
        for (auto it = doc_.rootFrame()->begin(); !it.atEnd(); ++it) {
            if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
                AddTable(table);
            } else if (QTextFrame* frame = it.currentFrame()) {
                AddUnit(layout_->frameBoundingRect(frame));
            } else {
                AddBlock(it.currentBlock());
            }
        }
        ClosePreformatted();
        return breaks_;
    }

private:
    void Add(double top, bool allowed, bool forced = false, bool chapter = false,
             int splitAt = -1) {
        breaks_.append({top, end_, allowed && !keepWithNext_, forced, chapter, splitAt});
    }

    void AddUnit(const QRectF& rect) {
        ClosePreformatted();
        Add(rect.top(), true);
        end_ = rect.bottom();
        keepWithNext_ = false;
    }

    void AddBlock(const QTextBlock& block) {
        if (IsEmpty(block)) {
            return;
        }
        const QTextBlockFormat format = block.blockFormat();
        const QRectF rect = layout_->blockBoundingRect(block);
        if (format.nonBreakableLines()) {
            AddPreformattedLine(rect);
            return;
        }
        ClosePreformatted();
        const bool forced = format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
        Add(rect.top(), true, forced, format.headingLevel() == 1);
        if (format.headingLevel() == 0 && !block.textList()) {
            AddLinesOf(block, rect);
        }
        end_ = rect.bottom();
        keepWithNext_ = format.headingLevel() > 0 || block.text().trimmed().endsWith(':');
    }

    // Breaks between the lines of a paragraph, where it would be split.
    void AddLinesOf(const QTextBlock& block, const QRectF& rect) {
        const QTextLayout* lines = block.layout();
        const double origin = rect.top() - lines->boundingRect().top();
        for (int i = kMinLines; i <= lines->lineCount() - kMinLines; ++i) {
            const QTextLine line = lines->lineAt(i);
            end_ = origin + lines->lineAt(i - 1).rect().bottom();
            keepWithNext_ = false;
            Add(origin + line.y(), true, false, false, block.position() + line.textStart());
        }
    }

    // Lines of a <pre> are blocks of their own; they break like a paragraph's.
    void AddPreformattedLine(const QRectF& rect) {
        if (preLines_ == 0) {
            ClosePreformatted();
            Add(rect.top(), true);
        } else {
            pendingPre_.append({int(breaks_.size()), preLines_});
            Add(rect.top(), preLines_ >= kMinLines);
        }
        ++preLines_;
        end_ = rect.bottom();
        keepWithNext_ = false;
    }

    void ClosePreformatted() {
        for (const auto& [index, line] : pendingPre_) {
            breaks_[index].allowed = breaks_[index].allowed && preLines_ - line >= kMinLines;
        }
        pendingPre_.clear();
        preLines_ = 0;
    }

    struct Row {
        double top = std::numeric_limits<double>::max();
        double bottom = std::numeric_limits<double>::lowest();
    };

    QList<Row> RowsOf(const QTextTable* table) const {
        QList<Row> rows(table->rows());
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c) {
                    continue; // spanned: counted in its first row
                }
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    const QRectF rect = layout_->blockBoundingRect(it.currentBlock());
                    rows[r].top = std::min(rows[r].top, rect.top());
                    rows[r].bottom = std::max(rows[r].bottom, rect.bottom());
                }
            }
        }
        return rows;
    }

    void AddTable(const QTextTable* table) {
        ClosePreformatted();
        const QList<Row> rows = RowsOf(table);
        if (rows.isEmpty()) {
            return;
        }
        const QTextTableFormat format = table->format();
        const double edge = format.cellPadding() + format.border() + 1.0;
        Add(rows.first().top - edge, true);
        keepWithNext_ = false;
        const int header = format.headerRowCount();
        for (int r = 1; r < rows.size(); ++r) {
            const double cut = (rows[r - 1].bottom + rows[r].top) / 2;
            end_ = cut;
            Add(cut, header == 0 || r != header);
        }
        end_ = rows.last().bottom + edge;
    }

    const QTextDocument& doc_;
    QAbstractTextDocumentLayout* layout_;
    QList<Break> breaks_;
    double end_ = 0;
    bool keepWithNext_ = false;
    int preLines_ = 0;
    QList<std::pair<int, int>> pendingPre_; // break index, line of the block before which it lies
};

QString Where(double y) {
    return QStringLiteral("%1 px from the top of the document").arg(qRound(y));
}

// Fills each page as far as the rules allow, from the top down.
QList<int> ChooseBreaks(const QList<Break>& breaks, double documentEnd, double pageHeight,
                        QStringList& warnings) {
    QList<int> chosen;
    double start = 0;
    int from = 0;
    for (;;) {
        int forced = -1, best = -1, any = -1, lateChapter = -1;
        int i = from;
        for (; i < breaks.size(); ++i) {
            const Break& b = breaks[i];
            if (b.top <= start + kEdge) {
                continue;
            }
            if (b.end - start > pageHeight) {
                break;
            }
            if (b.forced) {
                forced = i;
                break;
            }
            any = i;
            if (!b.allowed) {
                continue;
            }
            best = i;
            if (b.chapter && lateChapter < 0 && b.top - start > pageHeight * (1 - kChapterRoom)) {
                lateChapter = i;
            }
        }
        int pick = forced;
        if (pick < 0) {
            if (i == breaks.size() && documentEnd - start <= pageHeight) {
                return chosen;
            }
            pick = lateChapter >= 0 ? lateChapter : best;
        }
        if (pick < 0 && any >= 0) {
            warnings << QStringLiteral("no good page break near ") + Where(start + pageHeight);
            pick = any;
        }
        if (pick < 0) {
            if (i == breaks.size()) {
                warnings << QStringLiteral("content taller than a page at ") + Where(start);
                return chosen;
            }
            warnings << QStringLiteral("content taller than a page at ") + Where(start);
            pick = i;
        }
        chosen.append(pick);
        start = breaks[pick].top;
        from = pick + 1;
    }
}

// The rest of the paragraph becomes a block of its own, without the space a
// paragraph has above it, so the layout does not move.
void SplitParagraph(QTextDocument& doc, int position) {
    QTextCursor cursor(&doc);
    cursor.setPosition(position);
    const QTextBlock block = cursor.block();
    QTextBlockFormat first = block.blockFormat();
    QTextBlockFormat rest = first;
    first.setBottomMargin(0);
    rest.setTopMargin(0);
    rest.setTextIndent(0);
    rest.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    cursor.insertBlock(rest, cursor.charFormat());
    QTextCursor(block).setBlockFormat(first);
}

} // namespace

QList<PageSpan> Paginate(QTextDocument& doc, double pageHeight, QStringList& warnings) {
    constexpr int kPasses = 3;
    for (int pass = 0;; ++pass) {
        const QList<Break> breaks = BreakFinder(doc).Find();
        const double documentEnd = doc.documentLayout()->documentSize().height();
        QStringList found;
        const QList<int> chosen = ChooseBreaks(breaks, documentEnd, pageHeight, found);

        QList<int> splits;
        for (int index : chosen) {
            if (breaks[index].splitAt >= 0) {
                splits.prepend(breaks[index].splitAt); // from the end: positions stay valid
            }
        }
        if (splits.isEmpty() || pass == kPasses) {
            warnings << found;
            if (!splits.isEmpty()) {
                warnings << QStringLiteral("paragraphs on a page break could not be split");
            }
            QList<PageSpan> pages;
            double top = 0;
            for (int index : chosen) {
                pages.append({top, breaks[index].end});
                top = breaks[index].top;
            }
            pages.append({top, std::max(top, documentEnd)});
            return pages;
        }
        for (int position : splits) {
            SplitParagraph(doc, position);
        }
    }
}

int PageAt(const QList<PageSpan>& pages, double y) {
    for (int i = pages.size() - 1; i > 0; --i) {
        if (y >= pages[i].top - kEdge) {
            return i;
        }
    }
    return 0;
}

void DrawPage(QPainter& painter, const QTextDocument& doc, const PageSpan& span) {
    constexpr double kWide = 1e5; // list bullets and borders may stand left of the text
    const double height = span.bottom - span.top;
    painter.save();
    painter.translate(0, -span.top);
    painter.setClipRect(QRectF(-kWide, span.top - kBleed, 2 * kWide, height + 2 * kBleed));
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(-kWide, span.top + kEdge, 2 * kWide, height - 2 * kEdge);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

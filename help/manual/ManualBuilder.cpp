// Turns the manual's HTML source into an A4 PDF with a running header, page
// numbers, a clickable table of contents and bookmarks for its chapters. Runs
// at build time, without a display (offscreen platform).
#include "help/manual/ManualPagination.h"
#include "help/manual/ManualSource.h"
#include "help/manual/PdfNavigation.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <cstdio>

namespace {

constexpr double kLayoutDpi = 96.0; // the document is laid out in CSS pixels
constexpr double kPointsPerPixel = 72.0 / kLayoutDpi;
constexpr double kMmPerInch = 25.4;
const QMarginsF kPageMarginsMm(20.0, 12.0, 20.0, 12.0);
constexpr double kHeaderMm = 12.0;
constexpr double kFooterMm = 12.0;
constexpr double kAboveTarget = 6.0; // points of space shown above a link's target
constexpr int kLayoutPasses = 4;

double MmToPixels(double mm) {
    return mm * kLayoutDpi / kMmPerInch;
}

void Warn(const QString& text) {
    std::fprintf(stderr, "manual: %s\n", qPrintable(text));
}

struct PageGeometry {
    QPointF origin; // top-left of the printable area, points from the sheet's corner
    QRectF body;    // where the document's pages go, CSS pixels from the origin
    QRectF header;  // running title
    QRectF footer;  // page number
};

PageGeometry Geometry(const QPdfWriter& writer) {
    PageGeometry g;
    const QRectF paint = writer.pageLayout().paintRect(QPageLayout::Millimeter);
    g.origin = writer.pageLayout().paintRect(QPageLayout::Point).topLeft();
    const QSizeF page(MmToPixels(paint.width()), MmToPixels(paint.height()));
    const double header = MmToPixels(kHeaderMm);
    const double footer = MmToPixels(kFooterMm);
    g.header = QRectF(0, 0, page.width(), header * 0.6);
    g.body = QRectF(0, header, page.width(), page.height() - header - footer);
    g.footer = QRectF(0, page.height() - footer * 0.6, page.width(), footer * 0.6);
    return g;
}

// A heading of the laid-out manual: chapters (level 1) and their sections (level 2).
struct Heading {
    QString title;
    int level = 1;
    double top = 0; // layout pixels from the document's top
};

QList<Heading> Headings(const QTextDocument& doc) {
    QList<Heading> headings;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        const int level = block.isValid() ? block.blockFormat().headingLevel() : 0;
        if (level == 1 || level == 2) {
            const double top = doc.documentLayout()->blockBoundingRect(block).top();
            headings.append({block.text().simplified(), level, top});
        }
    }
    return headings;
}

QList<ContentsEntry> Contents(const QList<Heading>& headings, const QList<PageSpan>& pages) {
    QList<ContentsEntry> entries;
    for (const Heading& h : headings) {
        if (h.level == 1) {
            entries.append({h.title, PageAt(pages, h.top) + 1});
        }
    }
    return entries;
}

// The manual laid out and cut into pages.
struct Manual {
    QTextDocument doc;
    QList<PageSpan> pages;
    QList<Heading> headings;
};

// The table of contents needs the page numbers of a finished layout, and the
// table itself moves what follows it: lay out until the numbers hold. The
// pictures stay with the document when setHtml replaces its text.
void LayOut(Manual& manual, const ManualSource& source, const PageGeometry& g) {
    for (auto it = source.pictures.cbegin(); it != source.pictures.cend(); ++it) {
        manual.doc.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
    }
    QList<ContentsEntry> contents;
    for (int pass = 0; pass < kLayoutPasses; ++pass) {
        manual.doc.setHtml(WithContents(source.html, contents));
        manual.doc.setTextWidth(g.body.width());
        QStringList warnings;
        manual.pages = Paginate(manual.doc, g.body.height(), warnings);
        manual.headings = Headings(manual.doc);
        const QList<ContentsEntry> found = Contents(manual.headings, manual.pages);
        if (found == contents) {
            for (const QString& warning : warnings) {
                Warn(warning);
            }
            return;
        }
        contents = found;
    }
    Warn(QStringLiteral("table of contents did not settle"));
}

PdfPlace PlaceOf(const Manual& manual, const PageGeometry& g, double y) {
    const int page = PageAt(manual.pages, y);
    const double pixels = g.body.top() + y - manual.pages[page].top;
    return {page, std::max(0.0, g.origin.y() + pixels * kPointsPerPixel - kAboveTarget)};
}

QList<PdfBookmark> Bookmarks(const Manual& manual, const PageGeometry& g) {
    QList<PdfBookmark> bookmarks;
    for (const Heading& h : manual.headings) {
        bookmarks.append({h.title, h.level, PlaceOf(manual, g, h.top)});
    }
    return bookmarks;
}

// The row of the table of contents that holds `block`, in layout pixels.
QRectF RowArea(const QTextDocument& doc, const QTextBlock& block) {
    QTextTable* table = QTextCursor(block).currentTable();
    if (!table) {
        return doc.documentLayout()->blockBoundingRect(block);
    }
    const int row = table->cellAt(block.position()).row();
    QRectF area;
    for (int c = 0; c < table->columns(); ++c) {
        const QTextTableCell cell = table->cellAt(row, c);
        for (auto it = cell.begin(); !it.atEnd(); ++it) {
            area |= doc.documentLayout()->blockBoundingRect(it.currentBlock());
        }
    }
    return area;
}

// The chapter an entry of the table of contents stands for, or -1.
int ContentsEntryOf(const QTextBlock& block) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        for (const QString& name : it.fragment().charFormat().anchorNames()) {
            if (const int index = ContentsIndex(name); index >= 0) {
                return index;
            }
        }
    }
    return -1;
}

// Each entry of the table of contents leads to its chapter.
QList<PdfLink> ContentsLinks(const Manual& manual, const PageGeometry& g) {
    QList<double> chapters;
    for (const Heading& h : manual.headings) {
        if (h.level == 1) {
            chapters.append(h.top);
        }
    }
    QList<PdfLink> links;
    for (QTextBlock block = manual.doc.begin(); block.isValid(); block = block.next()) {
        const int chapter = ContentsEntryOf(block);
        if (chapter < 0 || chapter >= chapters.size()) {
            continue;
        }
        const QRectF row = RowArea(manual.doc, block);
        const int page = PageAt(manual.pages, row.top());
        const QPointF onPage(row.left(), row.top() - manual.pages[page].top);
        const QPointF corner = g.origin + (g.body.topLeft() + onPage) * kPointsPerPixel;
        links.append({page, QRectF(corner, row.size() * kPointsPerPixel),
                      PlaceOf(manual, g, chapters[chapter])});
    }
    return links;
}

void PaintPage(QPainter& p, const Manual& manual, const PageGeometry& g, int index,
               const QString& title) {
    p.save();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10); // layout pixels: the painter is already scaled to the sheet
    p.setFont(font);
    p.setPen(QColor(90, 90, 90));
    p.drawText(g.header, Qt::AlignLeft | Qt::AlignTop, title);
    p.drawLine(g.header.bottomLeft(), g.header.bottomRight());
    p.drawText(g.footer, Qt::AlignHCenter | Qt::AlignBottom,
               QStringLiteral("Strona %1 z %2").arg(index + 1).arg(manual.pages.size()));
    p.restore();

    p.save();
    p.translate(g.body.topLeft());
    DrawPage(p, manual.doc, manual.pages[index]);
    p.restore();
}

bool WritePdf(const Manual& manual, QPdfWriter& writer, const PageGeometry& g) {
    QPainter p;
    if (!p.begin(&writer)) {
        return false;
    }
    const double scale = writer.resolution() / kLayoutDpi;
    p.scale(scale, scale);
    for (int i = 0; i < manual.pages.size(); ++i) {
        if (i > 0 && !writer.newPage()) {
            return false;
        }
        PaintPage(p, manual, g, i, writer.title());
    }
    return p.end();
}

// The PDF as Qt writes it, then its outline and links.
bool Render(const QString& html, const QString& folder, QByteArray& pdf, int& pageCount) {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(kPageMarginsMm, QPageLayout::Millimeter);
    writer.setResolution(600);
    writer.setCreator(QStringLiteral("RejKMX"));
    const PageGeometry g = Geometry(writer);

    QStringList warnings;
    const ManualSource source = PrepareSource(html, folder, g.body.width(), warnings);
    for (const QString& warning : warnings) {
        Warn(warning);
    }
    Manual manual;
    manual.doc.setDocumentMargin(0);
    manual.doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    LayOut(manual, source, g);
    writer.setTitle(manual.doc.metaInformation(QTextDocument::DocumentTitle));
    if (!WritePdf(manual, writer, g)) {
        Warn(QStringLiteral("the PDF writer failed"));
        return false;
    }
    buffer.close();
    const QString problem = AddNavigation(pdf, Bookmarks(manual, g), ContentsLinks(manual, g));
    if (!problem.isEmpty()) {
        Warn(QStringLiteral("cannot add bookmarks and links: ") + problem);
        return false;
    }
    pageCount = int(manual.pages.size());
    return true;
}

int Build(const QString& sourcePath, const QString& outputPath) {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        Warn(QStringLiteral("cannot read %1: %2").arg(sourcePath, source.errorString()));
        return 1;
    }
    QByteArray pdf;
    int pages = 0;
    if (!Render(QString::fromUtf8(source.readAll()), QFileInfo(sourcePath).absolutePath(), pdf,
                pages)) {
        return 1;
    }
    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly) || output.write(pdf) != pdf.size() || !output.commit()) {
        Warn(QStringLiteral("writing %1 failed: %2").arg(outputPath, output.errorString()));
        return 1;
    }
    std::printf("manual: %s, %d pages\n", qPrintable(outputPath), pages);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        Warn(QStringLiteral("usage: rejkmx-manual-builder SOURCE.html OUTPUT.pdf"));
        return 2;
    }
    return Build(args.at(1), args.at(2));
}

// Turns the manual's HTML source into an A4 PDF with a running header and page
// numbers. Runs at build time, without a display (offscreen platform).
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

namespace {

constexpr double kLayoutDpi = 96.0; // the document is laid out in CSS pixels
constexpr double kMmPerInch = 25.4;
const QMarginsF kPageMarginsMm(20.0, 12.0, 20.0, 12.0);
constexpr double kHeaderMm = 12.0;
constexpr double kFooterMm = 12.0;

double MmToPixels(double mm) {
    return mm * kLayoutDpi / kMmPerInch;
}

void Warn(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

struct PageGeometry {
    QSizeF page;   // printable area of the sheet, CSS pixels
    QRectF body;   // where the document's pages go
    QRectF header; // running title
    QRectF footer; // page number
};

PageGeometry Geometry(const QPdfWriter& writer) {
    PageGeometry g;
    const QRectF paint = writer.pageLayout().paintRect(QPageLayout::Millimeter);
    g.page = QSizeF(MmToPixels(paint.width()), MmToPixels(paint.height()));
    const double header = MmToPixels(kHeaderMm);
    const double footer = MmToPixels(kFooterMm);
    g.header = QRectF(0, 0, g.page.width(), header * 0.6);
    g.body = QRectF(0, header, g.page.width(), g.page.height() - header - footer);
    g.footer = QRectF(0, g.page.height() - footer * 0.6, g.page.width(), footer * 0.6);
    return g;
}

// A figure whose picture is missing (the main window's screenshot is taken
// separately) is left out, so the manual still builds; it appears once the file exists.
QString DropMissingFigures(QString html, const QString& folder) {
    static const QRegularExpression figure(QStringLiteral(R"re(<p class="rysunek">.*?</p>)re"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression source(QStringLiteral(R"re(<img[^>]*\ssrc="([^"]+)")re"));
    QString result;
    qsizetype last = 0;
    for (auto it = figure.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch block = it.next();
        const QRegularExpressionMatch img = source.match(block.captured());
        result += html.mid(last, block.capturedStart() - last);
        const QString file = img.hasMatch() ? folder + '/' + img.captured(1) : QString();
        if (file.isEmpty() || QFileInfo::exists(file)) {
            result += block.captured();
        } else {
            Warn(QStringLiteral("manual: picture %1 not found, figure left out").arg(file));
        }
        last = block.capturedEnd();
    }
    return result + html.mid(last);
}

// Pictures are handed to the document directly, narrowed to the page if wider.
QString LoadPictures(QTextDocument& doc, QString html, const QString& folder, double width) {
    static const QRegularExpression tag(
        QStringLiteral(R"re(<img([^>]*)\ssrc="([^"]+)"([^>]*)>)re"));
    QString result;
    qsizetype last = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        result += html.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        QImage image(folder + '/' + m.captured(2));
        if (image.isNull()) {
            Warn(QStringLiteral("manual: picture %1 cannot be read, left out").arg(m.captured(2)));
            continue;
        }
        doc.addResource(QTextDocument::ImageResource, QUrl(m.captured(2)), image);
        QString rest = m.captured(1) + m.captured(3);
        if (!rest.contains(QStringLiteral("width=")) && image.width() > width) {
            rest += QStringLiteral(" width=\"%1\"").arg(int(width));
        }
        result += QStringLiteral("<img src=\"%1\"%2>").arg(m.captured(2), rest);
    }
    return result + html.mid(last);
}

struct Heading {
    QString title;
    int page = 0;
    bool operator==(const Heading&) const = default;
};

// Top-level headings with the page each one starts on, as laid out now.
QList<Heading> Headings(const QTextDocument& doc) {
    QList<Heading> headings;
    const double pageHeight = doc.pageSize().height();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1) {
            const double top = doc.documentLayout()->blockBoundingRect(block).top();
            headings.append({block.text(), int((top + 1.0) / pageHeight) + 1});
        }
    }
    return headings;
}

QString ContentsTable(const QList<Heading>& headings) {
    QString rows;
    for (const Heading& h : headings) {
        rows += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td></tr>")
                    .arg(h.title.toHtmlEscaped())
                    .arg(h.page);
    }
    return QStringLiteral("<table class=\"spis\" width=\"100%\" cellpadding=\"2\">%1</table>")
        .arg(rows);
}

// The table of contents needs the page numbers of a finished layout, and the
// table itself moves nothing else once its rows are there: lay out until stable.
void LayOut(QTextDocument& doc, const QString& html, const QSizeF& pageSize) {
    static const QString marker = QStringLiteral("<!--SPIS-TRESCI-->");
    QList<Heading> headings;
    for (int pass = 0; pass < 4; ++pass) {
        doc.setHtml(QString(html).replace(marker, ContentsTable(headings)));
        doc.setPageSize(pageSize);
        const QList<Heading> found = Headings(doc);
        if (found == headings) {
            return;
        }
        headings = found;
    }
    Warn(QStringLiteral("manual: table of contents did not settle"));
}

void PaintPage(QPainter& p, QTextDocument& doc, const PageGeometry& g, int index, int count,
               const QString& title) {
    p.save();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10); // layout pixels: the painter is already scaled to the sheet
    p.setFont(font);
    p.setPen(QColor(90, 90, 90));
    p.drawText(g.header, Qt::AlignLeft | Qt::AlignTop, title);
    p.drawLine(g.header.bottomLeft(), g.header.bottomRight());
    p.drawText(g.footer, Qt::AlignHCenter | Qt::AlignBottom,
               QStringLiteral("Strona %1 z %2").arg(index + 1).arg(count));
    p.restore();

    const QSizeF pageSize = doc.pageSize();
    p.save();
    p.translate(g.body.topLeft());
    p.setClipRect(QRectF(QPointF(0, 0), pageSize));
    p.translate(0, -index * pageSize.height());
    doc.drawContents(&p, QRectF(0, index * pageSize.height(), pageSize.width(), pageSize.height()));
    p.restore();
}

bool WritePdf(QTextDocument& doc, QPdfWriter& writer, const PageGeometry& g) {
    QPainter p;
    if (!p.begin(&writer)) {
        return false;
    }
    const double scale = writer.resolution() / kLayoutDpi;
    p.scale(scale, scale);
    const int count = doc.pageCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !writer.newPage()) {
            return false;
        }
        PaintPage(p, doc, g, i, count, writer.title());
    }
    return p.end();
}

int Build(const QString& sourcePath, const QString& outputPath) {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        Warn(QStringLiteral("manual: cannot read %1: %2").arg(sourcePath, source.errorString()));
        return 1;
    }
    const QString folder = QFileInfo(sourcePath).absolutePath();
    const QString html = DropMissingFigures(QString::fromUtf8(source.readAll()), folder);

    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly)) {
        Warn(QStringLiteral("manual: cannot write %1: %2").arg(outputPath, output.errorString()));
        return 1;
    }
    QPdfWriter writer(&output);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(kPageMarginsMm, QPageLayout::Millimeter);
    writer.setResolution(600);
    writer.setCreator(QStringLiteral("RejKMX"));
    const PageGeometry g = Geometry(writer);

    QTextDocument doc;
    doc.setDocumentMargin(0);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    LayOut(doc, LoadPictures(doc, html, folder, g.body.width()), g.body.size());
    writer.setTitle(doc.metaInformation(QTextDocument::DocumentTitle));

    if (!WritePdf(doc, writer, g) || !output.commit()) {
        Warn(QStringLiteral("manual: writing %1 failed: %2").arg(outputPath, output.errorString()));
        return 1;
    }
    std::printf("manual: %s, %d pages\n", qPrintable(outputPath), doc.pageCount());
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

#include "help/manual/ManualSource.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A figure whose picture is missing (the main window's screenshot is taken
// separately) is left out, so the manual still builds; it appears once the file exists.
QString DropMissingFigures(const QString& html, const QString& folder, QStringList& warnings) {
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
            warnings << QStringLiteral("picture %1 not found, figure left out").arg(file);
        }
        last = block.capturedEnd();
    }
    return result + html.mid(last);
}

} // namespace

// Pictures are handed to the document directly, narrowed to the page if wider.
ManualSource PrepareSource(const QString& html, const QString& folder, double pageWidth,
                           QStringList& warnings) {
    static const QRegularExpression tag(
        QStringLiteral(R"re(<img([^>]*)\ssrc="([^"]+)"([^>]*)>)re"));
    const QString text = DropMissingFigures(html, folder, warnings);
    ManualSource source;
    qsizetype last = 0;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        source.html += text.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QImage image(folder + '/' + m.captured(2));
        if (image.isNull()) {
            warnings << QStringLiteral("picture %1 cannot be read, left out").arg(m.captured(2));
            continue;
        }
        source.pictures.insert(m.captured(2), image);
        QString rest = m.captured(1) + m.captured(3);
        if (!rest.contains(QStringLiteral("width=")) && image.width() > pageWidth) {
            rest += QStringLiteral(" width=\"%1\"").arg(int(pageWidth));
        }
        source.html += QStringLiteral("<img src=\"%1\"%2>").arg(m.captured(2), rest);
    }
    source.html += text.mid(last);
    return source;
}

namespace {
const QString kContentsAnchor = QStringLiteral("spis-");
}

int ContentsIndex(const QString& anchorName) {
    bool number = false;
    const int index = anchorName.startsWith(kContentsAnchor)
                          ? anchorName.mid(kContentsAnchor.size()).toInt(&number)
                          : -1;
    return number ? index : -1;
}

QString WithContents(const QString& html, const QList<ContentsEntry>& entries) {
    static const QString marker = QStringLiteral("<!--SPIS-TRESCI-->");
    QString rows;
    for (int i = 0; i < entries.size(); ++i) {
        rows += QStringLiteral("<tr><td><a name=\"%1\">%2</a></td><td align=\"right\">%3</td></tr>")
                    .arg(kContentsAnchor + QString::number(i), entries[i].title.toHtmlEscaped())
                    .arg(entries[i].page);
    }
    const QString table =
        QStringLiteral("<table class=\"spis\" width=\"100%\" cellpadding=\"2\">%1</table>")
            .arg(rows);
    return QString(html).replace(marker, table);
}

#include "help/manual/PdfNavigation.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>

#include <optional>

namespace {

struct ObjectRef {
    int number = 0;
    int generation = 0;

    QByteArray Text() const {
        return QByteArray::number(number) + ' ' + QByteArray::number(generation) + " R";
    }
};

std::optional<ObjectRef> RefOf(const QByteArray& dict, const char* key) {
    const QRegularExpression pattern(QStringLiteral(R"(/%1\s+(\d+)\s+(\d+)\s+R)").arg(key));
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(dict));
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    return ObjectRef{m.captured(1).toInt(), m.captured(2).toInt()};
}

QList<ObjectRef> RefsIn(const QByteArray& text) {
    static const QRegularExpression ref(QStringLiteral(R"((\d+)\s+(\d+)\s+R)"));
    QList<ObjectRef> refs;
    for (auto it = ref.globalMatch(QString::fromLatin1(text)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        refs.append({m.captured(1).toInt(), m.captured(2).toInt()});
    }
    return refs;
}

// The bracketed array that follows `key` in a dictionary, brackets included,
// as [start, end) offsets; none when the key is absent or names an object.
std::optional<std::pair<qsizetype, qsizetype>> InlineArray(const QByteArray& dict,
                                                           const QByteArray& key) {
    const qsizetype at = dict.indexOf(key);
    if (at < 0) {
        return std::nullopt;
    }
    qsizetype open = at + key.size();
    while (open < dict.size() && QChar::isSpace(uchar(dict[open]))) {
        ++open;
    }
    if (open >= dict.size() || dict[open] != '[') {
        return std::nullopt;
    }
    const qsizetype close = dict.indexOf(']', open);
    return close < 0 ? std::nullopt : std::optional(std::pair(open, close + 1));
}

// The parts of a finished PDF an update needs: where each object is, and the trailer.
class PdfFile {
public:
    explicit PdfFile(const QByteArray& bytes) : bytes_(bytes) { error_ = Read(); }

    QString Error() const { return error_; }
    qsizetype XrefOffset() const { return xref_; }
    int Size() const { return size_; }
    const QByteArray& Trailer() const { return trailer_; }

    // What lies between "obj" and "endobj"; empty when the object is not there.
    QByteArray Body(int number) const {
        const qsizetype at = offsets_.value(number, -1);
        const qsizetype open = at < 0 ? -1 : bytes_.indexOf("obj", at);
        const qsizetype close = open < 0 ? -1 : bytes_.indexOf("endobj", open);
        return close < 0 ? QByteArray() : bytes_.mid(open + 3, close - open - 3).trimmed();
    }

private:
    QString Read() {
        const qsizetype start = bytes_.lastIndexOf("startxref");
        if (start < 0) {
            return QStringLiteral("no startxref");
        }
        xref_ = bytes_.mid(start + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong();
        for (qsizetype section = xref_; section > 0;) {
            const QString problem = ReadSection(section);
            if (!problem.isEmpty()) {
                return problem;
            }
            const std::optional<qsizetype> previous = PreviousSection();
            section = previous.value_or(0);
        }
        return size_ > 0 ? QString() : QStringLiteral("trailer without /Size");
    }

    // One classic cross-reference section and its trailer; newer sections win.
    QString ReadSection(qsizetype at) {
        if (!bytes_.mid(at, 4).startsWith("xref")) {
            return QStringLiteral("no cross-reference table at %1 (a stream?)").arg(at);
        }
        const qsizetype trailer = bytes_.indexOf("trailer", at);
        const qsizetype end = trailer < 0 ? -1 : bytes_.indexOf("startxref", trailer);
        if (end < 0) {
            return QStringLiteral("no trailer");
        }
        const QList<QByteArray> words =
            bytes_.mid(at + 4, trailer - at - 4).simplified().split(' ');
        for (qsizetype i = 0; i + 1 < words.size();) {
            const int first = words[i].toInt();
            const int count = words[i + 1].toInt();
            i += 2;
            for (int n = 0; n < count && i + 2 < words.size(); ++n, i += 3) {
                if (words[i + 2] == "n" && !offsets_.contains(first + n)) {
                    offsets_.insert(first + n, words[i].toLongLong());
                }
            }
        }
        const QByteArray dict = bytes_.mid(trailer + 7, end - trailer - 7);
        if (trailer_.isEmpty()) {
            trailer_ = dict;
            static const QRegularExpression size(QStringLiteral(R"(/Size\s+(\d+))"));
            size_ = size.match(QString::fromLatin1(dict)).captured(1).toInt();
        }
        sectionTrailer_ = dict;
        return QString();
    }

    std::optional<qsizetype> PreviousSection() const {
        static const QRegularExpression prev(QStringLiteral(R"(/Prev\s+(\d+))"));
        const QRegularExpressionMatch m = prev.match(QString::fromLatin1(sectionTrailer_));
        return m.hasMatch() ? std::optional<qsizetype>(m.captured(1).toLongLong()) : std::nullopt;
    }

    const QByteArray& bytes_;
    QString error_;
    qsizetype xref_ = 0;
    int size_ = 0;
    QByteArray trailer_;
    QByteArray sectionTrailer_;
    QHash<int, qsizetype> offsets_;
};

// PDF text strings in UTF-16 with a byte order mark, written in hex.
QByteArray TextString(const QString& text) {
    QByteArray utf16("\xFE\xFF");
    for (QChar c : text) {
        utf16 += char(c.unicode() >> 8);
        utf16 += char(c.unicode() & 0xFF);
    }
    return '<' + utf16.toHex().toUpper() + '>';
}

QByteArray Number(double value) {
    return QByteArray::number(value, 'f', 2);
}

struct Page {
    ObjectRef ref;
    QByteArray dict;
    double height = 0;
};

// Writes the objects of the update after the original bytes and records where each one is.
class UpdateWriter {
public:
    UpdateWriter(const QByteArray& original, int firstFree)
        : base_(original.size()), next_(firstFree) {
        if (!original.endsWith('\n')) {
            out_ += '\n';
        }
    }

    int Reserve() { return next_++; }
    int Size() const { return next_; }

    void Write(ObjectRef ref, const QByteArray& body) {
        offsets_.insert(ref.number, {ref.generation, base_ + out_.size()});
        out_ += QByteArray::number(ref.number) + ' ' + QByteArray::number(ref.generation) +
                " obj\n" + body + "\nendobj\n";
    }

    QByteArray Finish(const QByteArray& trailerEntries, qsizetype previous) {
        const qsizetype xref = base_ + out_.size();
        out_ += "xref\n";
        for (auto it = offsets_.cbegin(); it != offsets_.cend();) {
            auto run = it;
            int count = 0;
            while (run != offsets_.cend() && run.key() == it.key() + count) {
                ++run;
                ++count;
            }
            out_ += QByteArray::number(it.key()) + ' ' + QByteArray::number(count) + '\n';
            for (; it != run; ++it) {
                out_ += QByteArray::number(it->second).rightJustified(10, '0') + ' ' +
                        QByteArray::number(it->first).rightJustified(5, '0') + " n\r\n";
            }
        }
        out_ += "trailer\n<<\n/Size " + QByteArray::number(next_) + '\n' + trailerEntries +
                "/Prev " + QByteArray::number(previous) + "\n>>\nstartxref\n" +
                QByteArray::number(xref) + "\n%%EOF\n";
        return out_;
    }

private:
    qsizetype base_;
    int next_;
    QByteArray out_;
    QMap<int, std::pair<int, qsizetype>> offsets_; // number: generation, offset
};

class NavigationUpdate {
public:
    NavigationUpdate(const QByteArray& pdf, const PdfFile& file)
        : file_(file), writer_(pdf, file.Size()) {}

    QString Build(const QList<PdfBookmark>& bookmarks, const QList<PdfLink>& links,
                  QByteArray& update);

private:
    QString ReadPages(ObjectRef node, int depth);
    QByteArray Destination(const PdfPlace& place) const;
    QString CheckPlace(const PdfPlace& place) const;
    int WriteOutline(const QList<PdfBookmark>& bookmarks);
    QList<int> WriteItems(const QList<PdfBookmark>& bookmarks, qsizetype from, qsizetype to,
                          int parent);
    QString WriteLinks(const QList<PdfLink>& links);
    QString AddAnnotations(const Page& page, const QList<int>& annotations);

    const PdfFile& file_;
    UpdateWriter writer_;
    QList<Page> pages_;
};

QString NavigationUpdate::ReadPages(ObjectRef node, int depth) {
    const QByteArray dict = file_.Body(node.number);
    if (dict.isEmpty() || depth > 32) {
        return QStringLiteral("page tree object %1 missing").arg(node.number);
    }
    static const QRegularExpression pages(QStringLiteral(R"(/Type\s*/Pages\b)"));
    if (pages.match(QString::fromLatin1(dict)).hasMatch()) {
        const auto kids = InlineArray(dict, "/Kids");
        if (!kids) {
            return QStringLiteral("page tree node %1 without /Kids").arg(node.number);
        }
        for (ObjectRef kid : RefsIn(dict.mid(kids->first, kids->second - kids->first))) {
            if (const QString problem = ReadPages(kid, depth + 1); !problem.isEmpty()) {
                return problem;
            }
        }
        return QString();
    }
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s*\])"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(dict));
    if (!m.hasMatch()) {
        return QStringLiteral("page %1 without its own /MediaBox").arg(node.number);
    }
    pages_.append({node, dict, m.captured(4).toDouble() - m.captured(2).toDouble()});
    return QString();
}

QString NavigationUpdate::CheckPlace(const PdfPlace& place) const {
    return place.page >= 0 && place.page < pages_.size()
               ? QString()
               : QStringLiteral("no page %1 in the document").arg(place.page + 1);
}

QByteArray NavigationUpdate::Destination(const PdfPlace& place) const {
    const Page& page = pages_[place.page];
    return '[' + page.ref.Text() + " /XYZ 0 " + Number(page.height - place.top) + " null]";
}

// The items between from and to that no earlier item of a higher level (a
// smaller number) owns; each owns the deeper items up to the next one.
QList<qsizetype> OwnItems(const QList<PdfBookmark>& bookmarks, qsizetype from, qsizetype to) {
    QList<qsizetype> items;
    for (qsizetype i = from; i < to; ++i) {
        if (items.isEmpty() || bookmarks[items.last()].level >= bookmarks[i].level) {
            items.append(i);
        }
    }
    return items;
}

QList<int> NavigationUpdate::WriteItems(const QList<PdfBookmark>& bookmarks, qsizetype from,
                                        qsizetype to, int parent) {
    const QList<qsizetype> items = OwnItems(bookmarks, from, to);
    QList<int> numbers;
    for (qsizetype k = 0; k < items.size(); ++k) {
        numbers.append(writer_.Reserve());
    }
    for (qsizetype k = 0; k < items.size(); ++k) {
        const PdfBookmark& item = bookmarks[items[k]];
        const qsizetype childrenEnd = k + 1 < items.size() ? items[k + 1] : to;
        const QList<int> children = WriteItems(bookmarks, items[k] + 1, childrenEnd, numbers[k]);
        QByteArray dict =
            "<<\n/Title " + TextString(item.title) + "\n/Parent " + ObjectRef{parent}.Text() + '\n';
        if (k > 0) {
            dict += "/Prev " + ObjectRef{numbers[k - 1]}.Text() + '\n';
        }
        if (k + 1 < items.size()) {
            dict += "/Next " + ObjectRef{numbers[k + 1]}.Text() + '\n';
        }
        if (!children.isEmpty()) {
            // Sections start folded: the outline opens as a list of chapters.
            dict += "/First " + ObjectRef{children.first()}.Text() + "\n/Last " +
                    ObjectRef{children.last()}.Text() + "\n/Count -" +
                    QByteArray::number(children.size()) + '\n';
        }
        dict += "/Dest " + Destination(item.place) + "\n>>";
        writer_.Write({numbers[k]}, dict);
    }
    return numbers;
}

int NavigationUpdate::WriteOutline(const QList<PdfBookmark>& bookmarks) {
    const int root = writer_.Reserve();
    const QList<int> items = WriteItems(bookmarks, 0, bookmarks.size(), root);
    writer_.Write({root}, "<<\n/Type /Outlines\n/First " + ObjectRef{items.first()}.Text() +
                              "\n/Last " + ObjectRef{items.last()}.Text() + "\n/Count " +
                              QByteArray::number(items.size()) + "\n>>");
    return root;
}

QString NavigationUpdate::AddAnnotations(const Page& page, const QList<int>& annotations) {
    QByteArray refs;
    for (int number : annotations) {
        refs += ' ' + ObjectRef{number}.Text();
    }
    QByteArray dict = page.dict;
    if (const auto inlined = InlineArray(dict, "/Annots")) {
        dict.insert(inlined->second - 1, refs + ' ');
    } else if (const std::optional<ObjectRef> array = RefOf(dict, "Annots")) {
        QByteArray body = file_.Body(array->number);
        if (!body.startsWith('[') || !body.endsWith(']')) {
            return QStringLiteral("annotation array %1 unreadable").arg(array->number);
        }
        body.insert(body.size() - 1, refs + ' ');
        writer_.Write(*array, body);
        return QString();
    } else {
        const qsizetype close = dict.lastIndexOf(">>");
        if (close < 0) {
            return QStringLiteral("page %1 is not a dictionary").arg(page.ref.number);
        }
        dict.insert(close, "/Annots [" + refs + " ]\n");
    }
    writer_.Write(page.ref, dict);
    return QString();
}

QString NavigationUpdate::WriteLinks(const QList<PdfLink>& links) {
    QMap<int, QList<int>> byPage;
    for (const PdfLink& link : links) {
        if (QString problem = CheckPlace({link.page, 0}) + CheckPlace(link.target);
            !problem.isEmpty()) {
            return problem;
        }
        const double height = pages_[link.page].height;
        const QRectF a = link.area;
        const int number = writer_.Reserve();
        writer_.Write({number}, "<<\n/Type /Annot\n/Subtype /Link\n/Rect [" + Number(a.left()) +
                                    ' ' + Number(height - a.bottom()) + ' ' + Number(a.right()) +
                                    ' ' + Number(height - a.top()) +
                                    "]\n/Border [0 0 0]\n/F 4\n/Dest " + Destination(link.target) +
                                    "\n>>");
        byPage[link.page].append(number);
    }
    for (auto it = byPage.cbegin(); it != byPage.cend(); ++it) {
        if (QString problem = AddAnnotations(pages_[it.key()], it.value()); !problem.isEmpty()) {
            return problem;
        }
    }
    return QString();
}

QString NavigationUpdate::Build(const QList<PdfBookmark>& bookmarks, const QList<PdfLink>& links,
                                QByteArray& update) {
    const std::optional<ObjectRef> root = RefOf(file_.Trailer(), "Root");
    QByteArray catalog = root ? file_.Body(root->number) : QByteArray();
    const std::optional<ObjectRef> tree = RefOf(catalog, "Pages");
    if (!tree) {
        return QStringLiteral("no catalog with /Pages");
    }
    if (QString problem = ReadPages(*tree, 0); !problem.isEmpty()) {
        return problem;
    }
    for (const PdfBookmark& bookmark : bookmarks) {
        if (QString problem = CheckPlace(bookmark.place); !problem.isEmpty()) {
            return problem;
        }
    }
    if (QString problem = WriteLinks(links); !problem.isEmpty()) {
        return problem;
    }
    if (!bookmarks.isEmpty()) {
        static const QRegularExpression old(
            QStringLiteral(R"(/(Outlines\s+\d+\s+\d+\s+R|PageMode\s*/\w+))"));
        catalog = QString::fromLatin1(catalog).remove(old).toLatin1();
        const int outline = WriteOutline(bookmarks);
        catalog.insert(catalog.lastIndexOf(">>"),
                       "/Outlines " + ObjectRef{outline}.Text() + "\n/PageMode /UseOutlines\n");
        writer_.Write(*root, catalog);
    }
    QByteArray entries = "/Root " + root->Text() + '\n';
    if (const std::optional<ObjectRef> info = RefOf(file_.Trailer(), "Info")) {
        entries += "/Info " + info->Text() + '\n';
    }
    static const QRegularExpression id(QStringLiteral(R"(/ID\s*\[[^\]]*\])"));
    const QRegularExpressionMatch m = id.match(QString::fromLatin1(file_.Trailer()));
    if (m.hasMatch()) {
        entries += m.captured().toLatin1() + '\n';
    }
    update = writer_.Finish(entries, file_.XrefOffset());
    return QString();
}

} // namespace

QString AddNavigation(QByteArray& pdf, const QList<PdfBookmark>& bookmarks,
                      const QList<PdfLink>& links) {
    const PdfFile file(pdf);
    if (!file.Error().isEmpty()) {
        return file.Error();
    }
    if (bookmarks.isEmpty() && links.isEmpty()) {
        return QString();
    }
    if (file.Trailer().contains("/Encrypt")) {
        return QStringLiteral("encrypted PDF");
    }
    NavigationUpdate navigation(pdf, file);
    QByteArray update;
    if (QString problem = navigation.Build(bookmarks, links, update); !problem.isEmpty()) {
        return problem;
    }
    pdf += update;
    return QString();
}

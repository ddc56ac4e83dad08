#include "editor/print/SynEditPrint.h"

#include "editor/text/TabExpansion.h"

#include <Qsci/qsciscintilla.h>

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

double MillimetresToPixels(double mm, int resolution) {
    return mm * resolution / 25.4;
}

// Tabs go to the next multiple of the tab width; a tab still left (a tab width
// below 1) prints as one space, so no tab reaches the printer.
std::u32string PrintableLine(std::string_view utf8, int tabWidth) {
    tabs::Expanded expanded = tabs::ExpandTabs(utf8, tabWidth);
    std::string line = expanded.changed ? std::move(expanded.text) : std::string(utf8);
    std::replace(line.begin(), line.end(), '\t', ' ');
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())).toStdU32String();
}

// Lines as the document holds them: CR LF, LF and CR all end a line, and a
// line end at the very end opens no further line to print.
std::vector<std::u32string> CopyLines(const QsciScintilla& editor, int tabWidth) {
    const auto length = static_cast<std::size_t>(editor.SendScintilla(Sci::SCI_GETLENGTH));
    const char* text =
        reinterpret_cast<const char*>(editor.SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
    std::vector<std::u32string> lines;
    std::size_t begin = 0;
    auto addLine = [&](std::size_t end) {
        lines.push_back(PrintableLine(std::string_view(text + begin, end - begin), tabWidth));
    };
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        addLine(i);
        if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') {
            ++i;
        }
        begin = i + 1;
    }
    if (begin < length) {
        addLine(length);
    }
    return lines;
}

BoundSelection SelectionOf(const QsciScintilla& editor) {
    return {editor.SendScintilla(Sci::SCI_GETSELECTIONEMPTY) == 0};
}

QString StartFailure(const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty()) {
        return QStringLiteral("Nie można rozpocząć drukowania do pliku „%1”.")
            .arg(printer.outputFileName());
    }
    return QStringLiteral("Nie można rozpocząć drukowania na drukarce „%1”.")
        .arg(printer.printerName());
}

QString PageFailure(const QPrinter& printer, int page) {
    return QStringLiteral("Błąd drukarki „%1” przy stronie %2. Wydruk przerwano.")
        .arg(printer.printerName().isEmpty() ? printer.outputFileName() : printer.printerName())
        .arg(page);
}

PrintResult Abort(QPrinter& printer, int page) {
    printer.abort();
    return {false, PageFailure(printer, page)};
}

// The job settings this engine owns, put back afterwards so the print dialog
// shows the user's own copy count next time.
class JobSettings {
public:
    explicit JobSettings(QPrinter& printer)
        : printer_(printer), copyCount_(printer.copyCount()), fullPage_(printer.fullPage()) {
        printer_.setDocName(QString());
        printer_.setCopyCount(1);
        printer_.setFullPage(true);
    }
    ~JobSettings() {
        printer_.setCopyCount(copyCount_);
        printer_.setFullPage(fullPage_);
    }
    JobSettings(const JobSettings&) = delete;
    JobSettings& operator=(const JobSettings&) = delete;

private:
    QPrinter& printer_;
    int copyCount_;
    bool fullPage_;
};

} // namespace

void SynEditPrint::Bind(const QsciScintilla& editor) {
    font_ = editor.font();
    tabWidth_ = editor.tabWidth();
    lines_ = CopyLines(editor, tabWidth_);
    selection_ = SelectionOf(editor);
    layoutValid_ = false;
}

void SynEditPrint::SetCopies(int copies) {
    copies_ = std::max(copies, 1);
}

int SynEditPrint::PageCount(QPrinter& printer) {
    return Layout(printer).PageCount();
}

PrintResult SynEditPrint::Print(QPrinter& printer) {
    return PrintRange(printer, 1, PageCount(printer));
}

PrintResult SynEditPrint::PrintRange(QPrinter& printer, int from, int to) {
    const auto& layout = Layout(printer);
    from = std::max(from, 1);
    to = std::min(to, layout.PageCount());
    if (from > to) {
        return {};
    }
    JobSettings job(printer);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return {false, StartFailure(printer)};
    }
    painter.setFont(font_);
    painter.setPen(Qt::black);
    // Printing on both sides, an odd run would start the next copy on the back
    // of its last sheet; a blank page keeps every copy on sheets of its own.
    const bool blankBetweenCopies = twoSided_ && (to - from + 1) % 2 == 1;
    bool firstPage = true;
    for (int copy = 0; copy < copies_; ++copy) {
        if (copy > 0 && blankBetweenCopies && !printer.newPage()) {
            return Abort(printer, from);
        }
        for (int page = from; page <= to; ++page) {
            if (!firstPage && !printer.newPage()) {
                return Abort(printer, page);
            }
            firstPage = false;
            DrawPage(painter, page);
        }
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        return {false, PageFailure(printer, to)};
    }
    return {};
}

void SynEditPrint::DrawPage(QPainter& painter, int page) const {
    double baseline = geometry_.text.top() + geometry_.ascent;
    for (const auto& row : layout_.Page(page)) {
        const auto part = std::u32string_view(lines_[row.line]).substr(row.start, row.length);
        painter.drawText(QPointF(geometry_.text.left(), baseline),
                         QString::fromStdU32String(std::u32string(part)));
        baseline += geometry_.lineHeight;
    }
}

const print_layout::PageLayout& SynEditPrint::Layout(QPrinter& printer) {
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    if (layoutValid_ && paper == layoutPaper_ && printer.resolution() == layoutResolution_) {
        return layout_;
    }
    geometry_ = Measure(printer);
    std::vector<std::size_t> lengths;
    lengths.reserve(lines_.size());
    for (const auto& line : lines_) {
        lengths.push_back(line.size());
    }
    layout_ = print_layout::PageLayout(std::move(lengths), geometry_.charsPerLine,
                                       geometry_.linesPerPage);
    layoutValid_ = true;
    layoutPaper_ = paper;
    layoutResolution_ = printer.resolution();
    return layout_;
}

SynEditPrint::Geometry SynEditPrint::Measure(QPrinter& printer) const {
    const int dpi = printer.resolution();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    Geometry g;
    g.text = paper.adjusted(
        MillimetresToPixels(margins_.left, dpi), MillimetresToPixels(margins_.top, dpi),
        -MillimetresToPixels(margins_.right, dpi), -MillimetresToPixels(margins_.bottom, dpi));
    const QFontMetricsF metrics(font_, &printer);
    g.lineHeight = std::max(metrics.lineSpacing(), metrics.height());
    g.ascent = metrics.ascent();
    g.charsPerLine = static_cast<std::size_t>(
        std::max(1.0, std::floor(g.text.width() / WidestCharacter(metrics))));
    g.linesPerPage =
        static_cast<std::size_t>(std::max(1.0, std::floor(g.text.height() / g.lineHeight)));
    return g;
}

// Every character gets the cell of the widest one in the text, so no row can
// run past the right margin even if a glyph comes from a fallback font.
double SynEditPrint::WidestCharacter(const QFontMetricsF& metrics) const {
    std::vector<bool> seen(0x110000);
    double widest = metrics.horizontalAdvance(QLatin1Char('M'));
    for (const auto& line : lines_) {
        for (char32_t c : line) {
            if (c >= seen.size() || seen[c]) {
                continue;
            }
            seen[c] = true;
            const char32_t one[1] = {c};
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromUcs4(one, 1)));
        }
    }
    return widest;
}

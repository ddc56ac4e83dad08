#include "help/UPomocF.h"

#include "help/PdfPageView.h"
#include "help/PdfSearch.h"
#include "help/TAcroPDF.h"
#include "ui_UPomocF.h"

#include <QAction>
#include <QKeyEvent>
#include <QPdfDocument>
#include <QSignalBlocker>

namespace {

// Tahoma is missing outside Windows; these carry the Polish letters at a similar size.
QFont WindowFont(const QFont& designed) {
    QFont font = designed;
    font.setFamilies({designed.family(), "DejaVu Sans", "Liberation Sans"});
    return font;
}

} // namespace

TPomocF::TPomocF(QWidget* parent) : QWidget(parent, Qt::Window), ui(new Ui::TPomocF) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(WindowFont(font()));
    AcroPDF1 = ui->AcroPDF1;
    search_ = new PdfSearch(AcroPDF1->document(), this);
    createActions();
    connectToolBar();
    documentLoaded();
    show();
}

// The viewer's document closes as the window's children go and reports it;
// the toolbar is gone by then.
TPomocF::~TPomocF() {
    AcroPDF1->disconnect(this);
    AcroPDF1->view()->disconnect(this);
}

void TPomocF::LoadPdf(const QString& path) {
    AcroPDF1->LoadFile(path);
}

// The keys work wherever the focus is in the window, the search field included.
void TPomocF::createActions() {
    const auto add = [this](const QList<QKeySequence>& keys, auto slot) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)},
        [this] { AcroPDF1->zoomIn(); });
    add({QKeySequence::ZoomOut}, [this] { AcroPDF1->zoomOut(); });
    add({QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { AcroPDF1->fitToWidth(); });
    add({QKeySequence::Find}, [this] {
        ui->SearchField->setFocus(Qt::ShortcutFocusReason);
        ui->SearchField->selectAll();
    });
    add({QKeySequence(Qt::Key_F3)}, [this] { find(true); });
    add({QKeySequence(Qt::SHIFT | Qt::Key_F3)}, [this] { find(false); });
}

void TPomocF::connectToolBar() {
    PdfPageView* view = AcroPDF1->view();
    connect(AcroPDF1, &TAcroPDF::loaded, this, &TPomocF::documentLoaded);
    connect(view, &PdfPageView::currentPageChanged, this, &TPomocF::pageChanged);
    connect(view, &QPdfView::zoomModeChanged, this, &TPomocF::zoomModeChanged);
    connect(ui->PageBox, &QSpinBox::valueChanged, this, [view](int page) {
        view->showPlace({page - 1, 0});
    });
    connect(ui->ZoomInButton, &QToolButton::clicked, AcroPDF1, &TAcroPDF::zoomIn);
    connect(ui->ZoomOutButton, &QToolButton::clicked, AcroPDF1, &TAcroPDF::zoomOut);
    connect(ui->FitWidthButton, &QToolButton::clicked, AcroPDF1, &TAcroPDF::fitToWidth);
    connect(ui->FitPageButton, &QToolButton::clicked, AcroPDF1, &TAcroPDF::fitPage);
    connect(ui->SearchField, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.isEmpty()) {
            search_->setText(QString());
            showMatch(-1);
        }
    });
    connect(ui->NextMatchButton, &QToolButton::clicked, this, [this] { find(true); });
    connect(ui->PreviousMatchButton, &QToolButton::clicked, this, [this] { find(false); });
    ui->SearchField->installEventFilter(this);
}

void TPomocF::documentLoaded() {
    const int pages = AcroPDF1->hasError() ? 0 : AcroPDF1->document()->pageCount();
    ui->ToolBar->setEnabled(pages > 0);
    {
        const QSignalBlocker blocker(ui->PageBox);
        ui->PageBox->setRange(pages > 0 ? 1 : 0, pages);
    }
    ui->PageCount->setText(QStringLiteral("z %1").arg(pages));
    pageChanged(AcroPDF1->view()->currentPage());
    zoomModeChanged();
    if (!ui->SearchField->text().isEmpty()) {
        search_->setText(ui->SearchField->text());
    }
    showMatch(-1);
}

// The page box follows the reader.
void TPomocF::pageChanged(int page) {
    const QSignalBlocker blocker(ui->PageBox);
    ui->PageBox->setValue(page + 1);
}

void TPomocF::zoomModeChanged() {
    const QPdfView::ZoomMode mode = AcroPDF1->view()->zoomMode();
    ui->FitWidthButton->setChecked(mode == QPdfView::ZoomMode::FitToWidth);
    ui->FitPageButton->setChecked(mode == QPdfView::ZoomMode::FitInView);
}

// The first search moves from the top of the view; later ones from match to match.
void TPomocF::find(bool forward) {
    const QString text = ui->SearchField->text();
    if (text.isEmpty()) {
        ui->SearchField->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    if (text != search_->text()) {
        search_->setText(text);
    }
    const PdfPlace from = AcroPDF1->view()->topOfView();
    showMatch(forward ? search_->next(from) : search_->previous(from));
}

void TPomocF::showMatch(int index) {
    const QList<PdfArea>& matches = search_->matches();
    AcroPDF1->view()->setMatches(matches, index);
    if (index >= 0) {
        AcroPDF1->view()->reveal(matches[index]);
        ui->MatchCount->setText(QStringLiteral("%1 z %2").arg(index + 1).arg(matches.size()));
    } else if (!search_->text().isEmpty() && matches.isEmpty()) {
        ui->MatchCount->setText(QStringLiteral("Nie znaleziono"));
    } else {
        ui->MatchCount->clear();
    }
}

// In the search field Enter finds the next match, Shift+Enter the one before,
// and Esc goes back to the pages.
bool TPomocF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->SearchField && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            find(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            AcroPDF1->view()->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

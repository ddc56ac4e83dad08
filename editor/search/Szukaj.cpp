#include "editor/search/Szukaj.h"

#include "editor/search/EditorSearch.h"
#include "gui/Dialogs.h"
#include "ui_Szukaj.h"

#include <QKeyEvent>
#include <Qsci/qsciscintilla.h>

namespace {

const QString kNotFound = QStringLiteral("Tekstu nie znaleziono.");
const QString kWrapCaption = QStringLiteral("KAVERO Edytor");
const QString kWrapQuestion = QStringLiteral("Koniec pliku. Szukać od początku?");

// MS Sans Serif exists only on Windows; Liberation Sans has close enough widths
// for the captions to fit the places they were drawn for.
QFont DialogFont(const QFont& designed) {
    QFont font = designed;
    font.setFamilies({designed.family(), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans")});
    return font;
}

constexpr Qt::WindowFlags kWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
    Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint;

} // namespace

TForm_Szukaj::TForm_Szukaj(QWidget* parent)
    : QDialog(parent, kWindowFlags), ui(std::make_unique<Ui::TForm_Szukaj>()) {
    ui->setupUi(this);
    setFont(DialogFont(font()));
    setFixedSize(size());

    connect(ui->Button1, &QPushButton::clicked, this, &TForm_Szukaj::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm_Szukaj::Button2Click);
    ui->Edit1->installEventFilter(this);

    show();
}

TForm_Szukaj::~TForm_Szukaj() = default;

void TForm_Szukaj::SetEditor(QsciScintilla* textControl) {
    editor = textControl;
}

QsciScintilla* TForm_Szukaj::Editor() const {
    return editor;
}

void TForm_Szukaj::ShowAgain() {
    show();
    raise();
    activateWindow();
    ui->Edit1->setFocus();
    ui->Edit1->selectAll();
}

void TForm_Szukaj::DoSearch() {
    if (!editor) {
        return;
    }
    const bool wholeText = SearchCoversWholeText();
    const std::string text = ui->Edit1->text().toStdString();
    const textsearch::SearchOptions options = SearchOptions();
    if (editorsearch::Search(*editor, text, options)) {
        return;
    }
    if (wholeText) {
        ShowMessage(this, kNotFound);
        return;
    }
    if (!AskToWrap()) {
        return;
    }
    MoveCaretToOtherEnd();
    if (!editorsearch::Search(*editor, text, options)) {
        ShowMessage(this, kNotFound);
    }
}

bool TForm_Szukaj::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Edit1 && event->type() == QEvent::KeyPress) {
        return Edit1KeyDown(static_cast<const QKeyEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_Szukaj::Button1Click() {
    DoSearch();
}

void TForm_Szukaj::Button2Click() {
    hide();
}

bool TForm_Szukaj::Edit1KeyDown(const QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        return false;
    }
    ui->Button1->click();
    return true;
}

textsearch::SearchOptions TForm_Szukaj::SearchOptions() const {
    textsearch::SearchOptions options;
    options.matchCase = ui->CheckBox1->isChecked();
    options.wholeWord = ui->CheckBox2->isChecked();
    options.selectedOnly = ui->CheckBox3->isChecked();
    options.backwards = ui->kierunekUp->isChecked();
    return options;
}

// A search from the very start downwards, or from the very end upwards, has
// nothing left to wrap round to.
bool TForm_Szukaj::SearchCoversWholeText() const {
    return ui->kierunekUp->isChecked() ? editorsearch::CaretAtEnd(*editor)
                                       : editorsearch::CaretAtStart(*editor);
}

bool TForm_Szukaj::AskToWrap() {
    return Dialogs().Ask(this, QMessageBox::NoIcon, kWrapCaption, kWrapQuestion,
                         QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void TForm_Szukaj::MoveCaretToOtherEnd() {
    const long end = editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    editorsearch::MoveCaretTo(*editor, ui->kierunekUp->isChecked() ? end : 0);
}

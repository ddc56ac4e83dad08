#include "editor/UEdytorFrame.h"

#include "editor/SynEdit.h"
#include "editor/TextFile.h"
#include "editor/print/EditorPrinting.h"
#include "editor/search/Szukaj.h"
#include "editor/text/TabExpansion.h"
#include "gui/Dialogs.h"
#include "gui/WaitCursor.h"
#include "ui_UEdytorFrame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMenu>

namespace {

// Longer lines are opened only when the user agrees.
constexpr std::size_t kLongLineLimit = 100000;

QList<QIcon> LoadImageList1() {
    QList<QIcon> images;
    for (int i = 0; i < 12; ++i) {
        images.append(
            QIcon(QStringLiteral(":/editor/ImageList1/%1.svg").arg(i, 2, 10, QChar('0'))));
    }
    return images;
}

} // namespace

TEdytorFrame::TEdytorFrame(QWidget* parent)
    : QWidget(parent), ImageList1(LoadImageList1()), ui(std::make_unique<Ui::TEdytorFrame>()),
      printing(std::make_unique<EditorPrinting>()) {
    ui->setupUi(this);
    TakeComponents();
    CreateActions();
    ShowPictures();
    ConnectHandlers();
    SetReadOnly(false);
}

TEdytorFrame::~TEdytorFrame() {
    delete SearchForm;
}

void TEdytorFrame::TakeComponents() {
    SynEdit1 = ui->SynEdit1;
    Panel1 = ui->Panel1;
    ToolbarButton971 = ui->ToolbarButton971;
    ToolbarButton972 = ui->ToolbarButton972;
    ToolbarButton973 = ui->ToolbarButton973;
    ToolbarButton974 = ui->ToolbarButton974;
    ToolbarButton975 = ui->ToolbarButton975;
    ToolbarButton976 = ui->ToolbarButton976;
    ToolbarButton977 = ui->ToolbarButton977;
    ToolbarButton978 = ui->ToolbarButton978;
    ToolbarButton979 = ui->ToolbarButton979;
    ToolbarButton9710 = ui->ToolbarButton9710;
    ToolbarButton9711 = ui->ToolbarButton9711;
    ToolbarButton9712 = ui->ToolbarButton9712;
}

// The popup's undo, cut and copy are the toolbar's buttons too, as the paste
// action is; the popup's own paste stays apart, as it pastes directly.
void TEdytorFrame::CreateActions() {
    const auto makeAction = [this](const char* name, int picture, const QString& text) {
        auto* action = new QAction(ImageList1[picture], text, this);
        action->setObjectName(QLatin1String(name));
        action->setIconVisibleInMenu(false);
        return action;
    };
    Cofnij1 = makeAction("Cofnij1", 10, tr("Cofnij"));
    Wytnij1 = makeAction("Wytnij1", 8, tr("Wytnij"));
    Kopiuj1 = makeAction("Kopiuj1", 7, tr("Kopiuj"));
    Wklej1 = new QAction(tr("Wklej"), this);
    Wklej1->setObjectName(QStringLiteral("Wklej1"));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions({Cofnij1, Wytnij1, Kopiuj1, Wklej1});
    ToolbarButton9711->setDefaultAction(Cofnij1);
    ToolbarButton979->setDefaultAction(Wytnij1);
    ToolbarButton978->setDefaultAction(Kopiuj1);

    wklejaj = new QAction(ImageList1[9], tr("Wklej"), this);
    wklejaj->setObjectName(QStringLiteral("wklejaj"));
    wklejaj->setToolTip(tr("Wklej"));
    wklejaj->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    wklejaj->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(wklejaj);
    ToolbarButton9710->setDefaultAction(wklejaj);
}

void TEdytorFrame::ShowPictures() {
    const std::pair<QToolButton*, int> pictures[] = {
        {ToolbarButton974, 3}, {ToolbarButton975, 4},  {ToolbarButton976, 5},
        {ToolbarButton977, 6}, {ToolbarButton971, 2},  {ToolbarButton972, 1},
        {ToolbarButton973, 0}, {ToolbarButton9712, 11}};
    for (const auto& [button, picture] : pictures) {
        button->setIcon(ImageList1[picture]);
    }
}

void TEdytorFrame::ConnectHandlers() {
    connect(ToolbarButton971, &QToolButton::clicked, this, &TEdytorFrame::ToolbarButton971Click);
    connect(ToolbarButton972, &QToolButton::clicked, this, &TEdytorFrame::ToolbarButton972Click);
    connect(ToolbarButton973, &QToolButton::clicked, this, &TEdytorFrame::ToolbarButton973Click);
    connect(ToolbarButton974, &QToolButton::clicked, this, &TEdytorFrame::ToolbarButton974Click);
    connect(ToolbarButton975, &QToolButton::clicked, this, &TEdytorFrame::ToolbarButton975Click);
    connect(ToolbarButton976, &QToolButton::clicked, this, &TEdytorFrame::ToolbarButton976Click);
    connect(ToolbarButton977, &QToolButton::clicked, this, &TEdytorFrame::ToolbarButton977Click);
    connect(ToolbarButton9712, &QToolButton::clicked, this, &TEdytorFrame::ToolbarButton9712Click);
    connect(Cofnij1, &QAction::triggered, this, &TEdytorFrame::Cofnij1Click);
    connect(Wytnij1, &QAction::triggered, this, &TEdytorFrame::Wytnij1Click);
    connect(Kopiuj1, &QAction::triggered, this, &TEdytorFrame::Kopiuj1Click);
    connect(Wklej1, &QAction::triggered, this, &TEdytorFrame::Wklej1Click);
    connect(wklejaj, &QAction::triggered, this, &TEdytorFrame::wklejajExecute);
    connect(SynEdit1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(SynEdit1->viewport()->mapToGlobal(pos));
    });
}

void TEdytorFrame::SetReadOnly(bool Value) {
    ReadOnly = Value;
    SynEdit1->setReadOnly(Value);
    ToolbarButton974->setEnabled(!Value);
    ToolbarButton975->setEnabled(!Value);
    // and with them ToolbarButton979, ToolbarButton9711 and ToolbarButton9710
    for (QAction* action : {Wytnij1, Cofnij1, wklejaj}) {
        action->setEnabled(!Value);
    }
}

bool TEdytorFrame::LoadTextFile(const QString& Name) {
    const textlayer::DecodedText text = [&] {
        WaitCursor wait;
        return ReadTextFile(Name);
    }();
    if (text.longestLine > kLongLineLimit && !ConfirmLongLine(Name, text.longestLine)) {
        return false;
    }
    WaitCursor wait;
    SynEdit1->LoadUtf8Text(text.text, text.eol);
    SynEdit1->FitScrollWidth(text.longestLine);
    if (!FixedFileName) {
        FileName = Name;
    }
    return true;
}

// The control lays out a line whole at each change of it, about a second for
// every million characters, and the window does not answer meanwhile.
bool TEdytorFrame::ConfirmLongLine(const QString& name, std::size_t length) {
    const QString text =
        tr("Plik %1 ma wiersz długości %2 znaków. Tak długi wiersz edytor wyświetla bardzo "
           "wolno: okno może nie odpowiadać przez wiele sekund po każdej zmianie tego "
           "wiersza.\n\nOtworzyć plik mimo to?")
            .arg(name, QLocale(QLocale::Polish).toString(static_cast<qulonglong>(length)));
    return Dialogs().Ask(this, QMessageBox::Question, ProgramTitle(), text,
                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool TEdytorFrame::SaveFile() {
    QString target = FileName;
    if (target.isEmpty()) {
        target = Dialogs().GetSaveFileName(this, QString());
        if (target.isEmpty()) {
            return false;
        }
        if (!FixedFileName) {
            FileName = target;
        }
    }
    const textlayer::EncodedText encoded = textlayer::ToBytes(SynEdit1->Utf8Text());
    if (encoded.unencodable > 0 && !ConfirmUnencodable(encoded.unencodable)) {
        return false;
    }
    try {
        WriteTextFile(target, encoded.bytes);
    } catch (const TextFileError& error) {
        ShowError(this, error.Text());
        return false;
    }
    SynEdit1->SetModified(false);
    return true;
}

bool TEdytorFrame::ConfirmUnencodable(std::size_t count) {
    const QString text =
        tr("Tekst zawiera znaki, których nie można zapisać w stronie kodowej Windows-1250 "
           "(liczba: %1). Zostaną zapisane jako znak „?”.")
            .arg(count);
    return Dialogs().Ask(this, QMessageBox::Warning, ProgramTitle(), text,
                         QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

// Tabs become spaces up to the next stop of 8; the text is replaced in one
// step, outside the undo history, and the caret keeps its place in the text.
void TEdytorFrame::ExpandTabs() {
    WaitCursor wait;
    SynEdit1->setUpdatesEnabled(false);
    const auto caret =
        static_cast<std::size_t>(SynEdit1->SendScintilla(SynEdit::SCI_GETCURRENTPOS));
    const tabs::Expanded expanded =
        tabs::ExpandTabs(SynEdit1->Utf8Text(), SynEdit1->tabWidth(), caret);
    if (expanded.changed) {
        SynEdit1->ReplaceUtf8Text(expanded.text, expanded.position);
    }
    SynEdit1->setUpdatesEnabled(true);
    SynEdit1->EmptyUndoBuffer();
}

// Ctrl+V and the toolbar: the caret ends at the start of the pasted text; a
// tab in the clipboard text expands every tab of the text.
void TEdytorFrame::PasteText() {
    if (!SynEdit1->hasFocus()) {
        return;
    }
    const long start = SynEdit1->SelStart();
    const bool bringsTab = QApplication::clipboard()->text().contains(QLatin1Char('\t'));
    SynEdit1->paste();
    SynEdit1->SetSelStart(start);
    if (bringsTab && !ReadOnly) {
        ExpandTabs();
    }
}

void TEdytorFrame::ToolbarButton971Click() {
    SynEdit1->SetSelectionMode(SelectionMode::Normal);
}

void TEdytorFrame::ToolbarButton972Click() {
    SynEdit1->SetSelectionMode(SelectionMode::Lines);
}

void TEdytorFrame::ToolbarButton973Click() {
    SynEdit1->SetSelectionMode(SelectionMode::Column);
}

void TEdytorFrame::ToolbarButton974Click() {
    SynEdit1->ClearAll();
}

void TEdytorFrame::ToolbarButton975Click() {
    const QString name = Dialogs().GetOpenFileName(this, QString());
    if (name.isEmpty()) {
        return;
    }
    try {
        if (!LoadTextFile(name)) {
            return;
        }
    } catch (const TextFileError& error) {
        ShowError(this, error.Text());
        return;
    }
    ExpandTabs();
    SynEdit1->SetModified(true);
}

void TEdytorFrame::ToolbarButton976Click() {
    SaveFile();
}

void TEdytorFrame::ToolbarButton977Click() {
    printing->Print(this, SynEdit1);
}

void TEdytorFrame::ToolbarButton9712Click() {
    if (SearchForm) {
        SearchForm->ShowAgain();
        return;
    }
    SearchForm = new TForm_Szukaj(nullptr); // shows itself
    SearchForm->SetEditor(SynEdit1);
}

void TEdytorFrame::Cofnij1Click() {
    SynEdit1->undo();
}

void TEdytorFrame::Wytnij1Click() {
    SynEdit1->cut();
}

void TEdytorFrame::Kopiuj1Click() {
    SynEdit1->copy();
}

void TEdytorFrame::Wklej1Click() {
    SynEdit1->paste();
}

void TEdytorFrame::wklejajExecute() {
    PasteText();
}

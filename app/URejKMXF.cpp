#include "app/URejKMXF.h"
#include "ui_URejKMXF.h"

#include "app/ConversionMessages.h"
#include "app/ConversionRun.h"
#include "app/ElidedLabel.h"
#include "app/FileDrop.h"
#include "app/Przycisk.h"
#include "app/ReportWindow.h"
#include "app/WindowOpeners.h"
#include "common/Platform.h"
#include "common/UPlikIni.h"
#include "converter/URejestratorKMX685.h"
#include "gui/Dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTextBlock>

#include <array>

namespace {

// RadioGroup1's items in order: KMX 685, then the other recorders.
constexpr std::array kRecorderFormats{RecorderFormat::Kmx685, RecorderFormat::NikonRaw,
                                      RecorderFormat::Sdr, RecorderFormat::Gsi};
constexpr char kOutputName[] = "OBSBIEG";

// Right of the main window when there is room, else below it, made smaller to fit
// if need be, so that it never hides the main window's controls; on a screen too
// small for that the window manager decides.
void PlaceBeside(QWidget& window, const QRect& main, const QRect& screen) {
    constexpr int kGap = 8;
    constexpr QSize kSmallest(360, 200);
    const QSize wanted = window.size();
    const QRect right(main.right() + kGap, main.top(), screen.right() - main.right() - kGap,
                      screen.bottom() - main.top());
    const QRect below(main.left(), main.bottom() + kGap, screen.right() - main.left(),
                      screen.bottom() - main.bottom() - kGap);
    for (const QRect& room : {right, below}) {
        if (room.width() >= wanted.width() && room.height() >= wanted.height()) {
            window.move(room.topLeft());
            return;
        }
    }
    for (const QRect& room : {below, right}) {
        if (room.width() >= kSmallest.width() && room.height() >= kSmallest.height()) {
            window.resize(wanted.boundedTo(room.size()));
            window.move(room.topLeft());
            return;
        }
    }
}

} // namespace

TForm1::TForm1(const TPlikIni& settings, TRejestratorKMX685& converter, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()), settings_(settings),
      converter_(converter) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    move(0, 0);
    SizeLabelsToText();
    SetUpRecorderGroup();
    CreateStatusFields();
    SetUpResultButtons();
    ConnectControls();
}

TForm1::~TForm1() = default;

// Labels keep their place but take the width of their text, as the layout's
// labels did, so a substitute font a few pixels wider cuts nothing off.
void TForm1::SizeLabelsToText() {
    for (QLabel* label : ui->centralwidget->findChildren<QLabel*>()) {
        label->adjustSize();
    }
}

// One exclusive group, so a click on the chosen recorder never unchecks it; the
// item number is the button's id.
void TForm1::SetUpRecorderGroup() {
    recorders_ = new QButtonGroup(this);
    recorders_->setExclusive(true);
    const std::array items{ui->RadioGroup1Item0, ui->RadioGroup1Item1, ui->RadioGroup1Item2,
                           ui->RadioGroup1Item3};
    static_assert(items.size() == kRecorderFormats.size());
    for (std::size_t id = 0; id < items.size(); ++id) {
        recorders_->addButton(items[id], int(id));
    }
    connect(recorders_, &QButtonGroup::idToggled, this, &TForm1::KeepTabOnChosenRecorder);
    KeepTabOnChosenRecorder();
}

// Tab enters the group at the chosen recorder, as in a Windows radio group, and
// the arrow keys move within it. Qt would enter at the first item until the
// group has once had the focus.
void TForm1::KeepTabOnChosenRecorder() {
    QAbstractButton* chosen = recorders_->checkedButton();
    if (!chosen) {
        chosen = recorders_->button(0);
    }
    for (QAbstractButton* item : recorders_->buttons()) {
        item->setFocusPolicy(item == chosen ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

// The working folder gives way (cut in the middle) before the summary does.
void TForm1::CreateStatusFields() {
    directoryField_ = new ElidedLabel(ui->StatusBar1);
    directoryField_->setObjectName(QStringLiteral("StatusDirectory"));
    ui->StatusBar1->addWidget(directoryField_, 1);
    summaryField_ = new QLabel(ui->StatusBar1);
    summaryField_->setObjectName(QStringLiteral("StatusSummary"));
    summaryField_->setContentsMargins(0, 0, 4, 0);
    ui->StatusBar1->addPermanentWidget(summaryField_);
}

void TForm1::SetUpResultButtons() {
    const QString folder = QString::fromStdString(settings_.Path);
    for (TPrzycisk* button : FindComponentsOfClass<TPrzycisk>(this)) {
        button->SetDirectory(folder);
    }
}

void TForm1::ConnectControls() {
    connect(ui->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    // Tab leaves the list for the next control instead of typing a tab into a path.
    ui->Memo1->setTabChangesFocus(true);
    auto* drop = new FileDropFilter(ui->Memo1->viewport());
    connect(drop, &FileDropFilter::FilesDropped, this, &TForm1::AppendFiles);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    DestroyEditorAndHelpWindows();
    QCoreApplication::exit(0);
}

void TForm1::FormShow() {
    RefreshFileButtons();
    directoryField_->SetText(QString::fromStdString(settings_.Path));
}

// Every editor with unsaved changes asks its question first; the program ends
// only when all of them agreed, and until then no window closes.
bool TForm1::FormCloseQuery() {
    return !converting_ && EditorsAgreeToClose();
}

void TForm1::Button1Click() {
    AppendFiles(Dialogs().GetOpenFileNames(this, QString::fromStdString(settings_.Path)));
}

void TForm1::Button2Click() {
    QTextCursor cursor = ui->Memo1->textCursor();
    const QTextBlock line = cursor.block();
    cursor.setPosition(line.position());
    if (line.next().isValid()) {
        cursor.setPosition(line.next().position(), QTextCursor::KeepAnchor);
    } else {
        // The last line takes the line end before it, so no empty line is left behind.
        cursor.setPosition(line.previous().isValid() ? line.position() - 1 : line.position());
        cursor.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

void TForm1::Button3Click() {
    ui->Memo1->clear();
}

void TForm1::BitBtn1Click() {
    if (converting_) {
        return; // the list is the converter's until it ends
    }
    const int recorder = RecorderIndex();
    if (recorder < 0) {
        ShowMessage(this, QStringLiteral("Wybierz typ rejestratora"));
        return;
    }
    inputFiles_.clear();
    for (const QString& line : ui->Memo1->toPlainText().split(QLatin1Char('\n'))) {
        inputFiles_.push_back(line.toStdString());
    }
    converter_.SetInputFiles(inputFiles_);
    Convert(kRecorderFormats.at(std::size_t(recorder)));
    RefreshFileButtons();
}

void TForm1::BitBtn2Click() {
    close();
}

void TForm1::AppendFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        ui->Memo1->appendPlainText(QDir::toNativeSeparators(path));
    }
}

int TForm1::RecorderIndex() const {
    return recorders_->checkedId();
}

void TForm1::Convert(RecorderFormat format) {
    summaryField_->clear();
    // An empty Path would put OBSBIEG at the root of the drive, and control
    // characters would name a folder nobody meant: refuse instead.
    if (const auto problem = WorkingFolderProblem(settings_)) {
        ShowConversionError(this, {settings_.IniPath, *problem});
        return;
    }
    converter_.SetFormat(format);
    converting_ = true;
    ConversionResult result =
        RunConversion(converter_, platform::JoinPath(settings_.Path, kOutputName), this);
    converting_ = false;
    ShowResult(result);
}

void TForm1::ShowResult(ConversionResult& result) {
    switch (result.status) {
    case ConversionStatus::Succeeded:
        summaryField_->setText(SummaryText(result.summary, result.report.Count()));
        ShowReport(result.report);
        break;
    case ConversionStatus::Failed:
        ShowConversionError(this, result.failure.value_or(ConversionError{}));
        break;
    case ConversionStatus::Cancelled:
        break;
    }
}

// A clean conversion closes the report of the one before; a new report takes the
// same window, right of this one when the screen has room for it.
void TForm1::ShowReport(ConversionReport& report) {
    if (report.Empty()) {
        if (reportWindow_) {
            reportWindow_->close();
        }
        return;
    }
    if (!reportWindow_) {
        reportWindow_ = new ReportWindow(QString::fromStdString(settings_.Path), this);
        PlaceBeside(*reportWindow_, frameGeometry(), screen()->availableGeometry());
    }
    reportWindow_->SetReport(std::move(report));
    reportWindow_->show();
    reportWindow_->raise();
}

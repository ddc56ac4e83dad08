#include "app/ReportWindow.h"
#include "ui_ReportWindow.h"

#include "app/ConversionMessages.h"
#include "app/Przycisk.h"
#include "app/ReportModel.h"
#include "app/WindowOpeners.h"
#include "gui/Dialogs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>

ReportWindow::ReportWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::ReportWindow>()),
      model_(new ReportModel(this)), folder_(folder) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window keeps the keyboard; the report waits beside it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    ui->Entries->setModel(model_);
    ui->Entries->verticalHeader()->hide();
    ui->Entries->horizontalHeader()->setStretchLastSection(true);
    ui->Entries->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ui->Entries->setSortingEnabled(true);
    connect(ui->Entries, &QAbstractItemView::activated, this, &ReportWindow::EntryActivated);
    connect(ui->CopyButton, &QPushButton::clicked, this, &ReportWindow::CopyClick);
    connect(ui->SaveButton, &QPushButton::clicked, this, &ReportWindow::SaveClick);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::SetReport(ConversionReport report) {
    model_->SetReport(std::move(report));
    ui->Entries->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ui->Entries->resizeColumnToContents(ReportModel::LineColumn);
    ui->Entries->setColumnWidth(ReportModel::FileColumn, width() / 3);
    ui->Summary->setText(ReportSummaryText(model_->Report()));
}

std::string ReportWindow::Text(std::string_view lineEnd) const {
    return report::Text(model_->Report(), lineEnd, model_->Order());
}

void ReportWindow::CopyClick() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(Text("\n")));
}

void ReportWindow::SaveClick() {
    const QString path = Dialogs().GetSaveFileName(this, folder_);
    if (path.isEmpty()) {
        return;
    }
    std::string detail;
    if (!report::WriteFile(path.toStdString(), Text("\r\n"), detail)) {
        ShowError(this, QStringLiteral("Nie można zapisać raportu."),
                  QString::fromStdString(detail));
    }
}

void ReportWindow::EntryActivated(const QModelIndex& index) {
    const ReportEntry& entry = model_->EntryAt(index.row());
    OpenFileAtLine(QString::fromStdString(model_->Report().FileOf(entry)), entry.line,
                   TPrzycisk::kEditorFontSize, &RefreshFileButtons);
}

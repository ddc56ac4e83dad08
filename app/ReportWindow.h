#pragma once

#include "converter/ConversionReport.h"

#include <QString>
#include <QWidget>

#include <memory>

class QModelIndex;
class ReportModel;

namespace Ui {
class ReportWindow;
}

// "Raport konwersji": the lines of the last conversion that did not convert
// cleanly, beside the main window and not in its way. The rows sort by any
// column; a double-click (or Enter) opens the file in an editor window at that
// line; "Kopiuj" puts the report on the clipboard and "Zapisz raport…" writes it
// as a Windows-1250 file with CR LF line ends, in the order shown.
class ReportWindow : public QWidget {
    Q_OBJECT

public:
    // `folder` is where the save dialog starts.
    ReportWindow(const QString& folder, QWidget* parent = nullptr);
    ~ReportWindow() override;

    void SetReport(ConversionReport report);

private:
    void CopyClick();
    void SaveClick();
    void EntryActivated(const QModelIndex& index);
    std::string Text(std::string_view lineEnd) const;

    std::unique_ptr<Ui::ReportWindow> ui;
    ReportModel* model_;
    QString folder_;
};

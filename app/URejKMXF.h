#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class ElidedLabel;
class QButtonGroup;
class QLabel;
class ReportWindow;
class TPlikIni;
class ConversionReport;
struct ConversionResult;
class TRejestratorKMX685;
enum class RecorderFormat;

namespace Ui {
class TForm1;
}

// The program's main window: the list of recorder files, the recorder type, the
// execute button and the result-file buttons. Closing it ends the program.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // The settings and the converter are the program's single instances; they
    // must outlive the window.
    TForm1(const TPlikIni& settings, TRejestratorKMX685& converter, QWidget* parent = nullptr);
    ~TForm1() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SizeLabelsToText();
    void SetUpRecorderGroup();
    void KeepTabOnChosenRecorder();
    void CreateStatusFields();
    void ConnectControls();
    void SetUpResultButtons();

    void FormShow();
    bool FormCloseQuery();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void BitBtn1Click();
    void BitBtn2Click();

    void AppendFiles(const QStringList& paths);
    int RecorderIndex() const;
    void Convert(RecorderFormat format);
    void ShowResult(ConversionResult& result);
    void ShowReport(ConversionReport& report);

    std::unique_ptr<Ui::TForm1> ui;
    const TPlikIni& settings_;
    TRejestratorKMX685& converter_;
    std::vector<std::string> inputFiles_; // the list handed to the converter
    QButtonGroup* recorders_ = nullptr;   // RadioGroup1's items, by item number
    ElidedLabel* directoryField_ = nullptr;
    QLabel* summaryField_ = nullptr;
    QPointer<ReportWindow> reportWindow_; // the last conversion's report, while open
    bool converting_ = false;
};

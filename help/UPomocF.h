#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class PdfSearch;
class TAcroPDF;

namespace Ui {
class TPomocF;
}

// The help window: the program's manual in an embedded viewer under a slim
// toolbar (page number and count, zoom, search). Top-level, not
// modal, shows itself when created and frees itself when closed, so any
// number of them can be open at once.
class TPomocF : public QWidget {
    Q_OBJECT

public:
    explicit TPomocF(QWidget* parent = nullptr);
    ~TPomocF() override;

    void LoadPdf(const QString& path);

    TAcroPDF* AcroPDF1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void connectToolBar();
    void documentLoaded();
    void pageChanged(int page);
    void zoomModeChanged();
    void find(bool forward);
    void showMatch(int index);

    std::unique_ptr<Ui::TPomocF> ui;
    PdfSearch* search_ = nullptr;
};

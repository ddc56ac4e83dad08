#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class TAcroPDF;

namespace Ui {
class TPomocF;
}

// The help window: the program's manual in an embedded viewer. Top-level, not
// modal, shows itself when created and frees itself when closed, so any
// number of them can be open at once.
class TPomocF : public QWidget {
    Q_OBJECT

public:
    explicit TPomocF(QWidget* parent = nullptr);
    ~TPomocF() override;

    void LoadPdf(const QString& path);

    TAcroPDF* AcroPDF1 = nullptr;

private:
    std::unique_ptr<Ui::TPomocF> ui;
};

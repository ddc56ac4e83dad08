#include "help/UPomocF.h"

#include "help/TAcroPDF.h"
#include "ui_UPomocF.h"

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
    show();
}

TPomocF::~TPomocF() = default;

void TPomocF::LoadPdf(const QString& path) {
    AcroPDF1->LoadFile(path);
}

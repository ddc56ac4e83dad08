#pragma once

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QAction;
class QFrame;
class QMenu;
class QToolButton;
class EditorPrinting;
class TForm_Szukaj;
class SynEdit;

namespace Ui {
class TEdytorFrame;
}

// The editor frame: a toolbar strip over SynEdit1, bound to one file name.
class TEdytorFrame : public QWidget {
    Q_OBJECT

public:
    explicit TEdytorFrame(QWidget* parent = nullptr);
    ~TEdytorFrame() override;

    SynEdit* SynEdit1 = nullptr;
    QFrame* Panel1 = nullptr;
    QToolButton* ToolbarButton971 = nullptr;
    QToolButton* ToolbarButton972 = nullptr;
    QToolButton* ToolbarButton973 = nullptr;
    QToolButton* ToolbarButton974 = nullptr;
    QToolButton* ToolbarButton975 = nullptr;
    QToolButton* ToolbarButton976 = nullptr;
    QToolButton* ToolbarButton977 = nullptr;
    QToolButton* ToolbarButton978 = nullptr;
    QToolButton* ToolbarButton979 = nullptr;
    QToolButton* ToolbarButton9710 = nullptr;
    QToolButton* ToolbarButton9711 = nullptr;
    QToolButton* ToolbarButton9712 = nullptr;
    const QList<QIcon> ImageList1;
    QMenu* PopupMenu1 = nullptr;
    QAction* Cofnij1 = nullptr;
    QAction* Wytnij1 = nullptr;
    QAction* Kopiuj1 = nullptr;
    QAction* Wklej1 = nullptr;
    QAction* wklejaj = nullptr;

    bool ReadOnly = false;
    QString FileName;
    bool FixedFileName = false;
    // The search dialog, made at the first press of "Szukaj"; a top-level
    // window of its own, destroyed with the frame.
    QPointer<TForm_Szukaj> SearchForm;

    void SetReadOnly(bool Value);
    // False when the user chose not to open a file with a very long line.
    // Throws TextFileError. Either way text, FileName and the modified flag
    // stay as they were.
    bool LoadTextFile(const QString& Name);
    // Whether the text was written; failures are shown to the user here.
    bool SaveFile();
    void ExpandTabs();
    void PasteText();

    void ToolbarButton971Click();
    void ToolbarButton972Click();
    void ToolbarButton973Click();
    void ToolbarButton974Click();
    void ToolbarButton975Click();
    void ToolbarButton976Click();
    void ToolbarButton977Click();
    void ToolbarButton9712Click();
    void Cofnij1Click();
    void Wytnij1Click();
    void Kopiuj1Click();
    void Wklej1Click();
    void wklejajExecute();

private:
    void TakeComponents();
    void CreateActions();
    void ShowPictures();
    void ConnectHandlers();
    bool ConfirmUnencodable(std::size_t count);
    bool ConfirmLongLine(const QString& name, std::size_t length);

    std::unique_ptr<Ui::TEdytorFrame> ui;
    std::unique_ptr<EditorPrinting> printing;
};

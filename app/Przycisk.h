#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QToolButton>

// A flat button standing for one result file in the working directory: its
// picture tells whether the file exists, a click opens the file in a new editor.
class TPrzycisk : public QToolButton {
    Q_OBJECT
    // Set from the window layout; the setter keeps uic's naming.
    Q_PROPERTY(QString NazwaPliku READ NazwaPliku WRITE setNazwaPliku)

public:
    static constexpr int kEditorFontSize = 8;

    explicit TPrzycisk(QWidget* parent = nullptr);

    QString NazwaPliku() const { return nazwaPliku_; }
    // The caption follows the file name while it still is the default one (the
    // button's name) or the previous file name; a caption set otherwise stays.
    // The layout gives the caption first, untranslated, so uic keeps that order.
    void setNazwaPliku(const QString& name);

    // Folder of the result file; the window holding the button sets it from the
    // settings when it is built.
    QString Directory() const { return directory_; }
    void SetDirectory(const QString& folder) { directory_ = folder; }

    // Directory, one separator, NazwaPliku.
    QString FilePath() const;

    // Re-checks whether the file exists and shows the matching picture. The
    // picture changes only here, not on every paint.
    void Repaint();

    // The editor window opened by the latest click, while it exists.
    QWidget* LastEditorWindow() const { return lastEditorWindow_; }

private:
    void Click();

    QString nazwaPliku_;
    int editorFontSize_ = kEditorFontSize;
    QPointer<QWidget> lastEditorWindow_;
    QString directory_;
};

// A flat picture button that opens the program's PDF manual in a help window.
class TInfoBtn : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(QString ScPlikPDF READ ScPlikPDF WRITE setScPlikPDF)

public:
    explicit TInfoBtn(QWidget* parent = nullptr);

    QString ScPlikPDF() const { return scPlikPDF_; }
    void setScPlikPDF(const QString& fileName) { scPlikPDF_ = fileName; }

    // The executable's folder, one separator, ScPlikPDF.
    QString ManualPath() const;

    QWidget* LastHelpWindow() const { return lastHelpWindow_; }

private:
    void Click();

    QString scPlikPDF_;
    QPointer<QWidget> lastHelpWindow_;
};

// Objects owned by `owner` that are `cls` or derived from it, in ownership order;
// a widget of another class is searched in its place. For the application object
// the owned objects are its top-level windows. The caller owns the list.
QList<QObject*> FindComponentsOfClass(const QObject* owner, const QMetaObject& cls);

template <class T> QList<T*> FindComponentsOfClass(const QObject* owner) {
    QList<T*> found;
    for (QObject* object : FindComponentsOfClass(owner, T::staticMetaObject)) {
        found.append(static_cast<T*>(object));
    }
    return found;
}

// Every result-file button of the application that is not hidden re-checks its file.
void RefreshFileButtons();

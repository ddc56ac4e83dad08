#include "app/Przycisk.h"

#include "app/ButtonPictures.h"
#include "app/WindowOpeners.h"
#include "common/Platform.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

namespace {

QString JoinPath(const QString& folder, const QString& fileName) {
    return QString::fromStdString(platform::JoinPath(folder.toStdString(), fileName.toStdString()));
}

// Speed buttons of the layout: flat until hovered, never take the keyboard focus.
void MakeFlat(QToolButton& button) {
    button.setAutoRaise(true);
    button.setFocusPolicy(Qt::NoFocus);
}

// The windows the application owns: top-level widgets without a parent. Windows
// with a parent are reached through it.
QObjectList ApplicationWindows() {
    QObjectList windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->parent()) {
            windows.append(widget);
        }
    }
    return windows;
}

void CollectComponents(const QObjectList& owned, const QMetaObject& cls, QList<QObject*>& found) {
    for (QObject* object : owned) {
        if (object->metaObject()->inherits(&cls)) {
            found.append(object);
        } else if (object->isWidgetType()) {
            CollectComponents(object->children(), cls, found);
        }
    }
}

} // namespace

TPrzycisk::TPrzycisk(QWidget* parent) : QToolButton(parent) {
    MakeFlat(*this);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(24, 24));
    connect(this, &QToolButton::clicked, this, &TPrzycisk::Click);
}

void TPrzycisk::setNazwaPliku(const QString& name) {
    if (text() == objectName() || text() == nazwaPliku_) {
        setText(name);
    }
    nazwaPliku_ = name;
}

QString TPrzycisk::FilePath() const {
    return JoinPath(directory_, nazwaPliku_);
}

void TPrzycisk::Repaint() {
    // A folder of that name is no result file.
    const QFileInfo file(FilePath());
    const bool present = file.exists() && !file.isDir();
    setIcon(present ? LoadButtonPictures().filePresent : QIcon());
    repaint();
}

void TPrzycisk::Click() {
    lastEditorWindow_ = OpenResultFile(FilePath(), editorFontSize_, &RefreshFileButtons);
    // The keyboard goes back to the button's window; a window manager raises
    // the window it activates, so the new editor is raised after it.
    window()->activateWindow();
    lastEditorWindow_->raise();
}

TInfoBtn::TInfoBtn(QWidget* parent) : QToolButton(parent) {
    MakeFlat(*this);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(87, 32));
    setIcon(LoadButtonPictures().help);
    connect(this, &QToolButton::clicked, this, &TInfoBtn::Click);
}

QString TInfoBtn::ManualPath() const {
    return QString::fromStdString(
        platform::JoinPath(platform::ExecutableDir(), scPlikPDF_.toStdString()));
}

void TInfoBtn::Click() {
    lastHelpWindow_ = OpenHelp(ManualPath());
}

QList<QObject*> FindComponentsOfClass(const QObject* owner, const QMetaObject& cls) {
    QList<QObject*> found;
    const bool isApplication = owner == QCoreApplication::instance();
    CollectComponents(isApplication ? ApplicationWindows() : owner->children(), cls, found);
    return found;
}

void RefreshFileButtons() {
    for (TPrzycisk* button : FindComponentsOfClass<TPrzycisk>(QCoreApplication::instance())) {
        if (!button->isHidden()) {
            button->Repaint();
        }
    }
}

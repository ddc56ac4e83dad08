#include "app/FileDrop.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

bool IsDragEvent(QEvent::Type type) {
    return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

} // namespace

FileDropFilter::FileDropFilter(QWidget* target) : QObject(target), target_(target) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

QStringList FileDropFilter::LocalFiles(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    return paths;
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    if (!IsDragEvent(event->type())) {
        return QObject::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    // The scroll area the viewport belongs to, where the list's own drags start.
    QWidget* list = target_->parentWidget() ? target_->parentWidget() : target_;
    auto* source = qobject_cast<QWidget*>(drop->source());
    if (source && (source == list || list->isAncestorOf(source))) {
        return false; // text moved within the list
    }
    const QStringList paths = LocalFiles(drop->mimeData());
    if (paths.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        emit FilesDropped(paths);
    }
    return true;
}

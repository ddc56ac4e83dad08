#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

// Takes files dragged from a file manager onto a widget and reports their paths.
// Any other drop from outside the widget (web or network addresses, text) is
// refused and leaves the widget as it was; dragging text within the widget
// itself is left to the widget.
class FileDropFilter : public QObject {
    Q_OBJECT

public:
    // Watches `target` (for a scroll area: its viewport); owned by it.
    explicit FileDropFilter(QWidget* target);

    // Native paths of the dragged files, in drag order; empty unless every item is a local file.
    static QStringList LocalFiles(const QMimeData* mime);

signals:
    void FilesDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* target_;
};

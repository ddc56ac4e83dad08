#include "app/ButtonPictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

// Drawn for the screen's pixel ratio, so it stays crisp on scaled screens.
QIcon RenderPicture(const QString& resource, QSize size) {
    const qreal ratio = qApp->devicePixelRatio();
    QSvgRenderer renderer(resource);
    QPixmap pixmap((QSizeF(size) * ratio).toSize());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return QIcon(pixmap);
}

} // namespace

const ButtonPictures& LoadButtonPictures() {
    static const ButtonPictures pictures{RenderPicture(":/PLIK_JEST_24", QSize(24, 24)),
                                         RenderPicture(":/INFO", QSize(87, 32))};
    return pictures;
}

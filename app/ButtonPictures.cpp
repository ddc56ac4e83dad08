#include "app/ButtonPictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Drawn for the screen's pixel ratio, so it stays crisp on scaled screens.
QPixmap RenderPicture(const QString& resource, QSize size) {
    const qreal ratio = qApp->devicePixelRatio();
    QSvgRenderer renderer(resource);
    QPixmap pixmap((QSizeF(size) * ratio).toSize());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

const ButtonPictures& LoadButtonPictures() {
    static const ButtonPictures pictures{QIcon(RenderPicture(":/PLIK_JEST_24", QSize(24, 24))),
                                         QIcon(RenderPicture(":/INFO", QSize(87, 32)))};
    return pictures;
}

#pragma once

#include "support/FakeDialogs.h"
#include "support/QtFiles.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QList>
#include <QString>

// Types text that QTest::keyClicks cannot (characters beyond Latin-1).
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
    }
}

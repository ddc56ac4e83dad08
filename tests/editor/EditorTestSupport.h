#pragma once

#include "FakeDialogs.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QList>
#include <QString>

inline void WriteBytes(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file %s", qPrintable(name));
    }
}

inline QByteArray ReadBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Types text that QTest::keyClicks cannot (characters beyond Latin-1).
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
    }
}

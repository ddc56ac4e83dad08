#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Test files written and read whole through Qt. A file that cannot be written
// stops the test program; one that cannot be read reads as "<missing>", which
// no expected content equals.
inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file %s", qPrintable(path));
    }
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

#include "editor/TextFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("TextFile", text);
}

QString ReadFailure(const QString& name, const QString& reason) {
    return Tr("Nie można odczytać pliku %1.\n%2").arg(name, reason);
}

QString WriteFailure(const QString& name, const QString& reason) {
    return Tr("Nie można zapisać pliku %1.\n%2").arg(name, reason);
}

} // namespace

textlayer::DecodedText ReadTextFile(const QString& name) {
    if (QFileInfo(name).isDir()) {
        throw TextFileError(ReadFailure(name, Tr("To jest folder, nie plik.")));
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        throw TextFileError(ReadFailure(name, file.errorString()));
    }
    // Read straight into the buffer that becomes the text: a 50 MB file is
    // held once, not three times.
    std::string bytes;
    const auto expected = static_cast<std::size_t>(std::max<qint64>(file.size(), 0));
    bytes.reserve(expected + expected / 8 + 16);
    char block[1 << 16];
    for (;;) {
        const qint64 count = file.read(block, sizeof block);
        if (count < 0) {
            throw TextFileError(ReadFailure(name, file.errorString()));
        }
        if (count == 0) {
            break;
        }
        bytes.append(block, static_cast<std::size_t>(count));
    }
    return textlayer::FromBytes(std::move(bytes));
}

void WriteTextFile(const QString& name, std::string_view bytes) {
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        throw TextFileError(WriteFailure(name, file.errorString()));
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        throw TextFileError(WriteFailure(name, file.errorString()));
    }
}

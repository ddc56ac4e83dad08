#include "editor/TextFile.h"

#include "common/ErrorText.h"
#include "common/OutputFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("TextFile", text);
}

QString ReadFailure(const QString& name, const QString& reason) {
    return Tr("Nie można odczytać pliku %1.\n%2").arg(name, reason);
}

QString WriteFailure(const QString& name, const std::error_code& ec) {
    QString cause = QString::fromStdString(DescribeError(ec));
    cause[0] = cause[0].toUpper();
    return Tr("Nie można zapisać pliku %1.\n%2.").arg(name, cause);
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

// The same writer as the conversion's: a link is written through, the file keeps
// its mode and owner, a device or FIFO is written in place, and the bytes are on
// the disk before the name changes.
void WriteTextFile(const QString& name, std::string_view bytes) {
    AtomicOutputFile file(name.toStdString());
    std::error_code ec;
    if (!file.Open(ec)) {
        throw TextFileError(WriteFailure(name, ec));
    }
    file.Append(bytes);
    if (!file.Commit(ec)) {
        throw TextFileError(WriteFailure(name, ec));
    }
}

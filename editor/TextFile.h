#pragma once

#include "editor/text/TextLayer.h"

#include <QString>

#include <stdexcept>
#include <string_view>

// A file that could not be read or written; the text names the file and is
// ready for the user.
class TextFileError : public std::runtime_error {
public:
    explicit TextFileError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

// Reads a Windows-1250 text file whole; throws TextFileError.
textlayer::DecodedText ReadTextFile(const QString& name);

// Writes through a temporary file renamed into place (AtomicOutputFile), so a
// failure leaves the old file as it was; throws TextFileError.
void WriteTextFile(const QString& name, std::string_view bytes);

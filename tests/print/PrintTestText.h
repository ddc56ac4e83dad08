#pragma once

#include <Qsci/qsciscintilla.h>

#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>

// Editors and texts shared by the print tests.
namespace print_test {

// A text control set up as the editor frame sets up SynEdit1: font and tab width.
inline std::unique_ptr<QsciScintilla> MakeEditor(const QString& text, int pointSize = 10,
                                                 int tabWidth = 8) {
    auto editor = std::make_unique<QsciScintilla>();
    QFont font(QStringLiteral("Courier New"), pointSize);
    font.setStyleHint(QFont::TypeWriter);
    editor->setFont(font);
    editor->setTabWidth(tabWidth);
    editor->setText(text);
    return editor;
}

// Numbered lines, each one distinct, so every printed row can be traced back.
inline QStringList NumberedLines(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) {
        lines << QStringLiteral("Wiersz %1 stanowisko %2 odczyt 123.4567")
                     .arg(i, 4, 10, QLatin1Char('0'))
                     .arg(i % 17);
    }
    return lines;
}

} // namespace print_test

#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

// How the buttons open their windows, kept apart so that app/ only meets the
// editor and help windows here.

// Opens a new editor window (owned by the application, deleted on close) with its
// text control at `textSize` points, bound to `path` and loaded if the file exists.
// `onClosed` runs after the window has closed, once it is gone. Returns the window.
QWidget* OpenResultFile(const QString& path, int textSize, std::function<void()> onClosed);

// Opens `path` as OpenResultFile does, or takes the editor window already bound
// to it, raises it and selects line `line` (from 1, as the conversion counts
// lines) with the caret at its start. nullptr when the user chose not to open it.
QWidget* OpenFileAtLine(const QString& path, std::uint64_t line, int textSize,
                        std::function<void()> onClosed);

// Asks every open editor window its closing question (unsaved changes) without
// closing any; false as soon as one of them must stay open.
bool EditorsAgreeToClose();

// Destroys every editor and help window without asking: for the end of the
// program, once the editors agreed.
void DestroyEditorAndHelpWindows();

// Opens a new help window (owned by the application, deleted on close) showing the
// PDF `pdfPath` (or, when it cannot be shown, a message naming it). Returns the window.
// On Windows it hands the PDF to the user's PDF reader instead, or shows a message
// naming it, and returns nullptr.
QWidget* OpenHelp(const QString& pdfPath);

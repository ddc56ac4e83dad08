#pragma once

#include <QString>

class QWidget;

// How the buttons open their windows, kept apart so that app/ only meets the
// editor and help windows here.

// Opens a new editor window (owned by the application, deleted on close) with its
// text control at `textSize` points, bound to `path` and loaded if the file exists.
// The window's Closed signal must call RefreshFileButtons. Returns the window, or
// nullptr if none could be opened.
QWidget* OpenResultFile(const QString& path, int textSize);

// Opens a new help window (owned by the application, deleted on close) showing the
// PDF `pdfPath`. Returns the window, or nullptr if none could be opened.
QWidget* OpenHelp(const QString& pdfPath);

#pragma once

class QApplication;

// The window title, which message boxes use as their caption.
inline constexpr char kProgramTitle[] = "Konwersja plików formatu KMX 685 1.0";

// Metric-compatible stand-ins for the fonts the layouts and pictures were drawn
// with, used only where those fonts are not installed.
void InstallFontFallbacks();

// Title and Polish standard buttons and dialogs. Call before any window exists.
void SetUpApplication(QApplication& app);

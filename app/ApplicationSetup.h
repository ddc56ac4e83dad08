#pragma once

class QApplication;

// Metric-compatible stand-ins for the fonts the layouts and pictures were drawn
// with, used only where those fonts are not installed.
void InstallFontFallbacks();

// Name, icon of every window, and Polish standard buttons and dialogs (Qt's own
// texts, then ours over them). Call before any window exists.
void SetUpApplication(QApplication& app);

#pragma once

class QApplication;

// Under Wine, the font engine that draws every letter. Call before the application
// object exists.
void ChooseFontEngine();

// Metric-compatible stand-ins for the fonts the layouts and pictures were drawn
// with, used only where those fonts are not installed.
void InstallFontFallbacks();

// Name, icon of every window, and Polish standard buttons and dialogs (Qt's own
// texts, then ours over them). Call before any window exists.
void SetUpApplication(QApplication& app);

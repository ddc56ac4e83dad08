#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures every button shares: drawn once from the compiled-in SVGs and
// kept until the program ends. The file-missing picture is an empty icon.
struct ButtonPictures {
    QIcon filePresent; // PLIK_JEST_24, 24 x 24
    QIcon help;        // INFO, 87 x 32
};

// A compiled-in SVG drawn at `size` for the screen's pixel ratio.
QPixmap RenderPicture(const QString& resource, QSize size);

// Loads the pictures on first use; start-up calls it before the main window.
// Needs the application object, since the pictures are pixmaps.
const ButtonPictures& LoadButtonPictures();

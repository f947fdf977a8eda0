#pragma once
// The window's icon, drawn here: a sky-blue tile with a pink rim holding three archive
// volumes tied with a strap. Six images: 48, 32 and 16 pixels square, each in 256 colours
// and in 32-bit colour.
#include <vector>

#include <QByteArray>
#include <QIcon>
#include <QImage>

// The artwork at one size, 32-bit with alpha.
QImage iconArtwork(int size);
// The six images: 48, 32, 16 pixels in 256 colours (8 bits, palette), then the same in 32 bits.
std::vector<QImage> iconImages();
QIcon appIcon();
// The images as a Windows icon file (.ico): each one a BMP image with its AND mask.
QByteArray icoFile(const std::vector<QImage>& images);

#pragma once
// Images drawn with a mask beside them (cursors, tool bar icons): the picture on the left
// half, its mask on the right, black where the picture shows and white where it does not.

#include <QImage>
#include <string>

// The picture of a BMP file with its mask made the alpha channel. A null image when the
// file cannot be read (TavReadWholeFile), is no BMP, or holds no picture and mask of one
// size with sides of at most maxSide pixels.
QImage TavLoadMaskedImage(const std::string& path, int maxSide);

// The image stem + ".bmp" or, for a screen of a device pixel ratio above 1, stem +
// "@2x.bmp" when that one is twice the size (its device pixel ratio set to 2, so it keeps
// the 1x size in Qt's units). A missing or unfit 2x image gives the 1x one.
QImage TavLoadMaskedImageFor(const std::string& stem, int maxSide, double ratio);

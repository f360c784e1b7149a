#pragma once
// Images drawn with a mask beside them (cursors, tool bar icons): the picture on the left
// half, its mask on the right, black where the picture shows and white where it does not.

#include <QImage>
#include <string>

// The picture of a BMP file with its mask made the alpha channel. A null image when the
// file cannot be read (TavReadWholeFile), is no BMP, or holds no picture and mask of one
// size with sides of at most maxSide pixels.
QImage TavLoadMaskedImage(const std::string& path, int maxSide);

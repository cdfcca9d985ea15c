#pragma once
// The picture files of the logo and image designers: pictures are read with Qt's image readers
// and kept opaque (what a file leaves transparent becomes black, the colour the sign shows
// through), and written as 24-bit BMP beside the old file and renamed over it. Also the recolouring
// of the eyedropper and the sample pictures of the application directory.

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>

#include "core/platform/Result.h"
#include "render/PictureRenderer.h"

namespace lumafex::design {

// A picture file read with Qt's image readers (the format is decided by the content), made opaque
// on black. A null image when the file is not a picture Qt can read.
QImage readPictureFile(const QString& file);

// Any image made opaque on black, in the format the designers work in (RGB32).
QImage opaquePicture(const QImage& image);

// The bytes of a 24-bit BMP file of the picture.
QByteArray bmpBytes(const QImage& picture);

// Writes the picture as a 24-bit BMP, beside the file and renamed over it.
Status writePictureFile(const std::filesystem::path& file, const QImage& picture);

// Paints every pixel of `colour` black (the transparent colour). Returns the pixels changed.
long paintColourBlack(QImage& picture, QColor colour);

// The picture an empty add gives: black, 32 × 32 pixels.
QImage emptyPicture();

// A star on black, the picture a designer adds while it holds no picture to copy.
QImage starPicture();

// The files of a project's pictures that could not be read (the set holds a null image for each),
// the logos first.
QStringList unreadablePictureFiles(const preview::SignPictureSet& pictures, const QString& projectDirectory);

// The message naming them: the list shows a placeholder in their place, which can be replaced.
std::string unreadablePicturesMessage(const QStringList& files);

// What a picture that could not be read shows in its place in the designers' list: a dark grey
// square with a red cross and a light frame, as large as a placement block without a picture.
QImage unreadablePicturePlaceholder();

// Fills the folder "图案例" of the application directory with the sample pictures it misses.
void seedSamplePictures(const QString& applicationDirectory);

}  // namespace lumafex::design

#pragma once
// JPEG pictures through libjpeg-turbo: the size from the header, the picture at its own size or
// reduced by the decoder's DCT scaling (a large photograph shown small is never decoded whole),
// and the full-resolution picture written straight into the bytes of a 24-bit BMP; and the JPEG
// encoder with its default settings.
//
// Every picture comes upright: a photograph's EXIF orientation (read with libexif) is applied
// while decoding, so sizes and pixel positions are those of the picture as it is meant to be
// seen.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <stdexcept>

namespace kinepo {

// A JPEG that cannot be read: missing, empty, not a JPEG, truncated or corrupt. what() is a
// French message naming the file.
class ErreurJpeg : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Width and height of the picture, read from its header only. Throws ErreurJpeg.
QSize DimensionsJpeg(const QString& chemin);

// The picture at its own size, as QImage::Format_RGB32. Throws ErreurJpeg.
QImage LireJpeg(const QString& chemin);

// The picture at exactly `taille` (smaller than or equal to its own size), as Format_RGB32.
// The decoder scales by the smallest M/8 that still gives at least `taille`, then the rest is
// done by a smooth reduction. Throws ErreurJpeg.
QImage LireJpegReduit(const QString& chemin, QSize taille);

// The full-resolution picture as the bytes of a bottom-up 24-bit BMP (rows in blue, green, red
// order, padded to 4 bytes, pixel data at offset 54), decoded row by row straight into place.
// Throws ErreurJpeg.
QByteArray JpegVersBmp24(const QString& chemin);

// Encodes the picture with the encoder's defaults (quality 75) and writes it through a
// temporary name and a rename. Throws ErreurJpeg when it cannot be written.
void EcrireJpeg(const QImage& image, const QString& chemin);

} // namespace kinepo

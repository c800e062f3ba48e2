#pragma once
// Windows BMP files: the 24-bit writer used for chronophotographs, converted GIF pictures and
// saved frames, and a reader for the formats pictures come in (through Qt's decoder).
#include <QImage>
#include <QString>

namespace kinepo {

// The bytes of a bottom-up 24-bit BMP of the image (rows padded to 4 bytes).
QByteArray EncoderBmp24(const QImage& image);

// Writes the image as a 24-bit BMP through a temporary file and a rename: an existing file
// of that name is replaced only when the whole new file has been written. Returns false on
// any write error (nothing is left behind).
bool EcrireBmp24(const QImage& image, const QString& chemin);

// Writes the bytes of a picture file at `chemin` without ever destroying a different file:
// when `chemin` holds other bytes, the name becomes "<base>-1<ext>", "<base>-2<ext>", ... (the
// first free name, or the first already holding exactly these bytes, which is then kept as it
// is). Returns the name used; an empty name when the file could not be written (nothing is
// left behind).
QString EcrireSansEcraser(const QByteArray& octets, const QString& chemin);

// True when the bytes start as a BMP and, for an uncompressed one, hold every row its header
// announces (a file cut short is not a picture with a grey or black end).
bool BmpComplet(const QByteArray& octets);

// Reads a BMP file; a null image when the file is missing, cut short or not a readable BMP.
QImage LireBmp(const QString& chemin);

} // namespace kinepo

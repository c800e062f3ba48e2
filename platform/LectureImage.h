#pragma once
// The one picture reader of every form and command that opens pictures (the image form, the
// profile form, "kinepo-cli digitize" and "profile"), and the picture writers.
//
// Reading: the file's first bytes decide the decoder, whatever its extension: BMP and PNG
// through Qt's readers, JPEG through libjpeg-turbo (upright after its EXIF orientation), GIF
// through the GIF decoder. Every picture comes back as QImage::Format_RGB32.
#include "platform/GifDecodeur.h"

#include <QImage>
#include <QString>
#include <stdexcept>

namespace kinepo {

// A picture that cannot be read or written; what() is a French message naming the file.
class ErreurLectureImage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString message() const { return QString::fromUtf8(what()); }
};

// Reads the picture. A GIF file named with a ".gif" extension is, with `convertirGif`, turned
// into a BMP beside it by ConvertirGifEnBmp (reporting `progression`), and `chemin` then names
// that BMP; otherwise a GIF is decoded in memory and nothing is written.
// Throws ErreurLectureImage on a missing, empty, truncated, damaged or unknown file; nothing the
// caller holds is touched then.
QImage LireImageFichier(QString& chemin, bool convertirGif = true,
                        const ProgressionGif& progression = {});

// Writers of a picture file.
enum class FormatImage { Bmp, Jpeg, Png };

// Writes the picture (BMP: 24 bits; JPEG: the encoder's defaults; PNG) through a temporary
// name and a rename, so an existing file is replaced only by a complete one. Throws
// ErreurLectureImage when it cannot be written.
void EcrireImageFichier(const QImage& image, const QString& chemin, FormatImage format);

} // namespace kinepo

#pragma once
// Pictures for the profile: reading a picture file at its own size (BMP, JPEG, GIF, PNG) and
// making the full-resolution BMP copy of a reduced JPEG.
#include <QImage>
#include <QString>
#include <stdexcept>

namespace kinepo {

// A picture file that cannot be read; what() is a French message naming the file.
class ErreurImage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The picture at its own size, as Format_RGB32, through the shared picture reader
// (LireImageFichier; a GIF is decoded in memory). Throws ErreurImage.
QImage LireImageProfil(const QString& chemin);

// The name the copy of a JPEG is wanted under: the JPEG's name with its extension replaced by
// ".BMP".
QString NomCopieVoulu(const QString& jpeg);

// Writes the full-resolution copy of the JPEG as a 24-bit BMP beside it and returns its name:
// NomCopieVoulu, unless a different file already lies there (then "<base>-1.BMP", ... as
// EcrireSansEcraser chooses; an identical earlier copy is reused). Throws ErreurImage when the
// JPEG cannot be read or the copy cannot be written.
QString EcrireCopieJpeg(const QString& jpeg);

} // namespace kinepo

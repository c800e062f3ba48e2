#pragma once
// Opening a picture file for the forms that digitize or profile pictures: BMP, JPEG and PNG
// through Qt's image reading, GIF through ConvertirGifEnBmp (the form then works on the BMP
// file beside the GIF).
#include <QImage>
#include <QString>
#include <stdexcept>

namespace kinepo {

// A picture that cannot be read; what() is a French message naming the file.
class ErreurLectureImage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString message() const { return QString::fromUtf8(what()); }
};

// Reads the picture. For a GIF file with `convertirGif`, `chemin` then names the converted BMP
// file; without it the GIF is decoded in memory and nothing is written.
// Throws ErreurLectureImage on a missing, empty, damaged or unknown file.
QImage LireImageFichier(QString& chemin, bool convertirGif = true);

} // namespace kinepo

#pragma once
// GIF decoding (giflib): the first picture of a GIF file as an image.
#include <QImage>
#include <QString>
#include <functional>
#include <stdexcept>

namespace kinepo {

// Decoding progress: a stage text ("Lecture", "Décodage", "Conversion") and a percentage 0..100.
using ProgressionGif = std::function<void(const QString& etape, int pourcent)>;

class ErreurGif : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes the first picture of the file. Throws ErreurGif with a French message on a missing,
// truncated or corrupt file.
QImage LireGif(const QString& chemin, const ProgressionGif& progression = {});

} // namespace kinepo

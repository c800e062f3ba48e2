#pragma once
// Turns a GIF picture into a BMP file beside it, for the forms that work on BMP files.
#include "platform/GifDecodeur.h"

#include <QString>

namespace kinepo {

// `nom` names the GIF file (its extension is replaced by ".gif" unless it already is a GIF
// extension in any case). The first picture is saved as a 24-bit BMP of the same base name
// beside it, and `nom` then names that BMP file.
// An existing BMP of that name is never destroyed: when it holds another picture, the
// converted one goes to "<base>-1.bmp", "<base>-2.bmp", ... (the first free or identical name).
// Throws ErreurGif (unreadable GIF) or std::runtime_error (folder not writable); nothing is left
// behind on failure.
void ConvertirGifEnBmp(QString& nom, const ProgressionGif& progression = {});

} // namespace kinepo

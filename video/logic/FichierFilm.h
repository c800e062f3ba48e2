#pragma once
// The film file as the AVI form names it: extension rules and the codec label read from the
// file header.
#include <QString>

namespace kinepo {

struct NomFilm {
    QString chemin; // the name to open (".AVI" appended when it had no extension)
    QString
        extension; // upper-cased extension as taken before appending, with its dot; may be empty
    bool estAvi = false; // the extension is ".AVI": the codec is read from the header
};
NomFilm PreparerNomFilm(const QString& nom);

struct LibelleCodec {
    QString texte; // "Intel Video 5.0", "MPEG 4", "Cinepack", "DIVX", "Codec inconnu"...
    bool microsoftVideo1 = false; // code "MSVC"
};
// Label from the four bytes at offsets 112..115 of the file (upper-cased); "Codec inconnu"
// when they cannot be read.
LibelleCodec IdentifierCodec(const QString& chemin);
// Label of a four-character code already read.
LibelleCodec LibelleDepuisCode(const QByteArray& code);

// The form caption with a film open.
QString TitreAvecFilm(const QString& chemin);

} // namespace kinepo

#include "video/logic/FichierFilm.h"

#include <QFile>
#include <QFileInfo>

namespace kinepo {

NomFilm PreparerNomFilm(const QString& nom) {
    NomFilm r;
    r.chemin = nom;
    const QString majuscules = nom.toUpper();
    // The extension is the part from the last dot of the file name (not of a folder).
    const int barre = std::max(majuscules.lastIndexOf(QLatin1Char('/')),
                               majuscules.lastIndexOf(QLatin1Char('\\')));
    const int point = majuscules.lastIndexOf(QLatin1Char('.'));
    if (point > barre) r.extension = majuscules.mid(point);
    if (r.extension.isEmpty()) r.chemin += QStringLiteral(".AVI");
    r.estAvi = r.extension == QLatin1String(".AVI");
    return r;
}

LibelleCodec LibelleDepuisCode(const QByteArray& code) {
    LibelleCodec r;
    const QString c = QString::fromLatin1(code).toUpper();
    if (c.size() < 4) {
        r.texte = QStringLiteral("Codec inconnu");
    } else if (c.startsWith(QLatin1String("IV"))) {
        r.texte = QStringLiteral("Intel Video ") + c[2] + QLatin1Char('.') + c[3];
    } else if (c.startsWith(QLatin1String("MPG"))) {
        r.texte = QStringLiteral("MPEG ") + c[3];
    } else if (c == QLatin1String("MSVC")) {
        r.texte = QStringLiteral("Microsoft Virtual Camera");
        r.microsoftVideo1 = true;
    } else if (c == QLatin1String("CVID")) {
        r.texte = QStringLiteral("Cinepack");
    } else if (c == QLatin1String("I420")) {
        r.texte = QStringLiteral("Intel Video 4:2:0");
    } else {
        r.texte = c;
    }
    return r;
}

LibelleCodec IdentifierCodec(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(112)) return LibelleDepuisCode({});
    const QByteArray code = f.read(4);
    if (code.size() != 4) return LibelleDepuisCode({});
    return LibelleDepuisCode(code);
}

QString TitreAvecFilm(const QString& chemin) {
    return QStringLiteral("Lecture de fichier video pour Tabulane [") +
           QFileInfo(chemin).fileName() + QLatin1Char(']');
}

} // namespace kinepo

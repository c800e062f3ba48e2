#include "image/logic/LecteurImage.h"

#include "shell/ConvertirGifEnBmp.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace kinepo {

namespace {

[[noreturn]] void Echec(const QString& chemin, const QString& raison) {
    throw ErreurLectureImage(QStringLiteral("Impossible de lire l'image « %1 » : %2")
                                 .arg(QFileInfo(chemin).fileName(), raison)
                                 .toStdString());
}

// True when every chunk of a PNG file lies inside the file, up to its end chunk. The PNG
// library allocates a chunk's announced length before reading it, so a few bytes announcing
// gigabytes would cost that much memory before the file is found damaged.
bool MorceauxPngDansLeFichier(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const qint64 taille = f.size();
    qint64 position = 8; // the signature
    while (position + 8 <= taille) {
        if (!f.seek(position)) return false;
        const QByteArray entete = f.read(8);
        if (entete.size() != 8) return false;
        const quint32 longueur = quint32(quint8(entete[0])) << 24 | quint32(quint8(entete[1])) << 16 |
                                 quint32(quint8(entete[2])) << 8 | quint32(quint8(entete[3]));
        // Length, type, data and check sum.
        const qint64 fin = position + 12 + qint64(longueur);
        if (longueur > 0x7fffffffu || fin > taille) return false;
        if (entete.mid(4, 4) == "IEND") return true;
        position = fin;
    }
    return false;
}

} // namespace

QImage LireImageFichier(QString& chemin, bool convertirGif) {
    const QFileInfo info(chemin);
    if (!info.exists() || !info.isFile()) Echec(chemin, QStringLiteral("fichier introuvable"));
    if (info.size() == 0) Echec(chemin, QStringLiteral("fichier vide"));
    if (info.suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0) {
        QString nom = chemin;
        try {
            if (!convertirGif) return LireGif(chemin).convertToFormat(QImage::Format_RGB32);
            ConvertirGifEnBmp(nom);
        } catch (const std::exception& e) {
            Echec(chemin, QString::fromUtf8(e.what()));
        }
        chemin = nom;
    }
    QImageReader lecteur(chemin);
    lecteur.setDecideFormatFromContent(true);
    const QByteArray format = lecteur.format().toLower();
    if (format.isEmpty()) Echec(chemin, QStringLiteral("format inconnu ou fichier endommagé"));
    if (format == "png" && !MorceauxPngDansLeFichier(chemin))
        Echec(chemin, QStringLiteral("fichier endommagé ou incomplet"));
    QImage image = lecteur.read();
    if (image.isNull()) Echec(chemin, QStringLiteral("fichier endommagé ou incomplet"));
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace kinepo

#include "platform/LectureImage.h"

#include "common/BmpFile.h"
#include "platform/ConvertirGifEnBmp.h"
#include "platform/LectureJpeg.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <cstring>

namespace kinepo {

namespace {

enum class Contenu { Inconnu, Bmp, Jpeg, Gif, Png };

[[noreturn]] void Echec(const QString& chemin, const QString& raison) {
    throw ErreurLectureImage(QStringLiteral("Impossible de lire l'image « %1 » : %2")
                                 .arg(QFileInfo(chemin).fileName(), raison)
                                 .toStdString());
}

Contenu ContenuDe(const QByteArray& debut) {
    if (debut.startsWith("BM")) return Contenu::Bmp;
    if (debut.startsWith("\xFF\xD8\xFF")) return Contenu::Jpeg;
    if (debut.startsWith("GIF87a") || debut.startsWith("GIF89a")) return Contenu::Gif;
    if (debut.startsWith("\x89PNG\r\n\x1A\n")) return Contenu::Png;
    return Contenu::Inconnu;
}

// The reason a decoder gave, without the file name it may repeat.
QString Raison(const std::exception& e, const QString& chemin) {
    QString r = QString::fromUtf8(e.what());
    const int i = int(r.indexOf(chemin));
    if (i >= 0) {
        r.remove(i, chemin.size());
        r = r.simplified().replace(QStringLiteral(" : ("), QStringLiteral(" ("));
        if (r.endsWith(QLatin1String(" :"))) r.chop(2);
    }
    if (!r.isEmpty()) r[0] = r[0].toLower();
    return r;
}

// True when every chunk of a PNG lies inside the bytes, up to its end chunk. The PNG library
// allocates a chunk's announced length before reading it, so a few bytes announcing gigabytes
// would cost that much memory before the file is found damaged.
bool MorceauxPngComplets(const QByteArray& octets) {
    const qint64 taille = octets.size();
    qint64 position = 8; // the signature
    while (position + 8 <= taille) {
        const auto* p = reinterpret_cast<const uchar*>(octets.constData() + position);
        const quint32 longueur = quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 |
                                 quint32(p[3]);
        // Length, type, data and check sum.
        const qint64 fin = position + 12 + qint64(longueur);
        if (longueur > 0x7fffffffu || fin > taille) return false;
        if (std::memcmp(p + 4, "IEND", 4) == 0) return true;
        position = fin;
    }
    return false;
}

// BMP and PNG through Qt's decoders, on the whole file read into memory so that a file cut
// short is seen as such.
QImage LireParQt(const QString& chemin, const char* format) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) Echec(chemin, QStringLiteral("fichier illisible"));
    QByteArray octets = f.readAll();
    QBuffer tampon(&octets);
    tampon.open(QIODevice::ReadOnly);
    QImageReader lecteur(&tampon, format);
    lecteur.setAutoTransform(false);
    // Qt's PNG reader keeps what it could decode of a cut file, and its BMP reader pads a cut
    // file: both are checked for their end first.
    const bool png = qstrcmp(format, "png") == 0;
    if (png ? !MorceauxPngComplets(octets) : !BmpComplet(octets))
        Echec(chemin, QStringLiteral("fichier tronqué ou endommagé"));
    QImage image = lecteur.read();
    if (image.isNull()) Echec(chemin, QStringLiteral("fichier endommagé"));
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage LireImageFichier(QString& chemin, bool convertirGif, const ProgressionGif& progression) {
    const QFileInfo info(chemin);
    if (!info.exists() || !info.isFile()) Echec(chemin, QStringLiteral("fichier introuvable"));
    if (info.size() == 0) Echec(chemin, QStringLiteral("fichier vide"));
    QByteArray debut;
    {
        QFile f(chemin);
        if (!f.open(QIODevice::ReadOnly)) Echec(chemin, QStringLiteral("fichier illisible"));
        debut = f.read(16);
    }
    try {
        switch (ContenuDe(debut)) {
        case Contenu::Jpeg:
            return LireJpeg(chemin);
        case Contenu::Gif:
            if (convertirGif &&
                info.suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0) {
                QString bmp = chemin;
                ConvertirGifEnBmp(bmp, progression);
                QImage image = LireParQt(bmp, "bmp");
                chemin = bmp;
                return image;
            }
            return LireGif(chemin, progression).convertToFormat(QImage::Format_RGB32);
        case Contenu::Bmp:
            return LireParQt(chemin, "bmp");
        case Contenu::Png:
            return LireParQt(chemin, "png");
        case Contenu::Inconnu:
            break;
        }
    } catch (const ErreurLectureImage&) {
        throw;
    } catch (const std::bad_alloc&) {
        Echec(chemin, QStringLiteral("mémoire insuffisante pour cette image"));
    } catch (const std::exception& e) {
        Echec(chemin, Raison(e, chemin));
    }
    Echec(chemin, QStringLiteral("format inconnu ou fichier endommagé"));
}

void EcrireImageFichier(const QImage& image, const QString& chemin, FormatImage format) {
    const auto echec = [&] {
        throw ErreurLectureImage(
            QStringLiteral("Erreur d'écriture du fichier %1").arg(chemin).toStdString());
    };
    if (image.isNull()) echec();
    switch (format) {
    case FormatImage::Bmp:
        if (!EcrireBmp24(image, chemin)) echec();
        return;
    case FormatImage::Jpeg:
        try {
            EcrireJpeg(image, chemin);
        } catch (const ErreurJpeg& e) {
            throw ErreurLectureImage(e.what());
        }
        return;
    case FormatImage::Png: {
        QSaveFile f(chemin);
        if (!f.open(QIODevice::WriteOnly)) echec();
        QImageWriter w(&f, "png");
        if (!w.write(image) || !f.commit()) echec();
        return;
    }
    }
}

} // namespace kinepo

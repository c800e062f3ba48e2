#include "optics/ImageOptique.h"

#include "common/BmpFile.h"
#include "platform/GifDecodeur.h"
#include "platform/LectureJpeg.h"

#include <QFileInfo>
#include <QImageReader>

namespace kinepo {

QImage LireImageProfil(const QString& chemin) {
    if (!QFileInfo(chemin).isFile())
        throw ErreurImage(
            QStringLiteral("Fichier image introuvable : %1").arg(chemin).toStdString());
    const QString ext = QFileInfo(chemin).suffix().toUpper();
    try {
        if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG")) return LireJpeg(chemin);
        if (ext == QLatin1String("GIF"))
            return LireGif(chemin).convertToFormat(QImage::Format_RGB32);
    } catch (const std::runtime_error& e) {
        throw ErreurImage(e.what());
    }
    QImageReader lecteur(chemin);
    lecteur.setAutoTransform(false);
    const QImage image = lecteur.read();
    if (image.isNull())
        throw ErreurImage(QStringLiteral("Fichier image illisible : %1 (%2)")
                              .arg(chemin, lecteur.errorString())
                              .toStdString());
    return image.convertToFormat(QImage::Format_RGB32);
}

QString NomCopieVoulu(const QString& jpeg) {
    const QFileInfo fi(jpeg);
    const QString base =
        fi.suffix().isEmpty() ? jpeg : jpeg.left(jpeg.size() - fi.suffix().size() - 1);
    return base + QStringLiteral(".BMP");
}

QString EcrireCopieJpeg(const QString& jpeg) {
    QByteArray octets;
    try {
        octets = JpegVersBmp24(jpeg);
    } catch (const ErreurJpeg& e) {
        throw ErreurImage(e.what());
    }
    const QString voulu = NomCopieVoulu(jpeg);
    const QString nom = EcrireSansEcraser(octets, voulu);
    if (nom.isEmpty())
        throw ErreurImage(
            QStringLiteral("Impossible d'écrire le fichier %1").arg(voulu).toStdString());
    return nom;
}

} // namespace kinepo

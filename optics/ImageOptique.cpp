#include "optics/ImageOptique.h"

#include "common/BmpFile.h"
#include "platform/LectureImage.h"
#include "platform/LectureJpeg.h"

#include <QFileInfo>

namespace kinepo {

QImage LireImageProfil(const QString& chemin) {
    QString nom = chemin;
    try {
        return LireImageFichier(nom, false);
    } catch (const ErreurLectureImage& e) {
        throw ErreurImage(e.what());
    }
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

#include "image/logic/LecteurImage.h"

#include "shell/ConvertirGifEnBmp.h"

#include <QFileInfo>
#include <QImageReader>

namespace kinepo {

namespace {

[[noreturn]] void Echec(const QString& chemin, const QString& raison) {
    throw ErreurLectureImage(QStringLiteral("Impossible de lire l'image « %1 » : %2")
                                 .arg(QFileInfo(chemin).fileName(), raison)
                                 .toStdString());
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
    QImage image = lecteur.read();
    if (image.isNull()) Echec(chemin, QStringLiteral("fichier endommagé ou incomplet"));
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace kinepo

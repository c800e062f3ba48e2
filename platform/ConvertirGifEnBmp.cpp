#include "platform/ConvertirGifEnBmp.h"

#include "common/BmpFile.h"

#include <QFileInfo>
#include <stdexcept>

namespace kinepo {
namespace {

QString avecExtension(const QString& nom, const QString& extension) {
    const QFileInfo fi(nom);
    const QString base =
        fi.suffix().isEmpty() ? nom : nom.left(nom.size() - fi.suffix().size() - 1);
    return base + extension;
}

} // namespace

void ConvertirGifEnBmp(QString& nom, const ProgressionGif& progression) {
    const QString gif = QFileInfo(nom).suffix().compare("gif", Qt::CaseInsensitive) == 0
                            ? nom
                            : avecExtension(nom, QStringLiteral(".gif"));
    const QImage image = LireGif(gif, progression);
    if (progression) progression(QStringLiteral("Conversion"), 0);
    const QByteArray bmp = EncoderBmp24(image);

    const QString voulu = avecExtension(gif, QStringLiteral(".bmp"));
    const QString cible = EcrireSansEcraser(bmp, voulu);
    if (cible.isEmpty())
        throw std::runtime_error(
            QStringLiteral("Impossible d'écrire le fichier %1").arg(voulu).toStdString());
    if (progression) progression(QStringLiteral("Conversion"), 100);
    nom = cible;
}

} // namespace kinepo

#include "shell/ConvertirGifEnBmp.h"

#include "common/BmpFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace kinepo {
namespace {

QString avecExtension(const QString& nom, const QString& extension) {
    const QFileInfo fi(nom);
    const QString base = fi.suffix().isEmpty() ? nom : nom.left(nom.size() - fi.suffix().size() - 1);
    return base + extension;
}

// True when the file holds exactly these bytes.
bool memeContenu(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly) || f.size() != octets.size()) return false;
    return f.readAll() == octets;
}

bool ecrireOctets(const QString& chemin, const QByteArray& octets) {
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size()) return false;
    return f.commit();
}

} // namespace

void ConvertirGifEnBmp(QString& nom, const ProgressionGif& progression) {
    const QString gif = QFileInfo(nom).suffix().compare("gif", Qt::CaseInsensitive) == 0
                            ? nom
                            : avecExtension(nom, QStringLiteral(".gif"));
    const QImage image = LireGif(gif, progression);
    if (progression) progression(QStringLiteral("Conversion"), 0);
    const QByteArray bmp = EncoderBmp24(image);

    const QString base = avecExtension(gif, QString());
    QString cible = base + QStringLiteral(".bmp");
    for (int n = 1; QFileInfo::exists(cible) && !memeContenu(cible, bmp); ++n)
        cible = QStringLiteral("%1-%2.bmp").arg(base).arg(n);

    if (!QFileInfo::exists(cible) && !ecrireOctets(cible, bmp))
        throw std::runtime_error(
            QStringLiteral("Impossible d'écrire le fichier %1").arg(cible).toStdString());
    if (progression) progression(QStringLiteral("Conversion"), 100);
    nom = cible;
}

} // namespace kinepo

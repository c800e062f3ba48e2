#include "video/ui/IconesAvi.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace kinepo {

QImage ImageIconeAvi(const QString& nom, int cote) {
    QSvgRenderer rendu(QStringLiteral(":/video/icones/%1.svg").arg(nom));
    if (!rendu.isValid()) return {};
    QImage image(cote, cote, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    rendu.render(&p);
    return image;
}

namespace {
QIcon Icone(const QString& nom) {
    QIcon icone;
    for (const int cote : {24, 48})
        icone.addPixmap(QPixmap::fromImage(ImageIconeAvi(nom, cote)));
    return icone;
}
} // namespace

QIcon IconeEchelle(OrientationAxes o) {
    switch (o) {
    case OrientationAxes::HautDroite:
        return Icone(QStringLiteral("echelle-haut-droite"));
    case OrientationAxes::BasDroite:
        return Icone(QStringLiteral("echelle-bas-droite"));
    case OrientationAxes::HautGauche:
        return Icone(QStringLiteral("echelle-haut-gauche"));
    case OrientationAxes::BasGauche:
        return Icone(QStringLiteral("echelle-bas-gauche"));
    }
    return {};
}

QIcon IconeOrigine(bool mobile) {
    return Icone(mobile ? QStringLiteral("origine-mobile") : QStringLiteral("origine-unique"));
}

QIcon IconeSauvegarde(CibleSauvegarde c) {
    switch (c) {
    case CibleSauvegarde::Tabulane:
        return Icone(QStringLiteral("vers-tabulane"));
    case CibleSauvegarde::PressePapiers:
        return Icone(QStringLiteral("vers-presse-papiers"));
    case CibleSauvegarde::Fichier:
        return Icone(QStringLiteral("vers-fichier"));
    }
    return {};
}

} // namespace kinepo

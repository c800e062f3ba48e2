#include "video/logic/VideoCalibration.h"

#include "common/Arrondi.h"

#include <cmath>
#include <cstdlib>

namespace kinepo {

bool XVersLaDroite(OrientationAxes o) {
    return o == OrientationAxes::HautDroite || o == OrientationAxes::BasDroite;
}
bool YVersLeHaut(OrientationAxes o) {
    return o == OrientationAxes::HautDroite || o == OrientationAxes::HautGauche;
}
OrientationAxes OrientationDepuis(bool altitude, bool droite) {
    if (altitude) return droite ? OrientationAxes::HautDroite : OrientationAxes::HautGauche;
    return droite ? OrientationAxes::BasDroite : OrientationAxes::BasGauche;
}

CadenceFilm CadenceDepuisLongueurs(double longueurImages, double longueurMs) {
    CadenceFilm r;
    r.duration = longueurMs / 1000.0;
    if (longueurImages <= 0 || longueurMs <= 0) return r;
    r.fileFrameRate = static_cast<int>(Arrondi(longueurImages * 1000.0 / longueurMs));
    r.framePeriod = longueurMs / (longueurImages * 1000.0);
    return r;
}

bool SegmentEchelleAcceptable(QPoint debut, QPoint fin) {
    return std::abs(debut.x() - fin.x()) + std::abs(debut.y() - fin.y()) >= kDistanceMinEchelle;
}

void VideoCalibration::DefautsFilm(int largeur, int hauteur) {
    FrameWidth = largeur;
    FrameHeight = hauteur;
    Zoom = 1;
    Origin = QPoint(largeur / 2, hauteur / 2);
    ScaleStart = QPoint(largeur / 4, hauteur / 4);
    ScaleEnd = QPoint(largeur / 2, hauteur / 4);
}

double PasAffichage(double k) {
    if (k == 0 || !std::isfinite(k)) return 1;
    return std::pow(10.0, std::floor(std::log10(std::fabs(k))));
}

bool VideoCalibration::MettreAJourFacteurs() {
    const double dx = ScaleStart.x() - ScaleEnd.x();
    const double dy = ScaleStart.y() - ScaleEnd.y();
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d <= 0) return false; // no division by zero: the previous factors stay
    const double k = ScaleLength / d;
    KX = XVersLaDroite(Orientation) ? k : -k;
    KY = YVersLeHaut(Orientation) ? -k : k;
    DisplayStep = PasAffichage(KX);
    return true;
}

QPoint VideoCalibration::EcranVersImage(QPoint posEcran) const {
    const int z = Zoom > 0 ? Zoom : 1;
    return QPoint(posEcran.x() / z, posEcran.y() / z);
}

double VideoCalibration::XMetres(QPoint posImage, QPoint origineImage) const {
    return (posImage.x() - origineImage.x()) * KX;
}
double VideoCalibration::YMetres(QPoint posImage, QPoint origineImage) const {
    return (posImage.y() - origineImage.y()) * KY;
}

double VideoCalibration::ArrondiGrille(double valeur) const {
    if (DisplayStep <= 0) return valeur;
    return DisplayStep * static_cast<double>(Arrondi(valeur / DisplayStep));
}

bool SensRetourArriere(double position, double longueur) {
    // The device compares whole positions with the integer half of the length.
    const auto moitie = static_cast<std::int64_t>(longueur) / 2;
    return position > static_cast<double>(moitie);
}

QString FixeTroisDecimales(double x, QChar separateur) {
    // At most five significant digits, then three decimals (12.3456 -> 12.346, 123.456 -> 123.460).
    double v = x;
    if (v != 0 && std::isfinite(v)) {
        const int chiffresEntiers = static_cast<int>(std::floor(std::log10(std::fabs(v)))) + 1;
        const int decimalesSignificatives = 5 - chiffresEntiers;
        if (decimalesSignificatives < 3) {
            const double p = std::pow(10.0, decimalesSignificatives);
            v = static_cast<double>(Arrondi(v * p)) / p;
        }
    }
    QString s = QString::number(v, 'f', 3);
    if (separateur != QLatin1Char('.')) s.replace(QLatin1Char('.'), separateur);
    return s;
}

QString TexteTemps(double tempsCourant, double duree, QChar separateur) {
    return QStringLiteral("t=") + FixeTroisDecimales(tempsCourant, separateur) +
           QStringLiteral(" s /") + FixeTroisDecimales(duree, separateur) + QStringLiteral(" s");
}

} // namespace kinepo

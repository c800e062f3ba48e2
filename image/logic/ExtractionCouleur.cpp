#include "image/logic/ExtractionCouleur.h"

#include "common/Arrondi.h"

#include <cstdlib>
#include <limits>

namespace kinepo {

bool CouleurProche(QRgb pixel, QRgb couleur, int tolerance) {
    const int d = std::abs(qRed(pixel) - qRed(couleur)) +
                  std::abs(qGreen(pixel) - qGreen(couleur)) +
                  std::abs(qBlue(pixel) - qBlue(couleur));
    return d <= tolerance;
}

ResultatExtraction ExtraireCourbe(const QImage& source, const ParametresExtraction& parametres,
                                  SeriesPoints& series, int serie) {
    ResultatExtraction r;
    if (source.isNull()) return r;
    const QImage image =
        source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
            ? source
            : source.convertToFormat(QImage::Format_RGB32);
    const int pas = std::max(1, parametres.pas);
    const int h = image.height();
    bool aPrecedent = series.Longueur(serie) > 0;
    int yPrecedent = aPrecedent ? series.Point(serie, series.Longueur(serie) - 1).y() : 0;
    for (int x = 0; x < image.width(); x += pas) {
        // Runs of matching pixels down the column; keep the one nearest the previous point.
        int meilleurCentre = -1;
        long long meilleurCritere = std::numeric_limits<long long>::max();
        int y = 0;
        while (y < h) {
            if (!CouleurProche(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x],
                               parametres.couleur, parametres.tolerance)) {
                ++y;
                continue;
            }
            const int debut = y;
            while (y < h && CouleurProche(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x],
                                          parametres.couleur, parametres.tolerance))
                ++y;
            const int fin = y - 1;
            const int centre = ArrondiInt((debut + fin) / 2.0);
            const long long critere = aPrecedent ? std::abs(centre - yPrecedent) : -(fin - debut);
            if (critere < meilleurCritere) {
                meilleurCritere = critere;
                meilleurCentre = centre;
            }
        }
        if (meilleurCentre < 0) continue;
        if (!series.Ajouter(serie, QPoint(x, meilleurCentre))) {
            r.plein = true;
            break;
        }
        ++r.ajoutes;
        aPrecedent = true;
        yPrecedent = meilleurCentre;
    }
    return r;
}

} // namespace kinepo

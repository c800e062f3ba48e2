#include "video/logic/TempsReel.h"

#include "common/Nombres.h"

#include <cmath>

namespace kinepo {

void TempsReel::PourFilm(double cadenceLecture, double cadenceCaptureFilm) {
    *this = TempsReel();
    if (std::isfinite(cadenceLecture) && cadenceLecture > 0) cadenceLecture_ = cadenceLecture;
    if (std::isfinite(cadenceCaptureFilm) && cadenceCaptureFilm > 0) {
        cadenceCaptureFilm_ = cadenceCaptureFilm;
        cadenceCapture_ = cadenceCaptureFilm;
        demande_ = true;
    }
}

bool TempsReel::FixerCadenceCapture(const QString& texte) {
    double cadence = 0;
    try {
        cadence = LireReel(texte);
    } catch (const ErreurConversion&) {
        return false;
    }
    if (!std::isfinite(cadence) || cadence <= 0 || cadence == ValeurAbsente || cadence > 1e5)
        return false;
    cadenceCapture_ = cadence;
    demande_ = true;
    return true;
}

double TempsReel::Rapport(const TempsReel& avant, double periodeImages) const {
    if (periodeImages > 0) return Periode(periodeImages) / avant.Periode(periodeImages);
    return Facteur() / avant.Facteur();
}

QString TempsReel::Libelle() const {
    if (Actif()) return QStringLiteral("temps réel (%1 i/s)").arg(TexteCadence(cadenceCapture_));
    if (cadenceLecture_ <= 0) return QStringLiteral("temps du film");
    return QStringLiteral("temps du film (%1 i/s)").arg(TexteCadence(cadenceLecture_));
}

QString TexteCadence(double cadence) {
    QString texte = QString::number(std::round(cadence * 100) / 100, 'f', 2);
    while (texte.endsWith(u'0'))
        texte.chop(1);
    if (texte.endsWith(u'.')) texte.chop(1);
    texte.replace(u'.', SeparateurDecimal());
    return texte;
}

void ReechelonnerTemps(VideoCalibration& c, TablesPointage& t, double rapport) {
    if (!std::isfinite(rapport) || rapport <= 0 || rapport == 1.0) return;
    const int n = t.Rows < kCapaciteLignes ? t.Rows + 1 : kCapaciteLignes;
    for (int i = 0; i < n; ++i)
        t.Temps(i) *= rapport;
    c.TimeOrigin *= rapport;
    c.CurrentTime *= rapport;
    c.Duration *= rapport;
}

} // namespace kinepo

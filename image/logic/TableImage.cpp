#include "image/logic/TableImage.h"

#include "common/Nombres.h"
#include "transfer/TexteEchange.h"

namespace kinepo {

namespace {

bool AvecX(int axesMode) {
    return axesMode != OneAxis;
}

QString Numero(int serie, int nombre) {
    return nombre > 1 ? QString::number(serie) : QString();
}

} // namespace

QStringList EntetesGrille(int axesMode, int n, const NomsVariables& noms) {
    QStringList e{noms.nomT + u'(' + noms.uniteT + u')'};
    for (int s = 1; s <= n; ++s) {
        if (AvecX(axesMode)) e << noms.nomX + QString::number(s) + u'(' + noms.uniteX + u')';
        e << noms.nomY + QString::number(s) + u'(' + noms.uniteY + u')';
    }
    return e;
}

int ColonneGrille(int axesMode, int serie, bool y) {
    if (!AvecX(axesMode)) return y ? serie : -1;
    return y ? 2 * serie : 2 * serie - 1;
}

int SerieDeColonne(int axesMode, int colonne) {
    if (colonne <= 0) return 0;
    return AvecX(axesMode) ? (colonne + 1) / 2 : colonne;
}

QStringList ChampsNoms(const ImageCalibration& calib, const NomsVariables& noms) {
    QStringList c;
    if (calib.HasReference) c << noms.nomT;
    for (int s = 1; s <= calib.SeriesCount; ++s) {
        if (AvecX(calib.AxesMode)) c << noms.nomX + Numero(s, calib.SeriesCount);
        c << noms.nomY + Numero(s, calib.SeriesCount);
    }
    return c;
}

QStringList ChampsUnites(const ImageCalibration& calib, const NomsVariables& noms) {
    QStringList c;
    if (calib.HasReference) c << noms.uniteT;
    for (int s = 1; s <= calib.SeriesCount; ++s) {
        if (AvecX(calib.AxesMode)) c << noms.uniteX;
        c << noms.uniteY;
    }
    return c;
}

QStringList ChampsPoint(const ImageCalibration& calib, const SeriesPoints& series, int i) {
    QStringList c;
    if (calib.HasReference) c << ReelVersTexte(i * calib.TimeStep);
    for (int s = 1; s <= calib.SeriesCount; ++s) {
        const bool present = i < series.Longueur(s);
        const QPoint p = present ? series.Point(s, i) : QPoint();
        if (AvecX(calib.AxesMode)) c << (present ? ReelVersTexte(calib.ValueX(p)) : QString());
        c << (present ? ReelVersTexte(calib.ValueY(p)) : QString());
    }
    return c;
}

void ConstruireTexteImage(TexteEchange& texte, const PageTransfert& page,
                          const ImageCalibration& calib, const NomsVariables& noms,
                          const SeriesPoints& series, const QString& nomFichier) {
    texte.ajouterIdentification(page, QString(kTitreImage));
    texte.ajouterChamps(ChampsNoms(calib, noms));
    texte.ajouterChamps(ChampsUnites(calib, noms));
    for (int i = 0; i < series.Longueur(1); ++i)
        texte.ajouterChamps(ChampsPoint(calib, series, i));
    page.AjouteConstante(texte);
    if (!page.nouveauFichier()) return;
    const int n = calib.SeriesCount;
    QStringList nomsX, nomsY;
    for (int s = 1; s <= n; ++s) {
        nomsX << noms.nomX + Numero(s, n);
        nomsY << noms.nomY + Numero(s, n);
    }
    if (AvecX(calib.AxesMode)) texte.ajouterNomX(nomsX);
    texte.ajouterNomY(nomsY);
    if (calib.AxesMode == Orthonormal) texte.ajouterOrtho(n);
    texte.ajouterFichier(nomFichier);
}

} // namespace kinepo

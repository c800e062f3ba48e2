#include "video/logic/ExportVideo.h"

#include "common/Cp1252.h"
#include "common/Nombres.h"

#include <QFileInfo>
#include "common/EcritureAtomique.h"
#include <cmath>

namespace kinepo {

QStringList NomsColonnes(int nbrePoints) {
    QStringList noms{QStringLiteral("t")};
    if (nbrePoints <= 1) {
        noms << QStringLiteral("x") << QStringLiteral("y");
    } else {
        for (int k = 1; k <= nbrePoints; ++k)
            noms << QStringLiteral("x%1").arg(k) << QStringLiteral("y%1").arg(k);
    }
    return noms;
}

QStringList LignesTableau(const VideoCalibration& c, const TablesPointage& t, int nbrePoints,
                          QChar separateur) {
    const int n = nbrePoints < 1 ? 1 : nbrePoints;
    QStringList lignes;
    lignes.reserve(t.Rows + 2);
    lignes << CouperLigne(NomsColonnes(n).join(separateur));
    QString unites = QStringLiteral("s");
    for (int k = 0; k < 2 * n; ++k)
        unites += separateur + QStringLiteral("m");
    lignes << CouperLigne(unites);
    for (int i = 0; i < t.Rows; ++i) {
        QString l = ReelVersTexte(T(c, t, i));
        for (int k = 1; k <= n; ++k) {
            l += separateur + ReelVersTexte(X(c, t, k, i));
            l += separateur + ReelVersTexte(Y(c, t, k, i));
        }
        lignes << CouperLigne(l);
    }
    return lignes;
}

QString TextePressePapiers(const VideoCalibration& c, const TablesPointage& t, int nbrePoints) {
    return JoindreLignes(LignesTableau(c, t, nbrePoints, QLatin1Char('\t')));
}

QChar SeparateurExport(const QString& nomFichier) {
    return QFileInfo(nomFichier).suffix().toUpper() == QLatin1String("CSV") ? QLatin1Char(',')
                                                                            : QLatin1Char('\t');
}

QString TexteExport(const VideoCalibration& c, const TablesPointage& t, int nbrePoints,
                    QChar separateur) {
    return JoindreLignes(LignesTableau(c, t, nbrePoints, separateur));
}

bool EcrireExport(const QString& nomFichier, const QString& texte) {
    return EcrireFichierAtomique(nomFichier, VersCp1252(texte));
}

QStringList LignesIncertitude(const VideoCalibration& c, const TablesPointage& t, int nbrePoints) {
    const int n = nbrePoints < 1 ? 1 : nbrePoints;
    QStringList lignes;
    lignes << QStringLiteral("&%1 INCERT").arg(t.Rows);
    const double dt = (t.Temps(1) - t.Temps(0)) / 100.0;
    QString l = ReelVersTexte(dt);
    const QString ix = ReelVersTexte(std::fabs(c.KX) * c.Incertitude);
    const QString iy = ReelVersTexte(std::fabs(c.KY) * c.Incertitude);
    for (int k = 1; k <= n; ++k)
        l += QLatin1Char('\t') + ix + QLatin1Char('\t') + iy;
    l = CouperLigne(l);
    for (int i = 0; i < t.Rows; ++i)
        lignes << l;
    return lignes;
}

QStringList LignesEnteteNouveauFichier(int nbrePoints, const QString& cheminFilm) {
    const int n = nbrePoints < 1 ? 1 : nbrePoints;
    QStringList lignes;
    lignes << QStringLiteral("&%1 NOMX").arg(n);
    for (int k = 1; k <= n; ++k)
        lignes << (n == 1 ? QStringLiteral("x") : QStringLiteral("x%1").arg(k));
    lignes << QStringLiteral("&%1 NOMY").arg(n);
    for (int k = 1; k <= n; ++k)
        lignes << (n == 1 ? QStringLiteral("y") : QStringLiteral("y%1").arg(k));
    lignes << QStringLiteral("&1 ORTHO") << QStringLiteral("1");
    lignes << QStringLiteral("&1 FICHIER") << cheminFilm;
    return lignes;
}

QStringList LignesEchange(const EnteteEchange& e, const VideoCalibration& c,
                          const TablesPointage& t, int nbrePoints) {
    QStringList lignes;
    lignes << e.cheminExecutable;
    lignes << (e.nouveauFichier ? QString::fromUtf8(kTitreVideo) : QString());
    lignes << e.commentaire;
    lignes << LignesTableau(c, t, nbrePoints, QLatin1Char('\t'));
    lignes << e.blocConstante;
    // The pixel uncertainty is at least 1, so the block is always there.
    lignes << LignesIncertitude(c, t, nbrePoints);
    if (e.nouveauFichier) lignes << LignesEnteteNouveauFichier(nbrePoints, e.cheminFilm);
    return lignes;
}

} // namespace kinepo

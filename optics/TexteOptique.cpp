#include "optics/TexteOptique.h"

#include "common/Nombres.h"
#include "transfer/TexteEchange.h"

namespace kinepo {
namespace {

void LignesDonnees(const ProfilOptique& p, TexteEchange& texte) {
    texte.ajouterChamps({QStringLiteral("x"), QStringLiteral("I")});
    texte.ajouterChamps({QStringLiteral("m"), QString()});
    texte.ajouterChamps({QStringLiteral("Distance"), QStringLiteral("Intensité relative")});
    for (int i = p.Debut; i <= p.Fin; ++i)
        texte.ajouterValeurs({p.Distance[i], p.Intensite[i]});
}

} // namespace

QString LibelleEchelle(int typeEchelle) {
    return typeEchelle == 0 ? QStringLiteral("Longueur de l'échelle")
                            : QStringLiteral("Dimension du pixel");
}

QString AideEchelle(int typeEchelle) {
    return LibelleEchelle(typeEchelle) + QStringLiteral(" (validez avec Entrée)");
}

bool CaractereEchelleAccepte(QChar c) {
    const ushort u = c.unicode();
    return u == 8 || u == 9 || u == 13 || u == 37 || u == 39 || u == 44 || u == 46 ||
           (u >= 48 && u <= 57);
}

AffichageEchelle AfficherEchelle(const ProfilOptique& p) {
    const Mantisse m = MantisseEchelle(p.TypeEchelle == 0 ? p.LongueurEchelle : p.TaillePixel);
    return {m.texte, m.unite};
}

void LireEchelle(ProfilOptique& p, const QString& texte, int unite) {
    const double v = LireReelUnite(texte, unite);
    (p.TypeEchelle == 0 ? p.LongueurEchelle : p.TaillePixel) = v;
}

void ConstruireTexteOptique(const ProfilOptique& p, const PageTransfert& page,
                            const QString& source, TexteEchange& texte) {
    texte.ajouterIdentification(page, QString());
    LignesDonnees(p, texte);
    page.AjouteConstante(texte);
    if (!source.isEmpty()) texte.ajouterFichier(source);
}

QStringList LignesTableOptique(const ProfilOptique& p) {
    TexteEchange texte;
    LignesDonnees(p, texte);
    return texte.lignes();
}

QString TexteSaturation(int nombre) {
    if (nombre <= 0) return {};
    if (nombre == 1) return QStringLiteral("1 échantillon saturé (composante à 255)");
    return QStringLiteral("%1 échantillons saturés (composante à 255)").arg(nombre);
}

} // namespace kinepo

#include "fringes/SuiviMichelson.h"

#include "common/Arrondi.h"
#include "transfer/TexteEchange.h"

#include <algorithm>
#include <cmath>

namespace kinepo {

double NiveauPoint(const std::uint8_t* luma, int largeur, int hauteur, QPoint point) {
    if (!luma || largeur < 3 || hauteur < 3) return 0;
    const int x = std::clamp(point.x(), 1, largeur - 2);
    const int y = std::clamp(point.y(), 1, hauteur - 2);
    int s = 0;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            s += luma[std::size_t(y + i) * std::size_t(largeur) + std::size_t(x + j)];
    return (s - 144) / 2115.0;
}

void CompteurFranges::Reinitialiser() {
    *this = CompteurFranges();
}

void CompteurFranges::Ajouter(double v) {
    if (premier_) {
        premier_ = false;
        extreme_ = mini_ = maxi_ = v;
        return;
    }
    mini_ = std::min(mini_, v);
    maxi_ = std::max(maxi_, v);
    const double h = std::max(0.02, 0.25 * (maxi_ - mini_));
    if (monte_) {
        if (v > extreme_) {
            extreme_ = v;
        } else if (v < extreme_ - h) {
            ++nombre_;
            monte_ = false;
            extreme_ = v;
        }
    } else if (v < extreme_) {
        extreme_ = v;
    } else if (v > extreme_ + h) {
        monte_ = true;
        extreme_ = v;
    }
}

SuiviMichelson::SuiviMichelson()
    : Lampe(Capacite, 0.0), Laser(Capacite, 0.0), Temps(Capacite, 0.0) {
    for (int i = 0; i < Capacite; ++i)
        Temps[std::size_t(i)] = 0.3 * i;
}

void SuiviMichelson::Commencer() {
    NombreEchantillons = 0;
    PlageTrace = PasPlage;
    Franges.Reinitialiser();
}

SuiviMichelson::Effet SuiviMichelson::AjouterImage(double lampe, double laser, double tempsS,
                                                   bool acquisition) {
    Effet e;
    const int n = NombreEchantillons;
    if (n > IndiceMax) return e;
    Lampe[std::size_t(n)] = lampe;
    Laser[std::size_t(n)] = laser;
    Temps[std::size_t(n)] = tempsS;
    if (!acquisition) return e;
    e.segment = n > 0;
    Franges.Ajouter(lampe);
    NombreEchantillons = n + 1;
    const int c = NombreEchantillons;
    if (c > PlageTrace) {
        PlageTrace = std::min(PlageTrace + PasPlage, IndiceMax);
        const double periode = c > 1 ? Temps[std::size_t(c - 1)] / (c - 1) : 0.0;
        for (int k = c; k <= PlageTrace; ++k)
            Temps[std::size_t(k)] = k * periode;
        e.redessiner = true;
    }
    e.fin = c > IndiceMax;
    return e;
}

void SuiviMichelson::MettreEchelle(QSize taille) {
    double duree = Temps[std::size_t(PlageTrace)] - Temps[0];
    if (!(duree > 0)) duree = 1; // frames without time between them: one second wide
    EchelleGraphe = taille.width() / duree;
    HauteurGraphe = taille.height();
}

QLine SuiviMichelson::Segment(int k, const std::vector<double>& v) const {
    const auto point = [&](int i) {
        const double x = (Temps[std::size_t(i)] - Temps[0]) * EchelleGraphe;
        const double y = HauteurGraphe * (1 - v[std::size_t(i)]);
        return QPoint(ArrondiInt(std::clamp(x, -1e6, 1e6)), ArrondiInt(std::clamp(y, -1e6, 1e6)));
    };
    return {point(k - 1), point(k)};
}

namespace {

void LignesDonnees(const SuiviMichelson& s, bool deux, TexteEchange& texte, bool descriptions) {
    if (deux) {
        texte.ajouterChamps({QStringLiteral("t"), QStringLiteral("Na"), QStringLiteral("Laser")});
        texte.ajouterChamps({QStringLiteral("s"), QString(), QString()});
    } else {
        texte.ajouterChamps({QStringLiteral("t"), QStringLiteral("Na")});
        texte.ajouterChamps({QStringLiteral("s"), QString()});
    }
    if (descriptions)
        texte.ajouterChamps({QStringLiteral("temps"), QStringLiteral("Intensité lampe spectrale"),
                             QStringLiteral("Intensité laser")});
    for (int i = 0; i < s.NombreEchantillons; ++i) {
        const std::size_t k = std::size_t(i);
        if (deux)
            texte.ajouterValeurs({s.Temps[k], s.Lampe[k], s.Laser[k]});
        else
            texte.ajouterValeurs({s.Temps[k], s.Lampe[k]});
    }
}

} // namespace

void ConstruireTexteMichelson(const SuiviMichelson& s, bool deux, const PageTransfert& page,
                              TexteEchange& texte) {
    texte.ajouterIdentification(page, std::nullopt);
    LignesDonnees(s, deux, texte, true);
    page.AjouteConstante(texte);
    const int n = deux ? 2 : 1;
    texte.ajouterNomX(QStringList(n, QStringLiteral("t")));
    texte.ajouterNomY(deux ? QStringList{QStringLiteral("Na"), QStringLiteral("Laser")}
                           : QStringList{QStringLiteral("Na")});
    const std::vector<int> couleurs = deux ? std::vector<int>{0, 255} : std::vector<int>{0};
    texte.ajouterCouleurs(couleurs);
    texte.ajouterLigneBloc(n);
}

QStringList LignesTableMichelson(const SuiviMichelson& s, bool deux) {
    TexteEchange texte;
    LignesDonnees(s, deux, texte, false);
    return texte.lignes();
}

} // namespace kinepo

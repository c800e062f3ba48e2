#include "video/logic/ReglagesAvi.h"

#include "common/IniFile.h"

#include <QColor>
#include <algorithm>

namespace kinepo {

namespace {
const QString kAvi = QStringLiteral("AVI");
const QString kSave = QStringLiteral("Save");
} // namespace

QRgb CouleurDepuisEntier(int couleur) {
    const auto c = static_cast<unsigned>(couleur);
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

int EntierDepuisCouleur(QRgb couleur) {
    return qRed(couleur) | (qGreen(couleur) << 8) | (qBlue(couleur) << 16);
}

ReglagesAvi ReglagesAvi::Lire(const IniFile& ini) {
    ReglagesAvi r;
    r.FilterIndex = ini.lireEntier(kAvi, QStringLiteral("FilterIndex"), 1);
    r.TraceEchelle = ini.lireBooleen(kAvi, QStringLiteral("TraceEchelle"), true);
    r.TracePoints = ini.lireBooleen(kAvi, QStringLiteral("TracePoints"), true);
    r.CouleurEchelle = ini.lireEntier(kAvi, QStringLiteral("CouleurEchelle"), 0);
    for (int k = 1; k <= 5; ++k)
        r.Couleurs[static_cast<std::size_t>(k)] =
            ini.lireEntier(kAvi, QStringLiteral("Couleur%1").arg(k), 0);
    r.Cible = ini.lireEntier(kAvi, QStringLiteral("Cible"), 8);
    r.Orientation = OrientationDepuis(ini.lireBooleen(kAvi, QStringLiteral("Altitude"), true),
                                      ini.lireBooleen(kAvi, QStringLiteral("Droite"), true));
    r.PixelIncert = std::clamp(ini.lireEntier(kAvi, QStringLiteral("PixelIncert"), 0), 1, 8);
    // Read in this order; the last true one wins.
    r.Sauvegarde = CibleSauvegarde::Tabulane;
    if (ini.lireBooleen(kSave, QStringLiteral("Tabulane"), true))
        r.Sauvegarde = CibleSauvegarde::Tabulane;
    if (ini.lireBooleen(kSave, QStringLiteral("Clip"), false))
        r.Sauvegarde = CibleSauvegarde::PressePapiers;
    if (ini.lireBooleen(kSave, QStringLiteral("File"), false))
        r.Sauvegarde = CibleSauvegarde::Fichier;
    return r;
}

void ReglagesAvi::Ecrire(IniFile& ini) const {
    EcrireSectionAvi(ini);
    ini.ecrireBooleen(kSave, QStringLiteral("Tabulane"), Sauvegarde == CibleSauvegarde::Tabulane);
    ini.ecrireBooleen(kSave, QStringLiteral("Clip"), Sauvegarde == CibleSauvegarde::PressePapiers);
    ini.ecrireBooleen(kSave, QStringLiteral("File"), Sauvegarde == CibleSauvegarde::Fichier);
}

void ReglagesAvi::EcrireSectionAvi(IniFile& ini) const {
    ini.ecrireEntier(kAvi, QStringLiteral("FilterIndex"), FilterIndex);
    ini.ecrireBooleen(kAvi, QStringLiteral("TraceEchelle"), TraceEchelle);
    ini.ecrireBooleen(kAvi, QStringLiteral("TracePoints"), TracePoints);
    ini.ecrireEntier(kAvi, QStringLiteral("CouleurEchelle"), CouleurEchelle);
    for (int k = 0; k <= 5; ++k)
        ini.ecrireEntier(kAvi, QStringLiteral("Couleur%1").arg(k),
                         Couleurs[static_cast<std::size_t>(k)]);
    ini.ecrireEntier(kAvi, QStringLiteral("Cible"), Cible);
    ini.ecrireBooleen(kAvi, QStringLiteral("Altitude"), YVersLeHaut(Orientation));
    ini.ecrireBooleen(kAvi, QStringLiteral("Droite"), XVersLaDroite(Orientation));
    ini.ecrireEntier(kAvi, QStringLiteral("PixelIncert"), PixelIncert);
}

} // namespace kinepo

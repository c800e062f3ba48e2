#pragma once
// Settings of the video forms: section "AVI" (shared by both video forms) and section "Save"
// (the AVI form's transfer target). Colours are kept as the settings file holds them: the
// integer 0x00BBGGRR.
#include "video/logic/VideoCalibration.h"

#include <QRgb>
#include <array>

namespace kinepo {

class IniFile;

// Transfer target of the AVI form, in the order of its menu (the item's tag).
enum class CibleSauvegarde { Tabulane = 0, PressePapiers = 1, Fichier = 2 };

struct ReglagesAvi {
    int FilterIndex = 1;
    bool TraceEchelle = true;
    bool TracePoints = true;
    int CouleurEchelle = 0;
    std::array<int, 6> Couleurs{}; // index 0 is written but never read back
    int Cible = 8;                 // target cursor number: 6, 7, 8 or -3 (system cross)
    OrientationAxes Orientation = OrientationAxes::HautDroite; // "Altitude", "Droite"
    int PixelIncert = 1;                                       // clamped to 1..8
    CibleSauvegarde Sauvegarde = CibleSauvegarde::Tabulane;

    // Reads both sections; missing keys give the defaults.
    static ReglagesAvi Lire(const IniFile& ini);
    // Writes both sections (the caller saves the file).
    void Ecrire(IniFile& ini) const;
    // Writes the "AVI" section only (the movie form has no transfer target to keep).
    void EcrireSectionAvi(IniFile& ini) const;
};

// 0x00BBGGRR <-> QRgb.
QRgb CouleurDepuisEntier(int couleur);
int EntierDepuisCouleur(QRgb couleur);

} // namespace kinepo

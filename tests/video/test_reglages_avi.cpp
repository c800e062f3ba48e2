// Sections "AVI" and "Save" of the settings file.
#include "common/IniFile.h"
#include "video/logic/ReglagesAvi.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;

TEST(ReglagesAvi, DefautsSansFichier) {
    QTemporaryDir d;
    const ReglagesAvi r = ReglagesAvi::Lire(IniFile(d.filePath("absent.INI")));
    EXPECT_EQ(r.FilterIndex, 1);
    EXPECT_TRUE(r.TraceEchelle);
    EXPECT_TRUE(r.TracePoints);
    EXPECT_EQ(r.Cible, 8);
    EXPECT_EQ(r.Orientation, OrientationAxes::HautDroite);
    EXPECT_EQ(r.PixelIncert, 1); // 0 is shown as 1
    EXPECT_EQ(r.Sauvegarde, CibleSauvegarde::Tabulane);
}

TEST(ReglagesAvi, AllerRetourDansLesQuatreOrientations) {
    QTemporaryDir d;
    const OrientationAxes toutes[] = {OrientationAxes::HautDroite, OrientationAxes::BasDroite,
                                      OrientationAxes::HautGauche, OrientationAxes::BasGauche};
    for (const OrientationAxes o : toutes) {
        IniFile ini(d.filePath("k.INI"));
        ReglagesAvi r;
        r.Orientation = o;
        r.Cible = -3;
        r.CouleurEchelle = 0x0000FF;
        r.Couleurs = {7, 1, 2, 3, 4, 5};
        r.PixelIncert = 4;
        r.TracePoints = false;
        r.Sauvegarde = CibleSauvegarde::PressePapiers;
        r.Ecrire(ini);
        ASSERT_TRUE(ini.enregistrer());
        const ReglagesAvi l = ReglagesAvi::Lire(IniFile(d.filePath("k.INI")));
        EXPECT_EQ(l.Orientation, o);
        EXPECT_EQ(l.Cible, -3);
        EXPECT_EQ(l.CouleurEchelle, 0x0000FF);
        EXPECT_EQ(l.Couleurs[0], 0); // written, never read back
        EXPECT_EQ(l.Couleurs[5], 5);
        EXPECT_EQ(l.PixelIncert, 4);
        EXPECT_FALSE(l.TracePoints);
        EXPECT_EQ(l.Sauvegarde, CibleSauvegarde::PressePapiers);
        EXPECT_TRUE(ini.valeur("AVI", "Couleur0").has_value());
    }
}

TEST(ReglagesAvi, LaDerniereCibleVraieGagneEtIncertitudeBornee) {
    QTemporaryDir d;
    IniFile ini(d.filePath("s.INI"));
    ini.ecrireBooleen("Save", "Tabulane", true);
    ini.ecrireBooleen("Save", "Clip", true);
    ini.ecrireBooleen("Save", "File", false);
    ini.ecrireEntier("AVI", "PixelIncert", 12);
    ini.ecrireBooleen("AVI", "Altitude", false);
    ini.ecrireBooleen("AVI", "Droite", false);
    const ReglagesAvi r = ReglagesAvi::Lire(ini);
    EXPECT_EQ(r.Sauvegarde, CibleSauvegarde::PressePapiers);
    EXPECT_EQ(r.PixelIncert, 8);
    EXPECT_EQ(r.Orientation, OrientationAxes::BasGauche);
    EXPECT_EQ(CouleurDepuisEntier(0x0000FF), qRgb(255, 0, 0));
    EXPECT_EQ(EntierDepuisCouleur(qRgb(0, 0, 255)), 0xFF0000);
}

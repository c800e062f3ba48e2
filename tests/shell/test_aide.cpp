// Hint routing: the long part of a control's hint goes to the status panel of the active form.
#include "shell/base/PanneauxEtat.h"
#include "shell/base/RoutageAide.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusTipEvent>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

struct Forme {
    QMainWindow fenetre;
    PanneauxEtat* etat;
    QPushButton* bouton;
    explicit Forme(int panneau) {
        etat = new PanneauxEtat({80, 80, 80, 0}, &fenetre);
        fenetre.setStatusBar(etat);
        bouton = new QPushButton(&fenetre);
        RoutageAide::Instance().EnregistrerForme(
            &fenetre, [this, panneau](const QString& t) { etat->setTexte(panneau, t); });
        fenetre.show();
    }
    ~Forme() { RoutageAide::Instance().Retirer(&fenetre); }
};

void survoler(QWidget* w) {
    QStatusTipEvent e(w->statusTip());
    QApplication::sendEvent(w, &e);
}

TEST(RoutageAide, SplitsShortAndLongParts) {
    QPushButton b;
    DefinirAide(&b, "Ouvrir|Ouverture d'un fichier image");
    EXPECT_EQ(b.toolTip(), "Ouvrir");
    EXPECT_EQ(b.statusTip(), "Ouverture d'un fichier image");
    DefinirAide(&b, "|seulement la barre");
    EXPECT_EQ(b.toolTip(), "");
    EXPECT_EQ(b.statusTip(), "seulement la barre");
    DefinirAide(&b, "Codec");
    EXPECT_EQ(b.toolTip(), "Codec");
}

TEST(RoutageAide, LongPartGoesToThePanelOfTheActiveFormOnly) {
    Forme avi(2), son(0);
    DefinirAide(avi.bouton, "Court|Cliquer sur l'origine");
    DefinirAide(son.bouton, "|Sélection");
    QApplication::setActiveWindow(&avi.fenetre);
    survoler(avi.bouton);
    EXPECT_EQ(avi.etat->texte(2), "Cliquer sur l'origine");
    EXPECT_EQ(son.etat->texte(0), "");

    QApplication::setActiveWindow(&son.fenetre);
    survoler(son.bouton);
    EXPECT_EQ(son.etat->texte(0), "Sélection");
    EXPECT_EQ(avi.etat->texte(2), "Cliquer sur l'origine");

    // A prompt set by the form itself follows the same route.
    RoutageAide::Instance().AfficherAide("Cliquer sur la cible à suivre");
    EXPECT_EQ(son.etat->texte(0), "Cliquer sur la cible à suivre");
}

TEST(RoutageAide, UnregisteredActiveFormShowsNothingAndActivationRunsHandler) {
    Forme avi(2);
    QMainWindow autre;
    autre.show();
    QApplication::setActiveWindow(&autre);
    RoutageAide::Instance().AfficherAide("rien");
    EXPECT_EQ(avi.etat->texte(2), "");

    int activations = 0;
    RoutageAide::Instance().EnregistrerActivation(&avi.fenetre, [&] { ++activations; });
    RoutageAide::Instance().ApplicationActivee();
    EXPECT_EQ(activations, 0);
    QApplication::setActiveWindow(&avi.fenetre);
    RoutageAide::Instance().ApplicationActivee();
    EXPECT_EQ(activations, 1);
}

} // namespace

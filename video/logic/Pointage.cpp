#include "video/logic/Pointage.h"

namespace kinepo {

QString InviteImage(int nbrePoints, int image) {
    if (nbrePoints <= 1)
        return QStringLiteral("|Cliquer sur le point à repérer (image n° %1)").arg(image);
    return QStringLiteral("|Cliquer sur le premier point de l'image n° %1").arg(image);
}

QString InviteIemePoint(int point, int image) {
    return QStringLiteral("|Cliquer sur le %1ième point de l'image n° %2").arg(point).arg(image);
}

QString InviteOrigineLigne(int image) {
    return QStringLiteral("Cliquer sur l'origine du point n°") + QString::number(image);
}

EffetPointage MachinePointage::Demarrer() {
    EffetPointage e;
    Etat = PointingState::psMeasure;
    t_.Rows = 0;
    if (OrigineMobile) {
        t_.NextPoint = 0;
        e.curseur = kCurseurOrigine;
        e.invite = QStringLiteral("Origine du point n°1");
    } else {
        t_.NextPoint = 1;
        e.curseur = kCurseurCible;
        e.invite = InviteImage(NbreSE, 1);
    }
    return e;
}

EffetPointage MachinePointage::Arreter() {
    EffetPointage e;
    Etat = PointingState::psIdle;
    e.invite = QString::fromUtf8(kInviteRepos);
    return e;
}

void MachinePointage::DebutLigneSuivante(EffetPointage& e) {
    // A new row starts with its origin in the mobile-origin mode, with the first point otherwise.
    if (OrigineMobile) {
        t_.NextPoint = 0;
        e.invite = InviteOrigineLigne(t_.Rows + 1);
        e.curseur = kCurseurOrigine;
    } else {
        t_.NextPoint = 1;
        e.invite = InviteImage(NbreSE, t_.Rows + 1);
        e.curseur = kCurseurCible;
    }
}

EffetPointage MachinePointage::Enregistrer(QPoint posImage, double tempsCourant, bool avantDerniere,
                                           const Patch& patchVivant) {
    EffetPointage e;
    const int i = t_.Rows;
    if (i >= kCapaciteLignes) {
        // Nothing may be written past the tables: the measurement ends here.
        Etat = PointingState::psIdle;
        e.finMesure = true;
        e.tablesPleines = true;
        e.invite = QString::fromUtf8(kInviteRepos);
        return e;
    }
    int k = t_.NextPoint;
    if (k < 0 || k > kMaxPointsParImage) k = OrigineMobile ? 0 : 1;
    t_.Point(k, i) = posImage;
    if (i == 0) t_.Patches(k) = patchVivant;
    if (k == 0) e.petitesAxes = true;
    if (k >= 1 && k < NbreSE) e.croixPoint = true;
    t_.Temps(i) = tempsCourant;
    t_.NextPoint = k + 1;

    if (k == 0) {
        e.invite = InviteImage(NbreSE, i + 1);
        e.curseur = kCurseurCible;
    } else if (NbreSE > 1) {
        e.invite = InviteIemePoint(t_.NextPoint, i + 1);
        e.curseur = kCurseurCible;
    }

    if (t_.NextPoint > NbreSE) {
        t_.Rows = i + 1;
        e.ligneComplete = true;
        DebutLigneSuivante(e);
        if (t_.Rows >= kCapaciteLignes) {
            Etat = PointingState::psIdle;
            e.finMesure = true;
            e.tablesPleines = true;
            e.invite = QString::fromUtf8(kInviteRepos);
            e.curseur = 0;
        } else if (avantDerniere) {
            e.avancer = true;
        } else {
            Etat = PointingState::psIdle;
            e.finMesure = true;
            e.invite = QString::fromUtf8(kInviteRepos);
            e.curseur = 0;
        }
    }
    return e;
}

EffetPointage MachinePointage::Defaire() {
    EffetPointage e;
    if (t_.Rows > 0) --t_.Rows;
    DebutLigneSuivante(e);
    return e;
}

bool MachinePointage::ChangerModeOrigine(bool versMobile, bool tabulaneActif) {
    bool decale = false;
    if (!versMobile && OrigineMobile && tabulaneActif && NbreSE < kMaxPointsParImage) {
        ++NbreSE;
        t_.DecalerIndices(+1, NbreSE);
        decale = true;
    } else if (versMobile && !OrigineMobile && tabulaneActif && NbreSE > 1) {
        --NbreSE;
        t_.DecalerIndices(-1, NbreSE);
        decale = true;
    }
    OrigineMobile = versMobile;
    return decale;
}

} // namespace kinepo

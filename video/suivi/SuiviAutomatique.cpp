#include "video/suivi/SuiviAutomatique.h"

#include "common/BmpFile.h"
#include "platform/Chemins.h"

namespace kinepo {

namespace {
constexpr int kCaseCible = 7; // click slot of the target
} // namespace

QString NomChronoParDefaut() {
    return FichierPresExecutable(QStringLiteral(".bmp"), DossierDonneesUtilisateur());
}

EffetArmement SuiviAutomatique::Armer(const QString& fichierChrono) {
    EffetArmement e;
    fichierChrono_ = fichierChrono;
    machine_.Etat = PointingState::psTarget;
    if (machine_.NbreSE > 1) {
        e.unSeulMobile = true;
        machine_.NbreSE = 1;
    }
    e.arme = true;
    e.invite = QString::fromUtf8(kInviteCible);
    return e;
}

EffetArmement SuiviAutomatique::ArmerChrono(const QString& fichierChrono, bool mesureAuto) {
    if (mesureAuto) return Armer(fichierChrono);
    fichierChrono_ = fichierChrono;
    machine_.Etat = PointingState::psAnalysisStart;
    return {};
}

void SuiviAutomatique::CliquerCible(QPoint posEcran) {
    const QPoint posImage = c_.EcranVersImage(posEcran);
    t_.Cases[kCaseCible] = posImage;
    cibleEcran_ = posEcran;
    t_.Point(1, 0) = posImage;
    t_.Temps(0) = c_.CurrentTime;
    machine_.Etat = PointingState::psAnalysisStart;
}

void SuiviAutomatique::Demarrer(const QImage& imageAffichee, bool suivre) {
    passe_.Demarrer(imageAffichee, c_.Zoom);
    machine_.Etat = PointingState::psAnalysis;
    c_.TimeOrigin = 0;
    t_.NextPoint = 1;
    t_.Rows = 1;
    cibleDistincte_ = true;
    suivi_ = suivre;
    imagesPassees_ = imagesPerdues_ = lignesTrouvees_ = 0;
    if (!suivre) return;
    passe_.FixerCible(cibleEcran_);
    cibleDistincte_ = passe_.CibleDistincte(cibleEcran_);
}

QString SuiviAutomatique::PrendreBilan() {
    QString bilan;
    if (suivi_ && imagesPassees_ > 0) {
        if (lignesTrouvees_ == 0)
            bilan = QString::fromUtf8(kBilanCibleNonTrouvee);
        else if (tablesPleines_)
            bilan = QString::fromUtf8(kBilanTableauPlein);
        else if (imagesPerdues_ > 0)
            bilan = QString::fromUtf8(kBilanCiblePerdue).arg(imagesPerdues_);
    }
    suivi_ = false;
    imagesPassees_ = imagesPerdues_ = lignesTrouvees_ = 0;
    tablesPleines_ = false;
    return bilan;
}

EffetPasse SuiviAutomatique::Passer(const QImage& imageAffichee, bool suivre) {
    EffetPasse e;
    const QPoint derniere = t_.Rows > 0 ? t_.Point(1, t_.Rows - 1) : t_.Cases[kCaseCible];
    e.resultat = passe_.Passer(imageAffichee, derniere, suivre);
    if (!suivre) return e;
    ++imagesPassees_;
    if (!e.resultat.trouve) {
        ++imagesPerdues_;
        return e;
    }
    ++lignesTrouvees_;
    if (t_.Plein()) {
        // Capacity reached: the film and the chronophotograph go on, the table stops growing.
        e.tablesPleines = true;
        tablesPleines_ = true;
        return e;
    }
    const int i = t_.Rows;
    t_.Point(2, i) = e.resultat.meilleurImage;
    t_.Point(1, i) = e.resultat.positionImage;
    t_.Temps(i) = c_.CurrentTime;
    t_.Rows = i + 1;
    e.ligne = i;
    return e;
}

bool SuiviAutomatique::Terminer() {
    machine_.Etat = PointingState::psIdle;
    if (!EcrireBmp24(passe_.Chrono(), fichierChrono_)) return false;
    passe_.Liberer();
    return true;
}

SuiviAutomatique::Relachement SuiviAutomatique::RelacherChrono() {
    switch (machine_.Etat) {
    case PointingState::psAnalysis:
        return Terminer() ? Relachement::Fin : Relachement::ErreurEcriture;
    case PointingState::psAnalysisStart:
        machine_.Etat = PointingState::psIdle;
        return Relachement::RetourRepos;
    default:
        return Relachement::Rien;
    }
}

void SuiviAutomatique::Abandonner() {
    machine_.Etat = PointingState::psIdle;
    passe_.Liberer();
}

} // namespace kinepo

#include "video/ui/PiloteSuivi.h"

#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "shell/base/PanneauImage.h"
#include "shell/base/PanneauxEtat.h"
#include "video/suivi/SuiviAutomatique.h"
#include "video/ui/ChronoU.h"
#include "video/ui/DessinOverlay.h"
#include "video/ui/FormeVideo.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QSpinBox>
#include <QToolButton>

namespace kinepo {

namespace {

// The driver, owned by the form through the QObject tree.
class PiloteSuivi : public QObject {
public:
    PiloteSuivi(TFormeVideo& f)
        : QObject(&f), form(f), suivi(f.Machine(), f.Tables(), f.Calibration()) {}
    TFormeVideo& form;
    SuiviAutomatique suivi;

    void AppliquerArmement(const EffetArmement& e) {
        if (!e.arme) return;
        if (e.unSeulMobile) {
            Dialogues().message(QString::fromUtf8(kMessageUnSeulMobile));
            const QSignalBlocker b(form.NbreSE);
            form.NbreSE->setValue(1);
        }
        form.Inviter(e.invite);
        form.SetCurseurImage(kCurseurCible);
        Dialogues().message(QString::fromUtf8(kMessageCliquerCible));
        form.Rafraichir();
    }

    // Frames where the target was lost are told in the status bar, not passed over in silence.
    void AfficherBilan() {
        const QString bilan = suivi.PrendreBilan();
        if (!bilan.isEmpty()) form.Status->setTexte(2, bilan);
    }

    // End of the pass: buttons up; the chronophotograph is named when it was written.
    void MontrerFin(bool ecrit) {
        form.Inviter(QString::fromUtf8(kInviteRepos));
        {
            const QSignalBlocker a(form.ChronoPhotoBtn), b(form.MesureBtn);
            form.ChronoPhotoBtn->setChecked(false);
            form.MesureBtn->setChecked(false);
        }
        form.BoutonsEtat();
        form.RedessinerTout();
        AfficherBilan();
        if (ecrit) ChronoForm()->Afficher(suivi.FichierChrono());
        form.Rafraichir();
    }
};

} // namespace

void InstallerSuiviAutomatique(TFormeVideo& form) {
    auto* p = new PiloteSuivi(form);
    TFormeVideo::CrochetsSuivi& h = form.Suivi;
    h.Armer = [p](TFormeVideo&) { p->AppliquerArmement(p->suivi.Armer(NomChronoParDefaut())); };
    h.ChronoPhoto = [p](TFormeVideo& f) {
        if (f.ChronoPhotoBtn->isChecked()) {
            auto nom =
                Dialogues().enregistrerFichier(QStringLiteral("Chronophotographie"), QString(),
                                               QStringLiteral("Bitmap (*.bmp)"), QString());
            if (!nom || nom->isEmpty()) {
                const QSignalBlocker b(f.ChronoPhotoBtn);
                f.ChronoPhotoBtn->setChecked(false);
                f.Rafraichir();
                return;
            }
            if (QFileInfo(*nom).suffix().isEmpty()) *nom += QStringLiteral(".bmp");
            const EffetArmement e = p->suivi.ArmerChrono(*nom, f.MesureAutoCB->isChecked());
            p->AppliquerArmement(e);
            f.ColonnesGrille();
            f.Rafraichir();
            return;
        }
        switch (p->suivi.RelacherChrono()) {
        case SuiviAutomatique::Relachement::Fin:
            p->MontrerFin(true);
            break;
        case SuiviAutomatique::Relachement::ErreurEcriture:
            Dialogues().erreur(QStringLiteral("Erreur d'écriture"));
            break;
        default:
            break;
        }
    };
    h.CibleChoisie = [p](TFormeVideo& f, QPoint posEcran) {
        p->suivi.CliquerCible(posEcran);
        {
            QPainter peintre(&f.Image->Overlay());
            peintre.setPen(QPen(Qt::black, 1));
            PetiteCroix(peintre, f.Calibration().ImageVersEcran(f.Tables().Cases[7]));
        }
        f.Image->update();
        f.SetCurseurImage(0);
        f.Inviter(QString::fromUtf8(kInviteRepos));
        f.MiseAJourEchelle();
        f.Rafraichir();
    };
    h.DebutAnalyse = [p](TFormeVideo& f) {
        p->suivi.Demarrer(f.ImageAnalyse(), f.MesureAutoCB->isChecked());
        f.Calibration().TimeOrigin = f.OrigineDesTempsAuDepart();
        if (!p->suivi.CibleDistincte())
            Dialogues().message(QString::fromUtf8(kMessageCibleConfondue));
        f.ColonnesGrille();
        f.BoutonsEtat();
        f.AvancerUneImage();
    };
    h.PasseAnalyse = [p](TFormeVideo& f) {
        const EffetPasse r = p->suivi.Passer(f.ImageAnalyse(), f.MesureAutoCB->isChecked());
        if (r.ligne >= 0) f.EcrireLigneGrille(r.ligne, 1);
        f.MontrerProgressionAnalyse();
        if (f.AvantDerniereImage() && !r.tablesPleines) {
            QCoreApplication::processEvents();
            const bool suivre = f.ChronoPhotoBtn->isChecked() ||
                                (f.MesureBtn->isChecked() && f.MesureAutoCB->isChecked());
            if (f.Machine().Etat == PointingState::psAnalysis && suivre) f.AvancerUneImage();
        } else {
            f.BoutonsEtat();
            f.RedessinerTout();
            // At the end of the film a chronophotograph that cannot be written is let go.
            p->MontrerFin(p->suivi.Terminer());
        }
    };
    h.Arret = [p](TFormeVideo& f) {
        const PointingState e = f.Machine().Etat;
        if (e == PointingState::psAnalysis || e == PointingState::psAnalysisStart ||
            e == PointingState::psTarget)
            p->suivi.Abandonner();
    };
    h.Bilan = [p](TFormeVideo&) { p->AfficherBilan(); };
}

} // namespace kinepo

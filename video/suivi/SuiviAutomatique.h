#pragma once
// Automatic tracking and chronophotography of a video form, step by step, without any window:
// the form (or the command line) calls one method per event and carries out the returned
// effects (messages, prompt, cursor, stepping the film). The pixels are the displayed frame:
// the decoded frame scaled by the zoom with nearest neighbour (LecteurMci::ImageAffichee, or
// ImageAfficheeDepuisDecodee), never the screen.
//
// How TAviForm drives it (suivi_ is a member built on the form's machine, tables, calibration):
//  - MesureBtnClick, button down with MesureAutoCB ticked:
//        auto e = suivi_.Armer(NomChronoParDefaut());
//        if (e.unSeulMobile) Dialogues().message(kMessageUnSeulMobile);   // NbreSE is now 1
//        set the hint to e.invite, target cursor, Dialogues().message(kMessageCliquerCible),
//        post RefreshMessage; grid with 3 columns; button states; post RefreshMessage.
//  - ChronoPhotoBtnClick, button down: ask the bitmap name with the save dialog ("Bitmap|*.bmp",
//        extension "bmp"); cancelled: post RefreshMessage, button up, nothing else. Otherwise
//        auto e = suivi_.ArmerChrono(nom, MesureAutoCB->isChecked()); carry out e as above
//        when e.arme (messages, prompt, cursor); post RefreshMessage.
//  - ChronoPhotoBtnClick, button up: switch (suivi_.RelacherChrono()) { case Fin: show the
//        end (below); case ErreurEcriture: Dialogues().erreur(...); default: nothing }.
//  - Picture release in psTarget: suivi_.CliquerCible(posEcran); draw a small cross at
//        Cases[7]; default cursor; hint kInviteRepos; scale update; post RefreshMessage.
//  - MediaPlayerNotify in psAnalysisStart: suivi_.Demarrer(lecteur.ImageAffichee(),
//        MesureAutoCB->isChecked()); if (!suivi_.CibleDistincte()) show
//        kMessageCibleConfondue; Busy = false; grid with 3 columns "x(m)" "y(m)";
//        button states; step forward.
//  - MediaPlayerNotify in psAnalysis:
//        auto r = suivi_.Passer(lecteur.ImageAffichee(), MesureAutoCB->isChecked());
//        if (r.ligne >= 0) write grid row r.ligne + 1; status bar "n / N";
//        if (position < length - 1) { process pending events; if (still psAnalysis and
//            (ChronoPhotoBtn down or (MesureBtn down and MesureAutoCB))) { Busy = false; step; } }
//        else { button states; full redraw; if (suivi_.Terminer()) show the end; }
//        (at the end of the film a write error is swallowed: no message from inside a notification)
//  - MesureBtnClick, button up during the analysis: suivi_.Abandonner() (rows kept, nothing
//        saved or shown).
//  - After showing the end, and after MesureBtn up: status panel 2 = suivi_.PrendreBilan()
//        when it is not empty ("Cible perdue sur n images", "Cible non trouvée").
//  - Showing the end: hint kInviteRepos, ChronoPhotoBtn and MesureBtn up, button states, full
//        redraw, TChronoForm shows suivi_.FichierChrono(), post RefreshMessage.
#include "video/logic/Pointage.h"
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"
#include "video/suivi/PasseAnalyse.h"

#include <QImage>
#include <QString>

namespace kinepo {

inline const char* const kMessageUnSeulMobile = "Un seul mobile possible";
inline const char* const kMessageCliquerCible = "Cliquer sur la cible à suivre";
inline const char* const kInviteCible = "Cible|Cliquer sur la cible à suivre";
// Before the pass, when the clicked colour does not stand out from its surroundings.
inline const char* const kMessageCibleConfondue =
    "La couleur cliquée ne se distingue pas de ce qui l'entoure : la cible risque de ne pas "
    "être suivie";
// After the pass.
inline const char* const kBilanCibleNonTrouvee = "Cible non trouvée";
inline const char* const kBilanCiblePerdue = "Cible perdue sur %1 images"; // %1: frame count
// The tables filled up during the tracking: later frames found the target but gave no row.
inline const char* const kBilanTableauPlein = "Tableau plein : la mesure s'arrête";

// The default chronophotograph: the executable's path with ".bmp", or the same name in the
// user's data folder when the executable's folder cannot be written.
QString NomChronoParDefaut();

// Effects of arming.
struct EffetArmement {
    bool arme = false;         // tracking armed (psTarget): prompt, target cursor, message
    bool unSeulMobile = false; // NbreSE was above 1: show kMessageUnSeulMobile (NbreSE is now 1)
    QString invite;            // the new hint (kInviteCible) when arme
};

// One frame of the analysis.
struct EffetPasse {
    ResultatPasse resultat;
    int ligne = -1;             // the row recorded on this frame, or -1
    bool tablesPleines = false; // a match found but the tables were full: no row
};

class SuiviAutomatique {
public:
    SuiviAutomatique(MachinePointage& machine, TablesPointage& tables, VideoCalibration& calib)
        : machine_(machine), t_(tables), c_(calib) {}

    // Arming for tracking (MesureBtn down with "Mesures automatiques"): the chronophotograph
    // goes to fichierChrono; psTarget; NbreSE forced to 1.
    EffetArmement Armer(const QString& fichierChrono);
    // Press of ChronoPhotoBtn once a file is chosen: arms tracking when mesureAuto, otherwise
    // psAnalysisStart (the analysis then starts on the current frame).
    EffetArmement ArmerChrono(const QString& fichierChrono, bool mesureAuto);

    // Release of the left button in psTarget at a screen pixel of the picture: click slot 7,
    // row 0 = that image pixel at the current time, psAnalysisStart.
    void CliquerCible(QPoint posEcran);

    // The frame notification in psAnalysisStart: background and chronophotograph from the
    // displayed frame, psAnalysis, TimeOrigin 0, Rows 1 (row 0 is the clicked target), the target
    // colour around the last target click.
    void Demarrer(const QImage& imageAffichee, bool suivre);
    // After Demarrer: false when the target colour does not stand out from what surrounds the
    // click (PasseAnalyse::CibleDistincte); the form then shows kMessageCibleConfondue.
    bool CibleDistincte() const { return cibleDistincte_; }

    // The frame notification in psAnalysis: paints the chronophotograph and, when suivre,
    // records the object's row at CurrentTime when it is found.
    EffetPasse Passer(const QImage& imageAffichee, bool suivre);

    // End of the chronophotograph: psIdle, the picture saved as a 24-bit BMP to FichierChrono()
    // and both frame copies released. False when the file cannot be written; the pictures are
    // then kept (nothing is shown).
    bool Terminer();

    enum class Relachement { Rien, RetourRepos, Fin, ErreurEcriture };
    // Release of ChronoPhotoBtn: in psAnalysis the end runs at once (Fin, or ErreurEcriture);
    // in psAnalysisStart back to psIdle (RetourRepos); otherwise nothing.
    Relachement RelacherChrono();

    // MesureBtn up during the analysis: psIdle; rows kept; nothing saved; copies released.
    void Abandonner();

    // What the tracking since the last Demarrer came to, for the status bar: kBilanCibleNonTrouvee
    // when no frame after the click gave a row, kBilanTableauPlein when the tables filled up,
    // kBilanCiblePerdue with the number of frames that gave none, or empty when every frame did
    // (or nothing was tracked). Each tracking is reported once: the count is cleared.
    QString PrendreBilan();
    int ImagesPerdues() const { return imagesPerdues_; }

    const QString& FichierChrono() const { return fichierChrono_; }
    QPoint CibleEcran() const { return cibleEcran_; }
    const PasseAnalyse& Passe() const { return passe_; }

private:
    MachinePointage& machine_;
    TablesPointage& t_;
    VideoCalibration& c_;
    PasseAnalyse passe_;
    QString fichierChrono_;
    QPoint cibleEcran_;
    bool cibleDistincte_ = true;
    bool suivi_ = false;    // a tracking has run since the last report
    int imagesPassees_ = 0; // frames of the tracking's passes
    int imagesPerdues_ = 0; // of them, frames where the target was not found
    int lignesTrouvees_ = 0;
    bool tablesPleines_ = false; // a frame found the target with the tables full
};

} // namespace kinepo

#pragma once
// What a click on the picture of a video form means, and what recording a point does to the
// tables: the pointing state machine, without any window. The form asks it what to do and
// carries out the effects it returns (prompt, cursor, drawing, stepping the film).
#include "video/logic/TablesPointage.h"

#include <QPoint>
#include <QString>

namespace kinepo {

enum class PointingState : unsigned char {
    psIdle = 0,          // nothing
    psMeasure = 1,       // record a point
    psOrigin = 2,        // set Origin
    psScaleStart = 3,    // press: ScaleStart; release without drag: go to psScaleEnd
    psScaleEnd = 4,      // release: ScaleEnd, then ask the length
    psAnalysis = 5,      // frames analysed automatically
    psAnalysisStart = 6, // analysis starts at the next frame notification
    psTarget = 7,        // pick the target to follow
};

// Prompts of the pointing (form hints: "short|long").
QString InviteImage(int nbrePoints, int image); // first (or only) point of image n
QString InviteIemePoint(int point, int image);  // "|Cliquer sur le %dième point ..."
QString InviteOrigineLigne(int image);          // "Cliquer sur l'origine du point n°" + n
inline const char* const kInviteRepos = "Clic droit pour choix du curseur";

// Effects of an action for the form to carry out.
struct EffetPointage {
    QString invite;           // new hint; empty: unchanged
    int curseur = 0;          // 0: unchanged; otherwise kCurseurCible or a cursor number
    bool petitesAxes = false; // draw the small axes at the row origin
    bool croixPoint = false;  // draw a small cross at the point and write its grid row
    bool ligneComplete = false;
    bool avancer = false;       // clear Busy and step one frame forward
    bool finMesure = false;     // end the measurement (psIdle, MesureBtn up, redraw)
    bool tablesPleines = false; // the tables are full: the measurement ended for that reason
};
// Stands for the target cursor chosen by the user (the application-wide "Cible").
inline constexpr int kCurseurCible = 1000;
inline constexpr int kCurseurOrigine = 10;

class MachinePointage {
public:
    explicit MachinePointage(TablesPointage& tables) : t_(tables) {}

    PointingState Etat = PointingState::psIdle;
    int NbreSE = 1; // points per image, 1..5
    bool OrigineMobile = false;

    // MesureBtn goes down (manual measurement): psMeasure, Rows = 0, first prompt.
    EffetPointage Demarrer();
    // MesureBtn goes up: psIdle.
    EffetPointage Arreter();

    // Records a point at posImage with the time of the frame on screen. avantDerniere: the
    // player is before its last frame. patchVivant: the live neighbourhood (copied into patch
    // k on the first row).
    EffetPointage Enregistrer(QPoint posImage, double tempsCourant, bool avantDerniere,
                              const Patch& patchVivant);

    // Undo: drops the last complete row (if any) and the points of the current image.
    // The form then steps the film one frame back.
    EffetPointage Defaire();

    // Origin mode change from the menu. tabulaneActif: TabulaneBtn is enabled. Returns true
    // when the stored points were shifted (NbreSE changed).
    bool ChangerModeOrigine(bool versMobile, bool tabulaneActif);

private:
    // Sets the next click and its prompt and cursor for the start of row Rows + 1.
    void DebutLigneSuivante(EffetPointage& e);
    TablesPointage& t_;
};

} // namespace kinepo

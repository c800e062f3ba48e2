#pragma once
// The frame-by-frame analysis of the AVI form run over a whole film without a window: start on
// one frame, then one pass on every later frame up to the last one, exactly as the form's frame
// notifications do it. Frames are decoded one step ahead on a worker thread while the pass runs.
#include "video/logic/Pointage.h"
#include "video/logic/TablesPointage.h"
#include "video/logic/TempsReel.h"
#include "video/logic/VideoCalibration.h"
#include "video/suivi/SuiviAutomatique.h"

#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>

namespace kinepo {

class MoteurVideo;

// The calibration the AVI form has right after opening this film: frame size, default origin
// and scale segment, zoom 1, frame rate and period from the film's two lengths, and the time
// format (milliseconds, that is the film's own frame times, at any rate). Real time is not in
// use: the caller asks for it.
struct CalibrationOuverture {
    VideoCalibration calibration;
    bool formatImages = false; // times are frame x period rather than the film's own times
    TempsReel tempsReel;       // the clock of the times: the film's, or the scene's (slow motion)
};
CalibrationOuverture CalibrationApresOuverture(const MoteurVideo& moteur);

// CurrentTime of frame n, as the form computes it after a move of the player, on the clock
// chosen in ouverture.tempsReel.
double TempsImage(const MoteurVideo& moteur, const CalibrationOuverture& ouverture, std::int64_t n);

struct ParametresAnalyse {
    std::int64_t imageDepart = 0; // the frame on which the target is clicked / the analysis starts
    bool suivre = false;          // "Mesures automatiques": track a target
    QPoint cibleImage;            // the target click, image pixels (when suivre)
    QString fichierChrono;        // where the end saves the chronophotograph; empty: not saved
};

// Outcome of AnalyserFilm.
enum class IssueAnalyse { Terminee, ChronoNonEcrite };

// Runs arming, target click, start and the passes to the end of the film on the form's state
// (calibration with its zoom and scale already set; tables; pointing machine). progression, when
// given, is called after every pass with (frames done, frames to do).
IssueAnalyse AnalyserFilm(MoteurVideo& moteur, const CalibrationOuverture& ouverture,
                          const ParametresAnalyse& p, VideoCalibration& calibration,
                          TablesPointage& tables, MachinePointage& machine,
                          const std::function<void(std::int64_t, std::int64_t)>& progression = {},
                          QString* bilan = nullptr, bool* cibleDistincte = nullptr);

} // namespace kinepo

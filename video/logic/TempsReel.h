#pragma once
// Slow-motion films: a film shot at 120 or 240 frames per second and played at 30 runs slower
// than the scene did. Real time turns the film's times into the scene's: a film second lasts
// playback rate / capture rate seconds of the scene. The capture rate comes from the film
// (phones write it) or is typed by the user.
#include "video/logic/TablesPointage.h"
#include "video/logic/VideoCalibration.h"

#include <QString>

namespace kinepo {

class TempsReel {
public:
    // A film has just opened: its mean playback rate (frames per second: its frame count over
    // its duration) and the capture rate it carries (0 when none). Real time is asked for when
    // the film carries a capture rate, so that a slow-motion film measures the scene at once.
    void PourFilm(double cadenceLecture, double cadenceCaptureFilm);
    // No film: no rates, real time not asked for.
    void Reinitialiser() { *this = TempsReel(); }

    double CadenceLecture() const { return cadenceLecture_; }
    // The capture rate in use (typed, or the film's); 0 when none is known.
    double CadenceCapture() const { return cadenceCapture_; }
    double CadenceCaptureFilm() const { return cadenceCaptureFilm_; }
    // The user's choice ("Temps réel" ticked).
    bool Demande() const { return demande_; }
    void FixerDemande(bool demande) { demande_ = demande; }
    // Real time is in use: asked for, with both rates known.
    bool Actif() const { return demande_ && cadenceCapture_ > 0 && cadenceLecture_ > 0; }
    // A typed capture rate (LireReel: "240", "119,88"). It is then in use and real time is asked
    // for. False, changing nothing, when the text is not a positive rate.
    bool FixerCadenceCapture(const QString& texte);

    // Seconds of the scene per second of film: playback rate / capture rate when real time is
    // in use, else 1.
    double Facteur() const { return Actif() ? cadenceLecture_ / cadenceCapture_ : 1.0; }
    // A time on the film's own clock (frame timestamps), as the tables record it.
    double Reel(double tempsFilm) const { return tempsFilm * Facteur(); }
    // The period of one frame for times counted in frames at `periode` seconds: one frame of
    // the capture when real time is in use, else `periode`.
    double Periode(double periode) const { return Actif() ? 1.0 / cadenceCapture_ : periode; }
    // Seconds of a player position: milliseconds on the film's clock, or a frame index counted
    // at periode seconds a frame (enImages).
    double TempsPosition(double position, bool enImages, double periode) const {
        return enImages ? position * Periode(periode) : Reel(position / 1000.0);
    }
    // What a change from `avant` to this state multiplies the recorded times by: on the film's
    // own clock when periodeImages is 0, else for times counted in frames at that period.
    double Rapport(const TempsReel& avant, double periodeImages = 0) const;

    // Which clock the times follow: "temps réel (240 i/s)" or "temps du film (30 i/s)".
    QString Libelle() const;

private:
    double cadenceLecture_ = 0;
    double cadenceCapture_ = 0;
    double cadenceCaptureFilm_ = 0;
    bool demande_ = false;
};

// A rate as the forms write it: at most two decimals, no trailing zeros, the user's decimal
// separator ("240", "29,97").
QString TexteCadence(double cadence);

// Multiplies every recorded time (rows 0 .. Rows), the time origin, the current time and the
// duration by rapport, as a change of clock does.
void ReechelonnerTemps(VideoCalibration& c, TablesPointage& t, double rapport);

} // namespace kinepo

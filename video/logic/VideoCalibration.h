#pragma once
// Calibration of a video form: the one owner of the image-pixel <-> metre and frame <-> second
// transforms. Positions are integer image pixels of the unzoomed frame (x to the right, y
// downward); screen pixels are image pixels times Zoom.
#include <QPoint>
#include <QString>
#include <cstdint>

namespace kinepo {

// Direction of the axes, in the order of the orientation menu.
enum class OrientationAxes {
    HautDroite, // "Axe vers le haut et la droite" (default)
    BasDroite,  // "Axe vers le bas et la droite"
    HautGauche, // "Axe vers le haut et la gauche"
    BasGauche,  // "Axe vers le bas et la gauche"
};

// True when x grows rightward / y grows upward for this orientation.
bool XVersLaDroite(OrientationAxes o);
bool YVersLeHaut(OrientationAxes o);
// The orientation from the two booleans of the settings ("Altitude" = y upward, "Droite").
OrientationAxes OrientationDepuis(bool altitude, bool droite);

// Frame size, rate and period derived from the two lengths of a film.
struct CadenceFilm {
    int fileFrameRate = 25;    // frames per second, rounded; 0 for films slower than 0.5 fps
    double framePeriod = 0.04; // seconds per frame
    double duration = 0;       // seconds
};
// The highest rate the frame-rate box shows. A faster film shows this value, but its times
// still come from the film's own period and timestamps.
inline constexpr int kCadenceMaxAffichable = 1000;

// From the film length in frames (longueurImages) and in milliseconds (longueurMs).
// A zero length of either kind keeps the defaults (25 fps, 0.04 s) and gives duration lms/1000.
CadenceFilm CadenceDepuisLongueurs(double longueurImages, double longueurMs);

// The minimum distance, in image pixels (sum of horizontal and vertical distances), between the
// two ends of a scale segment. Closer ends are refused with "Points trop proches".
inline constexpr int kDistanceMinEchelle = 8;
bool SegmentEchelleAcceptable(QPoint debut, QPoint fin);

struct VideoCalibration {
    int Zoom = 1;       // screen pixels per image pixel, 1..5
    int FrameWidth = 0; // frame size in image pixels
    int FrameHeight = 0;
    QPoint Origin;               // the unique origin, image pixels
    QPoint ScaleStart, ScaleEnd; // ends of the scale segment, image pixels
    double ScaleLength = 1.0;    // metres
    OrientationAxes Orientation = OrientationAxes::HautDroite;
    double KX = 0, KY = 0;     // metres per image pixel, signed
    double DisplayStep = 1;    // power of ten to which the grid rounds coordinates
    double TimeOrigin = 0;     // seconds, subtracted from every stored time
    double FramePeriod = 0.04; // seconds per frame
    int FileFrameRate = 25;    // frames per second of the file, rounded
    double Duration = 0;       // seconds
    double CurrentTime = 0;    // seconds, time of the frame on screen
    int Incertitude = 1;       // pixel uncertainty, 1..8

    // Origin, ScaleStart, ScaleEnd and Zoom back to their defaults for a frame of this size.
    void DefautsFilm(int largeur, int hauteur);

    // Recomputes KX, KY and DisplayStep from the scale segment, length and orientation.
    // A segment of zero length keeps the previous factors (returns false).
    bool MettreAJourFacteurs();

    // Image pixel under a screen position of the picture (truncating division by Zoom).
    QPoint EcranVersImage(QPoint posEcran) const;
    QPoint ImageVersEcran(QPoint posImage) const { return posImage * Zoom; }

    // Metres of an image pixel relative to a row origin, unrounded.
    double XMetres(QPoint posImage, QPoint origineImage) const;
    double YMetres(QPoint posImage, QPoint origineImage) const;

    // A value rounded to a multiple of DisplayStep (half to even), as the results grid shows it.
    double ArrondiGrille(double valeur) const;
};

// DisplayStep of a factor: 10 ^ floor(log10 |k|). 0.0023 gives 0.001.
double PasAffichage(double k);

// Refresh return trip: true ("come back") when the player must first step back, that is when
// the position lies beyond the integer half of the length.
bool SensRetourArriere(double position, double longueur);

// "t=1.240 s /10.000 s": fixed notation, 3 decimals, at most 5 significant digits, with the
// given decimal separator.
QString TexteTemps(double tempsCourant, double duree, QChar separateur);
// One number as TexteTemps writes it.
QString FixeTroisDecimales(double x, QChar separateur);

} // namespace kinepo

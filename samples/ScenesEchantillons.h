#pragma once
// The sample films for newcomers, drawn frame by frame from their true motion so that a
// measured table can be checked against it. 640 x 480 pixels, 25 frames per second,
// 1 cm per pixel (a ruler of known length is drawn in each scene), y of the picture downward.
#include <QImage>
#include <QPointF>
#include <QString>

namespace kinepo::echantillons {

inline constexpr int kLargeur = 640;
inline constexpr int kHauteur = 480;
inline constexpr int kCadence = 25;
inline constexpr double kMetresParPixel = 0.01;

struct Scene {
    const char* fichier;  // file name of the film
    int images;           // frame count
    double longueurRegle; // metres: what to type for the scale
    QPointF regleDebut;   // ends of the ruler, image pixels
    QPointF regleFin;
    int mobiles; // moving objects
};

// "chute-balle.avi": a ball thrown up and falling back under gravity (g = 9.81 m/s²) in front
// of a 2 m vertical ruler; it bounces on the ground.
const Scene& ChuteBalle();
// "deux-mobiles.avi": a red cart rolling at constant speed and a blue puck turning on a circle,
// in front of a 1 m horizontal ruler.
const Scene& DeuxMobiles();

// Centre of object k (1-based) of the scene at frame n, image pixels (fractional).
QPointF Position(const Scene& s, int k, int n);
// Frame n of the scene.
QImage Image(const Scene& s, int n);

// Writes the scene's film with the ffmpeg command (Motion JPEG in AVI). False, with a reason.
bool EcrireFilm(const Scene& s, const QString& chemin, QString* erreur = nullptr);

} // namespace kinepo::echantillons

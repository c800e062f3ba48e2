#pragma once
// Films as phones write them, for the tests of every layer: frames stored sideways with a
// display rotation, frames at their own times (variable rate), a capture rate in the metadata
// (slow motion). The upright picture of frame n is what every layer must show; the stored frame
// is that picture turned back by Qt's own transform, so the engine's rotation is checked
// against an independent one.
#include "support/FilmSynthetique.h"

#include <QPainter>
#include <QTransform>
#include <functional>

namespace kinepo::test {

struct FilmTelephone {
    CodecFilm codec = CodecFilm::RawMov; // exact pixels
    int rotation = 0;                    // degrees clockwise that show the frames upright
    int largeur = 120;                   // upright frame size
    int hauteur = 160;
    int images = 8;
    int cadence = 30;                   // frames per second when tempsMs is empty
    std::vector<std::int64_t> tempsMs;  // frame n's own time
    QByteArray captureFps;              // "com.android.capture.fps", empty: none
    std::function<QImage(int n)> image; // upright frame n; default: ImageNumerotee
};

inline QImage ImageDroite(const FilmTelephone& f, int n) {
    return (f.image ? f.image(n) : ImageNumerotee(n, f.largeur, f.hauteur))
        .convertToFormat(QImage::Format_RGB888);
}

// A ball film for measuring: frame n of the upright (portrait, 120 x 160) picture is a black
// disc of radius 4 at BalleDroite(n) on white.
inline QPoint BalleDroite(int n) {
    return {15 + 10 * n, 30 + 12 * n};
}
inline QImage ImageBalleDroite(int n) {
    QImage im(120, 160, QImage::Format_RGB888);
    im.fill(Qt::white);
    QPainter p(&im);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(BalleDroite(n), 4, 4);
    return im;
}

// Writes the film; false, with the reason in *erreur, when FFmpeg cannot.
inline bool EcrireFilmTelephone(const QString& chemin, const FilmTelephone& f,
                                QString* erreur = nullptr) {
    const bool couche = f.rotation == 90 || f.rotation == 270;
    ParametresFilm p;
    p.codec = f.codec;
    p.largeur = couche ? f.hauteur : f.largeur;
    p.hauteur = couche ? f.largeur : f.hauteur;
    p.images = f.tempsMs.empty() ? f.images : int(f.tempsMs.size());
    p.cadenceNum = f.cadence;
    p.gop = 12;
    p.qualite = 2;
    p.rotation = f.rotation;
    p.tempsMs = f.tempsMs;
    if (!f.captureFps.isEmpty()) p.metadonnees.push_back({"com.android.capture.fps", f.captureFps});
    return EcrireFilm(
        chemin, p,
        [&](int n) {
            // Qt turns exactly only by angles of 0 to 359 degrees.
            return ImageDroite(f, n).transformed(QTransform().rotate((360 - f.rotation) % 360));
        },
        erreur);
}

} // namespace kinepo::test

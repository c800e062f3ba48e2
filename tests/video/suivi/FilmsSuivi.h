#pragma once
// Films made in the tests: a ball on a textured, optionally noisy, still background, with the
// ball's true centre on every frame; and a writer that turns frames into a film file with the
// ffmpeg command (raw video or MJPEG), for the command-line tests.
#include <QColor>
#include <QImage>
#include <QPointF>
#include <QString>
#include <vector>

namespace kinepo::test {

struct ParametresFilm {
    int largeur = 160;
    int hauteur = 120;
    int images = 20;
    QPointF depart{20, 30}; // centre on frame 0, image pixels
    QPointF vitesse{6, 0};  // pixels per frame
    double gravite = 0;     // pixels per frame per frame, downward
    int rayon = 4;
    QColor balle{240, 20, 20};
    int bruit = 0;        // sensor noise on the background, +- this per channel and frame
    bool degrade = false; // shade the ball (its colour varies across it)
    unsigned graine = 1;
};

struct FilmGenere {
    std::vector<QImage> images;   // RGB888
    std::vector<QPointF> centres; // true centre of the ball on each frame
};

FilmGenere GenererFilm(const ParametresFilm& p);

// The still background of a film of that size (no noise).
QImage Fond(int largeur, int hauteur);

// Paints every pixel whose centre lies within rayon of centre.
void PeindreDisque(QImage& image, QPointF centre, int rayon, QColor couleur, bool degrade = false);

// Writes the frames as a film through the ffmpeg command. codec "rawvideo" (lossless) or
// "mjpeg" (quality 2). True on success.
// imagesParSeconde: ffmpeg's rate, a number or a fraction ("30000/1001").
bool EcrireFilm(const std::vector<QImage>& images, const QString& chemin, const QString& codec,
                const QString& imagesParSeconde = QStringLiteral("25"));

} // namespace kinepo::test

#pragma once
// Pictures drawn by the tests: a plain picture, and a graph with black axes, a grey grid and a
// sine curve 3 pixels thick.
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <gif_lib.h>
#include <numbers>
#include <vector>

namespace kinepo::test {

inline QImage ImageUnie(int w, int h, QRgb couleur = qRgb(255, 255, 255)) {
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(couleur);
    return i;
}

// A picture whose every pixel says where it is (and is never pure black).
inline QImage Coordonnees(int w, int h) {
    QImage i(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            i.setPixel(x, y,
                       qRgb(x & 0xFF, y & 0xFF, 1 + (((x >> 8) & 0x7) | (((y >> 8) & 0x7) << 4))));
    return i;
}

// The sine of the graph, across the whole picture: y = amplitude sin(2 pi x / period) in pixels
// around row `milieu`, rows downward: row(x) = milieu - amplitude sin(2 pi (x - x0) / period).
struct Sinus {
    int largeur = 400, hauteur = 300;
    int x0 = 40, milieu = 150;
    double amplitude = 80, periode = 200;
    QRgb couleur = qRgb(220, 30, 30);
    double ligne(double x) const {
        return milieu - amplitude * std::sin(2 * std::numbers::pi * (x - x0) / periode);
    }
};

inline QImage GrapheSinus(const Sinus& s) {
    QImage i = ImageUnie(s.largeur, s.hauteur);
    QPainter p(&i);
    p.setPen(QPen(QColor(200, 200, 200), 1));
    for (int x = s.x0; x < s.largeur; x += 20)
        p.drawLine(x, 0, x, s.hauteur - 1);
    for (int y = s.milieu % 20; y < s.hauteur; y += 20)
        p.drawLine(0, y, s.largeur - 1, y);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(s.x0, 0, s.x0, s.hauteur - 1);
    p.drawLine(0, s.milieu, s.largeur - 1, s.milieu);
    p.end();
    // The curve: every pixel whose centre lies within 1.5 px of it, measured across the
    // curve, so that the stroke's middle is the curve itself.
    for (int x = 0; x < s.largeur; ++x) {
        const int haut = static_cast<int>(s.ligne(x)) - 8;
        for (int y = std::max(0, haut); y < std::min(s.hauteur, haut + 17); ++y) {
            double d2 = 1e9;
            for (double u = x - 3; u <= x + 3; u += 0.02) {
                const double dx = u - x, dy = s.ligne(u) - y;
                d2 = std::min(d2, dx * dx + dy * dy);
            }
            if (d2 <= 1.5 * 1.5) i.setPixel(x, y, s.couleur);
        }
    }
    return i;
}

// Saves a picture of black and white pixels as a two-colour GIF (Qt writes no GIF).
inline bool EcrireGifNoirEtBlanc(const QString& chemin, const QImage& image) {
    int err = 0;
    GifFileType* g = EGifOpenFileName(QFile::encodeName(chemin).constData(), false, &err);
    if (!g) return false;
    const GifColorType couleurs[2] = {{0, 0, 0}, {255, 255, 255}};
    ColorMapObject* palette = GifMakeMapObject(2, couleurs);
    bool ok = EGifPutScreenDesc(g, image.width(), image.height(), 1, 0, palette) == GIF_OK &&
              EGifPutImageDesc(g, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> ligne(static_cast<std::size_t>(image.width()));
    for (int y = 0; ok && y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ligne[static_cast<std::size_t>(x)] = qGray(image.pixel(x, y)) > 127 ? 1 : 0;
        ok = EGifPutLine(g, ligne.data(), image.width()) == GIF_OK;
    }
    GifFreeMapObject(palette);
    return EGifCloseFile(g, &err) == GIF_OK && ok;
}

} // namespace kinepo::test

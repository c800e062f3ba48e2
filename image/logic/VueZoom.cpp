#include "image/logic/VueZoom.h"

#include "common/Arrondi.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kinepo {

double NormaliserZoom(double x) {
    if (x > 1) return ArrondiInt(x);
    if (x < 1) return 1.0 / ArrondiInt(1 / x);
    return x;
}

double ZoomAvant(double z) {
    return z < 8 ? 2 * z : z;
}

double ZoomArriere(double z) {
    return z > 0.125 ? z / 2 : z;
}

QString TexteZoom(double z) {
    if (z > 1.1) return QStringLiteral("Zoom X ") + QString::number(ArrondiInt(z));
    if (z < 0.9) return QStringLiteral("Zoom / ") + QString::number(ArrondiInt(1 / z));
    return QStringLiteral("Taille réelle");
}

VueImage VueNouvelleImage(QSize panneau) {
    VueImage v;
    v.droite = panneau.width();
    v.bas = panneau.height();
    return v;
}

namespace {

// One direction of the zoom rule: the first index kept at least 0, the end limited to the
// picture, and an empty band at the far side taken back from the near side when it can be.
void Limiter(int& debut, int& fin, double z, int panneau, int image) {
    if (debut < 0) debut = 0;
    fin = std::min(ArrondiInt(panneau / z) + debut, image);
    const int vide = panneau - ArrondiInt((fin - debut) * z);
    if (vide > 0) {
        debut = std::max(0, debut - ArrondiInt(vide / z));
        fin = std::min(ArrondiInt(panneau / z) + debut, image);
    }
}

// One direction of the end of a drag.
void Decaler(int& debut, int& fin, int deplacement, double s, double z, int panneau, int image) {
    debut = std::max(0, debut + ArrondiInt(deplacement / s));
    fin = ArrondiInt(panneau / z) + debut;
    if (fin > image) {
        if (image > panneau / z) {
            fin = image;
            debut = image - ArrondiInt(panneau / z);
        } else {
            debut = 0;
            fin = image;
        }
    }
}

} // namespace

void AppliquerZoom(VueImage& vue, double x, QPoint ancre, QSize panneau, QSize image) {
    x = NormaliserZoom(x);
    const int cx = ArrondiInt(ancre.x() / vue.zoom) + vue.gauche;
    const int cy = ArrondiInt(ancre.y() / vue.zoom) + vue.haut;
    vue.zoom = x;
    vue.gauche = ArrondiInt(cx - ancre.x() / x);
    vue.haut = ArrondiInt(cy - ancre.y() / x);
    Limiter(vue.gauche, vue.droite, x, panneau.width(), image.width());
    Limiter(vue.haut, vue.bas, x, panneau.height(), image.height());
}

void DeplacerVue(VueImage& vue, QPoint d, double s, QSize panneau, QSize image) {
    Decaler(vue.gauche, vue.droite, d.x(), s, vue.zoom, panneau.width(), image.width());
    Decaler(vue.haut, vue.bas, d.y(), s, vue.zoom, panneau.height(), image.height());
}

QSize TailleDessinee(const VueImage& v) {
    return {std::max(0, ArrondiInt((v.droite - v.gauche) * v.zoom)),
            std::max(0, ArrondiInt((v.bas - v.haut) * v.zoom))};
}

QImage RenduVue(const QImage& image, const VueImage& v, QRgb fond) {
    const QSize t = TailleDessinee(v);
    if (t.isEmpty() || image.isNull()) return {};
    QImage rendu(t, QImage::Format_RGB32);
    const QImage source = image.format() == QImage::Format_RGB32
                              ? image
                              : image.convertToFormat(QImage::Format_RGB32);
    const int largeur = v.droite - v.gauche, hauteur = v.bas - v.haut;
    // The source column of every view column, once; -1 beyond the picture.
    std::vector<int> colonnes(std::size_t(t.width()));
    for (int x = 0; x < t.width(); ++x) {
        const int sx = v.gauche + int(qint64(x) * largeur / t.width());
        colonnes[std::size_t(x)] = sx >= 0 && sx < source.width() ? sx : -1;
    }
    for (int y = 0; y < t.height(); ++y) {
        auto* dest = reinterpret_cast<QRgb*>(rendu.scanLine(y));
        const int sy = v.haut + int(qint64(y) * hauteur / t.height());
        if (sy < 0 || sy >= source.height()) {
            std::fill(dest, dest + t.width(), fond);
            continue;
        }
        // Rows that come from the same source row are copies of the previous one.
        if (y > 0 && sy == v.haut + int(qint64(y - 1) * hauteur / t.height())) {
            std::copy(dest - rendu.bytesPerLine() / 4, dest - rendu.bytesPerLine() / 4 + t.width(),
                      dest);
            continue;
        }
        const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
        for (int x = 0; x < t.width(); ++x) {
            const int sx = colonnes[std::size_t(x)];
            dest[x] = sx >= 0 ? src[sx] : fond;
        }
    }
    return rendu;
}

double FacteurApercu(QSize a, QSize image) {
    if (image.isEmpty()) return 1.0;
    return std::min(double(a.height()) / image.height(), double(a.width()) / image.width());
}

QSize TailleApercu(double s, QSize image) {
    return {std::max(1, ArrondiInt(image.width() * s)),
            std::max(1, ArrondiInt(image.height() * s))};
}

QRect RectangleApercu(const VueImage& v, double s) {
    const int g = ArrondiInt(v.gauche * s), h = ArrondiInt(v.haut * s);
    const int d = ArrondiInt(v.droite * s), b = ArrondiInt(v.bas * s);
    return {QPoint(g, h), QPoint(d - 1, b - 1)}; // right and bottom exclusive, as drawn
}

} // namespace kinepo

#include "image/logic/DessinImage.h"

#include "common/Arrondi.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace kinepo {

namespace {

// The small font of the labels.
const QFont& PolicePetite() {
    static const QFont f = [] {
        QFont p(QStringLiteral("Sans Serif"));
        p.setPixelSize(9);
        return p;
    }();
    return f;
}

// A label drawn once with the painter, kept as its covered pixels only, and copied from there
// into the view: a repaint shows thousands of labels, and a painter call for each would cost
// more than the whole rest of the repaint.
struct Sprite {
    struct Pixel {
        short dx, dy;
        QRgb premultiplie; // the colour already weighted by its coverage
        int transparence;  // 255 - coverage
    };
    std::vector<Pixel> pixels;
};

std::shared_ptr<const Sprite> SpriteEtiquette(const QString& texte, QRgb couleur) {
    const QFontMetrics m(PolicePetite());
    QImage i(m.horizontalAdvance(texte) + 2, m.height(), QImage::Format_ARGB32_Premultiplied);
    i.fill(Qt::transparent);
    QPainter p(&i);
    p.setFont(PolicePetite());
    p.setPen(QColor(couleur));
    p.drawText(QPoint(0, m.ascent()), texte);
    p.end();
    auto sprite = std::make_shared<Sprite>();
    for (int y = 0; y < i.height(); ++y)
        for (int x = 0; x < i.width(); ++x)
            if (const QRgb c = i.pixel(x, y); qAlpha(c) > 0)
                sprite->pixels.push_back({short(x), short(y), c, 255 - qAlpha(c)});
    return sprite;
}

// The label of point `indice` in `couleur`, made once per label and colour (the cache is
// dropped when it grows large).
std::shared_ptr<const Sprite> Etiquette(int indice, int serie, int nombreSeries, bool couper,
                                        QRgb couleur) {
    using Cle = std::pair<quint64, quint32>;
    static QHash<Cle, std::shared_ptr<const Sprite>> cache;
    const Cle cle{(quint64(quint32(indice)) << 8) | quint64(serie << 4) |
                      quint64(nombreSeries << 1) | quint64(couper),
                  couleur};
    auto it = cache.find(cle);
    if (it != cache.end()) return *it;
    if (cache.size() > 20000) cache.clear();
    auto sprite = SpriteEtiquette(EtiquettePoint(indice, serie, nombreSeries, couper), couleur);
    cache.insert(cle, sprite);
    return sprite;
}

// The label's pixels blended over the picture at `coin` (its top-left corner), clipped.
void CopierEtiquette(QImage& image, const Sprite& sprite, QPoint coin) {
    const int w = image.width(), h = image.height();
    uchar* octets = image.bits();
    const qsizetype pas = image.bytesPerLine();
    for (const Sprite::Pixel& p : sprite.pixels) {
        const int x = coin.x() + p.dx, y = coin.y() + p.dy;
        if (x < 0 || y < 0 || x >= w || y >= h) continue;
        QRgb& d = reinterpret_cast<QRgb*>(octets + y * pas)[x];
        const auto melange = [&](int s, int dc) { return s + (dc * p.transparence + 127) / 255; };
        d = qRgb(melange(qRed(p.premultiplie), qRed(d)), melange(qGreen(p.premultiplie), qGreen(d)),
                 melange(qBlue(p.premultiplie), qBlue(d)));
    }
}

// An upright cross of arms `bras` written straight into the picture's pixels, clipped.
void CroixPixels(QImage& image, QPoint c, int bras, QRgb couleur) {
    const int w = image.width(), h = image.height();
    if (c.y() >= 0 && c.y() < h) {
        auto* l = reinterpret_cast<QRgb*>(image.scanLine(c.y()));
        for (int x = std::max(0, c.x() - bras); x <= std::min(w - 1, c.x() + bras); ++x)
            l[x] = couleur;
    }
    if (c.x() >= 0 && c.x() < w)
        for (int y = std::max(0, c.y() - bras); y <= std::min(h - 1, c.y() + bras); ++y)
            reinterpret_cast<QRgb*>(image.scanLine(y))[c.x()] = couleur;
}

void Croix(QPainter& p, QPoint c, int bras) {
    p.drawLine(c.x() - bras, c.y(), c.x() + bras, c.y());
    p.drawLine(c.x(), c.y() - bras, c.x(), c.y() + bras);
}

QPoint Echelle(QPoint image, double s) {
    return {ArrondiInt(image.x() * s), ArrondiInt(image.y() * s)};
}

} // namespace

QString EtiquettePoint(int indice, int serie, int nombreSeries, bool couper) {
    QString e = QString::number(indice);
    if (nombreSeries > 1) e += u'(' + QString::number(serie) + u')';
    return couper ? e.left(5) : e;
}

void DessinerVecteur(QPainter& p, QPoint s, QPoint e, double longueur) {
    p.drawLine(s, e);
    const double l = std::round(std::hypot(e.x() - s.x(), e.y() - s.y()));
    if (l > 0) {
        const int u = ArrondiInt(longueur * (s.x() - e.x()) / l);
        const int v = ArrondiInt(longueur * (s.y() - e.y()) / l);
        const int a = ArrondiInt(v / 3.0), b = ArrondiInt(u / 3.0);
        p.drawLine(e, QPoint(e.x() + u - a, e.y() + v + b));
        p.drawLine(e, QPoint(e.x() + u + a, e.y() + v - b));
    }
    p.save();
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(s - QPoint(5, 5), s + QPoint(5, 5))); // S - 5 to S + 6, exclusive
    p.restore();
}

void DessinerVue(QImage& rendu, const VueImage& vue, const ImageCalibration& c,
                 const SeriesPoints& series, const QRgb couleurs[4]) {
    const QRect visible = rendu.rect().adjusted(-8, -8, 8, 8);
    for (int s = 1; s <= c.SeriesCount; ++s) {
        const QRgb couleur = couleurs[s] | 0xFF000000u;
        for (int i = 0; i < series.Longueur(s); ++i) {
            const QPoint v = vue.VersVue(series.Point(s, i));
            if (v.x() > visible.right() || v.y() > visible.bottom() ||
                v.x() < visible.left() - 40 || v.y() < visible.top() - 20)
                continue; // wholly outside the drawn part: nothing of it would show
            CroixPixels(rendu, v, 4, couleur);
            CopierEtiquette(rendu, *Etiquette(i, s, c.SeriesCount, true, couleur),
                            v + QPoint(4, 4));
        }
    }
    QPainter p(&rendu);
    p.setPen(QColor(couleurs[0]));
    const auto& h = c.Handles;
    DessinerVecteur(p, vue.VersVue(h[SlotDebutY]), vue.VersVue(h[SlotFinY]));
    if (c.AxesMode != OneAxis)
        DessinerVecteur(p, vue.VersVue(h[SlotDebutX]), vue.VersVue(h[SlotFinX]));
    const QPoint o = vue.VersVue(h[SlotOrigine]);
    if (c.AxesMode == OneAxis) { // the single axis' position: a diagonal cross
        p.drawLine(o + QPoint(-6, -6), o + QPoint(6, 6));
        p.drawLine(o + QPoint(-6, 6), o + QPoint(6, -6));
    } else {
        Croix(p, o, 8);
    }
    for (int slot : {SlotDebutX, SlotFinX, SlotDebutY, SlotFinY}) {
        if (c.AxesMode == OneAxis && slot <= SlotFinX) continue;
        p.drawRect(QRect(vue.VersVue(h[slot]) - QPoint(2, 2), QSize(4, 4)));
    }
}

void DessinerApercu(QPainter& p, double s, const ImageCalibration& c, const SeriesPoints& series,
                    const QRgb couleurs[4]) {
    p.setFont(PolicePetite());
    const int ascendante = QFontMetrics(PolicePetite()).ascent(); // labels by their top-left
    const int a = std::max(1, ArrondiInt(4 / s));
    std::vector<QLine> croix;
    for (int n = 1; n <= c.SeriesCount; ++n) {
        p.setPen(QColor(couleurs[n]));
        croix.clear();
        for (int i = 0; i < series.Longueur(n); ++i) {
            const QPoint q = series.Point(n, i);
            croix.emplace_back(Echelle(q - QPoint(a, 0), s), Echelle(q + QPoint(a, 0), s));
            croix.emplace_back(Echelle(q - QPoint(0, a), s), Echelle(q + QPoint(0, a), s));
            p.drawText(Echelle(q + QPoint(a, a), s) + QPoint(0, ascendante),
                       EtiquettePoint(i, n, c.SeriesCount, false));
        }
        p.drawLines(croix.data(), int(croix.size()));
    }
    p.setPen(QColor(couleurs[0]));
    const int b = std::max(1, ArrondiInt(8 / s));
    const double fleche = 2 * b * s;
    const auto& h = c.Handles;
    DessinerVecteur(p, Echelle(h[SlotDebutY], s), Echelle(h[SlotFinY], s), fleche);
    if (c.AxesMode != OneAxis)
        DessinerVecteur(p, Echelle(h[SlotDebutX], s), Echelle(h[SlotFinX], s), fleche);
    const QPoint o = h[SlotOrigine];
    p.drawLine(Echelle(o - QPoint(b, 0), s), Echelle(o + QPoint(b, 0), s));
    p.drawLine(Echelle(o - QPoint(0, b), s), Echelle(o + QPoint(0, b), s));
}

} // namespace kinepo
